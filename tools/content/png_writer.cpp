#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace content {

namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

// Writes with libpng's error exit inside this frame only; nothing here
// owns a destructor that the longjmp would skip.
bool WriteRows(FILE* file, const Image& image, const std::vector<png_bytep>& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, image.width, image.height, 8,
               image.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void WritePng(const std::string& path, const Image& image) {
  if (image.channels != 3 && image.channels != 4) {
    throw std::runtime_error("only RGB and RGBA pictures are written: " + path);
  }
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot create " + path);
  std::vector<png_bytep> rows(image.height);
  for (int y = 0; y < image.height; ++y) {
    rows[y] =
        const_cast<png_bytep>(&image.pixels[static_cast<size_t>(y) * image.width * image.channels]);
  }
  if (!WriteRows(file.get(), image, rows) || std::fflush(file.get()) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace content
