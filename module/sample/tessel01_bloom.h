// The sample's brightness and bloom arithmetic, apart from any OpenGL call
// so that it can be checked by itself.
#pragma once

#include <cstdint>

constexpr float kLowestLight = 0.2f;
constexpr float kHighestLight = 7.0f;
constexpr float kDefaultLight = 0.5f;
constexpr int32_t kDefaultQuality = 3;
// The post-process textures never get smaller than these.
constexpr int32_t kFullTextureSize = 1024;

// What one frame draws for a light setting and a blur quality.
struct TBloomPlan {
  float brightness;       // colour of the scene
  bool post_process;      // false at light 1: the scene is the frame
  int32_t first_passes;   // frame -> half-size picture
  int32_t second_passes;  // half-size picture -> glow
  float glow_intensity;   // colour of the second blur
  float glow_weight;      // colour of the glow in the composite
  float base_offset;      // shift of the frame in the composite, in texels
};

float ClampLight(float light);
float SceneBrightness(float light);
TBloomPlan PlanBloom(float light, int32_t quality);

// The shift of blur pass (1-based) of passes, in units of one texel.
struct TTexelShift {
  int32_t x;
  int32_t y;
};
TTexelShift BlurPassShift(int32_t pass, int32_t passes);

// Colours of the skull (k2) and its flame (k1) at scene brightness b.
struct TSceneColours {
  float flame;
  float skull;
};
TSceneColours SceneColours(float brightness);

// The flame picture and the turn of the scene at a time since start.
int32_t FlameFrameAt(int64_t milliseconds);
float SceneAngleAt(int64_t milliseconds);

// Side of the square frame copy for a window: a power of two that holds
// both sides of the window, never below kFullTextureSize. The half-size
// and glow textures are a half and a quarter of it.
int32_t FullTextureSizeFor(int32_t width, int32_t height);
