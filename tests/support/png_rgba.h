// 8-bit RGBA pictures to and from PNG files, top row first, through
// libpng's simplified interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TRgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 4 bytes
};

// Any PNG converted to RGBA; false (and why) when it cannot be read.
bool ReadPngRgba(const std::string& file_name, TRgbaPicture& picture, std::string& why);
bool WritePngRgba(const std::string& file_name, const TRgbaPicture& picture, std::string& why);
