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

  // Loads the current module library again (the retry of Space).
  void ReloadModule();

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
  void CallIntoModule(F&& call);
  void PutOutOfService();

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
};

// The one module manager, for the window's event handlers and hot keys.
extern TModule* g_module;
