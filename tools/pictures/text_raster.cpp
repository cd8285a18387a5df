#include "pictures/text_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

}  // namespace

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < text.size(); ++k) {
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    out.push_back(code);
    i += extra + 1;
  }
  return out;
}

TTextRaster::TTextRaster(const std::string& font_path, int pixel_height) {
  if (FT_Init_FreeType(&library_) != 0) Fail("FreeType does not start");
  if (FT_New_Face(library_, font_path.c_str(), 0, &face_) != 0) Fail("cannot read " + font_path);
  FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixel_height));
}

TTextRaster::~TTextRaster() {
  FT_Done_Face(face_);
  FT_Done_FreeType(library_);
}

int TTextRaster::DrawGlyph(TCanvas* canvas, char32_t code, int x, int baseline, TColour colour,
                           int clip_x0, int clip_y0, int clip_x1, int clip_y1) {
  if (FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
    Fail("the font has no glyph for U+" + std::to_string(static_cast<unsigned>(code)));
  }
  const FT_GlyphSlot glyph = face_->glyph;
  if (canvas) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int px = x + glyph->bitmap_left + static_cast<int>(col);
        const int py = baseline - glyph->bitmap_top + static_cast<int>(row);
        if (px < clip_x0 || py < clip_y0 || px >= clip_x1 || py >= clip_y1) continue;
        canvas->Blend(px, py, colour, bitmap.buffer[row * bitmap.pitch + col]);
      }
    }
  }
  return static_cast<int>(glyph->advance.x >> 6);
}

int TTextRaster::Draw(TCanvas& canvas, int x, int baseline, const std::string& utf8,
                      TColour colour) {
  int pen = x;
  for (char32_t code : DecodeUtf8(utf8)) {
    pen += DrawGlyph(&canvas, code, pen, baseline, colour, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  }
  return pen - x;
}

int TTextRaster::Measure(const std::string& utf8) {
  int width = 0;
  for (char32_t code : DecodeUtf8(utf8)) width += DrawGlyph(nullptr, code, 0, 0, {}, 0, 0, 0, 0);
  return width;
}

void TTextRaster::DrawInBox(TCanvas& canvas, char32_t code, int x, int y, int width, int height,
                            int baseline, TColour colour) {
  const int advance = DrawGlyph(nullptr, code, 0, 0, {}, 0, 0, 0, 0);
  DrawGlyph(&canvas, code, x + (width - advance) / 2, y + baseline, colour, x, y, x + width,
            y + height);
}
