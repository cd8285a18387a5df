// Opening a document or command the way the desktop would.
#pragma once

#include <string>

namespace platform {

// Starts xdg-open on target without waiting for it; false when it could
// not be started.
bool OpenWithShell(const std::string& target);

}  // namespace platform
