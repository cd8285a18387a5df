// Host functions the module calls, bound by number when the module starts.
#pragma once

#include <cstdint>

namespace host {

// 46: the text of a message identifier, valid until the next call.
extern const char16_t* (*GetMessageText)(int32_t id);

}  // namespace host
