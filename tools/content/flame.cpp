// The skull's flame: three crossed, two-sided sheets standing round the
// skull's vertical axis, and eight looping RGBA pictures of a flickering
// flame to put on them. The sheets pass through the skull, which hides
// their middle, so from any side flames seem to burst out round it.
#include <cmath>
#include <string>

#include "assets.h"
#include "noise.h"
#include "paint.h"

namespace content {

namespace {

constexpr int kFlameWidth = 64, kFlameHeight = 128;
constexpr int kSheets = 3;
constexpr float kHalfWidth = 26, kBottom = -16, kTop = 46;

Mesh FlameMesh() {
  Mesh mesh;
  const Mat4 none = Mat4::Identity();
  for (int i = 0; i < kSheets; ++i) {
    const float angle = kPi * i / kSheets;
    const Vec3 across{kHalfWidth * std::cos(angle), kHalfWidth * std::sin(angle), 0};
    const Vec3 up{0, 0, kTop - kBottom};
    const Vec3 base_left = Vec3{-3, 0, kBottom} - across;
    // Both faces, because the scene culls back faces.
    AddPatch(mesh, none, base_left, across * 2, up, UvRect{}, 1, 1);
    AddPatch(mesh, none, base_left + across * 2, across * -2, up, UvRect{}, 1, 1);
  }
  return mesh;
}

Color FlameColor(float heat) {
  const Color stops[] = {{0.5f, 0.03f, 0.02f},
                         {0.9f, 0.2f, 0.03f},
                         {1, 0.55f, 0.08f},
                         {1, 0.85f, 0.3f},
                         {1, 1, 0.85f}};
  const float at = std::clamp(heat, 0.0f, 1.0f) * 4;
  const int i = std::min(3, static_cast<int>(at));
  return Mix(stops[i], stops[i + 1], at - i);
}

}  // namespace

std::string FlameFrameFile(int index) {
  return "Flame_Red_" + std::to_string(index) + ".png";
}

Image FlameFrame(int index) {
  // The noise scrolls up by one lattice period over the eight frames, so
  // the last frame runs smoothly into the first.
  constexpr int kPeriod = 4;
  const float rise = static_cast<float>(kPeriod) * index / kFlameFrames;
  Image frame(kFlameWidth, kFlameHeight, 4);
  frame.Fill([&](int, int, float u, float v) {
    const float h = 1 - v;  // 0 at the bottom
    const float turbulence = FractalNoise(u * 3, h * kPeriod - rise, 41, 4, kPeriod);
    const float sway = (FractalNoise(u * 2, h * kPeriod - rise, 42, 2, kPeriod) - 0.5f) * 0.35f * h;
    const float width = 0.48f * std::pow(std::max(0.0f, 1 - h), 0.5f) * SmoothStep(0.0f, 0.12f, h);
    const float across = std::fabs(u - 0.5f + sway);
    const float body = width > 0 ? std::clamp(1 - across / width, 0.0f, 1.0f) : 0;
    const float heat = body * (0.55f + 0.7f * turbulence) - 0.35f * h;
    Color c = FlameColor(heat * 1.3f);
    c.a = SmoothStep(0.05f, 0.3f, heat);
    return c;
  });
  return frame;
}

ModelAsset MakeFlame() {
  return {"lostsoul_flame.MD2",
          ModelFromMesh(FlameMesh(), "flame01", kFlameWidth, kFlameHeight, FlameFrameFile(0)), "",
          FlameFrame(0)};
}

}  // namespace content
