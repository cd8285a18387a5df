// Fatal errors, queued errors and the list the final report shows.
#include <cstdio>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/platform/message_box.h"
#include "host/platform/os_info.h"
#include "shared/text_codes.h"

namespace {

struct ErrorState {
  std::vector<std::u16string> list;  // newest last
  bool reported = false;
  int last_error = 0;
  std::string last_error_text;  // set by callers that have their own text
};

ErrorState& State() {
  static ErrorState state;
  return state;
}

// The exception being handled, when it is an ordinary one.
std::exception_ptr OrdinaryCurrentException(bool exclude_fake) {
  std::exception_ptr current = std::current_exception();
  if (!current) return nullptr;
  try {
    std::rethrow_exception(current);
  } catch (const EFake&) {
    return exclude_fake ? nullptr : current;
  } catch (const std::exception&) {
    return current;
  } catch (...) {
  }
  return nullptr;
}

// Logging must never cost us the error itself.
void LogShitHappensOnce() {
  if (State().reported) return;
  State().reported = true;
  try {
    AddLog(MI_SHIT_HAPPENS_SEE_BELOW);
  } catch (...) {
  }
}

[[noreturn]] void Record(std::u16string text, const std::string& message) {
  State().list.push_back(std::move(text));
  throw EDying(message);
}

}  // namespace

void FatalError(TMessageID id) {
  FatalError(id, {});
}

void FatalError(TMessageID id, TMsgArgs args) {
  std::u16string text = FormatMessage(id, args);
  if (!State().reported) {
    try {
      if (std::exception_ptr cause = OrdinaryCurrentException(true)) {
        text += u"\n\r\n\r" + DescribeException(cause) + LastErrorText();
      }
    } catch (...) {
      text += u"\n\r!Crashed accessing Exception object!";
    }
    ClearLastError();
  }
  LogShitHappensOnce();
  Record(text, WideToCp1251(text));
}

void FatalErrorText(const std::string& text) {
  std::u16string wide = Cp1251ToWide(text);
  if (!State().reported) {
    LogShitHappensOnce();
    wide += LastErrorText();
    ClearLastError();
  }
  Record(wide, text);
}

void FatalErrorWide(const std::u16string& text) {
  std::u16string wide = text;
  if (!State().reported) {
    LogShitHappensOnce();
    wide += LastErrorText();
    ClearLastError();
  }
  Record(wide, WideToCp1251(text));
}

void QueueError(TMessageID id, TMsgArgs args) {
  State().list.push_back(FormatMessage(id, args));
}

bool ErrorReported() {
  return State().reported;
}

size_t ErrorCount() {
  return State().list.size();
}

std::u16string JoinErrors() {
  std::u16string joined;
  auto& list = State().list;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (it != list.rbegin()) joined += u"\n\r\n\r";
    joined += *it;
  }
  list.clear();
  return joined;
}

std::u16string TakeErrorText() {
  std::u16string text;
  std::exception_ptr cause = State().reported ? nullptr : OrdinaryCurrentException(false);
  text = cause ? DescribeException(cause) : JoinErrors();
  State().reported = false;
  return text;
}

void SetLastError(int code) {
  State().last_error = code;
  State().last_error_text.clear();
}

void SetLastErrorText(int code, const std::string& text) {
  State().last_error = code;
  State().last_error_text = text;
}

void ClearLastError() {
  SetLastError(0);
}

int LastErrorCode() {
  return State().last_error;
}

std::u16string LastErrorText() {
  const int code = State().last_error;
  if (code == 0) return {};
  char hex[16];
  std::snprintf(hex, sizeof hex, "%.8X", static_cast<unsigned>(code));
  const std::string system_text =
      State().last_error_text.empty() ? platform::SystemErrorText(code) : State().last_error_text;
  const std::string code_text = hex;
  const std::u16string wide_text = Utf8ToWide(system_text);
  return u"\n\r\n\r" + FormatMessage(MI_WIN32_EXPLAINS, {code_text, wide_text});
}

void ShowInfoBox(const std::string& text) {
  platform::ShowMessageBox(platform::BoxIcon::Information, WideToUtf8(Cp1251ToWide("\xDB")),
                           WideToUtf8(Cp1251ToWide(text)));
}

void ResetLogStateForTests() {
  State() = ErrorState{};
}
