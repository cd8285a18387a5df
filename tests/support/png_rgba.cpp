#include "support/png_rgba.h"

#include <png.h>

bool ReadPngRgba(const std::string& file_name, TRgbaPicture& picture, std::string& why) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, file_name.c_str()) == 0) {
    why = image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr) == 0) {
    why = image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

bool WritePngRgba(const std::string& file_name, const TRgbaPicture& picture, std::string& why) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGBA;
  if (picture.pixels.size() != PNG_IMAGE_SIZE(image)) {
    why = "pixel buffer does not match the size";
    return false;
  }
  if (png_image_write_to_file(&image, file_name.c_str(), 0, picture.pixels.data(), 0, nullptr) ==
      0) {
    why = image.message;
    return false;
  }
  return true;
}
