#include "host/files/timer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "shared/text_codes.h"

namespace {

constexpr float kCheckIntervalSeconds = 5.0f;
constexpr double kAllowedDrift = 0.05;
constexpr double kNsPerSecond = 1e9;
constexpr int kRollbackSpread = 1000;

double SecondsBetween(int64_t from_ns, int64_t to_ns) {
  return static_cast<double>(to_ns - from_ns) / kNsPerSecond;
}

std::string MegahertzText(float frequency) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(frequency) / 1000000.0);
  return text;
}

}  // namespace

void TFrameTimer::Start() {
  // Thread priorities play no part here: the two readings are taken
  // back to back, which keeps them close enough.
  init_ns_ = source_.MonotonicNs();
  init_ticks_ = ReadCounter();
  // The clock already has the resolution that request would ask for.
  VerboseLog("Calling timeBeginPeriod(1)...");
  VerboseLogSuccess();
  check_ticks_ = init_ticks_;
  check_ns_ = init_ns_;
  last_ns_ = init_ns_;
  elapsed_ = 0;
  RenewRunStamp();
}

int64_t TFrameTimer::ReadCounter() {
  const int64_t raw = source_.CycleCounter();
  int64_t t;
  if (raw < last_raw_counter_) {
    rollback_ = true;
    t = last_counter_ + 1 + std::rand() % (kRollbackSpread - 1);
  } else {
    // A counter too coarse to have moved is no rollback, but stamps must
    // still differ.
    t = std::max(raw, last_counter_ + 1);
  }
  last_raw_counter_ = raw;
  last_counter_ = t;
  return t;
}

float TFrameTimer::FrameTime() {
  const float dt = UsesCounter() ? CounterFrame() : ClockFrame();
  elapsed_ += dt;
  return dt;
}

float TFrameTimer::CounterFrame() {
  const int64_t t = ReadCounter();
  // Any earlier reading counts too: a run stamp may have seen the rollback.
  if (rollback_) return FallBackToClock(MI_DUAL_PROCESSOR_TIMER_ROLLBACK);
  const float dt = static_cast<float>(static_cast<double>(t - prev_ticks_) / frequency_);
  prev_ticks_ = t;
  if (elapsed_ > kCheckIntervalSeconds) {
    const int64_t t2 = ReadCounter();
    const int64_t now = source_.MonotonicNs();
    const double measured = static_cast<double>(t2 - check_ticks_) / SecondsBetween(check_ns_, now);
    if (std::fabs(measured - frequency_) > frequency_ * kAllowedDrift) {
      return FallBackToClock(MI_FREQ_UNSTABLE_TIMER_ROLLBACK);
    }
    check_ticks_ = t2;
    check_ns_ = now;
    elapsed_ = 0;
  }
  return dt;
}

float TFrameTimer::ClockFrame() {
  const int64_t now = source_.MonotonicNs();
  const float dt = static_cast<float>(SecondsBetween(last_ns_, now));
  last_ns_ = now;
  if (use_counter_ && elapsed_ > kCheckIntervalSeconds) MeasureFrequency();
  return dt;
}

void TFrameTimer::MeasureFrequency() {
  const int64_t t = ReadCounter();
  const int64_t now = source_.MonotonicNs();
  frequency_ =
      static_cast<float>(static_cast<double>(t - init_ticks_) / SecondsBetween(init_ns_, now));
  prev_ticks_ = t;
  const std::string text = ChooseLiteral(
      WideToCp1251(u"Активирован таймер высокого разрешения. Частота RDTSC = %0 МГц."),
      "High resolution timer engaged. RDTSC frequency = %0 MHz");
  AddLog(text, {MegahertzText(frequency_)});
}

float TFrameTimer::FallBackToClock(TMessageID reason) {
  use_counter_ = false;
  QueueError(reason, {});
  last_ns_ = source_.MonotonicNs();
  return 0;
}

TFrameTimer& HostTimer() {
  static TFrameTimer timer(SystemTimeSource());
  return timer;
}

void StartHostTimer() {
  HostTimer().Start();
}

float HostFrameTime() {
  return HostTimer().FrameTime();
}

uint64_t HostRunStamp() {
  return HostTimer().RunStamp();
}

void HostRenewRunStamp() {
  HostTimer().RenewRunStamp();
}
