#include "host/modules/cl_module.h"

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/core/quit_request.h"
#include "host/messages/log.h"
#include "host/modules/host_functions.h"
#include "host/platform/fault_guard.h"
#include "host/platform/file_system.h"

TModule* g_module = nullptr;

namespace {

// The library's file name with the platform's suffix: a configured
// "x.dll" loads "x.so".
std::string WithLibrarySuffix(const std::string& path) {
  const std::string name = FileNamePart(path);
  const size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".so";
}

// dir relative to base when it lies below it, else dir itself.
std::string RelativeTo(const std::string& dir, const std::string& base) {
  return dir.compare(0, base.size(), base) == 0 ? dir.substr(base.size()) : dir;
}

std::string AsDirectory(const std::string& path) {
  return path.empty() || path.back() == '/' ? path : path + '/';
}

}  // namespace

EModuleFault::EModuleFault(int signal_number)
    : std::runtime_error(std::string(platform::FaultName(signal_number)) + " in the module") {}

TModule::TModule(std::vector<std::string> arguments) : arguments_(std::move(arguments)) {
  check_period_ =
      g_config->ReadIntLimited("modules", "CheckIfModulesAreRecompiledPeriod", 100, 60000);
  if (!arguments_.empty()) {
    Switch(0);
  } else {
    Switch(g_config->ReadIntLimited("session", "MostRecentUsedModule", 1, 10));
  }
}

TModule::~TModule() {
  // Destroy normally unloaded already; this covers a failed Destroy.
  RecordFailure([this] { Unload(); });
}

void TModule::Destroy() {
  VerboseLog(MI_LOG_UNLOADING_MODULE, {library_file_name_});
  Dispatch(Re_OnDestroy, 0, 0, 0);
  Unload();
  VerboseLogSuccess();
}

void TModule::Switch(int32_t n) {
  if (loaded_) {
    Send(Re_OnUnload, 0, 0, 0);
    // A module that fails to let go is already out of service and unloaded;
    // the new one is not started in its wake.
    if (crashed_) return;
    try {
      Unload();
    } catch (...) {
      crashed_ = true;
      loaded_ = false;
      AddLog(MI_DEVMODE_MODULE_UNLOADED, {TakeErrorText()});
      return;
    }
  }
  crashed_ = false;
  try {
    ChooseModulePath(n);
  } catch (...) {
    crashed_ = true;
    RecordFailure([] { FatalError(MI_ERROR_EXCEPTION); });
    AddLog(MI_DEVMODE_MODULE_UNLOADED, {TakeErrorText()});
    return;
  }
  AttachAndInit();
}

void TModule::ChooseModulePath(int32_t n) {
  std::string path;
  if (n >= 1) {
    const std::string configured = g_config->ReadString("modules", std::to_string(n));
    path = IsAbsolutePath(configured) ? configured : JoinPath(Host().base_path, configured);
    g_config->WriteInt("session", "MostRecentUsedModule", n);
  } else {
    // A path on the command line means what it meant in the shell.
    const std::string& given = arguments_.front();
    path = IsAbsolutePath(given) ? given : JoinPath(Host().launch_directory, given);
  }
  path = NormalizePath(path);
  library_file_name_ = WithLibrarySuffix(path);
  module_directory_ = NormalizeDirectory(path);
  relative_module_directory_ = RelativeTo(module_directory_, Host().working_directory);
  copy_directory_ =
      AsDirectory(NormalizePath(g_config->ReadPath("modules", "PutRecompiledModulesTo_win32")));
}

void TModule::AttachAndInit() {
  try {
    Attach();
    Init();
  } catch (...) {
    crashed_ = true;
  }
  if (!crashed_) return;
  // The module's exception objects are gone by now: it is safe to unload.
  RecordFailure([this] { Unload(); });
  AddLog(MI_DEVMODE_MODULE_UNLOADED, {TakeErrorText()});
}

void TModule::Attach() {
  VerboseLog(MI_LOG_ATTACHING_MODULE, {library_file_name_});
  try {
    const std::string source = module_directory_ + library_file_name_;
    if (!platform::IsRegularFile(source)) FatalError(MI_ERROR_MODULE_MISSING, {source});
    loaded_file_time_ = platform::FileTimeNs(source);
    const std::string copy = copy_directory_ + library_file_name_;
    CopyLibrary(source, copy);
    LoadLibraryFile(copy);
    Bind();
    CallIntoModule([this] { callback_entry_(&HostLookup); });
  } catch (...) {
    FatalError(MI_ERROR_CANNOT_LOAD_MODULE, {library_file_name_});
  }
  VerboseLogSuccess();
}

void TModule::CopyLibrary(const std::string& source, const std::string& target) {
  try {
    std::string error;
    if (platform::FileExists(target) && !platform::DeleteFile(target, error)) {
      SetLastErrorText(1, error);
      FatalError(MI_ERROR_CANNOT_DESTROY_FILE, {target});
    }
    platform::MakeDirectories(NormalizeDirectory(target), error);
    // The copy lands under a temporary name and is renamed into place, so
    // a copy that fails half-way never leaves a broken library behind.
    if (!platform::CopyFile(source, target, error)) throw std::runtime_error(error);
  } catch (...) {
    FatalError(MI_CANNOT_COPY_MODULE_DLL, {source, target});
  }
}

void TModule::LoadLibraryFile(const std::string& path) {
  ClearLastError();
  std::string error;
  library_ = platform::DynamicLibrary::Open(path, error);
  if (!library_) throw std::runtime_error("LoadLibrary() returned zero.\n\r" + error);
}

void TModule::Bind() {
  init_entry_ = reinterpret_cast<TZokModuleInit>(library_->Resolve(kExportModuleInit));
  message_entry_ = reinterpret_cast<TSendMsg>(library_->Resolve(kExportSendMsg));
  callback_entry_ = reinterpret_cast<TSetCallback>(library_->Resolve(kExportSetCallback));
  if (!init_entry_ || !message_entry_ || !callback_entry_) {
    FatalError(MI_ERROR_INVALID_MODULE, {library_file_name_});
  }
}

void TModule::Init() {
  VerboseLog(MI_LOG_INITIALIZING_MODULE, {library_file_name_});
  try {
    const std::string module_path = relative_module_directory_ + library_file_name_;
    const std::string session_path = Host().session_path;
    const std::string save_path = Host().save_path;
    CallIntoModule(
        [&] { init_entry_(module_path.c_str(), session_path.c_str(), save_path.c_str()); });
    VerboseLogSuccess();
    loaded_ = true;
  } catch (...) {
    FatalError(MI_ERROR_MODULE_CRASHED_AT_LOADING, {library_file_name_});
  }
}

int32_t TModule::Dispatch(int32_t code, int32_t a, int32_t b, int32_t c) {
  if (code == Re_OnGetFocus || code == Re_OnLoseFocus || code == Re_OnCreate) return 0;
  if (loaded_) return Send(code, a, b, c);
  if (code == Re_OnPress && a == keys::kSpace) {
    ReloadModule();
  } else if (code == Re_OnPress && a == keys::kEscape) {
    RequestQuit();
  }
  return 0;
}

int32_t TModule::Send(int32_t code, int32_t a, int32_t b, int32_t c) {
  if (!InService() || code == Re_OnCreate) return 0;
  int32_t result = 0;
  bool failed = false;
  try {
    CallIntoModule([&] { result = message_entry_(code, a, b, c); });
  } catch (...) {
    failed = true;
    crashed_ = true;
    const std::string code_name = CbMessageName(code);
    RecordFailure([&] { FatalError(MI_ERROR_MODULE_CRASHED, {library_file_name_, code_name}); });
  }
  if (!failed) return result;
  // Inside another call into the module (a host function that sent an
  // event), the module's frames are still on the stack: unwind them to the
  // outermost guard, which unloads.
  if (call_depth_ > 0) throw EDying("The module crashed inside a nested call.");
  PutOutOfService();
  return 0;
}

void TModule::PutOutOfService() {
  RecordFailure([this] { Unload(); });
  AddLog(MI_DEVMODE_MODULE_UNLOADED, {TakeErrorText()});
}

void TModule::Unload() {
  loaded_ = false;
  init_entry_ = nullptr;
  message_entry_ = nullptr;
  callback_entry_ = nullptr;
  if (!library_) return;
  const std::string path = library_->Path();
  // dlclose runs the module's static destructors: module code again.
  const int fault = platform::RunGuarded([this] { library_.reset(); });
  if (fault != 0) throw EModuleFault(fault);
  if (platform::DynamicLibrary::IsMapped(path)) {
    AddLog(
        "WARNING: \"%0\" is still mapped after unloading; a rebuilt module may not take its place.",
        {path});
  }
}
