// The bloom post-process: the frame is copied into a texture, blurred down
// to half and quarter size through the frame buffer, and drawn back with
// the glow added on top. Everything happens in the lower-left corner of the
// frame buffer; no off-screen buffer is used.
#pragma once

#include <cstdint>

#include "module/sample/tessel01_bloom.h"

// The textures the post-process copies into: the frame, the half-size blur
// and the glow, sized from the full one (see FullTextureSizeFor).
struct TPostTextures {
  uint32_t full;
  uint32_t half;
  uint32_t glow;
};

// Gives name empty storage of size x size texels, linear filters, clamped.
void AllocatePostTexture(uint32_t name, int32_t size, int32_t internal_format);
// Storage for a frame copy of full_size texels: the half-size and glow
// textures get a half and a quarter of it, the glow in luminance only.
void AllocatePostTextures(const TPostTextures& textures, int32_t full_size);
// Three new texture names with storage for a frame copy of full_size
// texels, and their deletion, for code that keeps no fourth name.
TPostTextures CreatePostTextures(int32_t full_size);
void DeletePostTextures(const TPostTextures& textures);
// The width of level 0 of name; 0 when it has no storage.
int32_t AllocatedTextureSize(uint32_t name);

// Draws source (of size x size texels), w x h of it, halved into the lower
// left of the frame buffer, summing passes shifted copies at intensity /
// passes each, and copies the result into destination.
void Blur(uint32_t source, uint32_t destination, int32_t size, int32_t w, int32_t h,
          float intensity, int32_t passes);
// Draws the frame copy over the window and adds the glow at glow_weight.
void Composite(const TPostTextures& textures, int32_t full_size, int32_t width, int32_t height,
               float glow_weight, float base_offset);
// The whole post-process of a frame already drawn in a width x height window.
void PostProcessFrame(const TPostTextures& textures, int32_t full_size, int32_t width,
                      int32_t height, const TBloomPlan& plan);
