#include "host/modules/container_functions.h"

#include <memory>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/core/text_utils.h"
#include "host/files/file_source.h"
#include "host/images/picture_io.h"
#include "host/messages/log.h"
#include "host/modules/container_registry.h"
#include "host/platform/atomic_file.h"

std::string ContainerFilePath(const std::string& file_name) {
  const std::string path = ReplaceAll(file_name, "\\", "/");
  return IsAbsolutePath(path) ? path : JoinPath(Host().program_directory, path);
}

// The host functions below change or merge a container's chunks: a
// container an open zok-file works through is refused, and a decode left
// unfinished in one is dropped before its chunks go.

void* HostCreateContainer(const char* name, int32_t size) {
  const std::string key = TextFromCString(name);
  if (TContainer* existing = FindUnpinnedContainer(key)) {
    AbandonDecodeOf(*existing);
    existing->SetSize(size);
    return existing->Data();
  }
  return RegisterContainer(key, std::make_unique<TContainer>(size)).Data();
}

void* HostContainerData(const char* name) {
  TContainer* container = FindUnpinnedContainer(TextFromCString(name));
  return container ? container->Data() : nullptr;
}

int32_t HostContainerSize(const char* name) {
  const TContainer* container = FindContainer(TextFromCString(name));
  return container ? container->Size() : 0;
}

void HostDeleteContainer(const char* name) {
  const std::string key = TextFromCString(name);
  if (const TContainer* container = FindUnpinnedContainer(key)) AbandonDecodeOf(*container);
  DeleteRegisteredContainer(key);
}

void HostSaveContainer(const char* name, const char* file_name) {
  const std::string key = TextFromCString(name);
  const std::string file = TextFromCString(file_name);
  TContainer* container = FindUnpinnedContainer(key);
  if (!container) FatalError(MI_ERROR_ATTEMPT_TO_STORE_NONEXISTENT_CONTAINER, {key, file});
  const std::string_view bytes(static_cast<const char*>(container->Data()),
                               static_cast<size_t>(container->Size()));
  std::string error;
  if (!platform::WriteFileAtomically(ContainerFilePath(file), bytes, error)) {
    throw std::runtime_error("Cannot write \"" + file + "\": " + error);
  }
}

void* HostLoadContainer(const char* name, const char* file_name, int32_t* size) {
  const std::string key = TextFromCString(name);
  const std::string file = TextFromCString(file_name);
  const std::unique_ptr<TFileSource> source = TFileSource::OpenExisting(ContainerFilePath(file));
  if (!source) FatalError(MI_ERROR_FILE_NOT_FOUND, {file});

  TContainer* container = FindUnpinnedContainer(key);
  std::unique_ptr<TContainer> fresh;
  if (!container) {
    fresh = std::make_unique<TContainer>(0);
    container = fresh.get();
  }
  AbandonDecodeOf(*container);
  container->Clear();
  container->SetFileName(file);
  try {
    container->LoadFromStream(*source, 0);
  } catch (...) {
    // Half a file must not pass for the file.
    container->Clear();
    throw;
  }
  if (fresh) RegisterContainer(key, std::move(fresh));
  if (size) *size = container->Size();
  return container->Data();
}
