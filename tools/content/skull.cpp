// The floating skull: a bone cranium with dark eye sockets and a nasal
// hole, an upper jaw and a lower jaw with teeth. It faces +x.
#include <cmath>

#include "assets.h"
#include "noise.h"
#include "paint.h"

namespace content {

namespace {

constexpr int kSkinSize = 256;
constexpr UvRect kCranium{0, 0, 1, 0.75f};
constexpr UvRect kUpperJaw{0, 0.75f, 0.5f, 1};
constexpr UvRect kLowerJaw{0.5f, 0.75f, 1, 1};

Mesh SkullMesh() {
  Mesh mesh;
  AddSphere(mesh, Mat4::Translate({0, 0, 4}) * Mat4::Scale({18, 15, 16}),
            Inset(kCranium, kSkinSize), 24, 16);
  AddSphere(mesh, Mat4::Translate({9, 0, -7}) * Mat4::Scale({10, 11, 7.5f}),
            Inset(kUpperJaw, kSkinSize), 16, 10);
  AddSphere(mesh, Mat4::Translate({6, 0, -14}) * Mat4::Scale({10, 10, 4}),
            Inset(kLowerJaw, kSkinSize), 16, 8);
  return mesh;
}

Color Bone(float u, float v, Vec2 local) {
  const float grain = FractalNoise(u * 20, v * 20, 31, 4);
  const float crack = std::fabs(FractalNoise(u * 5, v * 5, 32, 4) - 0.5f);
  Color c = Mix(Color{0.72f, 0.66f, 0.52f}, Color{0.95f, 0.91f, 0.8f}, grain);
  c = Mix(Color{0.35f, 0.3f, 0.22f}, c, SmoothStep(0.004f, 0.015f, crack));
  return Scaled(c, BakedShade(local));
}

// A dark hole at (u, v) of the sphere mapping with half-sizes du, dv; the
// edge darkens gradually, as a rounded rim would.
float Hole(Vec2 l, float u, float v, float du, float dv) {
  const float d = std::hypot((l.u - u) / du, (l.v - v) / dv);
  return 1 - SmoothStep(0.7f, 1.1f, d);
}

// Teeth round the jaw between v0 and v1 of its sphere mapping.
bool Tooth(Vec2 l, float v0, float v1) {
  if (l.v < v0 || l.v > v1) return false;
  const float across = std::fmod(l.u * 28, 1.0f);
  return across > 0.12f && across < 0.88f;
}

Image SkullSkin() {
  Image skin(kSkinSize, kSkinSize, 3);
  skin.Fill([](int, int, float u, float v) {
    if (Inside(kCranium, u, v)) {
      const Vec2 l = Local(kCranium, u, v);
      Color c = Bone(u, v, l);
      for (float side : {-1.0f, 1.0f}) {
        const float hole = Hole(l, 0.5f + side * 0.075f, 0.47f, 0.055f, 0.085f);
        const float ember = Hole(l, 0.5f + side * 0.075f, 0.49f, 0.012f, 0.02f);
        c = Mix(c, Color{0.04f, 0.02f, 0.02f}, hole);
        c = Mix(c, Color{1, 0.3f, 0.05f}, ember);
      }
      return c;
    }
    if (Inside(kUpperJaw, u, v)) {
      const Vec2 l = Local(kUpperJaw, u, v);
      Color c = Bone(u, v, l);
      c = Mix(c, Color{0.05f, 0.03f, 0.03f}, Hole(l, 0.5f, 0.3f, 0.035f, 0.12f));
      if (Tooth(l, 0.55f, 0.75f)) c = Color{0.97f, 0.95f, 0.86f};
      if (l.v > 0.75f) c = Color{0.08f, 0.04f, 0.04f};  // inside the mouth
      return c;
    }
    const Vec2 l = Local(kLowerJaw, u, v);
    Color c = Bone(u, v, l);
    if (l.v < 0.25f) c = Color{0.08f, 0.04f, 0.04f};
    if (Tooth(l, 0.25f, 0.42f)) c = Color{0.97f, 0.95f, 0.86f};
    return c;
  });
  return skin;
}

}  // namespace

ModelAsset MakeSkull() {
  return {"lostsoul.MD2",
          ModelFromMesh(SkullMesh(), "float01", kSkinSize, kSkinSize, "lostsoul_Skin.png"),
          "lostsoul_Skin.png", SkullSkin()};
}

}  // namespace content
