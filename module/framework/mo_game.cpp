#include "module/framework/mo_game.h"

#include <cmath>

namespace {

constexpr long double kAdvanceStep = 0.1L;
// A frame this long is a stall, not play: beyond it the rest of the time
// is dropped, so the descent stays a few hundred calls deep at most.
constexpr float kLongestAdvance = 30.0f;

}  // namespace

void TGame::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegField("ObjectIndex", ObjectIndex);
}

void TGame::Advance(float dt) {
  // NaN compares false with everything, and a huge dt minus a step is dt
  // again in single precision: either would descend without end.
  if (!std::isfinite(dt)) dt = 0.0f;
  if (dt > kLongestAdvance) dt = kLongestAdvance;
  if (kAdvanceStep >= dt) return;
  Advance(static_cast<float>(dt - kAdvanceStep));
}
