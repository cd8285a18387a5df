// Makes the shared pictures that modules may decode: a default font sheet
// (the console's cell layout, larger letters), an FPS meter strip of
// digits and a "something went wrong" sign.
// Usage: zok_make_small_pictures MONO.ttf SANS.ttf OUT_DIR
#include <cstdio>
#include <string>

#include "pictures/canvas.h"
#include "pictures/text_raster.h"

namespace {

const TColour kWhite{255, 255, 255, 255};
const TColour kClear{255, 255, 255, 0};

// ASCII in 16 × 16 cells, each glyph centred in its whole cell.
void MakeDefaultFont(const std::string& mono, const std::string& path) {
  TTextRaster raster(mono, 14);
  TCanvas sheet(256, 256, 4, kClear);
  for (int code = 33; code < 127; ++code) {
    raster.DrawInBox(sheet, static_cast<char32_t>(code), (code % 16) * 16, (code / 16) * 16, 16, 16,
                     12, kWhite);
  }
  WritePng(sheet, path);
}

// The digits 0 to 9 in 16 × 32 cells, then "FPS" in the remaining 96.
void MakeFpsMeter(const std::string& mono, const std::string& path) {
  TTextRaster raster(mono, 24);
  TCanvas strip(256, 32, 4, kClear);
  for (int digit = 0; digit < 10; ++digit) {
    raster.DrawInBox(strip, U'0' + static_cast<char32_t>(digit), digit * 16, 0, 16, 32, 25, kWhite);
  }
  TTextRaster label(mono, 20);
  label.Draw(strip, 170, 24, "FPS", {255, 220, 90, 255});
  WritePng(strip, path);
}

// A warning triangle with an exclamation mark and a short caption.
void MakeShitHappens(const std::string& sans, const std::string& path) {
  TCanvas sign(256, 128, 4, kClear);
  const TColour amber{250, 190, 40, 255};
  for (int row = 0; row < 80; ++row) {
    const int half = row * 46 / 80;
    for (int col = -half; col <= half; ++col) sign.Blend(128 + col, 8 + row, amber, 255);
  }
  sign.FillRect(124, 30, 8, 34, {30, 30, 30, 255});
  sign.FillRect(124, 70, 8, 8, {30, 30, 30, 255});
  TTextRaster raster(sans, 18);
  const std::string caption = "Something went wrong";
  raster.Draw(sign, (256 - raster.Measure(caption)) / 2, 114, caption, kWhite);
  WritePng(sign, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s MONO.ttf SANS.ttf OUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string out = std::string(argv[3]) + "/";
  MakeDefaultFont(argv[1], out + "font/default_2.png");
  MakeFpsMeter(argv[1], out + "fpsmeter.png");
  MakeShitHappens(argv[2], out + "shit_happens.png");
  return 0;
}
