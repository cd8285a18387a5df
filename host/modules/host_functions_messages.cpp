// Host functions that reach the log, the error list and the texts.
#include <string>

#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/host_functions.h"

namespace hf {

void AddLogSuccess() {
  ::AddLogSuccess();
}

int32_t ErrorReported() {
  return ::ErrorReported() ? 1 : 0;
}

const char16_t* TakeErrorText() {
  static std::u16string slot;
  slot = ::TakeErrorText();
  return slot.c_str();
}

void ShowInfoBox(const char* text) {
  ::ShowInfoBox(text ? text : "");
}

// Module texts stay wide all the way into the error list.
void FatalErrorText(const char16_t* text) {
  FatalErrorWide(text ? text : u"");
}

void AddLog(const char16_t* text) {
  ::AddLog(std::u16string(text ? text : u""));
}

const char16_t* GetMessageText(int32_t id) {
  static std::u16string slot;
  slot = ::GetMessageText(static_cast<TMessageID>(id));
  return slot.c_str();
}

int32_t IsRussianLanguage() {
  return ::IsRussianLanguage() ? 1 : 0;
}

}  // namespace hf
