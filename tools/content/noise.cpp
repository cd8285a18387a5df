#include "noise.h"

#include <cmath>

namespace content {

namespace {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return h;
}

int Wrap(int i, int period) {
  if (period <= 0) return i;
  const int r = i % period;
  return r < 0 ? r + period : r;
}

float Smooth(float t) {
  return t * t * (3 - 2 * t);
}

}  // namespace

float CellRandom(int x, int y, uint32_t seed) {
  return static_cast<float>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) &
                            0xFFFFFF) /
         static_cast<float>(0xFFFFFF);
}

float ValueNoise(float x, float y, uint32_t seed, int period) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float tx = Smooth(x - fx), ty = Smooth(y - fy);
  const auto at = [&](int dx, int dy) {
    return CellRandom(Wrap(ix + dx, period), Wrap(iy + dy, period), seed);
  };
  const float top = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
  const float bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
  return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves, int period) {
  float sum = 0, weight = 1, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += ValueNoise(x, y, seed + o, period) * weight;
    total += weight;
    x *= 2;
    y *= 2;
    period *= 2;
    weight *= 0.5f;
  }
  return sum / total;
}

}  // namespace content
