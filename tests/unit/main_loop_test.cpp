#include "host/core/main_loop.h"

#include <gtest/gtest.h>

namespace {

TEST(MainLoopWheel, NotchesOfOneMessageTruncateTowardZero) {
  struct Case {
    int units, notches;
  };
  for (const Case& c : {Case{120, 1}, Case{360, 3}, Case{-360, -3}, Case{60, 0}, Case{-60, 0},
                        Case{239, 1}, Case{-240, -2}, Case{0, 0}}) {
    EXPECT_EQ(WheelNotches(c.units), c.notches) << c.units;
  }
}

}  // namespace
