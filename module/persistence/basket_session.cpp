#include "module/persistence/basket_session.h"

#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/host_basket_io.h"
#include "module/persistence/truly_persistent.h"
#include "module/runtime/module_report.h"
#include "shared/dyna/dyna_basket.h"
#include "shared/dyna/dyna_types.h"

void DataCorrupt(const std::string& reason) {
  ModuleFatalError(MI_BASKET_FAIL_LOAD,
                   {u"\n\r" + ModuleLiteral(u"Файл запорот: ", u"Data corrupt: ") +
                    WideText(reason) + u" (" + WideText(DynaBasket().FileName()) + u")"});
}

void DynaCorrupt(const char* reason) {
  DataCorrupt(reason);
}

int32_t ReadStoredLength(int32_t min_words_each) {
  TWordStream& basket = DynaBasket();
  const auto length = static_cast<int32_t>(basket.ReadWord());
  if (length < 0) DataCorrupt("A stored array has a negative length.");
  const int64_t left = basket.WordsLeft();
  if (left >= 0 && int64_t{length} * min_words_each > left) {
    DataCorrupt("A stored array is longer than the data left.");
  }
  return length;
}

void EncodeElement(TTrulyPersistent* element) {
  WriteObjectReference(element);
}

TTrulyPersistent* DecodeElement(TTrulyPersistent*) {
  TTrulyPersistent* element = nullptr;
  ReadObjectReference(element, TTrulyPersistent::StaticClass());
  return element;
}

void EncodeElement(TDyna* element) {
  if (element == nullptr) {
    DynaBasket().WriteWord(static_cast<uint32_t>(-1));
  } else {
    element->Save();
  }
}

TDyna* DecodeElement(TDyna*) {
  // The basket does not name an element's class, so only nil reads back.
  if (static_cast<int32_t>(DynaBasket().ReadWord()) >= 0) {
    DataCorrupt("An array of containers holds an element.");
  }
  return nullptr;
}

void EncodeElement(TObject* element) {
  if (element != nullptr) {
    ModuleFatalError(MI_BASKET_FAIL_SAVE, {u"Objects of class " + WideText(element->ClassName()) +
                                           u" cannot be stored."});
  }
  DynaBasket().WriteWord(static_cast<uint32_t>(-1));
}

TObject* DecodeElement(TObject*) {
  if (static_cast<int32_t>(DynaBasket().ReadWord()) >= 0) {
    DataCorrupt("An array of plain objects holds an element.");
  }
  return nullptr;
}
