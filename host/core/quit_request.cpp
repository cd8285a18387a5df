#include "host/core/quit_request.h"

#include "host/platform/quit_signal.h"

namespace {
bool g_quit_requested = false;
}  // namespace

void RequestQuit() {
  g_quit_requested = true;
}

bool QuitRequested() {
  return g_quit_requested || platform::QuitRequested();
}

void ClearQuitRequestForTests() {
  g_quit_requested = false;
}
