#include "host/platform/cycle_counter.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#else
#include "host/platform/clock.h"
#endif

namespace platform {

uint64_t ReadCycleCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<uint64_t>(MonotonicNs());
#endif
}

}  // namespace platform
