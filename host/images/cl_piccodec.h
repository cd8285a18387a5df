// Picture codecs: one codec instance turns one picture held in a container
// into a pixel buffer, or a pixel buffer into a picture file. The codec is
// chosen by the file name's extension; PNG is the one format served.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/modules/cl_container.h"
#include "shared/zok_object.h"
#include "shared/zok_protocol.h"

// The largest pixel buffer a picture may need: the module allocates it
// with a 32-bit size.
constexpr int64_t kMaxPictureBytes = INT32_MAX;

// width × height × bytes per pixel, computed in 64 bits. Throws
// std::invalid_argument for a mode outside the type or a size that is not
// positive, std::length_error above kMaxPictureBytes.
int64_t PictureBytes(int64_t width, int64_t height, int32_t mode);

class TImageCodec : public TObject {
 public:
  const char* ClassName() const override { return "TImageCodec"; }

  // Reads the picture's header from the container and reports the layout
  // of the buffer Decode fills.
  virtual void PrepareToDecode(TContainer& container, int32_t& width, int32_t& height,
                               TImageMode& mode) = 0;
  // Writes the whole picture into a buffer of the reported size.
  virtual void Decode(void* buffer) = 0;
  // Appends the encoded file to an empty container.
  virtual void Encode(TContainer& container, const void* buffer, int32_t width, int32_t height,
                      TImageMode mode) = 0;

 protected:
  TImageMode mode_ = Im_RGB;
  int32_t height_ = 0;
  int32_t width_ = 0;
};

// Formats known by name only: decoding does nothing, encoding is not
// there, and no extension selects them.
class TSilentCodec : public TImageCodec {
 public:
  void PrepareToDecode(TContainer&, int32_t&, int32_t&, TImageMode&) override {}
  void Decode(void*) override {}
  // Throws EAbstractError.
  void Encode(TContainer&, const void*, int32_t, int32_t, TImageMode) override;
};
class TTgaCodec : public TSilentCodec {
 public:
  const char* ClassName() const override { return "TTgaCodec"; }
};
class TBmpCodec : public TSilentCodec {
 public:
  const char* ClassName() const override { return "TBmpCodec"; }
};
class TPcxCodec : public TSilentCodec {
 public:
  const char* ClassName() const override { return "TPcxCodec"; }
};
class TLbmCodec : public TSilentCodec {
 public:
  const char* ClassName() const override { return "TLbmCodec"; }
};

// The extension of file_name, dot included, in upper case; empty for none.
std::string UpperExtension(const std::string& file_name);

// The codec for an upper-case extension, null for a format not served.
std::unique_ptr<TImageCodec> CodecForExtension(const std::string& extension);
