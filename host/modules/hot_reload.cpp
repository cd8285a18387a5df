// Hot reload: a rebuilt module library replaces the running one, which
// hands its state over through its session file.
#include <fstream>
#include <iterator>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_module.h"
#include "host/modules/host_functions.h"
#include "host/platform/atomic_file.h"
#include "host/platform/clock.h"
#include "host/platform/file_system.h"
#include "shared/text_codes.h"

namespace {

// Monotonic, so a change of the wall clock never stalls the checks.
int64_t MillisecondsSinceStart() {
  return (platform::MonotonicNs() - Host().start_mono_ns) / 1000000;
}

std::string BackupName(const std::string& copy) {
  const size_t dot = copy.rfind('.');
  const size_t slash = copy.rfind('/');
  const bool has_extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (has_extension ? copy.substr(0, dot) : copy) + ".back";
}

template <typename T>
T ReadLittleEndian(const std::string& bytes, size_t offset) {
  T value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) {
    value |= static_cast<T>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return value;
}

// A linker writes the section headers last, at the end of the file: a
// 64-bit ELF file that reaches past them is whole.
bool IsCompleteElf(const std::string& bytes) {
  constexpr size_t kHeaderSize = 64;
  if (bytes.size() < kHeaderSize || bytes.compare(0, 4,
                                                  "\x7f"
                                                  "ELF") != 0)
    return false;
  const uint64_t section_headers = ReadLittleEndian<uint64_t>(bytes, 0x28);
  const uint64_t entry_size = ReadLittleEndian<uint16_t>(bytes, 0x3A);
  const uint64_t entries = ReadLittleEndian<uint16_t>(bytes, 0x3C);
  return section_headers <= bytes.size() && entry_size * entries <= bytes.size() - section_headers;
}

}  // namespace

void TModule::CheckRecompiled() {
  if (library_file_name_.empty()) return;
  const int64_t now = MillisecondsSinceStart();
  if (now < last_check_ms_ + check_period_) return;
  last_check_ms_ = now;

  const std::string source = module_directory_ + library_file_name_;
  const int64_t age = platform::FileTimeNs(source);
  const int64_t size = platform::FileSize(source);
  const bool stable = age == seen_file_time_ && size == seen_file_size_;
  seen_file_time_ = age;
  seen_file_size_ = size;
  if (age > 0 && age != loaded_file_time_ && age != failed_file_time_ && stable) ReloadModule();
}

bool TModule::ReloadModule() {
  if (!reload_pending_) reload_attempts_ = 0;
  VerboseLog("Trying to replace the module %0 with the new, recompiled version...",
             {library_file_name_});
  reload_pending_ = true;
  if (!ReadNewLibrary()) {
    ++reload_attempts_;
    VerboseLog("Attempt #%0 to read \"%1\" failed with \"%2\".",
               {reload_attempts_, module_directory_ + library_file_name_, read_error_});
    return true;
  }
  reload_pending_ = false;

  bool unloading = false;
  bool failed = false;
  try {
    unloading = true;
    loaded_file_time_ = 0;
    Dispatch(Re_OnUnload, 0, 0, 0);
    Unload();
    unloading = false;
    const std::string copy = copy_directory_ + library_file_name_;
    // A module that was missing at start-up has no previous copy to keep.
    if (platform::FileExists(copy)) KeepAsBackup(copy);
    WriteNewLibrary();
    LoadNewLibrary();
    loaded_file_time_ = platform::FileTimeNs(module_directory_ + library_file_name_);
  } catch (...) {
    if (unloading) FatalError(MI_CRASHED_UNLOADING_MODULE, {library_file_name_});
    failed = true;
  }
  if (failed) {
    crashed_ = true;
    last_failure_text_ = TakeErrorText();
    failed_file_time_ = platform::FileTimeNs(module_directory_ + library_file_name_);
    if (failed_file_time_ < 0) failed_file_time_ = 0;
    AddLog(
        Cp1251ToWide(ChooseLiteral(WideToCp1251(u"Попытка провалилась. %0"), "Attempt failed. %0")),
        {last_failure_text_});
    return false;
  }
  crashed_ = false;
  loaded_ = true;
  Dispatch(Re_OnLoad, 0, 0, 0);
  return true;
}

bool TModule::ReadNewLibrary() {
  read_error_.clear();
  try {
    const std::string path = module_directory_ + library_file_name_;
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("Cannot open \"" + path + "\".");
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
      throw std::runtime_error("Zero DLL file size -- possibly, compilation still in progress.");
    }
    if (!IsCompleteElf(bytes)) {
      throw std::runtime_error(
          "Not a complete shared library yet -- possibly, compilation still in progress.");
    }
    reload_buffer_ = std::move(bytes);
    return true;
  } catch (const std::exception& e) {
    read_error_ = e.what();
    return false;
  }
}

void TModule::KeepAsBackup(const std::string& copy) {
  // A rename: the old copy is not needed under its name any more, and
  // moving it costs nothing where copying it costs its size twice.
  std::string error;
  const std::string backup = BackupName(copy);
  if (!platform::RenameOver(copy, backup, error)) {
    SetLastErrorText(1, error);
    FatalError(MI_CANNOT_COPY_MODULE_DLL, {copy, backup});
  }
}

void TModule::WriteNewLibrary() {
  // The old copy may still be mapped: it is replaced by a rename, never
  // overwritten in place.
  std::string error;
  const std::string copy = copy_directory_ + library_file_name_;
  platform::MakeDirectories(copy_directory_, error);
  // The copy is made again from the module's file at every start, so it
  // need not wait for the disk.
  const bool written =
      platform::WriteFileAtomically(copy, reload_buffer_, error, platform::TDurability::Unflushed);
  reload_buffer_.clear();
  reload_buffer_.shrink_to_fit();
  if (!written) {
    SetLastErrorText(1, error);
    FatalError(MI_CANNOT_COPY_MODULE_DLL, {module_directory_ + library_file_name_, copy});
  }
}

void TModule::LoadNewLibrary() {
  try {
    LoadLibraryFile(copy_directory_ + library_file_name_);
    Bind();
    CallIntoModule([this] { callback_entry_(&HostLookup); });
    Init();
  } catch (...) {
    reload_pending_ = true;
    FatalError(MI_ERROR_CANNOT_LOAD_MODULE, {library_file_name_});
  }
}
