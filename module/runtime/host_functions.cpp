#include "module/runtime/host_functions.h"

namespace host {

const char16_t* (*GetMessageText)(int32_t id) = nullptr;

}  // namespace host
