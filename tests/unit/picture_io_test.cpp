// The picture host functions: decoding a named container in two calls,
// encoding a buffer into a file, and every way they fail.
#include "host/images/picture_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "host/images/cl_piccodec.h"
#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"
#include "support/png_pictures.h"
#include "unit/png_fixture.h"

namespace {

using namespace pngtest;

class PictureIoTest : public PngFixture {
 protected:
  void SetUp() override {
    PngFixture::SetUp();
    rgb_png_ = Encoded(rgb_, 3, 4, Im_RGB);
  }
  void TearDown() override {
    for (const char* name : {"pic", "other", "$shared.png"}) HostDeleteContainer(name);
    PngFixture::TearDown();
  }

  // Loads bytes through a file, as a module does.
  void LoadAs(const std::string& container, const std::string& file, const std::string& bytes) {
    dir_.Write(file, bytes);
    int32_t size = 0;
    HostLoadContainer(container.c_str(), file.c_str(), &size);
    ASSERT_EQ(size, static_cast<int32_t>(bytes.size()));
  }

  struct TPicture {
    int32_t width = -1;
    int32_t height = -1;
    int32_t mode = -1;
    std::vector<uint8_t> pixels;
  };
  // Start and finish, with a guard byte past the buffer that must stay.
  static TPicture DecodeContainer(const char* name) {
    TPicture picture;
    HostStartDecodingPicture(name, &picture.width, &picture.height, &picture.mode);
    const size_t size = static_cast<size_t>(
        PictureBytes(picture.width, picture.height, static_cast<TImageMode>(picture.mode)));
    picture.pixels.assign(size + 1, 0xA5);
    HostFinishDecodingPicture(picture.pixels.data());
    EXPECT_EQ(picture.pixels.back(), 0xA5) << "wrote past the buffer";
    picture.pixels.pop_back();
    return picture;
  }

  const std::vector<uint8_t> rgb_ = Pattern(3, 4, 3);
  std::string rgb_png_;
};

// Either case of the extension selects PNG; rows come packed (3 pixels of
// RGB are 9 bytes a row).
TEST_F(PictureIoTest, DecodesPngByEitherCaseOfTheExtension) {
  for (const char* file : {"pic.png", "PIC.PNG", "sub.dir/Pic.Png"}) {
    if (std::string(file).find('/') != std::string::npos) {
      std::filesystem::create_directories(dir_ / "sub.dir");
    }
    LoadAs("pic", file, rgb_png_);
    const TPicture picture = DecodeContainer("pic");
    EXPECT_EQ(picture.width, 3) << file;
    EXPECT_EQ(picture.height, 4);
    EXPECT_EQ(picture.mode, Im_RGB);
    EXPECT_EQ(picture.pixels, rgb_);
    EXPECT_FALSE(PictureDecodePending());
    // The container stays for the module to delete.
    EXPECT_NE(HostContainerData("pic"), nullptr);
  }
  EXPECT_EQ(ErrorCount(), 0u);
}

// Preloaded containers are decoded in place and stay registered.
TEST_F(PictureIoTest, APreloadedContainerIsDecodedWithoutLoadingOrDeleting) {
  auto shared = std::make_unique<TContainer>(0);
  shared->AppendCopy(rgb_png_.data(), static_cast<int32_t>(rgb_png_.size()));
  shared->SetFileName("texture/shared.png");
  RegisterContainer("$shared.png", std::move(shared));
  const int before = ContainerCount();
  EXPECT_EQ(DecodeContainer("$Shared.PNG").pixels, rgb_);
  EXPECT_EQ(DecodeContainer("$shared.png").pixels, rgb_);
  EXPECT_EQ(ContainerCount(), before);
}

// A second start drops the first decode; the second finishes normally.
TEST_F(PictureIoTest, ASecondStartReplacesAnUnfinishedDecode) {
  LoadAs("pic", "a.png", Encoded(Pattern(7, 7, 4), 7, 7, Im_RGBA));
  LoadAs("other", "b.png", rgb_png_);
  int32_t width = 0;
  int32_t height = 0;
  int32_t mode = 0;
  HostStartDecodingPicture("pic", &width, &height, &mode);
  EXPECT_TRUE(PictureDecodePending());
  EXPECT_EQ(DecodeContainer("other").pixels, rgb_);
}

// A container decoded twice without being loaded again is read from its
// start both times.
TEST_F(PictureIoTest, AContainerDecodedTwiceGivesThePictureTwice) {
  LoadAs("pic", "pic.png", rgb_png_);
  EXPECT_EQ(DecodeContainer("pic").pixels, rgb_);
  EXPECT_EQ(DecodeContainer("pic").pixels, rgb_);
}

struct DecodeFailure {
  const char* name;
  const char* file_name;
  std::string (*bytes)(const std::string& good);
  bool fails_at_start;   // else at finish
  const char* expected;  // in the error list
};

class PictureDecodeFailure : public PictureIoTest,
                             public testing::WithParamInterface<DecodeFailure> {};

// Each failure is one fatal error naming the picture and the codec, after
// the cause; the container is gone at start failures, nothing is left
// pending, and the next picture decodes.
TEST_P(PictureDecodeFailure, IsFatalClearAndLeavesTheHostWorking) {
  const DecodeFailure& c = GetParam();
  LoadAs("pic", c.file_name, c.bytes(rgb_png_));
  const int before = ContainerCount();
  int32_t width = 0;
  int32_t height = 0;
  int32_t mode = 0;
  std::vector<uint8_t> buffer(rgb_.size());
  if (c.fails_at_start) {
    EXPECT_THROW(HostStartDecodingPicture("pic", &width, &height, &mode), EDying);
    EXPECT_EQ(HostContainerData("pic"), nullptr);
    EXPECT_EQ(ContainerCount(), before - 1);
  } else {
    HostStartDecodingPicture("pic", &width, &height, &mode);
    EXPECT_THROW(HostFinishDecodingPicture(buffer.data()), EDying);
  }
  EXPECT_FALSE(PictureDecodePending());
  const std::string errors = Errors();
  EXPECT_NE(errors.find(c.expected), std::string::npos) << errors;
  EXPECT_NE(errors.find("Failed to decode the picture \"" +
                        std::string(c.fails_at_start ? "pic" : c.file_name) + "\""),
            std::string::npos)
      << errors;

  ResetLogStateForTests();
  LoadAs("other", "good.png", rgb_png_);
  EXPECT_EQ(DecodeContainer("other").pixels, rgb_);
}

std::string Unchanged(const std::string& good) {
  return good;
}
std::string Empty(const std::string&) {
  return "";
}
std::string CutInHeader(const std::string& good) {
  return good.substr(0, 20);
}
std::string CutInImageData(const std::string& good) {
  return good.substr(0, good.size() - 20);
}
std::string WrongSignature(const std::string& good) {
  std::string bad = good;
  bad[1] = 'Q';
  return bad;
}
// The file with one bit of a chunk's CRC flipped.
std::string WithBadCrc(const std::string& good, const std::string& type) {
  std::string bad = good;
  for (size_t at = kSignatureBytes; at + 12 <= bad.size();) {
    const size_t length =
        static_cast<unsigned char>(bad[at]) << 24 | static_cast<unsigned char>(bad[at + 1]) << 16 |
        static_cast<unsigned char>(bad[at + 2]) << 8 | static_cast<unsigned char>(bad[at + 3]);
    if (bad.compare(at + 4, 4, type) == 0) {
      bad[at + 8 + length] ^= 0x10;
      return bad;
    }
    at += 12 + length;
  }
  ADD_FAILURE() << "no " << type << " chunk";
  return bad;
}
std::string BadHeaderCrc(const std::string& good) {
  return WithBadCrc(good, "IHDR");
}
std::string BadImageDataCrc(const std::string& good) {
  return WithBadCrc(good, "IDAT");
}
std::string HugeDimensions(const std::string& good) {
  return WithClaimedSize(good, 100000, 100000);
}

INSTANTIATE_TEST_SUITE_P(
    Picture, PictureDecodeFailure,
    testing::Values(
        DecodeFailure{"empty_file", "pic.png", &Empty, true, "Read beyond the end"},
        DecodeFailure{"cut_in_header", "pic.png", &CutInHeader, true, "Read beyond the end"},
        DecodeFailure{"cut_in_image_data", "pic.png", &CutInImageData, false,
                      "libpng reported an error"},
        DecodeFailure{"wrong_signature", "pic.png", &WrongSignature, true,
                      "libpng reported an error: Not a PNG file"},
        DecodeFailure{"bad_header_crc", "pic.png", &BadHeaderCrc, true, "IHDR: CRC error"},
        DecodeFailure{"bad_image_data_crc", "pic.png", &BadImageDataCrc, false, "IDAT: CRC error"},
        DecodeFailure{"huge_dimensions", "pic.png", &HugeDimensions, true,
                      "100000 x 100000 pixels is too large"},
        DecodeFailure{"bitmap", "pic.bmp", &Unchanged, true,
                      "Zokwerk v0.13 doesn't support image file format \".BMP\"!"},
        DecodeFailure{"tga_class_not_selected", "pic.tga", &Unchanged, true,
                      "doesn't support image file format \".TGA\"!"},
        DecodeFailure{"no_extension", "picture", &Unchanged, true,
                      "doesn't support image file format \"\"!"}),
    [](const testing::TestParamInfo<DecodeFailure>& info) { return std::string(info.param.name); });

// Freeing or replacing the container of an unfinished decode drops the
// decode: finishing it then is the error of a finish without a start.
struct ContainerChange {
  const char* label;
  void (*change)();
};

void PrintTo(const ContainerChange& change, std::ostream* out) {
  *out << change.label;
}

class PictureContainerChange : public PictureIoTest,
                               public testing::WithParamInterface<ContainerChange> {};

TEST_P(PictureContainerChange, DropsAnUnfinishedDecode) {
  dir_.Write("b.png", rgb_png_);
  LoadAs("pic", "a.png", Encoded(Pattern(7, 7, 4), 7, 7, Im_RGBA));
  int32_t width = 0, height = 0, mode = 0;
  HostStartDecodingPicture("pic", &width, &height, &mode);
  GetParam().change();
  EXPECT_FALSE(PictureDecodePending());
  std::vector<uint8_t> buffer(7 * 7 * 4);
  EXPECT_THROW(HostFinishDecodingPicture(buffer.data()), EDying);
  EXPECT_NE(Errors().find("without StartDecodingPicture"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Picture, PictureContainerChange,
    testing::Values(ContainerChange{"delete", [] { HostDeleteContainer("pic"); }},
                    ContainerChange{"create_again", [] { HostCreateContainer("pic", 8); }},
                    ContainerChange{"load", [] { HostLoadContainer("pic", "b.png", nullptr); }}),
    [](const testing::TestParamInfo<ContainerChange>& info) {
      return std::string(info.param.label);
    });

TEST_F(PictureIoTest, DecodingAContainerThatDoesNotExistIsFatal) {
  int32_t width = 0;
  EXPECT_THROW(HostStartDecodingPicture("nowhere", &width, &width, &width), EDying);
  const std::string errors = Errors();
  EXPECT_NE(errors.find("Container \"nowhere\" does not exist"), std::string::npos) << errors;
  EXPECT_NE(errors.find("(codec TImageCodec)"), std::string::npos) << errors;
}

TEST_F(PictureIoTest, FinishingWithoutAStartIsFatal) {
  std::vector<uint8_t> buffer(16);
  EXPECT_THROW(HostFinishDecodingPicture(buffer.data()), EDying);
  EXPECT_NE(Errors().find("without StartDecodingPicture"), std::string::npos);
}

// Encoding writes the file relative to the program folder, with '\' and
// ".." resolved, replacing what was there.
TEST_F(PictureIoTest, EncodesIntoAFileThatDecodesBack) {
  std::filesystem::create_directories(dir_ / "out");
  dir_.Write("out/shot.png", "old content");
  const std::vector<uint8_t> rgba = Pattern(6, 5, 4);
  HostEncodePicture("out\\skip\\..\\shot.png", rgba.data(), 6, 5, Im_RGBA);
  const std::string written = dir_.Read("out/shot.png");
  EXPECT_EQ(Decoded(written).pixels, rgba);

  const std::vector<uint8_t> grey = Pattern(4, 4, 1);
  HostEncodePicture("grey.PNG", grey.data(), 4, 4, Im_Gray);
  const std::string grey_png = dir_.Read("grey.PNG");
  EXPECT_EQ(ColorType(grey_png), PNG_COLOR_TYPE_GRAY);
  EXPECT_EQ(BitDepth(grey_png), 8);
  EXPECT_EQ(ErrorCount(), 0u);
}

struct EncodeFailure {
  const char* name;
  const char* file_name;
  int32_t width;
  int32_t height;
  int32_t mode;
  bool null_pixels;
  const char* expected;
};

class PictureEncodeFailure : public PictureIoTest,
                             public testing::WithParamInterface<EncodeFailure> {};

// Nothing is written, an existing file is kept, and the error names the
// file and the codec after the cause.
TEST_P(PictureEncodeFailure, IsFatalAndKeepsTheOldFile) {
  const EncodeFailure& c = GetParam();
  dir_.Write(c.file_name, "old content");
  const std::vector<uint8_t> pixels = Pattern(8, 8, 4);
  EXPECT_THROW(HostEncodePicture(c.file_name, c.null_pixels ? nullptr : pixels.data(), c.width,
                                 c.height, c.mode),
               EDying);
  EXPECT_EQ(dir_.Read(c.file_name), "old content");
  const std::string errors = Errors();
  EXPECT_NE(errors.find(c.expected), std::string::npos) << errors;
  EXPECT_NE(errors.find("Failed to encode the picture \"" + std::string(c.file_name)),
            std::string::npos)
      << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Picture, PictureEncodeFailure,
    testing::Values(
        EncodeFailure{"bitmap", "shot.bmp", 8, 8, Im_RGB, false,
                      "Writing images in the \".BMP\" format isn't supported!"},
        EncodeFailure{"mode_too_high", "shot.png", 8, 8, 3, false, "Unknown picture mode 3"},
        EncodeFailure{"mode_negative", "shot.png", 8, 8, -1, false, "Unknown picture mode -1"},
        EncodeFailure{"no_area", "shot.png", 0, 8, Im_RGB, false, "has no area"},
        EncodeFailure{"too_large", "shot.png", 40000, 40000, Im_RGBA, false, "too large"},
        EncodeFailure{"no_pixels", "shot.png", 8, 8, Im_RGB, true, "No pixels"}),
    [](const testing::TestParamInfo<EncodeFailure>& info) { return std::string(info.param.name); });

TEST_F(PictureIoTest, AFileThatCannotBeWrittenIsFatal) {
  const std::vector<uint8_t> pixels = Pattern(2, 2, 3);
  EXPECT_THROW(HostEncodePicture("missing/folder/shot.png", pixels.data(), 2, 2, Im_RGB), EDying);
  EXPECT_NE(Errors().find("Cannot write"), std::string::npos);
}

// Sizes are computed in 64 bits and refused beyond a 32-bit buffer.
TEST(PictureBytes, IsWidthTimesHeightTimesBytesPerPixelWithinABuffer) {
  EXPECT_EQ(PictureBytes(3, 2, Im_RGB), 18);
  EXPECT_EQ(PictureBytes(3, 2, Im_RGBA), 24);
  EXPECT_EQ(PictureBytes(3, 2, Im_Gray), 6);
  EXPECT_EQ(PictureBytes(46340, 46340, Im_Gray), 46340LL * 46340);
  EXPECT_THROW(PictureBytes(65536, 65536, Im_Gray), std::length_error);
  EXPECT_THROW(PictureBytes(INT32_MAX, INT32_MAX, Im_RGBA), std::length_error);
  EXPECT_THROW(PictureBytes(1, 1, 3), std::invalid_argument);
  EXPECT_THROW(PictureBytes(-1, 5, Im_RGB), std::invalid_argument);
}

TEST(PictureCodecChoice, OnlyPngIsServed) {
  EXPECT_EQ(UpperExtension("dir.x/pic.png"), ".PNG");
  EXPECT_EQ(UpperExtension("dir.x/pic"), "");
  ASSERT_NE(CodecForExtension(".PNG"), nullptr);
  EXPECT_STREQ(CodecForExtension(".PNG")->ClassName(), "TPngCodec");
  for (const char* other : {".TGA", ".BMP", ".PCX", ".LBM", ".png", ""}) {
    EXPECT_EQ(CodecForExtension(other), nullptr) << other;
  }
}

}  // namespace
