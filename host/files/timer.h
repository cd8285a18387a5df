// Frame times for the module. The timer starts on the monotonic clock,
// measures the rate of the processor's cycle counter over the first five
// seconds and then times frames with the counter. Every five seconds it
// checks the counter against the clock; a counter that runs backwards
// (processors with unsynchronised counters) or changes its rate (power
// saving) sends the timer back to the clock for good, with a queued
// message for the user. The counter also supplies the run stamps written
// into zok-file headers.
#pragma once

#include <cstdint>

#include "host/files/time_source.h"
#include "shared/message_ids.h"

class TFrameTimer {
 public:
  explicit TFrameTimer(TTimeSource& source) : source_(source) {}
  TFrameTimer(const TFrameTimer&) = delete;
  TFrameTimer& operator=(const TFrameTimer&) = delete;

  // Takes the base readings and the first run stamp; called once.
  void Start();

  // Seconds since the previous call (since Start for the first); 0 for
  // the frame in which the timer gives up the counter.
  float FrameTime();

  // The counter, strictly increasing. A reading below the previous one
  // marks a rollback (the next counter frame falls back to the clock) and
  // gives the previous result plus a random step below 1000; a reading
  // equal to the previous one is no rollback and gives the previous result
  // plus 1.
  int64_t ReadCounter();

  uint64_t RunStamp() const { return run_stamp_; }
  void RenewRunStamp() { run_stamp_ = static_cast<uint64_t>(ReadCounter()); }

  bool UsesCounter() const { return use_counter_ && frequency_ != 0; }
  // Counter ticks per second; 0 until measured.
  float Frequency() const { return frequency_; }

 private:
  float CounterFrame();
  float ClockFrame();
  void MeasureFrequency();
  // Gives up the counter for good.
  float FallBackToClock(TMessageID reason);

  TTimeSource& source_;
  bool use_counter_ = true;
  float frequency_ = 0;
  bool rollback_ = false;
  int64_t last_raw_counter_ = 0;
  int64_t last_counter_ = 0;  // what ReadCounter returned last
  int64_t prev_ticks_ = 0;
  int64_t init_ticks_ = 0;
  int64_t init_ns_ = 0;
  int64_t check_ticks_ = 0;
  int64_t check_ns_ = 0;
  int64_t last_ns_ = 0;
  float elapsed_ = 0;
  uint64_t run_stamp_ = 0;
};

// The host's timer, on the machine's clocks.
TFrameTimer& HostTimer();

// Start-up, second stage: starts the host's timer.
void StartHostTimer();

// Host function table entries 70, 57 and 58.
float HostFrameTime();
uint64_t HostRunStamp();
void HostRenewRunStamp();
