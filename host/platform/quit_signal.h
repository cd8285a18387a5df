// SIGINT and SIGTERM ask the host to quit like closing its window does.
#pragma once

namespace platform {

void InstallQuitSignals();
bool QuitRequested();

}  // namespace platform
