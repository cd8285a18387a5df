// The start-up splash: which picture, where, and that it stays away
// silently when it cannot be shown.
#include "host/display/splash.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "host/platform/video_display.h"
#include "support/own_ini_test.h"
#include "support/scoped_env.h"

namespace {

std::string LittleEndian(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}

// A grey 24-bit BMP: rows bottom up, padded to four bytes.
std::string Bitmap(int32_t width, int32_t height) {
  const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
  const uint32_t pixels = row * static_cast<uint32_t>(height);
  std::string file = "BM" + LittleEndian(54 + pixels, 4) + LittleEndian(0, 4) +
                     LittleEndian(54, 4) + LittleEndian(40, 4) + LittleEndian(width, 4) +
                     LittleEndian(height, 4) + LittleEndian(1, 2) + LittleEndian(24, 2) +
                     LittleEndian(0, 4) + LittleEndian(pixels, 4) + LittleEndian(2835, 4) +
                     LittleEndian(2835, 4) + LittleEndian(0, 4) + LittleEndian(0, 4);
  return file + std::string(pixels, '\x80');
}

TEST(SplashOrigin, CentresAndTruncatesTowardZero) {
  struct Case {
    int32_t screen, picture, origin;
  };
  for (const Case& c : {Case{1024, 640, 192}, Case{1023, 640, 191}, Case{640, 640, 0},
                        Case{1024, 1100, -38}, Case{800, 1101, -150}}) {
    EXPECT_EQ(SplashOrigin(c.screen, c.picture), c.origin) << c.screen << " " << c.picture;
  }
}

class Splash : public OwnIniTest {
 protected:
  void SetUp() override {
    OwnIniTest::SetUp();
    ResetSplashForTests();
  }
  void TearDown() override {
    ResetSplashForTests();
    OwnIniTest::TearDown();
  }
  void UseSplashSettings(const std::string& settings) {
    UseOwnIni("[main]\n[splashscreen]\n" + settings);
  }
};

TEST_F(Splash, AMissingPictureLeavesNoSplashAndNoError) {
  UseSplashSettings("numvariants=3\npath=" + dir_.Path() + "pics/\n");
  CreateSplash();
  EXPECT_FALSE(SplashShown());
  EXPECT_EQ(ErrorCount(), 0u);
  const std::set<std::string> variants{dir_ / "pics/splash0.bmp", dir_ / "pics/splash1.bmp",
                                       dir_ / "pics/splash2.bmp"};
  EXPECT_EQ(variants.count(SplashFileName()), 1u) << SplashFileName();
}

TEST_F(Splash, APictureThatIsNoBitmapLeavesNoSplash) {
  UseSplashSettings("path=" + dir_.Path() + "\n");
  dir_.Write("splash0.bmp", "BM not really");
  CreateSplash();
  EXPECT_FALSE(SplashShown());
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(Splash, WithoutVariantsThePictureIsNumberZero) {
  UseSplashSettings("path=pics/\n");
  CreateSplash();
  EXPECT_EQ(SplashFileName(), "pics/splash0.bmp");
}

TEST_F(Splash, ThePictureIsChosenOncePerRun) {
  UseSplashSettings("numvariants=1000\npath=" + dir_.Path() + "\n");
  CreateSplash();
  const std::string first = SplashFileName();
  for (int i = 0; i < 5; ++i) {
    CreateSplash();
    EXPECT_EQ(SplashFileName(), first);
  }
}

TEST_F(Splash, RefreshWithoutASplashDoesNothing) {
  UseSplashSettings("path=" + dir_.Path() + "\n");
  dir_.Write("splash0.bmp", Bitmap(4, 2));
  RefreshSplash();
  EXPECT_FALSE(SplashShown());
  EXPECT_TRUE(SplashFileName().empty());
  DeleteSplash();
}

// SDL's dummy video driver gives windows without a display.
class SplashOnDummyDisplay : public Splash {
 protected:
  void SetUp() override {
    Splash::SetUp();
    if (platform::VideoInitialized()) GTEST_SKIP() << "video is already up with another driver";
    std::string error;
    ASSERT_TRUE(platform::InitVideo(error)) << error;
    started_video_ = true;
    screen_ = platform::CurrentDisplayMode();
  }
  void TearDown() override {
    Splash::TearDown();
    if (started_video_) platform::QuitVideo();
  }
  ScopedEnv driver_{"SDL_VIDEODRIVER", "dummy"};
  bool started_video_ = false;
  platform::DisplayMode screen_;
};

TEST_F(SplashOnDummyDisplay, ShownCentredAndKeptAcrossRefreshes) {
  UseSplashSettings("numvariants=2\npath=" + dir_.Path() + "\n");
  dir_.Write("splash0.bmp", Bitmap(64, 32));
  dir_.Write("splash1.bmp", Bitmap(64, 32));
  CreateSplash();
  ASSERT_TRUE(SplashShown());
  const std::string picture = SplashFileName();
  int32_t x = 0;
  int32_t y = 0;
  SplashPosition(x, y);
  EXPECT_EQ(x, (screen_.width - 64) / 2);
  EXPECT_EQ(y, (screen_.height - 32) / 2);

  RefreshSplash();
  EXPECT_TRUE(SplashShown());
  EXPECT_EQ(SplashFileName(), picture);

  DeleteSplash();
  EXPECT_FALSE(SplashShown());
  DeleteSplash();
  RefreshSplash();
  EXPECT_FALSE(SplashShown());
}

TEST_F(SplashOnDummyDisplay, APictureLargerThanTheScreenStartsOffIt) {
  UseSplashSettings("path=" + dir_.Path() + "\n");
  dir_.Write("splash0.bmp", Bitmap(screen_.width + 100, 8));
  CreateSplash();
  ASSERT_TRUE(SplashShown());
  int32_t x = 0;
  int32_t y = 0;
  SplashPosition(x, y);
  EXPECT_EQ(x, -50);
}

}  // namespace
