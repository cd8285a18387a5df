// What the hot keys do to the console overlay, which implements it.
#pragma once

#include <cstdint>

class TConsoleControl {
 public:
  virtual ~TConsoleControl() = default;

  virtual bool IsOpen() const = 0;
  // Closing also scrolls back to the newest line.
  virtual void SetOpen(bool open) = 0;
  // Positive lines scroll back towards older lines.
  virtual void ScrollBy(int32_t lines) = 0;
};
