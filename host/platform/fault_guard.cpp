#include "host/platform/fault_guard.h"

#include <setjmp.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace platform {
namespace {

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr int kMaxDepth = 64;

// One jump target per running guarded call, innermost last.
sigjmp_buf g_targets[kMaxDepth];
volatile sig_atomic_t g_depth = 0;
void (*g_on_unguarded_fault)() = nullptr;

bool DebuggerAttached() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("TracerPid:", 0) == 0) return std::atoi(line.c_str() + 10) != 0;
  }
  return false;
}

void OnFault(int signal_number) {
  if (g_depth > 0) siglongjmp(g_targets[g_depth - 1], signal_number);
  if (g_on_unguarded_fault) g_on_unguarded_fault();
  // Die of the same signal so the system reports it as such.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

}  // namespace

void InstallFaultHandlers(void (*on_unguarded_fault)()) {
  static bool installed = false;
  if (installed || DebuggerAttached()) return;
  installed = true;
  g_on_unguarded_fault = on_unguarded_fault;

  // The handler needs a stack of its own to survive a stack overflow.
  static char alternate_stack[256 * 1024];
  stack_t stack{};
  stack.ss_sp = alternate_stack;
  stack.ss_size = sizeof alternate_stack;
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_handler = OnFault;
  action.sa_flags = SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  for (int signal_number : kFaultSignals) sigaction(signal_number, &action, nullptr);
}

int RunGuardedRaw(void (*body)(void*), void* context) {
  if (g_depth >= kMaxDepth) {
    body(context);
    return 0;
  }
  const int slot = g_depth;
  // The signal mask is saved so a jump back unblocks the fault signal.
  const int signal_number = sigsetjmp(g_targets[slot], 1);
  if (signal_number != 0) {
    g_depth = slot;
    return signal_number;
  }
  g_depth = slot + 1;
  try {
    body(context);
  } catch (...) {
    g_depth = slot;
    throw;
  }
  g_depth = slot;
  return 0;
}

const char* FaultName(int signal_number) {
  switch (signal_number) {
    case SIGSEGV:
      return "Segmentation fault (SIGSEGV)";
    case SIGBUS:
      return "Bus error (SIGBUS)";
    case SIGFPE:
      return "Arithmetic exception (SIGFPE)";
    case SIGILL:
      return "Illegal instruction (SIGILL)";
    case SIGABRT:
      return "Aborted (SIGABRT)";
  }
  return "Fault";
}

int GuardDepth() {
  return g_depth;
}

}  // namespace platform
