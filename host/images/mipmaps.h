// Mipmap chains of RGBA pictures: a premultiplied-alpha box filter that
// halves one level (SSE2, with a scalar twin that defines its results), and
// the chain that hands every level to an upload callback.
#pragma once

#include <cstdint>
#include <functional>

namespace mipmaps {

// 4 bytes a pixel: red, green, blue, alpha; rows packed, top row first.
constexpr int32_t kBytesPerPixel = 4;

// A source level of width x height pixels becomes one of (width / 2) x
// (height / 2): every target pixel is the filtered 2 x 2 block under it.
// An odd last column or row is left out. dst must not overlap src.
using THalveLevel = void (*)(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst);
void HalveLevelScalar(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst);
void HalveLevelSse2(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst);

// The reciprocal table that undoes the premultiplication: entry i is
// 16320 / i rounded half up (16320 = 64 * 255), entry 0 is 16383.
uint16_t Reciprocal(uint8_t alpha_high_byte);

// How many levels follow level 0: halving stops when the shorter side
// would reach 0, so a 256 x 64 picture has 6 (down to 4 x 1).
int32_t LevelCountBelow(int32_t width, int32_t height);

using TLevelUpload =
    std::function<void(int32_t level, int32_t width, int32_t height, const uint8_t* pixels)>;

// Hands level 0 (the pixels themselves) and every smaller level to upload,
// largest first. Sides below 1 or no pixels hand over nothing.
void BuildChain(int32_t width, int32_t height, const uint8_t* pixels, const TLevelUpload& upload,
                THalveLevel halve = HalveLevelSse2);

}  // namespace mipmaps
