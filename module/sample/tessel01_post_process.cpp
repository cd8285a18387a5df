#include "module/sample/tessel01_post_process.h"

#include <GL/gl.h>

#include <algorithm>

#include "module/gl/gl_functions.h"

namespace {

void CopyFrameInto(uint32_t texture, int32_t width, int32_t height) {
  gl::BindTexture(GL_TEXTURE_2D, texture);
  gl::CopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void OrthographicView(int32_t width, int32_t height) {
  // The quads wind clockwise on screen; the scene before them culls back faces.
  gl::Disable(GL_CULL_FACE);
  gl::Viewport(0, 0, width, height);
  gl::MatrixMode(GL_PROJECTION);
  gl::LoadIdentity();
  gl::Ortho(0, width, 0, height, 0, 1);
  gl::MatrixMode(GL_MODELVIEW);
  gl::LoadIdentity();
}

// One quad over (0, 0)-(x, y) showing the texture from (s0, t0) to (s1, t1).
void TexturedQuad(float x, float y, float s0, float t0, float s1, float t1) {
  gl::Begin(GL_QUADS);
  gl::TexCoord2f(s0, t0);
  gl::Vertex2f(0, 0);
  gl::TexCoord2f(s0, t1);
  gl::Vertex2f(0, y);
  gl::TexCoord2f(s1, t1);
  gl::Vertex2f(x, y);
  gl::TexCoord2f(s1, t0);
  gl::Vertex2f(x, 0);
  gl::End();
}

}  // namespace

void AllocatePostTexture(uint32_t name, int32_t size, int32_t internal_format) {
  gl::BindTexture(GL_TEXTURE_2D, name);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  gl::TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  gl::TexImage2D(GL_TEXTURE_2D, 0, internal_format, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
}

void AllocatePostTextures(const TPostTextures& textures, int32_t full_size) {
  AllocatePostTexture(textures.half, full_size / 2, GL_RGB);
  AllocatePostTexture(textures.full, full_size, GL_RGB);
  AllocatePostTexture(textures.glow, full_size / 4, GL_LUMINANCE);
}

TPostTextures CreatePostTextures(int32_t full_size) {
  uint32_t names[3] = {};
  gl::GenTextures(3, names);
  const TPostTextures textures{names[0], names[1], names[2]};
  AllocatePostTextures(textures, full_size);
  return textures;
}

void DeletePostTextures(const TPostTextures& textures) {
  const uint32_t names[3] = {textures.full, textures.half, textures.glow};
  gl::DeleteTextures(3, names);
}

int32_t AllocatedTextureSize(uint32_t name) {
  GLint width = 0;
  gl::BindTexture(GL_TEXTURE_2D, name);
  gl::GetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  return width;
}

void Blur(uint32_t source, uint32_t destination, int32_t size, int32_t w, int32_t h,
          float intensity, int32_t passes) {
  const float share = passes > 0 ? intensity / static_cast<float>(passes) : 0.0f;
  gl::Color4f(share, share, share, 1);
  OrthographicView(w, h);
  gl::Disable(GL_DEPTH_TEST);
  gl::DepthMask(GL_FALSE);
  gl::Enable(GL_TEXTURE_2D);
  gl::BindTexture(GL_TEXTURE_2D, source);
  gl::Disable(GL_BLEND);
  gl::Disable(GL_ALPHA_TEST);

  const float texel = 1.0f / static_cast<float>(size);
  const float tw = static_cast<float>(w) / static_cast<float>(size);
  const float th = static_cast<float>(h) / static_cast<float>(size);
  for (int32_t pass = 1; pass <= passes; ++pass) {
    if (pass == 2) {
      gl::Enable(GL_BLEND);
      gl::BlendFunc(GL_ONE, GL_ONE);
    }
    const TTexelShift shift = BlurPassShift(pass, passes);
    const float dx = static_cast<float>(shift.x) * texel;
    const float dy = static_cast<float>(shift.y) * texel;
    TexturedQuad(static_cast<float>(w) / 2, static_cast<float>(h) / 2, texel + dx, -texel + dy,
                 tw + texel + dx, th - texel + dy);
  }
  CopyFrameInto(destination, w / 2, h / 2);
  gl::DepthMask(GL_TRUE);
}

void Composite(const TPostTextures& textures, int32_t full_size, int32_t width, int32_t height,
               float glow_weight, float base_offset) {
  OrthographicView(width, height);
  gl::Disable(GL_DEPTH_TEST);
  gl::DepthMask(GL_FALSE);
  gl::Disable(GL_BLEND);
  gl::Disable(GL_ALPHA_TEST);
  gl::Color4f(1, 1, 1, 1);

  const float full = static_cast<float>(full_size);
  const float base = base_offset / full;
  gl::BindTexture(GL_TEXTURE_2D, textures.full);
  TexturedQuad(static_cast<float>(width), static_cast<float>(height), base, -base,
               static_cast<float>(width) / full + base, static_cast<float>(height) / full - base);

  gl::Enable(GL_BLEND);
  gl::BlendFunc(GL_ONE, GL_ONE);
  gl::Color4f(glow_weight, glow_weight, glow_weight, glow_weight);
  gl::BindTexture(GL_TEXTURE_2D, textures.glow);
  const float glow_size = full / 4;
  const float glow = -0.5f / glow_size;
  TexturedQuad(static_cast<float>(width), static_cast<float>(height), glow, -glow,
               static_cast<float>(width) / 4 / glow_size + glow,
               static_cast<float>(height) / 4 / glow_size - glow);
}

void PostProcessFrame(const TPostTextures& textures, int32_t full_size, int32_t width,
                      int32_t height, const TBloomPlan& plan) {
  gl::Disable(GL_DEPTH_TEST);
  gl::Disable(GL_ALPHA_TEST);
  // The textures hold any window up to full_size; clamping keeps a copy
  // inside them should the window outgrow them within a frame.
  width = std::clamp(width, 0, full_size);
  height = std::clamp(height, 0, full_size);
  CopyFrameInto(textures.full, width, height);
  Blur(textures.full, textures.half, full_size, width, height, 1.0f, plan.first_passes);
  Blur(textures.half, textures.glow, full_size / 2, width / 2, height / 2, plan.glow_intensity,
       plan.second_passes);
  Composite(textures, full_size, width, height, plan.glow_weight, plan.base_offset);
}
