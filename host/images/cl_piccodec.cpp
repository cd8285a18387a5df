#include "host/images/cl_piccodec.h"

#include <stdexcept>

#include "host/core/exceptions.h"
#include "host/images/png_codec.h"
#include "shared/text_codes.h"

int64_t PictureBytes(int64_t width, int64_t height, int32_t mode) {
  const int32_t bytes_per_pixel =
      mode >= Im_RGB && mode <= Im_Gray ? BytesPerPixel(static_cast<TImageMode>(mode)) : 0;
  if (bytes_per_pixel == 0) {
    throw std::invalid_argument("Unknown picture mode " + std::to_string(mode));
  }
  if (width <= 0 || height <= 0) {
    throw std::invalid_argument("Picture of " + std::to_string(width) + " x " +
                                std::to_string(height) + " pixels has no area");
  }
  // With both sides within 32 bits their product cannot overflow 64.
  if (width > INT32_MAX || height > INT32_MAX ||
      width * height > kMaxPictureBytes / bytes_per_pixel) {
    throw std::length_error("Picture of " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels is too large for a buffer");
  }
  return width * height * bytes_per_pixel;
}

void TSilentCodec::Encode(TContainer&, const void*, int32_t, int32_t, TImageMode) {
  throw EAbstractError();
}

std::string UpperExtension(const std::string& file_name) {
  const size_t dot = file_name.rfind('.');
  if (dot == std::string::npos) return "";
  if (file_name.find_first_of("/\\", dot) != std::string::npos) return "";
  return AsciiUpper(file_name.substr(dot));
}

std::unique_ptr<TImageCodec> CodecForExtension(const std::string& extension) {
  if (extension == ".PNG") return std::make_unique<TPngCodec>();
  return nullptr;
}
