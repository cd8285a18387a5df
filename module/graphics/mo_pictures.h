// TImage: a decoded picture in module memory, read through the host's
// picture decoder. Rows are packed top row first, as the host writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/zok_object.h"
#include "shared/zok_protocol.h"

class TImage : public TObject {
 public:
  // Decodes picture_name: a "$" name is a container the host already
  // holds; any other is a file, read through the scratch container "$ct".
  explicit TImage(const std::string& picture_name);
  // A blank (zeroed) picture.
  TImage(int32_t width, int32_t height, TImageMode mode);
  const char* ClassName() const override { return "TImage"; }

  // One grey byte a pixel, 0.3 R + 0.5 G + 0.2 B rounded half to even.
  void ConvertToGray();

  // Channels of pixel (x, y), y from the top row. A grey picture answers
  // its grey byte for every colour; pictures without alpha are opaque.
  uint8_t Red(int32_t x, int32_t y) const;
  uint8_t Green(int32_t x, int32_t y) const;
  uint8_t Blue(int32_t x, int32_t y) const;
  uint8_t Alpha(int32_t x, int32_t y) const;

  std::vector<uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  TImageMode mode = Im_RGB;

 private:
  // The pixel's channel, or its grey byte for a grey picture.
  uint8_t Channel(int32_t x, int32_t y, int32_t channel) const;
};
