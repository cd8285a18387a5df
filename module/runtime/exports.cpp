// The module library's three exports, the only names the host resolves.
#include "module/runtime/module_entry.h"

#define ZOK_EXPORT extern "C" __attribute__((visibility("default")))

ZOK_EXPORT void setcallback(THostLookup lookup) {
  ModuleSetCallback(lookup);
}

ZOK_EXPORT void zokmoduleinit(const char* module_path, const char* session_path,
                              const char* save_path) {
  ModuleInit(module_path, session_path, save_path);
}

ZOK_EXPORT int32_t sendmsg(int32_t code, int32_t a, int32_t b, int32_t c) {
  return ModuleSendMessage(code, a, b, c);
}
