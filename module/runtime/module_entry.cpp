#include "module/runtime/module_entry.h"

namespace {
THostLookup g_host_lookup = nullptr;
}  // namespace

void ModuleSetCallback(THostLookup lookup) {
  g_host_lookup = lookup;
}

THostLookup HostLookupFunction() {
  return g_host_lookup;
}

void ModuleInit(const char*, const char*, const char*) {
  // Binding the host functions and restoring the module object come with
  // the module runtime.
}

int32_t ModuleSendMessage(int32_t, int32_t, int32_t, int32_t) {
  return 0;
}
