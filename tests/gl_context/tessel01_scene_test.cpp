// The sample's scene and bloom in a real context, at a fixed time so that
// every run draws the same frame: each light and quality setting matches a
// reference picture, and the bloom does what it is for.
#include <gtest/gtest.h>

#include <memory>

#include "gl_context/gl_context_fixture.h"
#include "gl_context/reference_picture.h"
#include "module/sample/_tessel01_scene.h"
#include "module/sample/tessel01_bloom.h"
#include "module/sample/tessel01_post_process.h"
#include "support/host_picture_decoder.h"

namespace {

using gl_context_testing::ReadFrameBuffer;

constexpr int kWindow = 320;
// The scene is laid out for 4:3; the frame is the lower part of the window.
constexpr int kWidth = 320, kHeight = 240;
constexpr int64_t kFrameTime = 2500;  // the flame on frame 1, the room turned 25 degrees
constexpr double kReferenceTolerance = 4.0;

double MeanBrightness(const TRgbaPicture& picture) {
  double sum = 0;
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    if (i % 4 != 3) sum += picture.pixels[i];
  }
  return sum / static_cast<double>(picture.pixels.size() / 4 * 3);
}

class Tessel01SceneTest : public gl_context_testing::GlContextFixture<kWindow> {
 protected:
  static void SetUpTestSuite() {
    GlContextFixture::SetUpTestSuite();
    if (context_ == nullptr) return;
    // The scene loads its skins through the host's picture decoder.
    decoder_ = std::make_unique<THostPictureDecoder>(log_dir_.Path());
    gl::BindGL();
    scene_ = std::make_unique<TTessel01Scene>(ZOK_MODULE_BASE_PATH);
    textures_ = CreatePostTextures(kFullTextureSize);
  }

  static void TearDownTestSuite() {
    if (scene_ != nullptr) {
      scene_.reset();
      DeletePostTextures(textures_);
    }
    decoder_.reset();
    GlContextFixture::TearDownTestSuite();
  }

  // One frame as the settings object draws it, read back.
  static TRgbaPicture DrawFrame(float light, int32_t quality, bool post_process = true) {
    gl::ClearColor(0, 0, 0, 1);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const TBloomPlan plan = PlanBloom(light, quality);
    scene_->Render(plan.brightness, TSceneView{kWidth, kHeight, kFrameTime});
    if (post_process && plan.post_process) {
      PostProcessFrame(textures_, kFullTextureSize, kWidth, kHeight, plan);
    }
    gl::Finish();
    return ReadFrameBuffer(kWidth, kHeight);
  }

  static inline std::unique_ptr<THostPictureDecoder> decoder_;
  static inline std::unique_ptr<TTessel01Scene> scene_;
  static inline TPostTextures textures_{};
};

struct TFrameCase {
  const char* name;  // also the reference picture's name
  float light;
  int32_t quality;
};

void PrintTo(const TFrameCase& frame_case, std::ostream* out) {
  *out << frame_case.name;
}

const TFrameCase kFrameCases[] = {
    {"tessel01_light_1", 1.0f, 3},
    {"tessel01_default", 0.5f, 3},
    {"tessel01_quality_1", 0.5f, 1},
    {"tessel01_quality_2", 0.5f, 2},
    {"tessel01_light_3", 3.0f, 3},
    {"tessel01_light_lowest", kLowestLight, 3},
    {"tessel01_light_highest", kHighestLight, 3},
};

class Tessel01FrameTest : public Tessel01SceneTest,
                          public testing::WithParamInterface<TFrameCase> {};

TEST_P(Tessel01FrameTest, MatchesItsReference) {
  const TFrameCase& frame_case = GetParam();
  const TRgbaPicture frame = DrawFrame(frame_case.light, frame_case.quality);
  EXPECT_EQ(gl::GetError(), static_cast<GLenum>(GL_NO_ERROR));
  gl_context_testing::KeepRender(frame, frame_case.name);
  gl_context_testing::ExpectMatchesReference(frame, frame_case.name, kReferenceTolerance);
}

INSTANTIATE_TEST_SUITE_P(Tessel01, Tessel01FrameTest, testing::ValuesIn(kFrameCases),
                         [](const testing::TestParamInfo<TFrameCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(Tessel01SceneTest, TheSceneCoversTheFrame) {
  const TRgbaPicture frame = DrawFrame(1.0f, 3);
  size_t dark = 0;
  for (size_t i = 0; i < frame.pixels.size(); i += 4) {
    if (frame.pixels[i] + frame.pixels[i + 1] + frame.pixels[i + 2] < 6) ++dark;
  }
  // The room surrounds the camera: hardly anything is left black.
  EXPECT_LT(dark, frame.pixels.size() / 4 / 50);
}

TEST_F(Tessel01SceneTest, BloomBrightensTheDarkSceneAndTheBrightOne) {
  const double dark_scene = MeanBrightness(DrawFrame(0.5f, 3, false));
  const double dark_bloom = MeanBrightness(DrawFrame(0.5f, 3));
  const double plain = MeanBrightness(DrawFrame(1.0f, 3));
  const double bright_bloom = MeanBrightness(DrawFrame(3.0f, 3));
  EXPECT_GT(dark_bloom, dark_scene * 1.1) << "the glow adds to a dark scene";
  EXPECT_LT(dark_bloom, plain) << "light 0.5 stays darker than light 1";
  EXPECT_GT(bright_bloom, plain * 1.2) << "light 3 is brighter than light 1";
}

TEST_F(Tessel01SceneTest, CopiesStayInsideTheTexturesForLargeWindows) {
  // The frame buffer is smaller than these windows: what the copies read
  // outside it is undefined, but no copy may reach past its texture.
  const TBloomPlan plan = PlanBloom(0.5f, 3);
  struct {
    int32_t width, height, texture_size;
  } const cases[] = {{1280, 960, FullTextureSizeFor(1280, 960)},
                     {1100, 1100, kFullTextureSize},
                     {2049, 600, FullTextureSizeFor(2049, 600)}};
  for (const auto& c : cases) {
    AllocatePostTextures(textures_, c.texture_size);
    PostProcessFrame(textures_, c.texture_size, c.width, c.height, plan);
    EXPECT_EQ(gl::GetError(), static_cast<GLenum>(GL_NO_ERROR))
        << c.width << " x " << c.height << " with " << c.texture_size;
  }
  AllocatePostTextures(textures_, kFullTextureSize);
}

}  // namespace
