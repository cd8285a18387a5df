// Value noise for the procedural pictures. A period makes the noise repeat
// on a lattice, so textures tile without a seam.
#pragma once

#include <cstdint>

namespace content {

// Smoothly interpolated lattice noise in 0…1; the lattice repeats every
// period cells in x and y (0 = never).
float ValueNoise(float x, float y, uint32_t seed, int period = 0);

// Sum of octaves, each twice the frequency and half the weight of the one
// before; normalised to 0…1.
float FractalNoise(float x, float y, uint32_t seed, int octaves, int period = 0);

// A hash of integers in 0…1, for per-cell random choices.
float CellRandom(int x, int y, uint32_t seed);

}  // namespace content
