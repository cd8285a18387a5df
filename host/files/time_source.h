// The two clocks the frame timer reads, behind an interface so that tests
// can drive it without waiting.
#pragma once

#include <cstdint>

class TTimeSource {
 public:
  virtual ~TTimeSource() = default;
  // The processor's cycle counter as it stands; it may run backwards when
  // the thread moves to a processor whose counter lags.
  virtual int64_t CycleCounter() = 0;
  // Nanoseconds that never go back, whatever happens to the wall clock.
  virtual int64_t MonotonicNs() = 0;
};

// The machine's counter and monotonic clock.
TTimeSource& SystemTimeSource();
