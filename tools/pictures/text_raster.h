// Text drawn onto a canvas with FreeType from a font file.
#pragma once

#include <string>

#include "pictures/canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

class TTextRaster {
 public:
  TTextRaster(const std::string& font_path, int pixel_height);
  ~TTextRaster();
  TTextRaster(const TTextRaster&) = delete;
  TTextRaster& operator=(const TTextRaster&) = delete;

  // Draws UTF-8 text with its baseline at y, starting at x; returns the
  // width drawn.
  int Draw(TCanvas& canvas, int x, int baseline, const std::string& utf8, TColour colour);
  // The width Draw would take.
  int Measure(const std::string& utf8);
  // Draws one character with clipping to the box (x, y, width, height),
  // its baseline `baseline` pixels below the box's top, centred across.
  void DrawInBox(TCanvas& canvas, char32_t code, int x, int y, int width, int height, int baseline,
                 TColour colour);

 private:
  int DrawGlyph(TCanvas* canvas, char32_t code, int x, int baseline, TColour colour, int clip_x0,
                int clip_y0, int clip_x1, int clip_y1);

  FT_LibraryRec_* library_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
};

// The code points of UTF-8 text (the generators' own texts are valid).
std::u32string DecodeUtf8(const std::string& text);
