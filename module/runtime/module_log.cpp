#include "module/runtime/module_log.h"

#include "module/runtime/host_functions.h"

void ModuleAddLog(const std::u16string& text) {
  host::AddLog(text.c_str());
}

void ModuleAddLog(TMessageID id, TMsgArgs args) {
  ModuleAddLog(FormatMessage(id, args));
}
