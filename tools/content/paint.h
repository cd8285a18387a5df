// Helpers shared by the skin painters.
#pragma once

#include <algorithm>
#include <cmath>

#include "image.h"
#include "mesh.h"

namespace content {

// The rect shrunk by a margin of pixels, so filtering never bleeds in the
// paint of a neighbouring region.
inline UvRect Inset(UvRect r, int size, float pixels = 2) {
  const float d = pixels / size;
  return {r.u0 + d, r.v0 + d, r.u1 - d, r.v1 - d};
}

inline bool Inside(const UvRect& r, float u, float v) {
  return u >= r.u0 && u < r.u1 && v >= r.v0 && v < r.v1;
}

// (u, v) of the picture expressed inside the rect, 0…1.
inline Vec2 Local(const UvRect& r, float u, float v) {
  return {(u - r.u0) / (r.u1 - r.u0), (v - r.v0) / (r.v1 - r.v0)};
}

inline float SmoothStep(float a, float b, float x) {
  const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// The engine draws without lighting, so the skins carry it: lit from above
// and from the front for the lathe mapping (v from top, u = 0.5 in front).
inline float BakedShade(Vec2 local) {
  const float from_above = 0.5f + 0.5f * std::pow(1 - local.v, 0.8f);
  const float from_front = 0.75f + 0.25f * std::cos(2 * kPi * (local.u - 0.5f));
  return from_above * from_front;
}

}  // namespace content
