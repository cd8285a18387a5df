#include <string>

#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/host_functions.h"
#include "shared/text_codes.h"

int32_t HostLookup(int32_t index, void** slot) {
  switch (index) {
#define ZOK_HOST_FUNCTION_CASE(number, name, result, params) \
  case number:                                               \
    *slot = reinterpret_cast<void*>(&hf::name);              \
    return 0;
    ZOK_HOST_FUNCTIONS(ZOK_HOST_FUNCTION_CASE)
#undef ZOK_HOST_FUNCTION_CASE
  }
  // Wide, so the Russian form reaches the text as Cyrillic.
  const std::u16string what =
      Cp1251ToWide(ChooseLiteral(
          WideToCp1251(u"списка експортирумых функций (нет в ём элементу за нумером "),
          "exported functions list (there is no entry #")) +
      Cp1251ToWide(std::to_string(index)) + u")";
  FatalError(MI_ERROR_TYPESETS_MISMATCH, {what});
}
