#include "host/core/main_loop.h"

#include "host/platform/clock.h"
#include "host/platform/quit_signal.h"

void MainLoop() {
  // Until the window exists there is nothing to pump; a quit request from
  // the system is the only way out.
  while (!platform::QuitRequested()) platform::SleepMs(50);
}
