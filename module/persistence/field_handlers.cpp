#include "module/persistence/field_handlers.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/truly_persistent.h"
#include "module/persistence/type_registry.h"
#include "shared/dyna/dyna_basket.h"

namespace {

using TDwordArray2D = std::vector<std::vector<uint32_t>>;

// Grows with the words that really arrive, so a damaged count fails at the
// end of the data instead of asking for a huge block.
void ReadDwords(TWordStream& basket, std::vector<uint32_t>& row) {
  const int32_t length = ReadStoredLength(1);
  row.clear();
  row.reserve(static_cast<size_t>(std::min(length, 4096)));
  for (int32_t j = 0; j < length; ++j) row.push_back(basket.ReadWord());
}

}  // namespace

void EnumFieldHandler(void* field, TFieldOperation operation) {
  TWordStream& basket = DynaBasket();
  switch (operation) {
    case fio_Save: {
      int32_t ordinal;
      std::memcpy(&ordinal, field, sizeof ordinal);
      basket.WriteWord(static_cast<uint32_t>(ordinal));
      break;
    }
    case fio_Load: {
      const int32_t ordinal = TranslateEnumOrdinal(BasketSession().CurrentType, basket.ReadWord());
      std::memcpy(field, &ordinal, sizeof ordinal);
      break;
    }
    case fio_Skip:
      basket.SkipWords(1);
      break;
  }
}

void AnsiStringFieldHandler(void* field, TFieldOperation operation) {
  TWordStream& basket = DynaBasket();
  auto* text = static_cast<std::string*>(field);  // null when skipping
  switch (operation) {
    case fio_Save:
      basket.WriteString(*text);
      break;
    case fio_Load:
      *text = basket.ReadString();
      break;
    case fio_Skip:
      basket.SkipString();
      break;
  }
}

void WideStringFieldHandler(void* field, TFieldOperation operation) {
  TWordStream& basket = DynaBasket();
  auto* text = static_cast<std::u16string*>(field);  // null when skipping
  switch (operation) {
    case fio_Save:
      basket.WriteWideString(*text);
      break;
    case fio_Load:
      *text = basket.ReadWideString();
      break;
    case fio_Skip:
      basket.SkipWideString();
      break;
  }
}

void DwordArray2DFieldHandler(void* field, TFieldOperation operation) {
  TWordStream& basket = DynaBasket();
  switch (operation) {
    case fio_Save: {
      const auto& rows = *static_cast<const TDwordArray2D*>(field);
      basket.WriteWord(static_cast<uint32_t>(rows.size()));
      for (const auto& row : rows) {
        basket.WriteWord(static_cast<uint32_t>(row.size()));
        basket.WriteWords(row.data(), static_cast<int32_t>(row.size()));
      }
      break;
    }
    case fio_Load: {
      auto& rows = *static_cast<TDwordArray2D*>(field);
      const int32_t length = ReadStoredLength(1);
      rows.clear();
      for (int32_t i = 0; i < length; ++i) ReadDwords(basket, rows.emplace_back());
      break;
    }
    case fio_Skip: {
      const int32_t length = ReadStoredLength(1);
      for (int32_t i = 0; i < length; ++i) basket.SkipWords(ReadStoredLength(1));
      break;
    }
  }
}

void ObjectFieldHandler(void* field, TFieldOperation operation) {
  const TPersistentClass& declared = *TypeRecord(BasketSession().CurrentType).ClassRef;
  TTrulyPersistent* object = nullptr;
  switch (operation) {
    case fio_Save:
      std::memcpy(&object, field, sizeof object);
      WriteObjectReference(object);
      break;
    case fio_Load:
      ReadObjectReference(object, declared);
      std::memcpy(field, &object, sizeof object);
      break;
    case fio_Skip:
      SkipObjectReference(declared);
      break;
  }
}
