#include "host/messages/log.h"

#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "host/messages/log_file.h"
#include "host/platform/os_info.h"
#include "shared/text_codes.h"

namespace {

std::string LogFilePath() {
  return Host().working_directory + "LOG";
}

void Emit(const std::u16string& formatted, LogWrite kind) {
  const std::u16string text = formatted + u"\n\r";
  if (g_console) {
    const std::string line = WideToCp1251(text);
    const int count = g_console->LineCount();
    if (kind == LogWrite::Continuation && count > 0) {
      std::string last = g_console->Line(count - 1);
      last.resize(last.size() >= 2 ? last.size() - 2 : 0);
      g_console->SetLastLine(last + line);
    } else {
      g_console->AddLine(line);
    }
  }
  if (!Host().second_instance) WriteLogEntry(LogFilePath(), text, kind);
}

std::u16string Widen(const std::string& text) {
  return Cp1251ToWide(text);
}

}  // namespace

void AddLog(TMessageID id) {
  Emit(GetMessageText(id), LogWrite::NewEntry);
}
void AddLog(TMessageID id, TMsgArgs args) {
  Emit(FormatMessage(id, args), LogWrite::NewEntry);
}
void AddLog(const std::u16string& text) {
  Emit(text, LogWrite::NewEntry);
}
void AddLog(const std::u16string& text, TMsgArgs args) {
  Emit(Format(text, args), LogWrite::NewEntry);
}
void AddLog(const std::string& text) {
  AddLog(Widen(text));
}
void AddLog(const std::string& text, TMsgArgs args) {
  AddLog(Widen(text), args);
}
void AddLog(const char* text) {
  AddLog(std::string(text ? text : ""));
}
void AddLog(const char* text, TMsgArgs args) {
  AddLog(std::string(text ? text : ""), args);
}

void AddLogContinue(TMessageID id) {
  Emit(GetMessageText(id), LogWrite::Continuation);
}
void AddLogContinue(TMessageID id, TMsgArgs args) {
  Emit(FormatMessage(id, args), LogWrite::Continuation);
}
void AddLogContinue(const std::u16string& text) {
  Emit(text, LogWrite::Continuation);
}
void AddLogContinue(const std::string& text) {
  AddLogContinue(Widen(text));
}
void AddLogContinue(const char* text) {
  AddLogContinue(std::string(text ? text : ""));
}

void AddLogSuccess() {
  AddLogContinue(MI_LOG_SUCCESS);
}

void VerboseLog(TMessageID id) {
  if (Host().debug_mode) AddLog(id);
}
void VerboseLog(TMessageID id, TMsgArgs args) {
  if (Host().debug_mode) AddLog(id, args);
}
void VerboseLog(const std::string& text) {
  if (Host().debug_mode) AddLog(text);
}
void VerboseLog(const std::string& text, TMsgArgs args) {
  if (Host().debug_mode) AddLog(text, args);
}
void VerboseLog(const char* text) {
  if (Host().debug_mode) AddLog(text);
}
void VerboseLog(const char* text, TMsgArgs args) {
  if (Host().debug_mode) AddLog(text, args);
}
void VerboseLogSuccess() {
  if (Host().debug_mode) AddLogSuccess();
}

void LogOsVersion() {
  AddLog(MI_OS_VERSION, {platform::OsName()});
}
