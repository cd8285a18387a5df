// Turns hardware faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, and
// stack overflow through an alternate signal stack) inside a guarded call
// into an ordinary return, so a crashing module cannot take the host down.
#pragma once

#include <utility>

namespace platform {

// Installs the handlers once. When a debugger is attached they stay out of
// its way. on_unguarded_fault runs (in the signal handler) for a fault
// outside any guarded call, before the process dies with that signal; it
// must only do async-signal-tolerant work such as restoring the video mode.
void InstallFaultHandlers(void (*on_unguarded_fault)());

// Runs body(context). Returns 0 when it returned normally, or the number
// of the signal that interrupted it. C++ exceptions pass through.
int RunGuardedRaw(void (*body)(void*), void* context);

template <typename F>
int RunGuarded(F&& body) {
  return RunGuardedRaw(
      [](void* context) { (*static_cast<std::remove_reference_t<F>*>(context))(); }, &body);
}

// "Segmentation fault (SIGSEGV)" and the like.
const char* FaultName(int signal_number);

// How many guarded calls are running now.
int GuardDepth();

}  // namespace platform
