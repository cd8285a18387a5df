// A picture being drawn by the generators: 8-bit channels, rows top first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TColour {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

class TCanvas {
 public:
  TCanvas(int width, int height, int channels, TColour fill = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Channels() const { return channels_; }
  const std::vector<uint8_t>& Pixels() const { return pixels_; }

  // Lays colour over the pixel with the given coverage (0 to 255); pixels
  // outside are ignored. On a canvas with alpha, coverage also raises alpha.
  void Blend(int x, int y, TColour colour, int coverage);
  void FillRect(int x, int y, int width, int height, TColour colour);
  // A frame of the given thickness inside the rectangle.
  void FrameRect(int x, int y, int width, int height, int thickness, TColour colour);

 private:
  int width_, height_, channels_;
  std::vector<uint8_t> pixels_;
};

// Writes the canvas as PNG (grey, RGB or RGBA by its channels); exits the
// program with a message on failure.
void WritePng(const TCanvas& canvas, const std::string& path);
// Writes an RGB canvas as an uncompressed 24-bit BMP.
void WriteBmp(const TCanvas& canvas, const std::string& path);
