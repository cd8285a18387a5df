// What each module provides to the shared runtime: how its module object
// starts, and how it handles events.
#pragma once

#include <cstdint>
#include <string>

// The last step of zokmoduleinit: restore the module object from the
// session file or create a new one.
void ModuleStart(const std::string& module_path, const std::string& session_path,
                 const std::string& save_path);

// Handles one event from the host; its result goes back unchanged.
int32_t ModuleMessageHandler(int32_t code, int32_t a, int32_t b, int32_t c);
