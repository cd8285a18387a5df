// The moving noise over the crash screen: 256 × 256 luminance bytes that
// each take a random step every frame.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

constexpr int kNoiseSize = 256;
constexpr int kNoiseMaxStep = 50;

using TNoise = std::vector<uint8_t>;  // kNoiseSize × kNoiseSize bytes

// Moves every byte by a step from -50 to +50; a step that would leave 0 to
// 255 is taken the other way.
void StepNoise(TNoise& noise, std::minstd_rand& random);

// One byte's move, for a given step.
uint8_t StepNoiseByte(uint8_t value, int step);
