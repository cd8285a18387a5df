// Host functions that read and write integer settings.
#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/modules/host_functions.h"

namespace hf {

void ConfigWriteInteger(const char* section, const char* key, int32_t value) {
  g_config->WriteInt(section ? section : "", key ? key : "", value);
}

int32_t ConfigReadInteger(const char* section, const char* key) {
  return g_config->ReadInt(section ? section : "", key ? key : "");
}

int32_t ConfigReadIntegerInRange(const char* section, const char* key, int32_t lowest,
                                 int32_t highest) {
  return g_config->ReadIntLimited(section ? section : "", key ? key : "", lowest, highest);
}

}  // namespace hf
