#include "shared/message_ids.h"

#include <array>
#include <string>
#include <string_view>

#include "shared/text_codes.h"

namespace {
// In enumerator order; the module compares identifiers by value, the
// language files by these names.
constexpr const char* kMessageIdNames[] = {
    "MI_ZOK_TITLE",
    "MI_VERSION_INFO",
    "MI_ERROR_INVALID_CONFIG_PARAMETER",
    "MI_ERROR_INVALID_CONFIG_PARAMETER_NO_LIM",
    "MI_WIN32_EXPLAINS",
    "MI_ERROR_CANTSWITCHTOFULLSCREN",
    "MI_CANT_CONNECT_TO_X_SERVER",
    "MI_ERROR_OPENGLDLLNOTFOUND",
    "MI_LOG_SUCCESS",
    "MI_LOG_OPENGLINIT",
    "MI_ERROR_CANTINITOPENGL",
    "MI_LOG_Choosenpixelformat",
    "MI_ERROR_OPENGLNOTACCELERATED",
    "MI_LOG_OGLINITIALIZED",
    "MI_ERROR_ACCESSING",
    "MI_ERROR_INVALID_UNICODE_TEXT",
    "MI_ERROR_FILE_NOT_FOUND",
    "MI_ERROR_MAININI_READ_ONLY",
    "MI_ERROR_GLEXTENSIONSMISSING",
    "MI_LOG_OGL_VERSION",
    "MI_LOG_OGLEXTENSIONS",
    "MI_LOG_SWITCHEDTOVIDEOMODE",
    "MI_LOG_SWITCHEDTODEFAULTVIDEOMODE",
    "MI_LOG_STARTED",
    "MI_LOG_DESTROYING_ENGINE_OBJECT",
    "MI_ERROR_ENGINE_OBJECT_CRASHED_AT_DESTROYING",
    "MI_EABSTRACT_EXPLAIN",
    "MI_ERROR_EXCEPTION",
    "MI_ERROR_X_SERVER_FATAL",
    "MI_OS_VERSION",
    "MI_ERROR_FUNCTION_NOT_FOUND_IN_DLL",
    "MI_ERROR_DLL_NOT_FOUND",
    "MI_ERROR_MULTIPLE_INSTANCES_NOT_ALLOWED",
    "MI_ERROR_CANNOT_DESTROY_FILE",
    "MI_ERROR_MODULE_MISSING",
    "MI_ERROR_CANNOT_LOAD_MODULE",
    "MI_ERROR_MODULE_CRASHED_AT_LOADING",
    "MI_LOG_ATTACHING_MODULE",
    "MI_ERROR_INVALID_MODULE",
    "MI_LOG_INITIALIZING_MODULE",
    "MI_LOG_ACTIVATING_MODULE",
    "MI_ERROR_TYPESETS_MISMATCH",
    "MI_CRASHED_ENCODING_PIC",
    "MI_UNDEFINED",
    "MI_CRASHED_DECODING_PIC",
    "MI_VERSIONS_MISMATCH",
    "MI_ERROR_INVALID_CONFIG_PARAMETER_STR",
    "MI_INVALID_HOST_HOTKEY_RECORD",
    "MI_LOG_UNLOADING_MODULE",
    "MI_CRASHED",
    "MI_ERROR_ATTEMPT_TO_STORE_NONEXISTENT_CONTAINER",
    "MI_CANNOT_COPY_MODULE_DLL",
    "MI_ERROR_MODULE_CRASHED",
    "MI_CRASHED_IN",
    "MI_SIMPLE_EXCEPTION_TALE",
    "MI_DIED_INITIALIZING",
    "MI_LOG_RECOMPILE_DETECTED",
    "MI_ERROR_PROGRAMMER_NO_BAKA",
    "MI_BASKET_FAIL_LOAD",
    "MI_BASKET_FAIL_SAVE",
    "MI_BASKET_EXPLAIN_UNKNOWN",
    "MI_BASKET_UNKNOWN_CLASS",
    "MI_BASKET_UNKNOWN_TYPE",
    "MI_BASKET_UNKNOWN_OBJECT_FIELD",
    "MI_BASKET_UNKNOWN_FIELD",
    "MI_BASKET_WRONG_FIELD_TYPE",
    "MI_BASKET_TYPE_SIZE_MISMATCH",
    "MI_OPENGL_VERSION_TOO_LOW",
    "MI_BASKET_MISSING_FIELD",
    "MI_CRASHED_UNLOADING_MODULE",
    "MI_SHIT_HAPPENS_SEE_BELOW",
    "MI_ERROR_MESSAGE_IS",
    "MI_DEVMODE_MODULE_UNLOADED",
    "MI_BASKET_UNKNOWN_ENUM",
    "MI_BASKET_NOT_EVERYTHING_IS_FINE_AND_DANDY",
    "MI_ZOKFILE_ERROR_READ",
    "MI_ZOKFILE_ERROR_WRITE",
    "MI_ZOKFILE_CORRUPT",
    "MI_ZOKFILE_UNSUPPORTED",
    "MI_CONTAINER_DOESNT_EXIST",
    "MI_LOADING",
    "MI_SAVING",
    "MI_OF_SESSION",
    "MI_OF_GAME",
    "MI_OF_MODEL",
    "MI_OF_ANIMATION",
    "MI_OF_SCENARIO",
    "MI_ERROR_LOADING",
    "MI_ERROR_SAVING",
    "MI_BASKET_ENUM_CHANGED",
    "MI_BASKET_CONVERSION",
    "MI_DUAL_PROCESSOR_TIMER_ROLLBACK",
    "MI_FREQ_UNSTABLE_TIMER_ROLLBACK",
    "MI_CORE_MIDs_END",
};
static_assert(std::size(kMessageIdNames) == kMessageIdCount);

constexpr std::string_view kNamePrefix = "MI_";

bool IsKnownId(TMessageID id) {
  return id >= 0 && id < kMessageIdCount;
}

// Built once; the pointers handed out stay valid for the whole process.
const std::array<std::string, kMessageIdCount>& MessageKeys() {
  static const std::array<std::string, kMessageIdCount> keys = [] {
    std::array<std::string, kMessageIdCount> built;
    for (int32_t id = 0; id < MI_CORE_MIDs_END; ++id) {
      built[id] = AsciiUpper(std::string_view(kMessageIdNames[id]).substr(kNamePrefix.size()));
    }
    // The end marker never has a text, so no key line may name it.
    built[MI_CORE_MIDs_END].clear();
    return built;
  }();
  return keys;
}
}  // namespace

const char* MessageIdName(TMessageID id) {
  return IsKnownId(id) ? kMessageIdNames[id] : "";
}

const char* MessageKey(TMessageID id) {
  return IsKnownId(id) ? MessageKeys()[id].c_str() : "";
}
