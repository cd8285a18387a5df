// Time sources.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds from the monotonic clock, wrapping at 2^32 like a tick count.
uint32_t TickMs();
// Monotonic time in nanoseconds, for elapsed times that must never go back.
int64_t MonotonicNs();
// Local wall-clock time as days (with fraction) since 1899-12-30.
double LocalNowDays();
void SleepMs(uint32_t ms);

}  // namespace platform
