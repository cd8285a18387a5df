// What the module does behind its exports.
#pragma once

#include <cstdint>

#include "shared/zok_protocol.h"

void ModuleSetCallback(THostLookup lookup);
void ModuleInit(const char* module_path, const char* session_path, const char* save_path);
int32_t ModuleSendMessage(int32_t code, int32_t a, int32_t b, int32_t c);

// The host's lookup function, kept from setcallback.
THostLookup HostLookupFunction();
