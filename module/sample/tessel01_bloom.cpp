#include "module/sample/tessel01_bloom.h"

#include <algorithm>
#include <cmath>

float ClampLight(float light) {
  // NaN would survive std::clamp and darken every later frame.
  if (std::isnan(light)) return kDefaultLight;
  return std::clamp(light, kLowestLight, kHighestLight);
}

float SceneBrightness(float light) {
  const float brightness = light < 1 ? 0.95f * light * light + 0.05f : 2 * (light - 1) + 1;
  return std::min(brightness, 1.7f);
}

TBloomPlan PlanBloom(float light, int32_t quality) {
  TBloomPlan plan{};
  plan.brightness = SceneBrightness(light);
  plan.post_process = std::fabs(light - 1) > 0.01f;
  switch (quality) {
    case 1:
      plan.first_passes = 1, plan.second_passes = 4;
      break;
    case 2:
      plan.first_passes = 3, plan.second_passes = 5;
      break;
    case 3:
      plan.first_passes = 5, plan.second_passes = 5;
      break;
    default:
      plan.first_passes = 0, plan.second_passes = 0;
  }
  const float darkness = (1 - light) * (1 - light);
  plan.glow_intensity = light > 1 ? std::max(1.0f, light / 1.7f) : 8 * darkness;
  plan.glow_weight = darkness;
  plan.base_offset = std::min(1.0f, darkness);
  return plan;
}

TTexelShift BlurPassShift(int32_t pass, int32_t passes) {
  switch (pass) {
    case 1:
      return passes == 2 ? TTexelShift{-1, -1} : TTexelShift{0, 0};
    case 2:
      return {1, 1};
    case 3:
      return {-1, -1};
    case 4:
      return {1, -1};
    case 5:
      return {-1, 1};
    default:
      return {0, 0};
  }
}

TSceneColours SceneColours(float brightness) {
  if (brightness < 1) return {1.0f, (1 + brightness) / 2};
  return {std::sqrt(1 / brightness), 1.0f};
}

int32_t FlameFrameAt(int64_t milliseconds) {
  // The host's clock starts at zero, but a negative time must not index
  // outside the eight frames.
  const int64_t frame = (milliseconds / 100) % 8;
  return static_cast<int32_t>(frame < 0 ? frame + 8 : frame);
}

float SceneAngleAt(int64_t milliseconds) {
  // Whole turns dropped first, so the angle keeps its precision in long runs.
  return static_cast<float>(milliseconds % 36000) / 100.0f;
}

int32_t FullTextureSizeFor(int32_t width, int32_t height) {
  int32_t size = kFullTextureSize;
  // Bounded: no window comes near 2^30, but a bad size must not loop.
  while ((size < width || size < height) && size < (1 << 30)) size *= 2;
  return size;
}
