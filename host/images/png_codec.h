// PNG pictures through libpng: reads any PNG into Im_RGB or Im_RGBA and
// writes Im_RGB, Im_RGBA and Im_Gray buffers at compression level 9.
#pragma once

#include <png.h>

#include <csetjmp>
#include <vector>

#include "host/images/cl_piccodec.h"

class TPngCodec : public TImageCodec {
 public:
  TPngCodec() = default;
  // Frees the libpng structures of a decode that was never finished.
  ~TPngCodec() override;
  TPngCodec(const TPngCodec&) = delete;
  TPngCodec& operator=(const TPngCodec&) = delete;
  const char* ClassName() const override { return "TPngCodec"; }

  // Reads from the start of the container whatever was read before.
  void PrepareToDecode(TContainer& container, int32_t& width, int32_t& height,
                       TImageMode& mode) override;
  void Decode(void* buffer) override;
  void Encode(TContainer& container, const void* buffer, int32_t width, int32_t height,
              TImageMode mode) override;

 private:
  static void OnError(png_structp png, png_const_charp message);
  static void OnWarning(png_structp png, png_const_charp message);
  static void ReadFromContainer(png_structp png, png_bytep data, size_t length);
  static void WriteToContainer(png_structp png, png_bytep data, size_t length);
  static void Flush(png_structp) {}

  void CreateReader();
  void CreateWriter();
  void DestroyStructures();
  // Calls step with libpng's error exit landing here; a libpng error
  // becomes a fatal error once its frames are left. step must not own
  // anything that needs a destructor: the exit skips its frame.
  template <typename Step>
  void Guarded(Step step);
  // Chooses the transformations that bring the picture to RGB or RGBA.
  TImageMode ChooseTransformations();
  void PointRowsAt(const void* buffer);

  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  bool writing_ = false;
  std::jmp_buf* error_exit_ = nullptr;
  std::vector<png_bytep> rows_;
  int32_t color_type_ = 0;
  int32_t bit_depth_ = 0;
  TContainer* container_ = nullptr;
  // libpng's message, kept here because its error exit cannot carry a
  // C++ object out of its frames.
  char error_text_[256] = {};
};
