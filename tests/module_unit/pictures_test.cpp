// TImage: decoding through the host, grey conversion and channel reads.
#include <gtest/gtest.h>

#include "module/graphics/mo_pictures.h"
#include "support/fake_texture_host.h"

namespace {

using texturetest::TFakeTextureHost;

class PicturesTest : public ::testing::Test {
 protected:
  void SetUp() override { TFakeTextureHost::Bind(); }
  void TearDown() override { host::UnbindAll(); }
  TFakeTextureHost& Host() { return TFakeTextureHost::Get(); }
};

TEST_F(PicturesTest, AFileIsDecodedThroughTheScratchContainerAndAPreloadedOneDirectly) {
  Host().pictures["wall.png"] = {2, 1, Im_RGB, {1, 2, 3, 4, 5, 6}};
  Host().pictures["$shared"] = {1, 1, Im_Gray, {9}};
  const TImage file("wall.png");
  EXPECT_EQ(file.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Host().calls,
            (std::vector<std::string>{"LoadContainer $ct wall.png", "StartDecodingPicture $ct",
                                      "DeleteContainer $ct"}));
  Host().calls.clear();
  const TImage preloaded("$shared");
  EXPECT_EQ(preloaded.mode, Im_Gray);
  EXPECT_EQ(Host().calls, std::vector<std::string>{"StartDecodingPicture $shared"});
}

TEST_F(PicturesTest, ConvertToGrayRoundsHalvesToEven) {
  struct TCase {
    uint8_t r, g, b, gray;
  };
  const TCase cases[] = {
      {0, 255, 0, 128},                                         // 127.5
      {0, 0, 255, 51},  {255, 255, 255, 255}, {255, 0, 0, 76},  // 76.5
      {0, 1, 0, 0},                                             // 0.5
      {0, 3, 0, 2},                                             // 1.5
      {1, 0, 0, 0},     {0, 0, 3, 1},         {10, 20, 30, 19},
  };
  for (TImageMode mode : {Im_RGB, Im_RGBA}) {
    const int32_t step = BytesPerPixel(mode);
    TImage picture(static_cast<int32_t>(std::size(cases)), 1, mode);
    for (size_t i = 0; i < std::size(cases); ++i) {
      picture.pixels[i * step] = cases[i].r;
      picture.pixels[i * step + 1] = cases[i].g;
      picture.pixels[i * step + 2] = cases[i].b;
      if (mode == Im_RGBA) picture.pixels[i * step + 3] = 77;
    }
    picture.ConvertToGray();
    EXPECT_EQ(picture.mode, Im_Gray);
    ASSERT_EQ(picture.pixels.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(picture.pixels[i], cases[i].gray)
          << int(cases[i].r) << "," << int(cases[i].g) << "," << int(cases[i].b);
    }
  }
  TImage gray(1, 1, Im_Gray);
  gray.pixels[0] = 33;
  gray.ConvertToGray();
  EXPECT_EQ(gray.pixels, std::vector<uint8_t>{33});
}

TEST_F(PicturesTest, ChannelsFollowTheModeAndTheTopRowComesFirst) {
  TImage rgba(2, 2, Im_RGBA);
  for (size_t i = 0; i < rgba.pixels.size(); ++i) rgba.pixels[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(rgba.Red(1, 0), 4);
  EXPECT_EQ(rgba.Blue(0, 1), 10);
  EXPECT_EQ(rgba.Alpha(1, 1), 15);
  TImage rgb(1, 1, Im_RGB);
  rgb.pixels = {10, 20, 30};
  EXPECT_EQ(rgb.Green(0, 0), 20);
  EXPECT_EQ(rgb.Alpha(0, 0), 255);
  TImage gray(1, 1, Im_Gray);
  gray.pixels = {42};
  EXPECT_EQ(gray.Red(0, 0), 42);
  EXPECT_EQ(gray.Green(0, 0), 42);
  EXPECT_EQ(gray.Blue(0, 0), 42);
  EXPECT_EQ(gray.Alpha(0, 0), 255);
  EXPECT_THROW(gray.Red(1, 0), std::out_of_range);
  EXPECT_THROW(rgb.Alpha(0, -1), std::out_of_range);
}

}  // namespace
