// All host output: log lines (file and console), verbose lines, fatal
// errors that end the current action, and queued errors shown at the end.
#pragma once

#include <string>

#include "shared/format.h"
#include "shared/message_ids.h"

// Templates come as a message identifier, UTF-16 text, or 8-bit text
// (Windows-1251 Cyrillic), with or without arguments. Without arguments the
// template is used as it stands, '%' signs included.
void AddLog(TMessageID id);
void AddLog(TMessageID id, TMsgArgs args);
void AddLog(const std::u16string& text);
void AddLog(const std::u16string& text, TMsgArgs args);
void AddLog(const std::string& text);
void AddLog(const std::string& text, TMsgArgs args);
void AddLog(const char* text);
void AddLog(const char* text, TMsgArgs args);

void AddLogContinue(TMessageID id);
void AddLogContinue(TMessageID id, TMsgArgs args);
void AddLogContinue(const std::u16string& text);
void AddLogContinue(const std::string& text);
void AddLogContinue(const char* text);

void AddLogSuccess();

// Only when the debug-mode flag is set.
void VerboseLog(TMessageID id);
void VerboseLog(TMessageID id, TMsgArgs args);
void VerboseLog(const std::string& text);
void VerboseLog(const std::string& text, TMsgArgs args);
void VerboseLog(const char* text);
void VerboseLog(const char* text, TMsgArgs args);
void VerboseLogSuccess();

// Format, record in the error list and throw EDying. Never throws anything
// else: a failure to write the log does not lose the error.
[[noreturn]] void FatalError(TMessageID id);
[[noreturn]] void FatalError(TMessageID id, TMsgArgs args);
[[noreturn]] void FatalErrorText(const std::string& text);
// The wide form keeps module texts wide all the way into the error list.
[[noreturn]] void FatalErrorWide(const std::u16string& text);

// Runs FatalError's recording and swallows the EDying: for code that must
// record a failure and go on.
template <typename F>
void RecordFailure(F&& raise) {
  try {
    raise();
  } catch (...) {
  }
}

void QueueError(TMessageID id, TMsgArgs args);
bool ErrorReported();
std::u16string TakeErrorText();
std::u16string JoinErrors();
size_t ErrorCount();

// The last system error recorded by a failed POSIX call or loader call:
// errno alone is not kept, since SDL and Mesa clobber it.
void SetLastError(int code);
void SetLastErrorText(int code, const std::string& text);
void ClearLastError();
int LastErrorCode();
std::u16string LastErrorText();

void ShowInfoBox(const std::string& text);
void LogOsVersion();

// For tests: forget the error list, the flags and the last error.
void ResetLogStateForTests();
