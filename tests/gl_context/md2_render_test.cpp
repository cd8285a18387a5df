// The generated models drawn by TMD2 in a real context, each with its skin:
// the render must cover the picture in the skin's colours and match a
// reference picture kept in the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gl_context/gl_context_fixture.h"
#include "gl_context/reference_picture.h"
#include "module/gl/gl_functions.h"
#include "module/graphics/md2.h"
#include "support/png_rgba.h"

namespace {

constexpr int kRenderSize = 256;
constexpr uint8_t kClear[3] = {64, 64, 64};
// Pixels further than this from the clear colour in some channel are drawn.
constexpr int kCoveredThreshold = 12;
// Mean absolute difference per channel allowed against the reference.
constexpr double kReferenceTolerance = 6.0;

struct TMeanColour {
  double r = 0, g = 0, b = 0;
};

struct TRenderCase {
  const char* name;  // also the reference picture's name
  const char* model;
  const char* skin;
  bool blended;
  const char* expected_colour;
  bool (*colour_matches)(const TMeanColour&);
};

void PrintTo(const TRenderCase& render_case, std::ostream* out) {
  *out << render_case.name;
}

const TRenderCase kRenderCases[] = {
    {"box", "box.MD2", "005roche.png", false, "greyish brown, not saturated",
     [](const TMeanColour& c) { return c.r >= c.g && c.g >= c.b && c.r - c.b < 70 && c.r > 60; }},
    {"pinky", "pinky.MD2", "Skindemon.png", false, "pinkish: red well above green",
     [](const TMeanColour& c) { return c.r > c.g + 25 && c.b > c.g - 10; }},
    {"lostsoul", "lostsoul.MD2", "lostsoul_Skin.png", false, "bone: bright, red >= green >= blue",
     [](const TMeanColour& c) { return c.r >= c.g && c.g >= c.b && c.r > 120 && c.r - c.b < 90; }},
    {"lostsoul_flame", "lostsoul_flame.MD2", "Flame_Red_0.png", true,
     "orange: red above green above blue",
     [](const TMeanColour& c) { return c.r > c.g + 20 && c.g > c.b && c.r > 120; }},
};

bool IsCovered(const uint8_t* pixel) {
  for (int channel = 0; channel < 3; ++channel) {
    if (std::abs(pixel[channel] - kClear[channel]) > kCoveredThreshold) return true;
  }
  return false;
}

std::string ContentPath(const std::string& name) {
  return std::string(ZOK_CONTENT_PATH) + name;
}

class Md2RenderFixture : public gl_context_testing::GlContextFixture<kRenderSize> {
 protected:
  void TearDown() override {
    if (skin_ != 0) gl::DeleteTextures(1, &skin_);
  }

  void UploadSkin(const std::string& file_name) {
    TRgbaPicture picture;
    std::string why;
    ASSERT_TRUE(ReadPngRgba(file_name, picture, why)) << file_name << ": " << why;
    gl::GenTextures(1, &skin_);
    gl::BindTexture(GL_TEXTURE_2D, skin_);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Rows go up top first: the model's texture coordinates count from the top.
    gl::TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, picture.pixels.data());
  }

  // A view from the front, a little from above and aside, with the whole
  // of frame 0 inside a 45 degree frustum.
  static void FrameModel(const TMD2& model) {
    float low[3] = {INFINITY, INFINITY, INFINITY};
    float high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const TMyVertex& v : model.frames.at(0)) {
      const float gl_position[3] = {v.y, v.z, v.x};  // the axes TMD2 draws with
      for (int axis = 0; axis < 3; ++axis) {
        low[axis] = std::min(low[axis], gl_position[axis]);
        high[axis] = std::max(high[axis], gl_position[axis]);
      }
    }
    float radius = 0;
    for (int axis = 0; axis < 3; ++axis) radius += std::pow(high[axis] - low[axis], 2.0f);
    radius = std::max(std::sqrt(radius) / 2, 1e-3f);
    const float half_fov = 22.5f * static_cast<float>(M_PI) / 180;
    const float distance = radius / std::sin(half_fov);
    const float near = std::max(distance - radius * 1.1f, distance * 0.01f);
    const float far = distance + radius * 1.1f;
    const float extent = near * std::tan(half_fov);

    gl::Viewport(0, 0, kRenderSize, kRenderSize);
    gl::MatrixMode(GL_PROJECTION);
    gl::LoadIdentity();
    gl::Frustum(-extent, extent, -extent, extent, near, far);
    gl::MatrixMode(GL_MODELVIEW);
    gl::LoadIdentity();
    gl::Translatef(0, 0, -distance);
    gl::Rotatef(20, 1, 0, 0);
    gl::Rotatef(-30, 0, 1, 0);
    gl::Translatef(-(low[0] + high[0]) / 2, -(low[1] + high[1]) / 2, -(low[2] + high[2]) / 2);
  }

  // Frame 0 over the clear colour; back faces culled as the scene has them,
  // the flame blended by its alpha.
  TRgbaPicture Render(const TMD2& model, bool blended) {
    gl::ClearColor(kClear[0] / 255.0f, kClear[1] / 255.0f, kClear[2] / 255.0f, 1);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    FrameModel(model);
    gl::Enable(GL_DEPTH_TEST);
    gl::DepthFunc(GL_LEQUAL);
    gl::Enable(GL_CULL_FACE);
    gl::Enable(GL_TEXTURE_2D);
    gl::BindTexture(GL_TEXTURE_2D, skin_);
    gl::Color4f(1, 1, 1, 1);
    if (blended) {
      gl::Enable(GL_BLEND);
      gl::BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      gl::Enable(GL_ALPHA_TEST);
      gl::AlphaFunc(GL_GREATER, 0);
    }
    model.Draw(0);
    gl::Disable(GL_BLEND);
    gl::Disable(GL_ALPHA_TEST);
    gl::Finish();
    return ReadBack();
  }

  static TRgbaPicture ReadBack() {
    return gl_context_testing::ReadFrameBuffer(kRenderSize, kRenderSize);
  }

  GLuint skin_ = 0;
};

void ExpectCoveredInColour(const TRgbaPicture& render, const TRenderCase& render_case) {
  TMeanColour mean;
  size_t covered = 0;
  for (size_t i = 0; i < render.pixels.size(); i += 4) {
    const uint8_t* pixel = &render.pixels[i];
    if (!IsCovered(pixel)) continue;
    ++covered;
    mean.r += pixel[0];
    mean.g += pixel[1];
    mean.b += pixel[2];
  }
  const size_t total = render.pixels.size() / 4;
  ASSERT_GT(covered, total / 20) << "the model covers almost nothing";
  mean.r /= covered;
  mean.g /= covered;
  mean.b /= covered;
  EXPECT_TRUE(render_case.colour_matches(mean))
      << "mean over " << covered << " covered pixels is (" << mean.r << ", " << mean.g << ", "
      << mean.b << "), expected " << render_case.expected_colour;
}

class Md2ModelRenderTest : public Md2RenderFixture,
                           public testing::WithParamInterface<TRenderCase> {};

TEST_P(Md2ModelRenderTest, FrameZeroShowsTheSkinAndMatchesTheReference) {
  const TRenderCase& render_case = GetParam();
  const TMD2 model(ContentPath(render_case.model));
  ASSERT_NO_FATAL_FAILURE(UploadSkin(ContentPath(render_case.skin)));
  const TRgbaPicture render = Render(model, render_case.blended);
  EXPECT_EQ(gl::GetError(), static_cast<GLenum>(GL_NO_ERROR));

  gl_context_testing::KeepRender(render, render_case.name);
  ExpectCoveredInColour(render, render_case);
  gl_context_testing::ExpectMatchesReference(render, render_case.name, kReferenceTolerance);
}

INSTANTIATE_TEST_SUITE_P(Md2Render, Md2ModelRenderTest, testing::ValuesIn(kRenderCases),
                         [](const testing::TestParamInfo<TRenderCase>& info) {
                           return std::string(info.param.name);
                         });

using Md2RenderBlendingTest = Md2RenderFixture;

// Blending mixes the flame's soft edges with what lies behind: many pixels
// of the blended render lie strictly between the background and the opaque
// render's colour. Inside the flame, layers seen through each other may
// leave that range, so only the count is checked.
TEST_F(Md2RenderBlendingTest, FlameEdgesBlendIntoTheBackground) {
  const TMD2 flame(ContentPath("lostsoul_flame.MD2"));
  ASSERT_NO_FATAL_FAILURE(UploadSkin(ContentPath("Flame_Red_0.png")));
  const TRgbaPicture opaque = Render(flame, false);
  const TRgbaPicture blended = Render(flame, true);

  size_t mixed = 0;
  for (size_t i = 0; i < opaque.pixels.size(); i += 4) {
    bool differs = false;
    bool between = true;
    for (int channel = 0; channel < 3; ++channel) {
      const int a = opaque.pixels[i + channel];
      const int b = blended.pixels[i + channel];
      const int clear = kClear[channel];
      if (std::abs(a - b) > 8) differs = true;
      if (b < std::min(a, clear) - 2 || b > std::max(a, clear) + 2) between = false;
    }
    if (differs && between) ++mixed;
  }
  EXPECT_GT(mixed, 500u) << "no soft edges: blending mixed nothing with the background";
}

}  // namespace
