#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "host/images/mipmaps.h"

namespace {

using Picture = std::vector<uint8_t>;
using Texel = std::array<uint8_t, 4>;

Picture RandomPicture(int32_t width, int32_t height, std::mt19937& random) {
  Picture picture(static_cast<size_t>(width) * height * mipmaps::kBytesPerPixel);
  std::uniform_int_distribution<int> byte(0, 255);
  for (uint8_t& value : picture) value = static_cast<uint8_t>(byte(random));
  return picture;
}

// Bytes from the ends of the range and the middle, where rounding,
// saturation and the reciprocal table's edges matter.
Picture ExtremePicture(int32_t width, int32_t height, std::mt19937& random) {
  static constexpr uint8_t kValues[] = {0, 1, 2, 3, 127, 128, 129, 253, 254, 255};
  Picture picture(static_cast<size_t>(width) * height * mipmaps::kBytesPerPixel);
  std::uniform_int_distribution<size_t> pick(0, std::size(kValues) - 1);
  for (uint8_t& value : picture) value = kValues[pick(random)];
  return picture;
}

struct Level {
  int32_t level, width, height;
  Picture pixels;
};

std::vector<Level> Chain(int32_t width, int32_t height, const Picture& picture,
                         mipmaps::THalveLevel halve) {
  std::vector<Level> levels;
  const size_t bytes_per_pixel = mipmaps::kBytesPerPixel;
  mipmaps::BuildChain(
      width, height, picture.data(),
      [&](int32_t level, int32_t level_width, int32_t level_height, const uint8_t* pixels) {
        const size_t size = static_cast<size_t>(level_width) * level_height * bytes_per_pixel;
        levels.push_back({level, level_width, level_height, Picture(pixels, pixels + size)});
      },
      halve);
  return levels;
}

Picture Halved(mipmaps::THalveLevel halve, const Picture& picture, int32_t width, int32_t height) {
  Picture out(static_cast<size_t>(width / 2) * (height / 2) * mipmaps::kBytesPerPixel);
  halve(picture.data(), width, height, out.data());
  return out;
}

void ExpectSameChains(int32_t width, int32_t height, const Picture& picture) {
  const std::vector<Level> fast = Chain(width, height, picture, mipmaps::HalveLevelSse2);
  const std::vector<Level> reference = Chain(width, height, picture, mipmaps::HalveLevelScalar);
  ASSERT_EQ(fast.size(), reference.size());
  for (size_t i = 0; i < fast.size(); ++i) {
    EXPECT_EQ(fast[i].pixels, reference[i].pixels)
        << width << " x " << height << ", level " << fast[i].level;
  }
}

TEST(MipmapReciprocals, AreRoundedHalfUpWithASentinelAtZero) {
  EXPECT_EQ(mipmaps::Reciprocal(0), 16383);
  EXPECT_EQ(mipmaps::Reciprocal(1), 16320);
  EXPECT_EQ(mipmaps::Reciprocal(3), 5440);
  EXPECT_EQ(mipmaps::Reciprocal(127), 129);  // 128.50...
  EXPECT_EQ(mipmaps::Reciprocal(128), 128);  // 127.5 exactly, halves go up
  EXPECT_EQ(mipmaps::Reciprocal(254), 64);
  EXPECT_EQ(mipmaps::Reciprocal(255), 64);
}

// One 2 x 2 block worked through the filter's integer steps by hand.
struct BlockCase {
  const char* name;
  std::array<Texel, 4> block;  // a b / c d
  Texel expected;
};

class MipmapBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(MipmapBlock, ScalarAndSse2GiveTheWorkedResult) {
  const BlockCase& c = GetParam();
  const Picture picture = {c.block[0][0], c.block[0][1], c.block[0][2], c.block[0][3],
                           c.block[1][0], c.block[1][1], c.block[1][2], c.block[1][3],
                           c.block[2][0], c.block[2][1], c.block[2][2], c.block[2][3],
                           c.block[3][0], c.block[3][1], c.block[3][2], c.block[3][3]};
  const Picture expected(c.expected.begin(), c.expected.end());
  EXPECT_EQ(Halved(mipmaps::HalveLevelScalar, picture, 2, 2), expected);
  EXPECT_EQ(Halved(mipmaps::HalveLevelSse2, picture, 2, 2), expected);
}

constexpr Texel kOpaqueWhite = {255, 255, 255, 255};
constexpr Texel kClear = {0, 0, 0, 0};
constexpr Texel kHalfAlpha = {200, 100, 50, 128};
constexpr Texel kFaintRed = {255, 0, 0, 1};
INSTANTIATE_TEST_SUITE_P(
    WorkedBlocks, MipmapBlock,
    testing::Values(
        // p = 65025, i = 254, table 64: (65025 * 64) >> 16 = 63, shifted 252.
        BlockCase{"OpaqueWhite",
                  {kOpaqueWhite, kOpaqueWhite, kOpaqueWhite, kOpaqueWhite},
                  Texel{252, 252, 252, 255}},
        // The transparent texels add nothing to the colour; alpha is the maximum.
        BlockCase{"OneOpaqueTexel",
                  {kClear, kClear, Texel{255, 0, 0, 255}, kClear},
                  Texel{255, 0, 0, 255}},
        // Colour under alpha 0 is dropped.
        BlockCase{"Transparent",
                  {Texel{255, 9, 1, 0}, Texel{7, 255, 3, 0}, Texel{1, 2, 255, 0}, kClear},
                  kClear},
        // A = 128: p = 128 v, i = 127, table 129; 25600 * 129 >> 16 = 50, shifted 200.
        BlockCase{"HalfAlpha",
                  {kHalfAlpha, kHalfAlpha, kHalfAlpha, kHalfAlpha},
                  Texel{200, 100, 48, 128}},
        // A = 1 everywhere: m alpha 255, i = 0, the sentinel 16383;
        // 255 * 16383 >> 16 = 63, shifted 252.
        BlockCase{
            "FaintestAlpha", {kFaintRed, kFaintRed, kFaintRed, kFaintRed}, Texel{252, 0, 0, 1}}),
    [](const testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

TEST(MipmapFilter, Sse2EqualsTheScalarReferenceOnRandomSquaresUpTo2048) {
  std::mt19937 random(11);
  for (int32_t side = 1; side <= 2048; side *= 2) {
    SCOPED_TRACE(side);
    ExpectSameChains(side, side, RandomPicture(side, side, random));
  }
}

TEST(MipmapFilter, Sse2EqualsTheScalarReferenceOnRandomNonSquarePictures) {
  std::mt19937 random(12);
  const std::pair<int32_t, int32_t> sizes[] = {{2048, 1}, {1, 2048}, {2048, 2}, {2, 2048},
                                               {512, 8},  {8, 512},  {256, 64}, {4, 2}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    ExpectSameChains(width, height, RandomPicture(width, height, random));
  }
}

TEST(MipmapFilter, Sse2EqualsTheScalarReferenceOnExtremeValues) {
  std::mt19937 random(13);
  for (int round = 0; round < 16; ++round) {
    ExpectSameChains(128, 64, ExtremePicture(128, 64, random));
  }
}

// Every alpha against every other in the same block position, with full
// and faint colour: each 2 x 2 block holds one alpha pair twice.
TEST(MipmapFilter, Sse2EqualsTheScalarReferenceOnEveryAlphaPair) {
  constexpr int32_t kWidth = 512, kHeight = 256;
  Picture picture(static_cast<size_t>(kWidth) * kHeight * mipmaps::kBytesPerPixel);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      uint8_t* texel = &picture[(static_cast<size_t>(y) * kWidth + x) * mipmaps::kBytesPerPixel];
      const uint8_t colour = (x + y) % 3 == 0 ? 255 : static_cast<uint8_t>(x * 7 + y);
      texel[0] = colour;
      texel[1] = static_cast<uint8_t>(255 - colour);
      texel[2] = 1;
      texel[3] = static_cast<uint8_t>(x % 2 == 0 ? x / 2 : y);
    }
  }
  ExpectSameChains(kWidth, kHeight, picture);
}

// Sides that are not powers of two: the last odd column and row are left
// out, and the vector code's scalar tail must agree with the reference.
TEST(MipmapFilter, OddSidesDropTheLastColumnAndRow) {
  std::mt19937 random(14);
  const std::pair<int32_t, int32_t> sizes[] = {{3, 3}, {5, 7}, {13, 9}, {18, 6}, {27, 2}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const Picture picture = RandomPicture(width, height, random);
    EXPECT_EQ(Halved(mipmaps::HalveLevelSse2, picture, width, height),
              Halved(mipmaps::HalveLevelScalar, picture, width, height));
    // The same picture cut to even sides halves to the same level.
    Picture even;
    for (int32_t y = 0; y < height / 2 * 2; ++y) {
      const auto row = picture.begin() + static_cast<ptrdiff_t>(y) * width * 4;
      even.insert(even.end(), row, row + width / 2 * 2 * 4);
    }
    EXPECT_EQ(Halved(mipmaps::HalveLevelSse2, picture, width, height),
              Halved(mipmaps::HalveLevelScalar, even, width / 2 * 2, height / 2 * 2));
  }
}

struct ChainCase {
  int32_t width, height;
  std::vector<std::pair<int32_t, int32_t>> sizes;  // level 0 first
};

class MipmapChain : public testing::TestWithParam<ChainCase> {};

TEST_P(MipmapChain, UploadsEveryLevelUntilTheShorterSideIsOne) {
  const ChainCase& c = GetParam();
  std::mt19937 random(15);
  const Picture picture = RandomPicture(c.width, c.height, random);
  std::vector<std::pair<int32_t, int32_t>> sizes;
  int32_t expected_level = 0;
  const uint8_t* level_zero = nullptr;
  mipmaps::BuildChain(c.width, c.height, picture.data(),
                      [&](int32_t level, int32_t width, int32_t height, const uint8_t* pixels) {
                        EXPECT_EQ(level, expected_level++);
                        if (level == 0) level_zero = pixels;
                        sizes.emplace_back(width, height);
                      });
  EXPECT_EQ(sizes, c.sizes);
  EXPECT_EQ(level_zero, picture.data()) << "level 0 is the picture itself";
  EXPECT_EQ(mipmaps::LevelCountBelow(c.width, c.height), static_cast<int32_t>(c.sizes.size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MipmapChain,
    testing::Values(
        ChainCase{1, 1, {{1, 1}}}, ChainCase{2, 2, {{2, 2}, {1, 1}}},
        ChainCase{256, 64, {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}}},
        ChainCase{2, 8, {{2, 8}, {1, 4}}}, ChainCase{8, 1, {{8, 1}}},
        ChainCase{1, 1024, {{1, 1024}}}));

TEST(MipmapChain, UploadsNothingWithoutAPicture) {
  const Picture picture(16, 0);
  int uploads = 0;
  const auto count = [&](int32_t, int32_t, int32_t, const uint8_t*) { ++uploads; };
  mipmaps::BuildChain(2, 2, nullptr, count);
  mipmaps::BuildChain(0, 2, picture.data(), count);
  mipmaps::BuildChain(2, -4, picture.data(), count);
  EXPECT_EQ(uploads, 0);
  EXPECT_EQ(mipmaps::LevelCountBelow(0, 8), 0);
  EXPECT_EQ(mipmaps::LevelCountBelow(-8, 8), 0);
}

}  // namespace
