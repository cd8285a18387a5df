// Pictures for the PNG tests: pixel patterns, chunk surgery on PNG files
// (with the CRC kept right, so that only the intended fault shows) and
// ImageMagick as the independent reference decoder and encoder.
#pragma once

#include <png.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "host/images/cl_libpng.h"
#include "host/images/png_codec.h"
#include "host/modules/cl_container.h"

namespace pngtest {

// Distinct values in every channel, so that swapped channels, rows or
// pixels show.
inline std::vector<uint8_t> Pattern(int32_t width, int32_t height, int32_t bytes_per_pixel,
                                    int seed = 0) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * bytes_per_pixel);
  for (size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<uint8_t>((i * 37 + seed * 11 + i / 7) % 256);
  }
  return pixels;
}

inline uint32_t Crc32(const std::string& bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

inline std::string BigEndian(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}

// A whole chunk: length, type, data and CRC.
inline std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<uint32_t>(data.size())) + type + data +
         BigEndian(Crc32(type + data));
}

constexpr size_t kSignatureBytes = 8;
constexpr size_t kIhdrChunkBytes = 25;  // length, type, 13 bytes of data, CRC

// The file with the chunk inserted right after IHDR.
inline std::string InsertAfterHeader(const std::string& png, const std::string& chunk) {
  const size_t at = kSignatureBytes + kIhdrChunkBytes;
  return png.substr(0, at) + chunk + png.substr(at);
}

// The file with IHDR claiming another size; its CRC still matches.
inline std::string WithClaimedSize(const std::string& png, uint32_t width, uint32_t height) {
  std::string data = png.substr(kSignatureBytes + 8, 13);
  data.replace(0, 4, BigEndian(width));
  data.replace(4, 4, BigEndian(height));
  return png.substr(0, kSignatureBytes) + Chunk("IHDR", data) +
         png.substr(kSignatureBytes + kIhdrChunkBytes);
}

inline int ColorType(const std::string& png) {
  return static_cast<unsigned char>(png.at(kSignatureBytes + 8 + 9));
}
inline int BitDepth(const std::string& png) {
  return static_cast<unsigned char>(png.at(kSignatureBytes + 8 + 8));
}
inline int Interlace(const std::string& png) {
  return static_cast<unsigned char>(png.at(kSignatureBytes + 8 + 12));
}

// Our encoder's file for a buffer.
inline std::string Encoded(const std::vector<uint8_t>& pixels, int32_t width, int32_t height,
                           TImageMode mode) {
  TContainer container(0);
  TPngCodec().Encode(container, pixels.data(), width, height, mode);
  return std::string(static_cast<const char*>(container.Data()),
                     static_cast<size_t>(container.Size()));
}

struct TDecoded {
  int32_t width = 0;
  int32_t height = 0;
  TImageMode mode = Im_RGB;
  std::vector<uint8_t> pixels;
};

// Our decoder's pixels for a file.
inline TDecoded Decoded(const std::string& png) {
  TContainer container(0);
  container.AppendCopy(png.data(), static_cast<int32_t>(png.size()));
  TPngCodec codec;
  TDecoded decoded;
  codec.PrepareToDecode(container, decoded.width, decoded.height, decoded.mode);
  decoded.pixels.resize(static_cast<size_t>(decoded.width) * decoded.height *
                        BytesPerPixel(decoded.mode));
  codec.Decode(decoded.pixels.data());
  return decoded;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ImageMagick, called by the name of its binary. Its PNG reader and writer
// share no code with libpng's transformations used here.
class TImageMagick {
 public:
  TImageMagick() {
    const char* chosen = std::getenv("ZOK_IMAGEMAGICK_CONVERT");
    program_ = chosen != nullptr ? chosen : "convert";
    std::string version;
    available_ = Run("-version", version) && version.find("ImageMagick") != std::string::npos;
  }
  bool Available() const { return available_; }

  // Runs convert with arguments (already quoted); the output in out.
  bool Run(const std::string& arguments, std::string& out) const {
    FILE* pipe = popen((program_ + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return pclose(pipe) == 0;
  }

  // Raw 8-bit pixels of a picture file in the layout of mode ("rgb" or
  // "rgba" order), as ImageMagick decodes them.
  std::vector<uint8_t> Pixels(const std::string& picture, TImageMode mode,
                              const std::string& scratch) const {
    const std::string format = mode == Im_RGBA ? "rgba" : "rgb";
    std::string out;
    if (!Run("'" + picture + "' -depth 8 " + format + ":'" + scratch + "'", out)) return {};
    const std::string bytes = ReadFile(scratch);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }

 private:
  std::string program_;
  bool available_ = false;
};

}  // namespace pngtest
