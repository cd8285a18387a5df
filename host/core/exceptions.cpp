#include "host/core/exceptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "host/messages/log.h"
#include "host/platform/message_box.h"
#include "shared/format.h"
#include "shared/text_codes.h"

namespace {

std::string DemangledName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

// Blanks and control characters around a class name are noise in a report.
std::string Trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

std::string CpToUtf8(const std::string& text) {
  return WideToUtf8(Cp1251ToWide(text));
}

}  // namespace

std::u16string DescribeException(const std::exception_ptr& e) {
  if (!e) return {};
  try {
    std::rethrow_exception(e);
  } catch (const EAbstractError&) {
    return GetMessageText(MI_EABSTRACT_EXPLAIN);
  } catch (const std::exception& error) {
    const std::string class_name = Trimmed(DemangledName(typeid(error)));
    const std::u16string message = Cp1251ToWide(error.what());
    return FormatMessage(MI_SIMPLE_EXCEPTION_TALE, {class_name, message});
  } catch (...) {
  }
  return {};
}

void CrashedAtStartup(const std::string& message) {
  platform::ShowMessageBox(platform::BoxIcon::Error, "Zokwerk crashed at startup!",
                           CpToUtf8(message));
  std::exit(1);
}

void FinalErrorReport() {
  const std::u16string text = JoinErrors();
  try {
    AddLog(MI_ERROR_MESSAGE_IS, {text});
  } catch (...) {
    // The box below still shows everything.
  }
  const std::u16string caption = GetMessageText(MI_ZOK_TITLE);
  platform::Beep();
  platform::ShowMessageBox(platform::BoxIcon::Error, WideToUtf8(caption), WideToUtf8(text));
}
