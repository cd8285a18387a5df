#include "module/sample/tessel01_texts.h"

std::u16string_view QualityAnnouncement(int32_t quality) {
  switch (quality) {
    case 1:
      return u"Качество заблюривания: НИЗКОЕ";
    case 2:
      return u"Качество заблюривания: СРЕДНЕЕ";
    case 3:
      return u"Качество заблюривания: ВЫСОКОЕ";
    default:
      return {};
  }
}
