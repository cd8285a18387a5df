// The PNG codec against ImageMagick: files made by our encoder and by
// ImageMagick, decoded by both, must give the same pixels.
#include "host/images/png_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/png_pictures.h"
#include "unit/png_fixture.h"

namespace {

using namespace pngtest;

class PngCodecTest : public PngFixture {
 protected:
  // ImageMagick's decode of png in the layout of mode.
  std::vector<uint8_t> ReferencePixels(const std::string& png, TImageMode mode) {
    dir_.Write("reference.png", png);
    return magick_.Pixels(dir_ / "reference.png", mode, dir_ / "reference.raw");
  }
  // ImageMagick's PNG for raw 8-bit pixels ("rgb" or "rgba") of the size;
  // options end with the output format, such as "PNG8:".
  std::string MagickPng(const std::vector<uint8_t>& raw, const char* raw_format, int32_t width,
                        int32_t height, const std::string& options) {
    dir_.Write("source.raw", std::string(raw.begin(), raw.end()));
    std::string out;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    EXPECT_TRUE(magick_.Run("-size " + size + " -depth 8 " + raw_format + ":'" +
                                (dir_ / "source.raw") + "' " + options + "'" + (dir_ / "made.png") +
                                "'",
                            out))
        << out;
    return dir_.Read("made.png");
  }

  TImageMagick magick_;
};

struct OwnCase {
  const char* name;
  TImageMode mode;
  int32_t width;
  int32_t height;
  int color_type;
};

class PngOwnRoundTrip : public PngCodecTest, public testing::WithParamInterface<OwnCase> {};

// Our files decode to the buffer they came from (grey comes back as RGB)
// and ImageMagick reads the same pixels from them.
TEST_P(PngOwnRoundTrip, GivesBackTheBufferAndImageMagickAgrees) {
  const OwnCase& c = GetParam();
  const std::vector<uint8_t> pixels = Pattern(c.width, c.height, BytesPerPixel(c.mode));
  const std::string png = Encoded(pixels, c.width, c.height, c.mode);
  EXPECT_EQ(ColorType(png), c.color_type);
  EXPECT_EQ(BitDepth(png), 8);
  EXPECT_EQ(Interlace(png), 0);

  const TDecoded decoded = Decoded(png);
  EXPECT_EQ(decoded.width, c.width);
  EXPECT_EQ(decoded.height, c.height);
  std::vector<uint8_t> expected = pixels;
  if (c.mode == Im_Gray) {
    EXPECT_EQ(decoded.mode, Im_RGB);
    expected.clear();
    for (uint8_t grey : pixels) expected.insert(expected.end(), {grey, grey, grey});
  } else {
    EXPECT_EQ(decoded.mode, c.mode);
  }
  EXPECT_EQ(decoded.pixels, expected);

  if (!magick_.Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  EXPECT_EQ(ReferencePixels(png, decoded.mode), decoded.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngOwnRoundTrip,
    testing::Values(OwnCase{"rgb_width_3", Im_RGB, 3, 5, PNG_COLOR_TYPE_RGB},
                    OwnCase{"rgb", Im_RGB, 37, 21, PNG_COLOR_TYPE_RGB},
                    OwnCase{"rgba", Im_RGBA, 29, 17, PNG_COLOR_TYPE_RGB_ALPHA},
                    OwnCase{"grey", Im_Gray, 31, 9, PNG_COLOR_TYPE_GRAY},
                    OwnCase{"one_pixel", Im_RGBA, 1, 1, PNG_COLOR_TYPE_RGB_ALPHA}),
    [](const testing::TestParamInfo<OwnCase>& info) { return std::string(info.param.name); });

// Source pixels for ImageMagick: few colours (so that a palette fits),
// grey levels, black and white, or a full pattern; with binary or full
// alpha when four channels.
enum class Source { kFewColours, kFewColoursCutOut, kGrey, kGreyAlpha, kBlackWhite, kFull };

std::vector<uint8_t> SourcePixels(Source source, int32_t width, int32_t height, int channels) {
  static const uint8_t kColours[6][3] = {{200, 30, 40}, {10, 220, 90}, {60, 70, 250},
                                         {250, 250, 0}, {0, 120, 130}, {90, 0, 160}};
  std::vector<uint8_t> raw;
  const std::vector<uint8_t> full = Pattern(width, height, channels, 3);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const size_t i = static_cast<size_t>(y) * width + x;
      uint8_t px[4] = {0, 0, 0, 255};
      const uint8_t grey = static_cast<uint8_t>((x * 29 + y * 13) % 256);
      switch (source) {
        case Source::kFewColours:
        case Source::kFewColoursCutOut:
          std::copy_n(kColours[(x * 3 + y) % 6], 3, px);
          if (source == Source::kFewColoursCutOut && (x + y) % 4 == 0) px[3] = 0;
          break;
        case Source::kGrey:
        case Source::kGreyAlpha:
          px[0] = px[1] = px[2] = grey;
          if (source == Source::kGreyAlpha) px[3] = static_cast<uint8_t>(255 - (x * 7) % 256);
          break;
        case Source::kBlackWhite:
          px[0] = px[1] = px[2] = ((x / 3 + y) % 2) ? 255 : 0;
          break;
        case Source::kFull:
          std::copy_n(&full[i * channels], channels, px);
          break;
      }
      raw.insert(raw.end(), px, px + channels);
    }
  }
  return raw;
}

struct MagickCase {
  const char* name;
  Source source;
  int channels;
  const char* options;  // how ImageMagick writes the file
  int color_type;       // what it must have written
  int bit_depth;        // 0: any
  int interlace;
  TImageMode mode;  // what we decode it to
};

class PngMagickFiles : public PngCodecTest, public testing::WithParamInterface<MagickCase> {};

TEST_P(PngMagickFiles, DecodeToImageMagicksPixels) {
  if (!magick_.Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const MagickCase& c = GetParam();
  const int32_t width = 23;
  const int32_t height = 14;
  const std::string png = MagickPng(SourcePixels(c.source, width, height, c.channels),
                                    c.channels == 4 ? "rgba" : "rgb", width, height, c.options);
  ASSERT_GT(png.size(), 33u);
  ASSERT_EQ(ColorType(png), c.color_type) << "ImageMagick wrote another kind of PNG";
  if (c.bit_depth != 0) {
    ASSERT_EQ(BitDepth(png), c.bit_depth);
  }
  ASSERT_EQ(Interlace(png), c.interlace);

  const TDecoded decoded = Decoded(png);
  EXPECT_EQ(decoded.width, width);
  EXPECT_EQ(decoded.height, height);
  EXPECT_EQ(decoded.mode, c.mode);
  EXPECT_EQ(decoded.pixels, ReferencePixels(png, c.mode));
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngMagickFiles,
    testing::Values(
        MagickCase{"palette", Source::kFewColours, 3, "PNG8:", 3, 0, 0, Im_RGB},
        MagickCase{"palette_transparent", Source::kFewColoursCutOut, 4, "PNG8:", 3, 0, 0, Im_RGBA},
        MagickCase{"grey_1_bit", Source::kBlackWhite, 3,
                   "-define png:color-type=0 -define png:bit-depth=1 PNG:", 0, 1, 0, Im_RGB},
        MagickCase{"grey_8_bit", Source::kGrey, 3, "-define png:color-type=0 PNG:", 0, 8, 0,
                   Im_RGB},
        MagickCase{"grey_alpha_16_bit", Source::kGreyAlpha, 4,
                   "-depth 16 -define png:color-type=4 -define png:bit-depth=16 PNG:", 4, 16, 0,
                   Im_RGBA},
        MagickCase{"rgb_16_bit", Source::kFull, 3, "PNG48:", 2, 16, 0, Im_RGB},
        MagickCase{"rgba_16_bit", Source::kFull, 4, "PNG64:", 6, 16, 0, Im_RGBA},
        MagickCase{"rgb_interlaced", Source::kFull, 3, "-interlace PNG PNG24:", 2, 8, 1, Im_RGB},
        MagickCase{"rgba_interlaced", Source::kFull, 4, "-interlace PNG PNG32:", 6, 8, 1, Im_RGBA}),
    [](const testing::TestParamInfo<MagickCase>& info) { return std::string(info.param.name); });

// Interlacing changes the file, not the picture.
TEST_F(PngCodecTest, AnInterlacedFileDecodesLikeItsTwin) {
  if (!magick_.Available()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  const std::vector<uint8_t> raw = SourcePixels(Source::kFull, 19, 11, 4);
  const std::string plain = MagickPng(raw, "rgba", 19, 11, "PNG32:");
  const std::string interlaced = MagickPng(raw, "rgba", 19, 11, "-interlace PNG PNG32:");
  ASSERT_EQ(Interlace(plain), 0);
  ASSERT_EQ(Interlace(interlaced), 1);
  EXPECT_EQ(Decoded(interlaced).pixels, Decoded(plain).pixels);
  EXPECT_EQ(Decoded(plain).pixels, raw);
}

// A transparency chunk counts only for palettes: an RGB file with one
// stays RGB, pixels unchanged.
TEST_F(PngCodecTest, AnRgbFileWithATransparentColourStaysRgb) {
  const std::vector<uint8_t> pixels = Pattern(8, 6, 3);
  const std::string trns =
      Chunk("tRNS", {0, static_cast<char>(pixels[0]), 0, static_cast<char>(pixels[1]), 0,
                     static_cast<char>(pixels[2])});
  const TDecoded decoded = Decoded(InsertAfterHeader(Encoded(pixels, 8, 6, Im_RGB), trns));
  EXPECT_EQ(decoded.mode, Im_RGB);
  EXPECT_EQ(decoded.pixels, pixels);
}

// Our files are written at the strongest compression: a plain picture
// shrinks to a fraction of its pixels.
TEST_F(PngCodecTest, WritesCompressedFiles) {
  const std::vector<uint8_t> flat(256 * 256 * 3, 77);
  EXPECT_LT(Encoded(flat, 256, 256, Im_RGB).size(), 1000u);
}

// A container read before is read again from its start.
TEST_F(PngCodecTest, DecodingAContainerAgainStartsFromItsBeginning) {
  const std::vector<uint8_t> pixels = Pattern(5, 4, 4);
  const std::string png = Encoded(pixels, 5, 4, Im_RGBA);
  TContainer container(0);
  container.AppendCopy(png.data(), static_cast<int32_t>(png.size()));
  for (int pass = 0; pass < 2; ++pass) {
    TPngCodec codec;
    int32_t width = 0;
    int32_t height = 0;
    TImageMode mode = Im_Gray;
    codec.PrepareToDecode(container, width, height, mode);
    std::vector<uint8_t> out(pixels.size());
    codec.Decode(out.data());
    EXPECT_EQ(out, pixels) << "pass " << pass;
  }
}

}  // namespace
