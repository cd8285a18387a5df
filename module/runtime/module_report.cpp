#include "module/runtime/module_report.h"

#include "module/runtime/host_functions.h"
#include "module/runtime/module_globals.h"
#include "shared/text_codes.h"

namespace {

std::string NarrowForWhat(const std::u16string& text) {
  std::string narrow;
  for (char16_t c : text) narrow.push_back(c < 128 ? static_cast<char>(c) : '?');
  return narrow;
}

[[noreturn]] void Raise(std::vector<std::u16string> texts) {
  if (host::FatalErrorText != nullptr) {
    // The host records the text and raises its own exception.
    host::FatalErrorText(texts.back().c_str());
  }
  throw EModuleFatal(std::move(texts));
}

}  // namespace

EModuleFatal::EModuleFatal(std::vector<std::u16string> texts)
    : std::runtime_error(NarrowForWhat(texts.empty() ? u"" : texts.back())),
      texts_(std::move(texts)) {
  if (texts_.empty()) texts_.emplace_back();
}

std::u16string EModuleFatal::AllTexts() const {
  std::u16string all;
  for (const auto& text : texts_) all += text + u"\n";
  return all;
}

void ModuleFatalError(TMessageID id, TMsgArgs args) {
  ModuleFatalErrorText(FormatMessage(id, args));
}

void ModuleFatalErrorText(const std::u16string& text) {
  Raise({text});
}

void ModuleFatalErrorInContext(const std::u16string& text) {
  std::vector<std::u16string> texts;
  try {
    throw;
  } catch (const EModuleFatal& inner) {
    texts = inner.Texts();
  } catch (const std::exception& inner) {
    texts.push_back(WideText(inner.what()));
  } catch (...) {
  }
  texts.push_back(text);
  Raise(std::move(texts));
}

std::u16string ModuleLiteral(std::u16string_view russian, std::u16string_view english) {
  return std::u16string(Module().russian ? russian : english);
}

void ModuleLogText(const std::u16string& text) {
  if (host::AddLog != nullptr) host::AddLog(text.c_str());
}

bool ModuleDetailedLog() {
  return Module().debug_mode;
}

void ModuleVerboseLog(std::u16string_view templ, TMsgArgs args) {
  if (ModuleDetailedLog()) ModuleLogText(Format(templ, args));
}

std::u16string WideText(std::string_view text) {
  return Cp1251ToWide(text);
}
