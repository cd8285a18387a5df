// The module's log lines: formatted here, written by the host.
#pragma once

#include <string>

#include "shared/format.h"

void ModuleAddLog(const std::u16string& text);
void ModuleAddLog(TMessageID id, TMsgArgs args);
