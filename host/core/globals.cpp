#include "host/core/globals.h"

THostGlobals& Host() {
  static THostGlobals globals;
  return globals;
}

TConfigManager* g_config = nullptr;
TMessageContainer* g_messages = nullptr;
TConsole* g_console = nullptr;
