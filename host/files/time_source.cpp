#include "host/files/time_source.h"

#include "host/platform/clock.h"
#include "host/platform/cycle_counter.h"

namespace {

class TSystemTimeSource : public TTimeSource {
 public:
  int64_t CycleCounter() override { return static_cast<int64_t>(platform::ReadCycleCounter()); }
  int64_t MonotonicNs() override { return platform::MonotonicNs(); }
};

}  // namespace

TTimeSource& SystemTimeSource() {
  static TSystemTimeSource source;
  return source;
}
