#include "host/images/mipmaps.h"

#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <vector>

namespace mipmaps {
namespace {

constexpr std::array<uint16_t, 256> MakeReciprocals() {
  std::array<uint16_t, 256> table{};
  table[0] = 16383;
  for (uint32_t i = 1; i < 256; ++i) table[i] = static_cast<uint16_t>((2 * 16320 + i) / (2 * i));
  return table;
}
constexpr std::array<uint16_t, 256> kReciprocals = MakeReciprocals();

// The reciprocals as the vector code multiplies by them: one texel's four
// lanes, 0 in the alpha lane so the alpha byte comes out empty.
constexpr std::array<uint64_t, 256> MakeReciprocalLanes() {
  std::array<uint64_t, 256> lanes{};
  for (size_t i = 0; i < 256; ++i) {
    const uint64_t r = kReciprocals[i];
    lanes[i] = r | r << 16 | r << 32;
  }
  return lanes;
}
alignas(16) constexpr std::array<uint64_t, 256> kReciprocalLanes = MakeReciprocalLanes();

// The filter's steps on one 2 x 2 block (a b / c d), in the 16-bit lane
// arithmetic of the vector code: bytes widened to 256 * v, premultiplied
// with high multiplies, averaged in pairs rounding up, scaled back by the
// reciprocal of the averaged alpha. Alpha itself is the block's maximum,
// so a single opaque texel keeps a thin line visible at every level.
uint16_t HighMultiply(uint32_t x, uint32_t y) {
  return static_cast<uint16_t>((x * y) >> 16);
}
uint16_t Average(uint16_t x, uint16_t y) {
  return static_cast<uint16_t>((x + y + 1) >> 1);
}
uint16_t Premultiplied(const uint8_t* texel, int channel) {
  const uint32_t alpha = 256u * texel[3];
  const uint32_t factor = channel == 3 ? 0xFFFFu : alpha;
  return HighMultiply(factor, 256u * texel[channel]);
}

void FilterBlock(const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d,
                 uint8_t* out) {
  uint16_t mean[4];
  for (int channel = 0; channel < 4; ++channel) {
    const uint16_t top = Average(Premultiplied(a, channel), Premultiplied(b, channel));
    const uint16_t bottom = Average(Premultiplied(c, channel), Premultiplied(d, channel));
    mean[channel] = Average(top, bottom);
  }
  const uint16_t reciprocal = kReciprocals[mean[3] >> 8];
  for (int channel = 0; channel < 3; ++channel) {
    const uint32_t colour = static_cast<uint32_t>(HighMultiply(mean[channel], reciprocal)) << 2;
    out[channel] = static_cast<uint8_t>(std::min<uint32_t>(colour, 255));
  }
  out[3] = std::max({a[3], b[3], c[3], d[3]});
}

void HalveRowsScalar(const uint8_t* row0, const uint8_t* row1, int32_t dst_width, int32_t first,
                     uint8_t* dst) {
  for (int32_t x = first; x < dst_width; ++x) {
    const size_t left = static_cast<size_t>(x) * 2 * kBytesPerPixel;
    const size_t right = left + kBytesPerPixel;
    FilterBlock(row0 + left, row0 + right, row1 + left, row1 + right,
                dst + static_cast<size_t>(x) * kBytesPerPixel);
  }
}

// Two texels as 16-bit lanes holding 256 * v; answers them premultiplied.
// The alpha lane is multiplied by 0xFFFF instead of by itself.
__m128i Premultiply(__m128i texels) {
  const __m128i alpha_lanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  __m128i alpha = _mm_shufflelo_epi16(texels, _MM_SHUFFLE(3, 3, 3, 3));
  alpha = _mm_shufflehi_epi16(alpha, _MM_SHUFFLE(3, 3, 3, 3));
  return _mm_mulhi_epu16(texels, _mm_or_si128(alpha, alpha_lanes));
}

// Two texels' premultiplied 2 x 2 averages back to straight colour, still
// 16-bit, alpha lanes 0. SSE2 has no gather, so the reciprocals are looked
// up one texel at a time.
__m128i Unpremultiply(__m128i mean) {
  const int first = _mm_extract_epi16(mean, 3) >> 8;
  const int second = _mm_extract_epi16(mean, 7) >> 8;
  const __m128i reciprocal = _mm_unpacklo_epi64(
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kReciprocalLanes[first])),
      _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kReciprocalLanes[second])));
  return _mm_slli_epi16(_mm_mulhi_epu16(mean, reciprocal), 2);
}

// Eight source texels of one row, split into the left and the right texel
// of each pair, so pairs meet lane by lane without further shuffles.
struct TRowPairs {
  __m128i left, right;  // texels 0, 2, 4, 6 and 1, 3, 5, 7
};

TRowPairs SplitPairs(const uint8_t* row) {
  const __m128 first = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)));
  const __m128 second =
      _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16)));
  return {_mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(2, 0, 2, 0))),
          _mm_castps_si128(_mm_shuffle_ps(first, second, _MM_SHUFFLE(3, 1, 3, 1)))};
}

// The premultiplied averages of the pairs of one row: target texels 0, 1
// from the low halves, 2, 3 from the high halves.
__m128i AveragedPairsLow(const TRowPairs& row) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_avg_epu16(Premultiply(_mm_unpacklo_epi8(zero, row.left)),
                       Premultiply(_mm_unpacklo_epi8(zero, row.right)));
}
__m128i AveragedPairsHigh(const TRowPairs& row) {
  const __m128i zero = _mm_setzero_si128();
  return _mm_avg_epu16(Premultiply(_mm_unpackhi_epi8(zero, row.left)),
                       Premultiply(_mm_unpackhi_epi8(zero, row.right)));
}

// Four target texels from eight source texels of each row.
__m128i FilteredTexels(const TRowPairs& top, const TRowPairs& bottom) {
  const __m128i alpha_bytes = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  const __m128i low = Unpremultiply(_mm_avg_epu16(AveragedPairsLow(top), AveragedPairsLow(bottom)));
  const __m128i high =
      Unpremultiply(_mm_avg_epu16(AveragedPairsHigh(top), AveragedPairsHigh(bottom)));
  const __m128i alpha =
      _mm_max_epu8(_mm_max_epu8(top.left, top.right), _mm_max_epu8(bottom.left, bottom.right));
  return _mm_or_si128(_mm_packus_epi16(low, high), _mm_and_si128(alpha_bytes, alpha));
}

void HalveRowsSse2(const uint8_t* row0, const uint8_t* row1, int32_t dst_width, uint8_t* dst) {
  int32_t x = 0;
  for (; x + 4 <= dst_width; x += 4) {
    const size_t offset = static_cast<size_t>(x) * 2 * kBytesPerPixel;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + static_cast<size_t>(x) * kBytesPerPixel),
                     FilteredTexels(SplitPairs(row0 + offset), SplitPairs(row1 + offset)));
  }
  HalveRowsScalar(row0, row1, dst_width, x, dst);
}

template <typename HalveRows>
void HalveLevel(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst,
                HalveRows halve_rows) {
  const int32_t dst_width = width / 2;
  const int32_t dst_height = height / 2;
  const size_t src_stride = static_cast<size_t>(width) * kBytesPerPixel;
  const size_t dst_stride = static_cast<size_t>(dst_width) * kBytesPerPixel;
  for (int32_t y = 0; y < dst_height; ++y) {
    const uint8_t* row0 = src + static_cast<size_t>(y) * 2 * src_stride;
    halve_rows(row0, row0 + src_stride, dst_width, dst + static_cast<size_t>(y) * dst_stride);
  }
}

}  // namespace

uint16_t Reciprocal(uint8_t alpha_high_byte) {
  return kReciprocals[alpha_high_byte];
}

void HalveLevelScalar(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst) {
  HalveLevel(src, width, height, dst,
             [](const uint8_t* row0, const uint8_t* row1, int32_t dst_width, uint8_t* out) {
               HalveRowsScalar(row0, row1, dst_width, 0, out);
             });
}

void HalveLevelSse2(const uint8_t* src, int32_t width, int32_t height, uint8_t* dst) {
  HalveLevel(src, width, height, dst, HalveRowsSse2);
}

int32_t LevelCountBelow(int32_t width, int32_t height) {
  const int32_t shorter = std::min(width, height);
  if (shorter < 1) return 0;
  return static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(shorter))) - 1;
}

void BuildChain(int32_t width, int32_t height, const uint8_t* pixels, const TLevelUpload& upload,
                THalveLevel halve) {
  if (width < 1 || height < 1 || pixels == nullptr) return;
  upload(0, width, height, pixels);
  const int32_t levels = LevelCountBelow(width, height);
  // Two buffers taken in turns: level 1 and every odd level below it in
  // the first, level 2 and every even one in the second.
  std::vector<uint8_t> buffers[2];
  const uint8_t* source = pixels;
  for (int32_t level = 1; level <= levels; ++level) {
    const int32_t next_width = width / 2;
    const int32_t next_height = height / 2;
    std::vector<uint8_t>& target = buffers[(level - 1) % 2];
    if (target.empty()) {
      target.resize(static_cast<size_t>(next_width) * static_cast<size_t>(next_height) *
                    kBytesPerPixel);
    }
    halve(source, width, height, target.data());
    upload(level, next_width, next_height, target.data());
    source = target.data();
    width = next_width;
    height = next_height;
  }
}

}  // namespace mipmaps
