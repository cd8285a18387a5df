#include "host/platform/quit_signal.h"

#include <csignal>

namespace platform {
namespace {
volatile std::sig_atomic_t g_quit_requested = 0;

void OnQuitSignal(int) {
  g_quit_requested = 1;
}
}  // namespace

void InstallQuitSignals() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool QuitRequested() {
  return g_quit_requested != 0;
}

}  // namespace platform
