// The demon: a hunched, pink, horned biped with a toothed snout, glowing
// eyes and clawed hands. Its frames are an idle breath and a walk cycle,
// built by posing the same solids, so all frames share one topology.
#include <cmath>
#include <stdexcept>
#include <string>

#include "assets.h"
#include "noise.h"
#include "paint.h"

namespace content {

namespace {

constexpr int kSkinSize = 256;
constexpr UvRect kFlesh{0, 0, 0.75f, 1};
constexpr UvRect kHorn{0.75f, 0, 1, 0.25f};
constexpr UvRect kEye{0.75f, 0.25f, 1, 0.375f};
constexpr UvRect kMouth{0.75f, 0.375f, 1, 0.625f};
constexpr UvRect kClaw{0.75f, 0.625f, 1, 0.75f};

struct Pose {
  float leg_swing = 0;  // degrees forward of the left leg; the right mirrors it
  float arm_swing = 0;  // degrees forward of the left arm
  float bob = 0;        // body height change
  float breath = 0;     // chest swell, fraction
};

// A limb vector of the given length hanging down, swung forward by degrees.
Vec3 Swing(float degrees, float length) {
  return {length * std::sin(Radians(degrees)), 0, -length * std::cos(Radians(degrees))};
}

void AddLeg(Mesh& mesh, float side, float swing, float bob) {
  const Vec3 hip{0, side * 13, 47 + bob};
  const Vec3 knee = hip + Swing(swing + 20, 22);
  const Vec3 ankle = knee + Swing(swing - 10, 21);
  const UvRect flesh = Inset(kFlesh, kSkinSize);
  AddLimb(mesh, hip, knee, 9, 6.5f, flesh);
  AddLimb(mesh, knee, ankle, 6.5f, 4.5f, flesh);
  const Mat4 foot_place = Mat4::Translate(ankle + Vec3{6, 0, -2}) * Mat4::Rotate(1, swing * 0.5f) *
                          Mat4::Scale({10, 6, 3});
  AddSphere(mesh, foot_place, flesh, 10, 6);
  for (float toe : {-4.0f, 0.0f, 4.0f}) {
    const Vec3 base = foot_place.Point({0.8f, toe / 6, 0});
    AddLimb(mesh, base, base + Vec3{6, toe * 0.3f, -1}, 1.6f, 0, Inset(kClaw, kSkinSize), 6);
  }
}

void AddArm(Mesh& mesh, float side, float swing, float bob) {
  const Vec3 shoulder{6, side * 25, 82 + bob};
  const Vec3 elbow = shoulder + Swing(swing, 20) + Vec3{0, side * 4, 0};
  const Vec3 hand = elbow + Swing(swing + 55, 17);
  const UvRect flesh = Inset(kFlesh, kSkinSize);
  AddLimb(mesh, shoulder, elbow, 7.5f, 5.5f, flesh);
  AddLimb(mesh, elbow, hand, 5.5f, 4.5f, flesh);
  AddSphere(mesh, Mat4::Translate(hand) * Mat4::Scale(5), flesh, 8, 6);
  for (float finger : {-3.0f, 0.0f, 3.0f}) {
    const Vec3 base = hand + Vec3{0, finger, 0};
    AddLimb(mesh, base, base + Swing(swing + 80, 10) + Vec3{0, finger * 0.4f, 0}, 1.8f, 0,
            Inset(kClaw, kSkinSize), 6);
  }
}

void AddHead(Mesh& mesh, float bob) {
  const Vec3 lift{0, 0, bob};
  AddSphere(mesh, Mat4::Translate(Vec3{20, 0, 95} + lift) * Mat4::Scale({15, 14, 13}),
            Inset(kFlesh, kSkinSize));
  AddSphere(mesh, Mat4::Translate(Vec3{31, 0, 87} + lift) * Mat4::Scale({13, 12, 9}),
            Inset(kMouth, kSkinSize), 16, 10);
  for (float side : {-1.0f, 1.0f}) {
    AddSphere(mesh, Mat4::Translate(Vec3{32, side * 7, 98} + lift) * Mat4::Scale(3.5f),
              Inset(kEye, kSkinSize), 8, 5);
    const Vec3 base = Vec3{20, side * 9, 105} + lift;
    const Vec3 bend = base + Vec3{-3, side * 9, 12};
    const Vec3 tip = bend + Vec3{-9, side * 4, 10};
    AddLimb(mesh, base, bend, 4.5f, 3, Inset(kHorn, kSkinSize), 8);
    AddLimb(mesh, bend, tip, 3, 0, Inset(kHorn, kSkinSize), 8);
  }
}

Mesh DemonMesh(const Pose& pose) {
  Mesh mesh;
  const UvRect flesh = Inset(kFlesh, kSkinSize);
  const float chest = 1 + pose.breath;
  AddSphere(mesh,
            Mat4::Translate({2, 0, 72 + pose.bob}) * Mat4::Rotate(1, 18) *
                Mat4::Scale({22 * chest, 26 * chest, 27}),
            flesh, 18, 12);
  AddSphere(mesh, Mat4::Translate({0, 0, 52 + pose.bob}) * Mat4::Scale({17, 20, 13}), flesh);
  AddHead(mesh, pose.bob);
  for (float side : {1.0f, -1.0f}) {
    AddLeg(mesh, side, side * pose.leg_swing, pose.bob);
    AddArm(mesh, side, side * pose.arm_swing, pose.bob);
  }
  return mesh;
}

Image DemonSkin() {
  Image skin(kSkinSize, kSkinSize, 3);
  skin.Fill([](int, int, float u, float v) {
    if (Inside(kFlesh, u, v)) {
      const Vec2 l = Local(kFlesh, u, v);
      const float mottle = FractalNoise(u * 12, v * 12, 21, 4);
      const float vein = std::fabs(FractalNoise(u * 6, v * 6, 22, 3) - 0.5f);
      Color c = Mix(Color{0.78f, 0.38f, 0.42f}, Color{0.95f, 0.6f, 0.6f}, mottle);
      c = Mix(Color{0.45f, 0.08f, 0.12f}, c, SmoothStep(0.0f, 0.04f, vein));
      return Scaled(c, BakedShade(l));
    }
    if (Inside(kHorn, u, v)) {
      const Vec2 l = Local(kHorn, u, v);
      const float rings = 0.85f + 0.15f * std::sin(l.v * 40);
      const Color base = Mix(Color{0.95f, 0.9f, 0.75f}, Color{0.45f, 0.35f, 0.25f}, l.v);
      return Scaled(base, rings * (0.8f + 0.2f * FractalNoise(u * 40, v * 40, 23, 2)));
    }
    if (Inside(kEye, u, v)) {
      const Vec2 l = Local(kEye, u, v);
      const float pupil = SmoothStep(0.015f, 0.03f, std::fabs(l.u - 0.5f));
      const float glow = 1 - 0.5f * std::fabs(l.v - 0.5f);
      return Scaled(Mix(Color{0.1f, 0, 0}, Color{1, 0.85f, 0.1f}, pupil), glow);
    }
    if (Inside(kMouth, u, v)) {
      // Around the snout: pink upper lip, a band of fangs, dark gullet,
      // pink chin.
      const Vec2 l = Local(kMouth, u, v);
      const float tooth_u = std::fmod(l.u * 24, 1.0f);
      const float upper = (l.v - 0.42f) / 0.12f;  // fangs hanging down
      const float lower = (0.72f - l.v) / 0.12f;  // fangs standing up
      const bool fang =
          (upper >= 0 && upper < 1 && std::fabs(tooth_u - 0.5f) < 0.5f * (1 - upper)) ||
          (lower >= 0 && lower < 1 && std::fabs(tooth_u - 0.5f) < 0.4f * (1 - lower));
      Color c;
      if (l.v < 0.42f || l.v > 0.72f) {
        c = Color{0.85f, 0.45f, 0.48f};
      } else {
        c = fang ? Color{0.97f, 0.95f, 0.85f} : Color{0.3f, 0.02f, 0.04f};
      }
      return Scaled(c, BakedShade(l));
    }
    if (Inside(kClaw, u, v)) {
      return Mix(Color{0.2f, 0.15f, 0.1f}, Color{0.6f, 0.55f, 0.45f}, Local(kClaw, u, v).v);
    }
    return Color{0.5f, 0.2f, 0.2f};
  });
  return skin;
}

std::string FrameName(const char* action, int number) {
  return action + std::string(number < 10 ? "0" : "") + std::to_string(number);
}

// The first frame fixes the topology; every later pose must match it.
void AddFrame(Md2Model& model, const std::string& name, const Mesh& mesh, const std::string& skin) {
  if (model.frames.empty()) {
    model = ModelFromMesh(mesh, name, kSkinSize, kSkinSize, skin);
  } else if (mesh.triangles != model.triangles || mesh.uvs.size() != model.uvs.size()) {
    throw std::logic_error("demon pose " + name + " changed the mesh");
  } else {
    model.frames.push_back({name, mesh.positions});
  }
}

}  // namespace

ModelAsset MakeDemon() {
  ModelAsset asset{"pinky.MD2", {}, "Skindemon.png", DemonSkin()};
  Md2Model& model = asset.model;
  constexpr int kStandFrames = 4, kWalkFrames = 8;
  for (int i = 0; i < kStandFrames; ++i) {
    const float phase = 2 * kPi * i / kStandFrames;
    Pose pose;
    pose.breath = 0.04f * std::sin(phase);
    // Arms a quarter-cycle off the chest, so no two idle frames repeat.
    pose.arm_swing = 5 * std::cos(phase);
    AddFrame(model, FrameName("stand", i + 1), DemonMesh(pose), asset.skin_file);
  }
  for (int i = 0; i < kWalkFrames; ++i) {
    const float phase = 2 * kPi * i / kWalkFrames;
    Pose pose;
    pose.leg_swing = 28 * std::sin(phase);
    pose.arm_swing = -22 * std::sin(phase);
    pose.bob = 2.5f * std::fabs(std::cos(phase));
    AddFrame(model, FrameName("walk", i + 1), DemonMesh(pose), asset.skin_file);
  }
  return asset;
}

}  // namespace content
