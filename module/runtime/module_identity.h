// Who this module is, and which host it was built for. Test modules
// override the numbers at build time.
#pragma once

#include <cstdint>

#include "shared/message_ids.h"
#include "shared/zok_protocol.h"

#ifndef ZOK_MODULE_HOST_VERSION_MAJOR
#define ZOK_MODULE_HOST_VERSION_MAJOR 0
#define ZOK_MODULE_HOST_VERSION_MINOR 1
#define ZOK_MODULE_HOST_VERSION_BUILD 362
#endif
#ifndef ZOK_MODULE_MESSAGE_ID_HIGHEST
#define ZOK_MODULE_MESSAGE_ID_HIGHEST MI_CORE_MIDs_END
#endif

constexpr const char* kModuleTitle = "DEMO #1";
constexpr TVersion kModuleHostVersion{ZOK_MODULE_HOST_VERSION_MAJOR, ZOK_MODULE_HOST_VERSION_MINOR,
                                      ZOK_MODULE_HOST_VERSION_BUILD};
constexpr int32_t kModuleMessageIdHighest = ZOK_MODULE_MESSAGE_ID_HIGHEST;
constexpr const char* kModuleBuildDate = "2006/10/06";
constexpr const char* kModuleBuildTime = "19:33:14";
constexpr const char* kModuleProcessor = "x86_64";
constexpr const char* kModuleCompiler = "g++ " __VERSION__;
