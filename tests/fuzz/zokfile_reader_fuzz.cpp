// Reads arbitrary zok-files from disk and from containers. The first input
// byte steers the harness so that damaged files get past the early checks:
//   bit 0      the file lives in a container (else on disk)
//   bit 1      the header gets the true data size
//   bit 2      the header gets the true MD5 of the data
//   bits 3-7   container chunk size in words, 0 for the whole data as one chunk
// A file that is accepted must give back exactly its data.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/files/cl_file_io.h"
#include "host/files/md5_digest.h"
#include "host/messages/log.h"
#include "host/modules/cl_container.h"
#include "host/modules/container_registry.h"

namespace {

constexpr size_t kHeader = 128;

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Host().program_directory, ignored);
}

bool PrepareHost() {
  char pattern[] = "/tmp/zokfuzz.XXXXXX";
  if (mkdtemp(pattern) == nullptr) std::abort();
  Host().program_directory = std::string(pattern) + "/";
  Host().working_directory = Host().program_directory;
  std::atexit(RemoveFolder);
  return true;
}

void FixHeader(std::string& file, uint8_t control) {
  if (file.size() < kHeader) return;
  if (control & 2) {
    const int64_t size = static_cast<int64_t>(file.size() - kHeader);
    std::memcpy(file.data() + 12, &size, 8);
  }
  if (control & 4) {
    TMd5 md5;
    md5.Start();
    md5.Update(file.data() + kHeader, file.size() - kHeader);
    const TMd5Digest digest = md5.Finish();
    std::memcpy(file.data() + 24, digest.data(), digest.size());
  }
}

void Store(const std::string& name, const std::string& file, uint8_t control) {
  if (name[0] != '$') {
    std::ofstream(Host().program_directory + name, std::ios::binary | std::ios::trunc) << file;
    return;
  }
  TContainer& container = GetOrCreateContainer(name);
  container.Clear();
  const size_t header = std::min(file.size(), kHeader);
  container.AppendCopy(file.data(), static_cast<int32_t>(header));
  const size_t piece = (control >> 3) * 4;
  for (size_t at = header; at < file.size(); at += piece ? piece : file.size()) {
    const size_t n = std::min(file.size() - at, piece ? piece : file.size());
    container.AppendCopy(file.data() + at, static_cast<int32_t>(n));
  }
}

// Reads the whole file; false when it was refused.
bool ReadBack(const std::string& name, std::string& data) {
  try {
    ZokFileBeginRead(name);
    for (;;) {
      int32_t size = 0;
      const uint8_t* chunk = ZokFileRead(size);
      if (size == 0) break;
      if (chunk == nullptr || size < 0 || size % 4 != 0) std::abort();
      if (name[0] != '$' && size > kZokChunkSize) std::abort();
      data.append(reinterpret_cast<const char*>(chunk), static_cast<size_t>(size));
    }
    ZokFileEnd(false, "");
    return true;
  } catch (const EDying&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  static const bool ready = PrepareHost();
  (void)ready;
  if (size < 1) return 0;
  const uint8_t control = input[0];
  std::string file(reinterpret_cast<const char*>(input + 1), size - 1);
  FixHeader(file, control);
  const std::string name = control & 1 ? "$fuzz" : "fuzz.zok";
  Store(name, file, control);

  std::string data;
  if (ReadBack(name, data) && data != file.substr(kHeader)) std::abort();
  // The error list would grow with every refused file.
  JoinErrors();
  return 0;
}
