// The 128-byte header in front of a zok-file's data. Fields are
// little-endian at fixed offsets; they are read and written through byte
// copies because the 64-bit ones are not aligned.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "host/files/md5_digest.h"

static_assert(std::endian::native == std::endian::little,
              "zok-file fields are stored as in memory");

using TZokHeader = std::array<uint8_t, 128>;

namespace zok_header {

constexpr size_t kSignature = 0;  // "ZOK"
constexpr size_t kVariant = 3;
constexpr size_t kDataSize = 12;  // signed 64-bit: file length minus the header
constexpr size_t kSizes = 20;     // four bytes, each 4
constexpr size_t kDigest = 24;    // MD5 of the data, signed variant only
constexpr size_t kStamp = 40;     // run stamp of the writer

template <class T>
T Field(const uint8_t* header, size_t offset) {
  T value;
  std::memcpy(&value, header + offset, sizeof value);
  return value;
}

template <class T>
void SetField(uint8_t* header, size_t offset, const T& value) {
  std::memcpy(header + offset, &value, sizeof value);
}

// A fresh header: zeroes but for the signature, variant, sizes and stamp.
inline TZokHeader Make(char variant, uint64_t stamp) {
  TZokHeader header{};
  std::memcpy(header.data() + kSignature, "ZOK", 3);
  header[kVariant] = static_cast<uint8_t>(variant);
  std::memset(header.data() + kSizes, 4, 4);
  SetField(header.data(), kStamp, stamp);
  return header;
}

inline bool HasSignature(const uint8_t* header) {
  return std::memcmp(header + kSignature, "ZOK", 3) == 0;
}

}  // namespace zok_header
