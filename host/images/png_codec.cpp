#include "host/images/png_codec.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#include "host/images/cl_libpng.h"
#include "host/messages/log.h"

namespace {

[[noreturn]] void FailedCall(const char* name) {
  FatalErrorText(std::string("libpng: failed call to ") + name);
}

}  // namespace

TPngCodec::~TPngCodec() {
  DestroyStructures();
}

void TPngCodec::OnError(png_structp png, png_const_charp message) {
  const libpng::TEntryPoints& api = libpng::Api();
  auto* codec = static_cast<TPngCodec*>(api.get_error_ptr(png));
  std::snprintf(codec->error_text_, sizeof codec->error_text_, "%s", message ? message : "");
  api.longjmp(png, 1);
}

void TPngCodec::OnWarning(png_structp, png_const_charp message) {
  try {
    VerboseLog(std::string("libpng reported a warning: ") + (message ? message : ""));
  } catch (...) {
    // A warning that cannot be logged is not worth stopping libpng for.
  }
}

void TPngCodec::ReadFromContainer(png_structp png, png_bytep data, size_t length) {
  const libpng::TEntryPoints& api = libpng::Api();
  auto* container = static_cast<TContainer*>(api.get_io_ptr(png));
  bool complete = false;
  try {
    complete =
        length <= static_cast<size_t>(INT32_MAX) &&
        container->ReadBytes(data, static_cast<int32_t>(length)) == static_cast<int32_t>(length);
  } catch (...) {
  }
  // Raised outside the handler: the error exit must not skip its cleanup.
  if (!complete) api.error(png, "Read beyond the end of the picture's data");
}

void TPngCodec::WriteToContainer(png_structp png, png_bytep data, size_t length) {
  const libpng::TEntryPoints& api = libpng::Api();
  auto* container = static_cast<TContainer*>(api.get_io_ptr(png));
  bool written = false;
  try {
    if (length <= static_cast<size_t>(INT32_MAX)) {
      container->AppendCopy(data, static_cast<int32_t>(length));
      written = true;
    }
  } catch (...) {
  }
  if (!written) api.error(png, "The picture does not fit in a container");
}

template <typename Step>
void TPngCodec::Guarded(Step step) {
  if (setjmp(*error_exit_) == 0) {
    step();
    return;
  }
  FatalErrorText(std::string("libpng reported an error: ") + error_text_);
}

void TPngCodec::CreateReader() {
  const libpng::TEntryPoints& api = libpng::Api();
  writing_ = false;
  png_ = api.create_read_struct(libpng::VersionString().c_str(), this, &OnError, &OnWarning);
  if (png_ == nullptr) FailedCall("png_create_read_struct");
  error_exit_ = api.set_longjmp_fn(png_, &std::longjmp, sizeof(std::jmp_buf));
  info_ = api.create_info_struct(png_);
  if (info_ == nullptr) FailedCall("png_create_info_struct");
}

void TPngCodec::CreateWriter() {
  const libpng::TEntryPoints& api = libpng::Api();
  writing_ = true;
  png_ = api.create_write_struct(libpng::VersionString().c_str(), this, &OnError, &OnWarning);
  if (png_ == nullptr) FailedCall("png_create_write_struct");
  error_exit_ = api.set_longjmp_fn(png_, &std::longjmp, sizeof(std::jmp_buf));
  info_ = api.create_info_struct(png_);
  if (info_ == nullptr) FailedCall("png_create_info_struct");
}

void TPngCodec::DestroyStructures() {
  rows_.clear();
  error_exit_ = nullptr;
  container_ = nullptr;
  if (png_ == nullptr) return;
  // Without the library the structures went with it.
  if (libpng::IsLoaded()) {
    const libpng::TEntryPoints& api = libpng::Api();
    if (writing_) {
      api.destroy_write_struct(&png_, &info_);
    } else {
      api.destroy_read_struct(&png_, &info_, nullptr);
    }
  }
  png_ = nullptr;
  info_ = nullptr;
}

void TPngCodec::PointRowsAt(const void* buffer) {
  const size_t stride = static_cast<size_t>(width_) * static_cast<size_t>(BytesPerPixel(mode_));
  // libpng takes mutable rows even for writing; it does not change them.
  auto* first = static_cast<png_bytep>(const_cast<void*>(buffer));
  rows_.resize(static_cast<size_t>(height_));
  for (size_t i = 0; i < rows_.size(); ++i) rows_[i] = first + i * stride;
}

TImageMode TPngCodec::ChooseTransformations() {
  const libpng::TEntryPoints& api = libpng::Api();
  Guarded([&] {
    if ((color_type_ & PNG_COLOR_MASK_PALETTE) != 0) {
      api.set_palette_to_rgb(png_);
      color_type_ = api.get_valid(png_, info_, PNG_INFO_tRNS) != 0 ? PNG_COLOR_TYPE_RGB_ALPHA
                                                                   : PNG_COLOR_TYPE_RGB;
      bit_depth_ = 8;
    }
    if ((color_type_ & PNG_COLOR_MASK_COLOR) == 0) {
      if (bit_depth_ < 8) {
        api.set_expand_gray_1_2_4_to_8(png_);
        bit_depth_ = 8;
      }
      api.set_gray_to_rgb(png_);
      color_type_ |= PNG_COLOR_MASK_COLOR;
    }
    if (bit_depth_ == 16) {
      api.set_strip_16(png_);
      bit_depth_ = 8;
    }
  });
  if (bit_depth_ == 8 && color_type_ == PNG_COLOR_TYPE_RGB) return Im_RGB;
  if (bit_depth_ == 8 && color_type_ == PNG_COLOR_TYPE_RGB_ALPHA) return Im_RGBA;
  FatalErrorText("TPngCodec.PrepareToDecode failed to convert image to RGB or RGBA");
}

void TPngCodec::PrepareToDecode(TContainer& container, int32_t& width, int32_t& height,
                                TImageMode& mode) {
  DestroyStructures();
  const libpng::TEntryPoints& api = libpng::Api();
  // One block up front, so that reading never allocates inside libpng.
  container.Data();
  container.Rewind();
  container_ = &container;
  CreateReader();
  api.set_read_fn(png_, &container, &ReadFromContainer);
  Guarded([&] { api.read_info(png_, info_); });

  const png_uint_32 file_width = api.get_image_width(png_, info_);
  const png_uint_32 file_height = api.get_image_height(png_, info_);
  bit_depth_ = api.get_bit_depth(png_, info_);
  color_type_ = api.get_color_type(png_, info_);
  const TImageMode chosen = ChooseTransformations();
  PictureBytes(file_width, file_height, chosen);
  width_ = static_cast<int32_t>(file_width);
  height_ = static_cast<int32_t>(file_height);
  mode_ = chosen;

  Guarded([&] {
    api.set_interlace_handling(png_);
    api.read_update_info(png_, info_);
  });
  const size_t row_bytes = api.get_rowbytes(png_, info_);
  const size_t expected = static_cast<size_t>(width_) * BytesPerPixel(mode_);
  if (row_bytes != expected) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "libpng internal error : applied wrong png transformations, width %d with %d "
                  "bytes per pixel gave row byte length %zu instead of %zu",
                  width_, BytesPerPixel(mode_), row_bytes, expected);
    FatalErrorText(text);
  }
  width = width_;
  height = height_;
  mode = mode_;
}

void TPngCodec::Decode(void* buffer) {
  if (png_ == nullptr || writing_) throw std::logic_error("Decode without PrepareToDecode");
  if (buffer == nullptr) throw std::invalid_argument("No buffer to decode the picture into");
  const libpng::TEntryPoints& api = libpng::Api();
  PointRowsAt(buffer);
  Guarded([&] { api.read_image(png_, rows_.data()); });
  DestroyStructures();
}

void TPngCodec::Encode(TContainer& container, const void* buffer, int32_t width, int32_t height,
                       TImageMode mode) {
  DestroyStructures();
  PictureBytes(width, height, mode);
  if (buffer == nullptr) throw std::invalid_argument("No pixels to encode");
  const libpng::TEntryPoints& api = libpng::Api();
  width_ = width;
  height_ = height;
  mode_ = mode;
  color_type_ = mode == Im_RGB    ? PNG_COLOR_TYPE_RGB
                : mode == Im_RGBA ? PNG_COLOR_TYPE_RGB_ALPHA
                                  : PNG_COLOR_TYPE_GRAY;
  bit_depth_ = 8;
  PointRowsAt(buffer);
  CreateWriter();
  container_ = &container;
  Guarded([&] {
    api.set_compression_level(png_, 9);
    api.set_write_fn(png_, &container, &WriteToContainer, &Flush);
    api.set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_),
                 bit_depth_, color_type_, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    api.write_info(png_, info_);
    api.write_image(png_, rows_.data());
    api.write_end(png_, info_);
  });
  DestroyStructures();
}
