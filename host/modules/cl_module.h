// The module manager: chooses the module library, copies it aside, loads
// the copy, binds and initialises it, forwards events to it and unloads
// it. Whatever the module does, the host keeps running: every failure
// leaves the manager out of service, waiting for a fixed library.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/engine_object.h"
#include "host/platform/dynamic_library.h"
#include "host/platform/fault_guard.h"
#include "shared/zok_protocol.h"

// A hardware fault (bad pointer, division by zero, abort, stack overflow)
// inside module code, turned into an exception at the host's guard.
class EModuleFault : public std::runtime_error {
 public:
  explicit EModuleFault(int signal_number);
};

class TModule : public TEngineObject {
 public:
  // Chooses and starts the first module: the one named on the command line
  // (arguments after the program name), else the most recently used one.
  explicit TModule(std::vector<std::string> arguments);
  ~TModule() override;
  const char* ClassName() const override { return "TModule"; }

  // Shutdown: Re_OnDestroy to a module in service, then unload.
  void Destroy() override;

  // Unloads the current module, then loads module n (1..10), or for n = 0
  // the one named on the command line.
  void Switch(int32_t n);

  // The single entry for events from the window.
  int32_t Dispatch(int32_t code, int32_t a, int32_t b, int32_t c);
  // Calls the module's sendmsg under a guard.
  int32_t Send(int32_t code, int32_t a, int32_t b, int32_t c);
  void Unload();

  // Every frame: a rebuilt library (new, stable, complete) is reloaded.
  void CheckRecompiled();
  // Swaps in the library file as it is now: the running module saves its
  // session, the new one restores it. True when the new module runs or
  // the file was not readable yet; false when the reload failed.
  bool ReloadModule();
  int32_t ReloadAttempts() const { return reload_attempts_; }
  const std::u16string& LastFailureText() const { return last_failure_text_; }

  bool Loaded() const { return loaded_; }
  bool Crashed() const { return crashed_; }
  bool InService() const { return loaded_ && !crashed_; }
  const std::string& LibraryFileName() const { return library_file_name_; }
  const std::string& ModuleDirectory() const { return module_directory_; }
  const std::string& CopyDirectory() const { return copy_directory_; }
  int64_t LoadedFileTime() const { return loaded_file_time_; }

  // Copies source to target for loading (also used by hot reload).
  static void CopyLibrary(const std::string& source, const std::string& target);

 private:
  void ChooseModulePath(int32_t n);
  void AttachAndInit();
  void Attach();
  void LoadLibraryFile(const std::string& path);
  void Bind();
  void Init();
  // Runs a call into module code: faults become EModuleFault, and the
  // depth of nested module calls is counted.
  template <typename F>
  void CallIntoModule(F&& call) {
    ++call_depth_;
    int fault = 0;
    try {
      fault = platform::RunGuarded(call);
    } catch (...) {
      --call_depth_;
      throw;
    }
    --call_depth_;
    if (fault != 0) throw EModuleFault(fault);
  }
  void PutOutOfService();
  bool ReadNewLibrary();
  // Moves the running copy aside as the backup.
  void KeepAsBackup(const std::string& copy);
  void WriteNewLibrary();
  void LoadNewLibrary();

  std::vector<std::string> arguments_;
  std::string library_file_name_;
  std::string module_directory_;
  std::string copy_directory_;
  std::string relative_module_directory_;
  std::unique_ptr<platform::DynamicLibrary> library_;
  TZokModuleInit init_entry_ = nullptr;
  TSendMsg message_entry_ = nullptr;
  TSetCallback callback_entry_ = nullptr;
  bool crashed_ = false;
  bool loaded_ = false;
  int64_t loaded_file_time_ = 0;
  int32_t check_period_ = 0;
  int call_depth_ = 0;

  // Hot reload.
  bool reload_pending_ = false;
  int32_t reload_attempts_ = 0;
  int64_t failed_file_time_ = 0;
  std::u16string last_failure_text_;
  int64_t last_check_ms_ = 0;
  std::string read_error_;
  std::string reload_buffer_;
  // The file as the previous check saw it: a file is taken only when a
  // second look finds it unchanged, so a build still writing is left alone.
  int64_t seen_file_time_ = -1;
  int64_t seen_file_size_ = -1;
};

// The one module manager, for the window's event handlers and hot keys.
extern TModule* g_module;
