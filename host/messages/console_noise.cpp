#include "host/messages/console_noise.h"

uint8_t StepNoiseByte(uint8_t value, int step) {
  const int moved = value + step;
  return static_cast<uint8_t>(moved < 0 || moved > 255 ? value - step : moved);
}

void StepNoise(TNoise& noise, std::minstd_rand& random) {
  std::uniform_int_distribution<int> step(-kNoiseMaxStep, kNoiseMaxStep);
  for (uint8_t& value : noise) value = StepNoiseByte(value, step(random));
}
