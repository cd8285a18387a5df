#include "host/platform/clock.h"

#include <time.h>

#include <cerrno>

namespace platform {

namespace {

constexpr int64_t kNsPerSecond = 1000000000;
constexpr double kSecondsPerDay = 86400.0;
// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;

}  // namespace

int64_t MonotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * kNsPerSecond + ts.tv_nsec;
}

uint32_t TickMs() {
  return static_cast<uint32_t>(static_cast<uint64_t>(MonotonicNs() / 1000000));
}

double LocalNowDays() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local;
  time_t seconds = ts.tv_sec;
  int64_t offset = 0;
  if (localtime_r(&seconds, &local) != nullptr) offset = local.tm_gmtoff;
  const double local_seconds = static_cast<double>(static_cast<int64_t>(ts.tv_sec) + offset) +
                               static_cast<double>(ts.tv_nsec) / 1e9;
  return local_seconds / kSecondsPerDay + kUnixEpochDays;
}

void SleepMs(uint32_t ms) {
  timespec request;
  request.tv_sec = static_cast<time_t>(ms / 1000);
  request.tv_nsec = static_cast<long>(ms % 1000) * 1000000;
  timespec remaining;
  while (nanosleep(&request, &remaining) != 0 && errno == EINTR) request = remaining;
}

}  // namespace platform
