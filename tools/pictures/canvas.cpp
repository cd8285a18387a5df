#include "pictures/canvas.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::exit(1);
}

void PutLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

TCanvas::TCanvas(int width, int height, int channels, TColour fill)
    : width_(width), height_(height), channels_(channels) {
  pixels_.resize(static_cast<size_t>(width) * height * channels);
  FillRect(0, 0, width, height, fill);
}

void TCanvas::Blend(int x, int y, TColour colour, int coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0) return;
  uint8_t* p = &pixels_[(static_cast<size_t>(y) * width_ + x) * channels_];
  const uint8_t source[4] = {colour.r, colour.g, colour.b, colour.a};
  const int colour_channels = channels_ == 4 ? 3 : channels_;
  for (int c = 0; c < colour_channels; ++c) {
    p[c] = static_cast<uint8_t>((source[c] * coverage + p[c] * (255 - coverage)) / 255);
  }
  if (channels_ == 4) {
    const int alpha = colour.a * coverage / 255;
    p[3] = static_cast<uint8_t>(alpha + p[3] * (255 - alpha) / 255);
  }
}

void TCanvas::FillRect(int x, int y, int width, int height, TColour colour) {
  const uint8_t source[4] = {colour.r, colour.g, colour.b, colour.a};
  for (int row = y; row < y + height; ++row) {
    for (int col = x; col < x + width; ++col) {
      if (col < 0 || row < 0 || col >= width_ || row >= height_) continue;
      uint8_t* p = &pixels_[(static_cast<size_t>(row) * width_ + col) * channels_];
      for (int c = 0; c < channels_; ++c) p[c] = source[c];
    }
  }
}

void TCanvas::FrameRect(int x, int y, int width, int height, int thickness, TColour colour) {
  FillRect(x, y, width, thickness, colour);
  FillRect(x, y + height - thickness, width, thickness, colour);
  FillRect(x, y, thickness, height, colour);
  FillRect(x + width - thickness, y, thickness, height, colour);
}

void WritePng(const TCanvas& canvas, const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(canvas.Width());
  image.height = static_cast<png_uint_32>(canvas.Height());
  image.format = canvas.Channels() == 4   ? PNG_FORMAT_RGBA
                 : canvas.Channels() == 3 ? PNG_FORMAT_RGB
                                          : PNG_FORMAT_GRAY;
  if (!png_image_write_to_file(&image, path.c_str(), 0, canvas.Pixels().data(), 0, nullptr)) {
    Fail("cannot write " + path + ": " + image.message);
  }
}

void WriteBmp(const TCanvas& canvas, const std::string& path) {
  if (canvas.Channels() != 3) Fail("a BMP is written from an RGB canvas");
  std::ofstream out(path, std::ios::binary);
  if (!out) Fail("cannot write " + path);
  const int row_bytes = (canvas.Width() * 3 + 3) / 4 * 4;
  const uint32_t data_size = static_cast<uint32_t>(row_bytes * canvas.Height());
  out.write("BM", 2);
  PutLittleEndian(out, 54 + data_size, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 54, 4);
  PutLittleEndian(out, 40, 4);
  PutLittleEndian(out, static_cast<uint32_t>(canvas.Width()), 4);
  PutLittleEndian(out, static_cast<uint32_t>(canvas.Height()), 4);  // rows bottom first
  PutLittleEndian(out, 1, 2);
  PutLittleEndian(out, 24, 2);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, data_size, 4);
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 2835, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, 0, 4);
  const std::vector<uint8_t>& pixels = canvas.Pixels();
  for (int y = canvas.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const uint8_t* p = &pixels[(static_cast<size_t>(y) * canvas.Width() + x) * 3];
      out.put(static_cast<char>(p[2])).put(static_cast<char>(p[1])).put(static_cast<char>(p[0]));
    }
    for (int pad = canvas.Width() * 3; pad < row_bytes; ++pad) out.put(0);
  }
  if (!out) Fail("cannot write " + path);
}
