#include "host/core/startup.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "host/config/config_manager.h"
#include "host/core/build_info.h"
#include "host/core/engine_stack.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/core/main_loop.h"
#include "host/core/paths.h"
#include "host/display/hotkeys.h"
#include "host/display/shared_resources.h"
#include "host/display/splash.h"
#include "host/display/zok_window.h"
#include "host/files/cl_file_io.h"
#include "host/files/timer.h"
#include "host/images/cl_libpng.h"
#include "host/messages/cl_console.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_module.h"
#include "host/platform/clock.h"
#include "host/platform/fault_guard.h"
#include "host/platform/file_system.h"
#include "host/platform/gl_window.h"
#include "host/platform/instance_lock.h"
#include "host/platform/quit_signal.h"
#include "shared/text_codes.h"
#include "shared/zok_protocol.h"

namespace {

// Process-wide objects that live from the first stage to process exit.
struct HostObjects {
  std::unique_ptr<platform::InstanceLock> instance_lock;
  std::unique_ptr<TEngineStack> engine_stack;
  std::unique_ptr<TConfigManager> config;
  std::unique_ptr<TMessageContainer> messages;
  std::unique_ptr<TConsole> console;
  std::vector<std::string> arguments;  // after the program name
  TZOKWindow* window = nullptr;        // owned by the engine object stack
};

// A fault outside any module call is a host failure like an exception.
class EHostFault : public std::runtime_error {
 public:
  explicit EHostFault(int signal_number) : std::runtime_error(platform::FaultName(signal_number)) {}
};

template <typename F>
void RunFaultGuarded(F&& body) {
  const int fault = platform::RunGuarded(body);
  if (fault != 0) throw EHostFault(fault);
}

double DaysSince(double start_days) {
  return platform::LocalNowDays() - start_days;
}

// A configured directory as an absolute path ending with '/'.
std::string ConfiguredDirectory(const std::string& section, const std::string& key) {
  const std::string path = g_config->ReadPath(section, key);
  return path.empty() || path.back() == '/' ? path : path + '/';
}

void TakeInstanceLock(HostObjects& objects, const std::string& file_stem) {
  objects.instance_lock = platform::InstanceLock::TryAcquire("SingleInstancEMutex" + file_stem);
  Host().owns_instance_lock = objects.instance_lock != nullptr;
  Host().second_instance = !Host().owns_instance_lock;
}

void SetWorkingDirectory() {
  THostGlobals& host = Host();
  const std::string configured = g_config->ReadString("main", "workingdir_win32");
  host.working_directory = AbsoluteDirectory(configured, host.program_directory);
  std::string error;
  if (!platform::ChangeDirectory(host.working_directory, error)) {
    throw std::runtime_error("Cannot enter the working directory \"" + host.working_directory +
                             "\": " + error);
  }
}

// Base, session and save paths become absolute directories once, here.
void ReadModulePaths() {
  THostGlobals& host = Host();
  host.base_path = ConfiguredDirectory("Modules", "BasePath");
  host.session_path = ConfiguredDirectory("Modules", "SessionPath");
  host.save_path = ConfiguredDirectory("Modules", "SavePath");
}

void DeleteOldLog() {
  // A second instance must not take the running one's log away.
  if (!Host().owns_instance_lock) return;
  const std::string log_path = Host().working_directory + "LOG";
  if (!platform::FileExists(log_path)) return;
  std::string error;
  if (!platform::DeleteFile(log_path, error)) {
    throw std::runtime_error("Unable to delete the old log file!\n\r" + log_path);
  }
}

void FirstStage(HostObjects& objects) {
  THostGlobals& host = Host();
  host.start_time = platform::LocalNowDays();
  host.start_tick = platform::TickMs();
  host.start_mono_ns = platform::MonotonicNs();

  host.launch_directory = platform::CurrentDirectory();
  const std::string exe = platform::OwnExecutablePath();
  const std::string file_name = FileNamePart(exe);
  host.program_file_stem = file_name.substr(0, file_name.rfind('.'));
  host.program_name = AsciiUpper(host.program_file_stem);
  host.program_directory = NormalizeDirectory(exe);

  TakeInstanceLock(objects, host.program_file_stem);
  objects.engine_stack = std::make_unique<TEngineStack>();

  objects.config =
      std::make_unique<TConfigManager>(host.program_directory + host.program_file_stem + ".ini");
  g_config = objects.config.get();
  SetWorkingDirectory();
  ReadModulePaths();
  host.debug_mode = g_config->ReadBool("main", "debugmode");
  host.developer_mode = g_config->ReadBool("main", "developer_mode");

  objects.messages = std::make_unique<TMessageContainer>(g_config->ReadString("main", "language"));
  g_messages = objects.messages.get();
  host.container_ready = true;

  DeleteOldLog();
  objects.console = std::make_unique<TConsole>();
  g_console = objects.console.get();
  objects.console->Create();
}

void SecondStage(HostObjects& objects) {
  THostGlobals& host = Host();
  VerboseLog("First Stage Init took %0 seconds.",
             {FormatElapsedSeconds(DaysSince(host.start_time))});
  if (host.second_instance) {
    FatalError(MI_ERROR_MULTIPLE_INSTANCES_NOT_ALLOWED, {GetMessageText(MI_ZOK_TITLE)});
  }

  ClearLastError();
  StartHostTimer();
  SetZokFileStampSource(HostRunStamp);
  std::string error;
  platform::ChangeDirectory(host.program_directory, error);
  const std::string version =
      FormatVersion(kHostVersion.major, kHostVersion.minor, kHostVersion.build);
  AddLog(MI_VERSION_INFO, {GetMessageText(MI_ZOK_TITLE), version, kHostBuildDate, kHostBuildTime,
                           kHostCompiler, kHostProcessor});

  VerboseLog("Initializing configuration manager...");
  g_config->AttachConfigFiles();
  LogOsVersion();
  std::srand(platform::TickMs());
  CreateSplash();
  ReadHotkeys();

  objects.engine_stack->Push(new TLibPngLoader());

  VerboseLog("Creating the display/input manager...");
  // A window that fails half-way is freed here; only a whole one joins
  // the engine object stack.
  auto window = std::make_unique<TZOKWindow>();
  window->Create();
  objects.window = window.get();
  objects.engine_stack->Push(window.release());

  LoadSharedResources();

  VerboseLog("Loading the module...");
  g_module = new TModule(objects.arguments);
  objects.engine_stack->Push(g_module);

  VerboseLog("Deleting the splash screen...");
  DeleteSplash();
  objects.console->Setup();
}

void Shutdown(HostObjects& objects) {
  objects.engine_stack->DestroyAll();
  g_module = nullptr;
  objects.window = nullptr;
  platform::QuitVideo();
  try {
    AddLog(GetMessageText(MI_ZOK_TITLE) + u" final shutdown:");
  } catch (...) {
  }
  if (!Host().alive) FinalErrorReport();
  g_messages = nullptr;
  objects.messages.reset();
  g_config = nullptr;
  objects.config.reset();
}

}  // namespace

int RunHost(int argc, char** argv) {
  // A quit request during start-up still gets an orderly shutdown.
  platform::InstallQuitSignals();
  // A host fault outside any guard must not leave the display in a
  // full-screen mode.
  platform::InstallFaultHandlers(platform::RestoreDesktopModeNow);
  HostObjects objects;
  objects.arguments.assign(argv + std::min(argc, 1), argv + argc);
  try {
    FirstStage(objects);
  } catch (const std::exception& e) {
    CrashedAtStartup(e.what());
  } catch (...) {
    CrashedAtStartup("Unknown exception.");
  }

  try {
    RunFaultGuarded([&] { SecondStage(objects); });
  } catch (...) {
    Host().alive = false;
    RecordFailure([] { FatalError(MI_DIED_INITIALIZING, {"ZOK"}); });
  }
  DeleteSplash();  // a second removal does nothing

  if (Host().alive) {
    try {
      VerboseLog("ZOK initialization took %0 seconds. Entering the main loop.",
                 {FormatElapsedSeconds(DaysSince(Host().start_time))});
      RunFaultGuarded([&] { MainLoop(*objects.window); });
      VerboseLog("...exited the main loop.");
    } catch (const EFake&) {
      RecordFailure([] { VerboseLog("WARNING: EFake caught. Closing the application."); });
    } catch (const EDying&) {
      Host().alive = false;
    } catch (...) {
      Host().alive = false;
      RecordFailure([] { FatalError(MI_ERROR_EXCEPTION); });
    }
  }

  Shutdown(objects);
  return Host().alive ? 0 : 1;
}
