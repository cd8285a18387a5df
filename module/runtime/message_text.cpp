// The module asks the host for message texts; identifiers past the shared
// range have none.
#include "module/runtime/host_functions.h"
#include "shared/format.h"

std::u16string GetMessageText(TMessageID id) {
  if (id < 0 || id > MI_CORE_MIDs_END) return {};
  if (!host::GetMessageText) return {};
  const char16_t* text = host::GetMessageText(id);
  return text ? std::u16string(text) : std::u16string();
}
