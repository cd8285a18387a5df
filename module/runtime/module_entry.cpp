#include "module/runtime/module_entry.h"

#include "module/gl/gl_binding.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/floating_point.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_globals.h"
#include "module/runtime/module_hooks.h"
#include "module/runtime/module_identity.h"
#include "module/runtime/module_log.h"
#include "shared/format.h"
#include "shared/text_codes.h"

namespace {
THostLookup g_host_lookup = nullptr;
}  // namespace

TModuleGlobals& Module() {
  static TModuleGlobals globals;
  return globals;
}

void ModuleSetCallback(THostLookup lookup) {
  g_host_lookup = lookup;
}

THostLookup HostLookupFunction() {
  return g_host_lookup;
}

void ModuleInit(const char* module_path, const char* session_path, const char* save_path) {
  gl::ClearGL();
  SetModuleFloatingPoint();

  host::BindAll(g_host_lookup);
  host::CheckHostVersion(kModuleHostVersion.major, kModuleHostVersion.minor,
                         kModuleHostVersion.build);
  host::ValidateTypesets(kModuleMessageIdHighest, 0);
  host::ValidateTypesets(kCbMessageHighest, 1);

  TModuleGlobals& module = Module();
  module.program_directory = WideToCp1251(host::ProgramDirectory());
  module.developer_mode = host::IsDeveloperMode() != 0;
  module.debug_mode = host::IsDebugMode() != 0;
  module.russian = host::IsRussianLanguage() != 0;

  InitTypeRegistry();
  gl::BindGL();

  const std::string version =
      FormatVersion(kModuleHostVersion.major, kModuleHostVersion.minor, kModuleHostVersion.build);
  ModuleAddLog(MI_VERSION_INFO, {kModuleTitle, version, kModuleBuildDate, kModuleBuildTime,
                                 kModuleCompiler, kModuleProcessor});

  RegisterModuleClasses();

  module.module_path = module_path ? module_path : "";
  module.session_path = session_path ? session_path : "";
  module.save_path = save_path ? save_path : "";
  ModuleStart(module.module_path, module.session_path, module.save_path);
}

int32_t ModuleSendMessage(int32_t code, int32_t a, int32_t b, int32_t c) {
  return ModuleMessageHandler(code, a, b, c);
}
