// Renders compared with reference pictures kept in the tree. A missing
// reference is written from the render, and the test fails until someone
// has looked at it and kept it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "module/gl/gl_functions.h"
#include "support/png_rgba.h"

namespace gl_context_testing {

// The lower-left width x height of the frame buffer, top row first.
inline TRgbaPicture ReadFrameBuffer(int width, int height) {
  TRgbaPicture picture{width, height, {}};
  const size_t row = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottom_up(row * static_cast<size_t>(height));
  gl::PixelStorei(GL_PACK_ALIGNMENT, 1);
  gl::ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
  for (int y = height - 1; y >= 0; --y) {
    picture.pixels.insert(picture.pixels.end(), bottom_up.begin() + y * row,
                          bottom_up.begin() + (y + 1) * row);
  }
  return picture;
}

// Leaves the render next to the test's other outputs, for a look.
inline void KeepRender(const TRgbaPicture& render, const std::string& name) {
  const std::filesystem::path output_dir(ZOK_RENDER_OUTPUT_PATH);
  std::filesystem::create_directories(output_dir);
  std::string why;
  EXPECT_TRUE(WritePngRgba(output_dir / (name + ".png"), render, why)) << why;
}

// tolerance: mean absolute difference allowed per channel.
inline void ExpectMatchesReference(const TRgbaPicture& render, const std::string& name,
                                   double tolerance) {
  const std::string reference_file = std::string(ZOK_REFERENCE_PATH) + name + ".png";
  std::string why;
  if (!std::filesystem::exists(reference_file)) {
    ASSERT_TRUE(WritePngRgba(reference_file, render, why)) << why;
    FAIL() << "no reference picture: wrote " << reference_file
           << " from this render; look at it and keep it only if it shows the render right";
  }
  TRgbaPicture reference;
  ASSERT_TRUE(ReadPngRgba(reference_file, reference, why)) << reference_file << ": " << why;
  ASSERT_EQ(reference.width, render.width);
  ASSERT_EQ(reference.height, render.height);
  double difference[4] = {};
  for (size_t i = 0; i < render.pixels.size(); ++i) {
    difference[i % 4] += std::abs(render.pixels[i] - reference.pixels[i]);
  }
  const double pixels = static_cast<double>(render.pixels.size() / 4);
  for (int channel = 0; channel < 4; ++channel) {
    EXPECT_LT(difference[channel] / pixels, tolerance)
        << "channel " << channel << " differs from " << reference_file;
  }
}

}  // namespace gl_context_testing
