// Makes the console's font sheet: 16 × 16 cells of 16 × 16 texels, the
// glyph of character code c in cell (c mod 16, c div 16), drawn inside the
// 10 × 13 rectangle 4 texels from the cell's left and 2 from its top. Codes
// are the 8-bit Cyrillic table the log converts to (Windows-1251); 127 is
// the marker that opens each message.
// Usage: zok_make_console_font FONT.ttf OUT.png
#include <cstdio>

#include "pictures/canvas.h"
#include "pictures/text_raster.h"

namespace {

constexpr int kCell = 16;
constexpr int kGlyphLeft = 4;
constexpr int kGlyphTop = 2;
// The glyph rectangle is 10 wide but the console advances 9: the last
// column stays empty so neighbours never touch.
constexpr int kInkWidth = 9;
constexpr int kGlyphHeight = 13;
constexpr int kPixelHeight = 11;
constexpr int kBaseline = 10;  // from the rectangle's top
constexpr int kMarker = 127;
const TColour kWhite{255, 255, 255, 255};

// The Unicode character of an 8-bit code the sheet covers; 0 for none.
char32_t CharacterOf(int code) {
  if (code >= 32 && code < 127) return static_cast<char32_t>(code);
  if (code >= 192) return U'А' + static_cast<char32_t>(code - 192);
  if (code == 168) return U'Ё';
  if (code == 184) return U'ё';
  return 0;
}

// A solid triangle pointing right, in the middle of the rectangle.
void DrawMarker(TCanvas& sheet, int x, int y) {
  for (int row = 0; row < 9; ++row) {
    const int reach = row <= 4 ? row : 8 - row;
    for (int col = 0; col <= reach + 1; ++col) sheet.Blend(x + 2 + col, y + 2 + row, kWhite, 255);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FONT.ttf OUT.png\n", argv[0]);
    return 2;
  }
  TTextRaster raster(argv[1], kPixelHeight);
  // White everywhere; the alpha channel carries the glyphs.
  TCanvas sheet(16 * kCell, 16 * kCell, 4, {255, 255, 255, 0});
  for (int code = 0; code < 256; ++code) {
    const int x = (code % 16) * kCell + kGlyphLeft;
    const int y = (code / 16) * kCell + kGlyphTop;
    if (code == kMarker) {
      DrawMarker(sheet, x, y);
    } else if (const char32_t character = CharacterOf(code); character != 0) {
      raster.DrawInBox(sheet, character, x, y, kInkWidth, kGlyphHeight, kBaseline, kWhite);
    }
  }
  WritePng(sheet, argv[2]);
  return 0;
}
