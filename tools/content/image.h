// An 8-bit RGB or RGBA picture in memory, top row first.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace content {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;  // 0…1
};

inline Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
          a.a + (b.a - a.a) * t};
}
inline Color Scaled(Color c, float k) {
  return {c.r * k, c.g * k, c.b * k, c.a};
}

struct Image {
  int width = 0, height = 0, channels = 3;
  std::vector<uint8_t> pixels;

  Image() = default;
  Image(int w, int h, int c)
      : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c) {}

  void Set(int x, int y, Color c) {
    uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
    const float values[4] = {c.r, c.g, c.b, c.a};
    for (int i = 0; i < channels; ++i) {
      p[i] = static_cast<uint8_t>(std::lround(std::clamp(values[i], 0.0f, 1.0f) * 255));
    }
  }
  Color Get(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, channels == 4 ? p[3] / 255.0f : 1.0f};
  }
  // Nearest texel with repeat wrapping, as the engine's textures wrap.
  Color Sample(float u, float v) const {
    const auto wrap = [](float t, int size) {
      int i = static_cast<int>(std::floor(t * size)) % size;
      return i < 0 ? i + size : i;
    };
    return Get(wrap(u, width), wrap(v, height));
  }
  // Calls paint(x, y, u, v) → Color for every pixel, u and v at its centre.
  template <typename Paint>
  void Fill(Paint paint) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        Set(x, y, paint(x, y, (x + 0.5f) / width, (y + 0.5f) / height));
      }
    }
  }
};

}  // namespace content
