#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <string>

#include "host/platform/clock.h"

namespace {

// Sets TZ for the life of the object and makes the C library re-read it.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    const char* old = getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (had_) {
      setenv("TZ", old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_ = false;
  std::string old_;
};

constexpr double kSecond = 1.0 / 86400.0;

double UtcNowDays() {
  return static_cast<double>(time(nullptr)) / 86400.0 + 25569.0;
}

TEST(PlatformClock, MonotonicNeverDecreases) {
  int64_t previous = platform::MonotonicNs();
  EXPECT_GT(previous, 0);
  for (int i = 0; i < 100000; ++i) {
    const int64_t now = platform::MonotonicNs();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

TEST(PlatformClock, TickMsFollowsMonotonicClock) {
  const int64_t before = platform::MonotonicNs() / 1000000;
  const uint32_t tick = platform::TickMs();
  const int64_t after = platform::MonotonicNs() / 1000000;
  // Compare modulo 2^32, as tick counts are.
  EXPECT_LE(static_cast<uint32_t>(tick - static_cast<uint32_t>(before)),
            static_cast<uint32_t>(after - before));
}

TEST(PlatformClock, LocalNowDaysIsLocalTimeSince18991230) {
  // The process's own zone: within a few seconds of UTC plus its offset.
  time_t now = time(nullptr);
  tm local;
  ASSERT_NE(localtime_r(&now, &local), nullptr);
  EXPECT_NEAR(platform::LocalNowDays(),
              UtcNowDays() + static_cast<double>(local.tm_gmtoff) / 86400.0, 5 * kSecond);

  struct Case {
    const char* tz;
    double offset_hours;
  };
  // POSIX TZ signs are west-positive: "UTC-3" is three hours east.
  for (const Case& c : {Case{"UTC0", 0.0}, Case{"UTC-3", 3.0}, Case{"UTC+5:30", -5.5}}) {
    SCOPED_TRACE(c.tz);
    ScopedTimeZone zone(c.tz);
    EXPECT_NEAR(platform::LocalNowDays() - UtcNowDays(), c.offset_hours / 24.0, 5 * kSecond);
  }
}

TEST(PlatformClock, SleepMsSleepsAtLeastThatLong) {
  const int64_t before = platform::MonotonicNs();
  platform::SleepMs(20);
  EXPECT_GE(platform::MonotonicNs() - before, INT64_C(20000000));
  platform::SleepMs(0);  // returns at once
}

}  // namespace
