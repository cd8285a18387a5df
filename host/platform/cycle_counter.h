// The processor's cycle counter, for frame times finer than the clocks give.
#pragma once

#include <cstdint>

namespace platform {

// The time-stamp counter. On processors without one the monotonic clock, in
// nanoseconds, stands in.
uint64_t ReadCycleCounter();

}  // namespace platform
