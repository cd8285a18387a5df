// The frame timer: clock mode, counter calibration, the five-second rate
// checks and the fall-backs, driven by a scripted counter and clock.
#include "host/files/timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "shared/text_codes.h"
#include "support/temp_dir.h"

namespace {

constexpr double kRate = 1e9;  // counter ticks per second at calibration

// Both clocks move only when the test says so.
class TScriptedTime : public TTimeSource {
 public:
  int64_t CycleCounter() override { return counter; }
  int64_t MonotonicNs() override { return ns; }

  // seconds of real time, during which the counter runs at rate.
  void Pass(double seconds, double rate = kRate) {
    ns += static_cast<int64_t>(std::llround(seconds * 1e9));
    counter += static_cast<int64_t>(std::llround(seconds * rate));
  }

  int64_t counter = 1'000'000;
  int64_t ns = 5'000'000'000;
};

class TimerTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().working_directory = dir_.Path();
    Host().second_instance = false;
    Host().debug_mode = true;
    ResetLogStateForTests();
    g_messages = &english_;
    g_console = &console_;
  }
  void TearDown() override {
    g_console = nullptr;
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  // Two-second frames until the timer has measured the counter, the way
  // the first frames of a run go.
  void Calibrate() {
    while (timer_.Frequency() == 0) {
      time_.Pass(2.0);
      timer_.FrameTime();
    }
  }
  void StartAndCalibrate() {
    timer_.Start();
    Calibrate();
  }

  // One frame of the given length: the counter runs at rate meanwhile.
  float Frame(double seconds, double rate = kRate) {
    time_.Pass(seconds, rate);
    return timer_.FrameTime();
  }

  bool ConsoleHas(const std::string& text) const {
    for (int i = 0; i < console_.LineCount(); ++i) {
      if (console_.Line(i).find(text) != std::string::npos) return true;
    }
    return false;
  }

  TempDir dir_;
  TMessageContainer english_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  TConsole console_;
  THostGlobals saved_;
  TScriptedTime time_;
  TFrameTimer timer_{time_};
};

TEST_F(TimerTest, StartLogsTheResolutionRequestAndTakesARunStamp) {
  timer_.Start();
  ASSERT_GE(console_.LineCount(), 1);
  EXPECT_EQ(console_.Line(0), "\177Calling timeBeginPeriod(1)..." +
                                  WideToCp1251(english_.Text(MI_LOG_SUCCESS)) + "\n\r");
  EXPECT_NE(timer_.RunStamp(), 0u);
  EXPECT_FALSE(timer_.UsesCounter());
}

TEST_F(TimerTest, ClockFramesUntilFiveSecondsHavePassedThenTheCounter) {
  timer_.Start();
  // The check looks at the time before the frame: 2, 4, 6 seconds pass
  // without a measurement, the fourth frame measures.
  for (int frame = 1; frame <= 3; ++frame) {
    EXPECT_FLOAT_EQ(Frame(2.0), 2.0f) << frame;
    EXPECT_EQ(timer_.Frequency(), 0.0f) << frame;
  }
  EXPECT_FLOAT_EQ(Frame(2.0), 2.0f);
  EXPECT_FLOAT_EQ(timer_.Frequency(), static_cast<float>(kRate));
  EXPECT_TRUE(timer_.UsesCounter());
  EXPECT_TRUE(ConsoleHas("High resolution timer engaged. RDTSC frequency = 1000.000000 MHz"));
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(TimerTest, CalibrationLineFollowsTheLanguage) {
  TMessageContainer russian("russian", {ZOK_SHIPPED_BASE_PATH, "", true});
  g_messages = &russian;
  StartAndCalibrate();
  EXPECT_TRUE(ConsoleHas(
      WideToCp1251(u"Активирован таймер высокого разрешения. Частота RDTSC = 1000.000000 МГц.")));
  g_messages = &english_;
}

TEST_F(TimerTest, CounterFramesCountTicksFromTheMeasuringFrame) {
  StartAndCalibrate();
  // The clock says 0.25 s, the counter 0.26 s: the counter is what counts,
  // and 4 % is within what the rate check allows.
  time_.ns += 250'000'000;
  time_.counter += 260'000'000;
  EXPECT_NEAR(timer_.FrameTime(), 0.26f, 1e-6f);
  EXPECT_NEAR(Frame(0.001), 0.001f, 1e-6f);  // finer than any millisecond clock
  EXPECT_TRUE(timer_.UsesCounter());
  EXPECT_EQ(ErrorCount(), 0u);
}

struct DriftCase {
  const char* name;
  double rate_factor;  // the counter's rate relative to the measured one
  bool falls_back;
};

void PrintTo(const DriftCase& c, std::ostream* os) {
  *os << c.name;
}

class TimerDriftTest : public TimerTest, public testing::WithParamInterface<DriftCase> {};

TEST_P(TimerDriftTest, RateChecksEveryFiveSeconds) {
  const DriftCase& p = GetParam();
  StartAndCalibrate();
  Frame(0.5);  // the first counter frame checks at once and starts an interval
  const double rate = kRate * p.rate_factor;
  const float step = static_cast<float>(2.0 * p.rate_factor);
  // 2 s frames: no check until more than five counted seconds lie behind.
  for (int frame = 0; frame < 3; ++frame) EXPECT_NEAR(Frame(2.0, rate), step, 1e-4f);
  const float checked = Frame(2.0, rate);
  if (p.falls_back) {
    EXPECT_EQ(checked, 0.0f);
    EXPECT_FALSE(timer_.UsesCounter());
    EXPECT_EQ(JoinErrors(), english_.Text(MI_FREQ_UNSTABLE_TIMER_ROLLBACK));
    // From now on the clock times frames, and nothing more is checked.
    EXPECT_FLOAT_EQ(Frame(1.5, rate * 2), 1.5f);
    for (int frame = 0; frame < 5; ++frame) Frame(2.0, rate * 2);
    EXPECT_EQ(ErrorCount(), 0u);
  } else {
    // The measured rate stays the one of calibration.
    EXPECT_NEAR(checked, step, 1e-4f);
    EXPECT_TRUE(timer_.UsesCounter());
    EXPECT_FLOAT_EQ(timer_.Frequency(), static_cast<float>(kRate));
    EXPECT_EQ(ErrorCount(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Timer, TimerDriftTest,
                         testing::Values(DriftCase{"SixPercentFast", 1.06, true},
                                         DriftCase{"SixPercentSlow", 0.94, true},
                                         DriftCase{"FourPercentFast", 1.04, false},
                                         DriftCase{"FourPercentSlow", 0.96, false},
                                         DriftCase{"Steady", 1.0, false}),
                         [](const testing::TestParamInfo<DriftCase>& info) {
                           return std::string(info.param.name);
                         });

// Where the backwards reading happens: in a frame, in a run stamp between
// frames, or before the counter was measured at all.
enum class RollbackAt { kFrame, kStamp, kBeforeCalibration };

std::string RollbackCaseName(const testing::TestParamInfo<RollbackAt>& info) {
  switch (info.param) {
    case RollbackAt::kFrame:
      return "InAFrame";
    case RollbackAt::kStamp:
      return "InAStamp";
    case RollbackAt::kBeforeCalibration:
      break;
  }
  return "BeforeCalibration";
}

class TimerRollbackTest : public TimerTest, public testing::WithParamInterface<RollbackAt> {};

TEST_P(TimerRollbackTest, FallsBackOnceWithTheMessage) {
  timer_.Start();
  switch (GetParam()) {
    case RollbackAt::kFrame:
      Calibrate();
      Frame(0.5);
      time_.counter -= 500;
      time_.ns += 100'000'000;
      break;
    case RollbackAt::kStamp:
      Calibrate();
      Frame(0.5);
      time_.counter -= 500;
      timer_.RenewRunStamp();
      time_.Pass(0.1);  // the frame's own reading is fine
      break;
    case RollbackAt::kBeforeCalibration:
      time_.counter -= 500;
      timer_.RenewRunStamp();
      Calibrate();
      time_.Pass(0.1);
      break;
  }
  EXPECT_EQ(timer_.FrameTime(), 0.0f);
  EXPECT_FALSE(timer_.UsesCounter());
  EXPECT_EQ(JoinErrors(), english_.Text(MI_DUAL_PROCESSOR_TIMER_ROLLBACK));

  // Clock frames afterwards; further rollbacks and drifts pass unremarked.
  EXPECT_FLOAT_EQ(Frame(0.5), 0.5f);
  time_.counter -= 1000;
  for (int frame = 0; frame < 6; ++frame) EXPECT_FLOAT_EQ(Frame(2.0, kRate * 3), 2.0f);
  EXPECT_EQ(ErrorCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Timer, TimerRollbackTest,
                         testing::Values(RollbackAt::kFrame, RollbackAt::kStamp,
                                         RollbackAt::kBeforeCalibration),
                         RollbackCaseName);

TEST_F(TimerTest, EqualReadingsAreNoRollback) {
  StartAndCalibrate();
  Frame(0.5);
  // A counter that has not moved between two readings.
  timer_.RenewRunStamp();
  const uint64_t first = timer_.RunStamp();
  timer_.RenewRunStamp();
  EXPECT_GT(timer_.RunStamp(), first);
  EXPECT_GT(Frame(0.5), 0.0f);
  EXPECT_TRUE(timer_.UsesCounter());
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(TimerTest, ReadCounterOnlyEverRises) {
  // Raw readings: forwards, backwards, equal, backwards again, forwards.
  const int64_t raw[] = {100, 5000, 4000, 4000, 10, 9000};
  int64_t previous = 0;
  for (const int64_t reading : raw) {
    time_.counter = reading;
    const int64_t t = timer_.ReadCounter();
    EXPECT_GT(t, previous) << reading;
    if (reading > previous) {
      EXPECT_EQ(t, reading);
    } else {
      EXPECT_LT(t, previous + 1000) << "the random step stays below 1000";
    }
    previous = t;
  }
}

TEST(TimerHostTest, FrameTimesAreNeverNegativeAndStampsDiffer) {
  StartHostTimer();
  for (int frame = 0; frame < 100; ++frame) EXPECT_GE(HostFrameTime(), 0.0f);
  std::set<uint64_t> stamps;
  for (int i = 0; i < 100; ++i) {
    HostRenewRunStamp();
    stamps.insert(HostRunStamp());
  }
  EXPECT_EQ(stamps.size(), 100u);
}

}  // namespace
