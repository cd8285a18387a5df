// How the module reports failures and detailed-log lines. With a host the
// texts go to its fatal-error and log functions; without one (unit tests,
// fuzzing, benchmarks) a fatal error is an EModuleFatal the caller catches.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "shared/format.h"

// A fatal error raised inside the module. Texts lists the reports from the
// innermost cause outwards, as the host's error list would.
class EModuleFatal : public std::runtime_error {
 public:
  explicit EModuleFatal(std::vector<std::u16string> texts);
  const std::vector<std::u16string>& Texts() const { return texts_; }
  // The outermost report.
  const std::u16string& Text() const { return texts_.back(); }
  // Every report, one a line: what a test searches.
  std::u16string AllTexts() const;

 private:
  std::vector<std::u16string> texts_;
};

// The text of a message identifier formatted with its arguments, reported.
[[noreturn]] void ModuleFatalError(TMessageID id, TMsgArgs args);
[[noreturn]] void ModuleFatalErrorText(const std::u16string& text);
// Inside a catch block only: reports text as the context of the failure
// being handled, so that both stay in the report.
[[noreturn]] void ModuleFatalErrorInContext(const std::u16string& text);

// The literal of the configured language.
std::u16string ModuleLiteral(std::u16string_view russian, std::u16string_view english);

// A log line; dropped when no host is bound.
void ModuleLogText(const std::u16string& text);
// Detailed-log lines: only in debug mode.
bool ModuleDetailedLog();
void ModuleVerboseLog(std::u16string_view templ, TMsgArgs args);

// ASCII or Windows-1251 engine text widened for messages.
std::u16string WideText(std::string_view text);
