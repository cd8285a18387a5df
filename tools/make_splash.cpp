// Makes the start-up splash bitmaps splash0.bmp, splash1.bmp, ... : the
// engine's name on a backdrop that differs from one variant to the next.
// Usage: zok_make_splash SANS.ttf OUT_DIR COUNT
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pictures/canvas.h"
#include "pictures/text_raster.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

// Variant n gets its own hue for the diagonal bands.
TColour BandColour(int variant, int band) {
  static const TColour kHues[] = {{40, 70, 140, 255}, {40, 120, 80, 255}, {130, 60, 50, 255}};
  TColour colour = kHues[variant % 3];
  const int lift = (band % 2) * 25;
  colour.r = static_cast<uint8_t>(colour.r + lift);
  colour.g = static_cast<uint8_t>(colour.g + lift);
  colour.b = static_cast<uint8_t>(colour.b + lift);
  return colour;
}

void MakeSplash(TTextRaster& title, TTextRaster& small, int variant, const std::string& path) {
  TCanvas splash(kWidth, kHeight, 3);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) splash.Blend(x, y, BandColour(variant, (x + y) / 40), 255);
  }
  splash.FrameRect(0, 0, kWidth, kHeight, 3, {230, 230, 230, 255});
  const std::string name = "ZOK";
  title.Draw(splash, (kWidth - title.Measure(name)) / 2, 115, name, {250, 250, 250, 255});
  const std::string line = "starting up...";
  small.Draw(splash, (kWidth - small.Measure(line)) / 2, 160, line, {220, 220, 220, 255});
  WriteBmp(splash, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SANS.ttf OUT_DIR COUNT\n", argv[0]);
    return 2;
  }
  TTextRaster title(argv[1], 64);
  TTextRaster small(argv[1], 16);
  const int count = std::atoi(argv[3]);
  for (int variant = 0; variant < count; ++variant) {
    MakeSplash(title, small, variant,
               std::string(argv[2]) + "/splash" + std::to_string(variant) + ".bmp");
  }
  return 0;
}
