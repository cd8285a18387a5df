#include "module/graphics/mo_pictures.h"

#include <stdexcept>

#include "module/runtime/host_functions.h"

namespace {

constexpr const char* kScratchContainer = "$ct";

size_t PixelBytes(int32_t width, int32_t height, TImageMode mode) {
  if (width < 0 || height < 0) throw std::invalid_argument("picture size below zero");
  return static_cast<size_t>(width) * static_cast<size_t>(height) *
         static_cast<size_t>(BytesPerPixel(mode));
}

uint8_t GrayOf(uint8_t red, uint8_t green, uint8_t blue) {
  // Tenths in integers keep the halves exact: 127.5 must tie to 128.
  const int32_t tenths = 3 * red + 5 * green + 2 * blue;
  int32_t gray = tenths / 10;
  const int32_t rest = tenths % 10;
  if (rest > 5 || (rest == 5 && gray % 2 == 1)) ++gray;
  return static_cast<uint8_t>(gray);
}

}  // namespace

TImage::TImage(const std::string& picture_name) {
  const bool preloaded = !picture_name.empty() && picture_name[0] == '$';
  const char* container = preloaded ? picture_name.c_str() : kScratchContainer;
  if (!preloaded) {
    int32_t size = 0;
    host::LoadContainer(kScratchContainer, picture_name.c_str(), &size);
  }
  int32_t raw_mode = 0;
  host::StartDecodingPicture(container, &width, &height, &raw_mode);
  mode = static_cast<TImageMode>(raw_mode);
  pixels.resize(PixelBytes(width, height, mode));
  host::FinishDecodingPicture(pixels.data());
  if (!preloaded) host::DeleteContainer(kScratchContainer);
}

TImage::TImage(int32_t width, int32_t height, TImageMode mode)
    : pixels(PixelBytes(width, height, mode), 0), width(width), height(height), mode(mode) {}

void TImage::ConvertToGray() {
  if (mode == Im_Gray) return;
  const size_t step = static_cast<size_t>(BytesPerPixel(mode));
  std::vector<uint8_t> gray(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < gray.size(); ++i) {
    const uint8_t* pixel = &pixels[i * step];
    gray[i] = GrayOf(pixel[0], pixel[1], pixel[2]);
  }
  pixels = std::move(gray);
  mode = Im_Gray;
}

uint8_t TImage::Channel(int32_t x, int32_t y, int32_t channel) const {
  if (x < 0 || y < 0 || x >= width || y >= height) throw std::out_of_range("pixel outside picture");
  const size_t pixel = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  if (mode == Im_Gray) return pixels[pixel];
  return pixels[pixel * static_cast<size_t>(BytesPerPixel(mode)) + static_cast<size_t>(channel)];
}

uint8_t TImage::Red(int32_t x, int32_t y) const {
  return Channel(x, y, 0);
}
uint8_t TImage::Green(int32_t x, int32_t y) const {
  return Channel(x, y, 1);
}
uint8_t TImage::Blue(int32_t x, int32_t y) const {
  return Channel(x, y, 2);
}

uint8_t TImage::Alpha(int32_t x, int32_t y) const {
  if (mode != Im_RGBA) {
    Channel(x, y, 0);  // the same bounds check
    return 255;
  }
  return Channel(x, y, 3);
}
