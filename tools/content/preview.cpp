#include "preview.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace content {

Canvas::Canvas(int width, int height, Color background)
    : width_(width),
      height_(height),
      color_(static_cast<size_t>(width) * height, background),
      depth_(static_cast<size_t>(width) * height, 1.0f) {}

Image Canvas::Picture() const {
  Image out(width_, height_, 3);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) out.Set(x, y, color_[static_cast<size_t>(y) * width_ + x]);
  }
  return out;
}

void Canvas::Draw(const Md2Model& model, const std::vector<GlCommand>& commands, int frame,
                  const Image& skin, const DrawState& state) {
  const std::vector<Vec3> positions = QuantisedPositions(model.frames.at(frame));
  for (const auto& tri : TrianglesOf(commands)) {
    ScreenVertex v[3];
    bool behind = false;
    for (int k = 0; k < 3; ++k) {
      const auto clip = state.model_view_projection.Homogeneous(EngineAxes(positions[tri[k]]));
      // No near-plane clipping: a triangle reaching behind the eye is left
      // out, which a preview can afford.
      if (clip[3] < 1e-3f) behind = true;
      const float inv_w = 1.0f / clip[3];
      v[k] = {(clip[0] * inv_w + 1) * 0.5f * width_, (1 - clip[1] * inv_w) * 0.5f * height_,
              clip[2] * inv_w, inv_w, model.uvs[tri[k]]};
    }
    if (!behind) Triangle(v, skin, state);
  }
}

void Canvas::Triangle(const ScreenVertex (&v)[3], const Image& skin, const DrawState& state) {
  // Screen y runs down, so a counter-clockwise triangle has negative area.
  const float area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
  if (area >= 0) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
  const int x1 =
      std::min(width_ - 1, static_cast<int>(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
  const int y1 =
      std::min(height_ - 1, static_cast<int>(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float px = x + 0.5f, py = y + 0.5f;
      float w[3];
      for (int k = 0; k < 3; ++k) {
        const ScreenVertex& a = v[(k + 1) % 3];
        const ScreenVertex& b = v[(k + 2) % 3];
        w[k] = ((b.x - a.x) * (py - a.y) - (px - a.x) * (b.y - a.y)) / area;
      }
      if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
      const float z = w[0] * v[0].z + w[1] * v[1].z + w[2] * v[2].z;
      float& stored = depth_[static_cast<size_t>(y) * width_ + x];
      if (z < -1 || (!state.depth_always && z > stored)) continue;
      // Perspective-correct skin coordinates.
      const float inv_w = w[0] * v[0].inv_w + w[1] * v[1].inv_w + w[2] * v[2].inv_w;
      float u = 0, t = 0;
      for (int k = 0; k < 3; ++k) {
        u += w[k] * v[k].uv.u * v[k].inv_w;
        t += w[k] * v[k].uv.v * v[k].inv_w;
      }
      Color texel = skin.Sample(u / inv_w, t / inv_w);
      if (state.alpha_above >= 0 && !(texel.a > state.alpha_above)) continue;
      texel = {texel.r * state.tint.r, texel.g * state.tint.g, texel.b * state.tint.b, texel.a};
      Color& pixel = color_[static_cast<size_t>(y) * width_ + x];
      pixel = state.blend ? Mix(pixel, texel, texel.a) : texel;
      stored = z;
    }
  }
}

Image PreviewModel(const Md2Model& model, const std::vector<GlCommand>& commands, int frame,
                   const Image& skin, float yaw, float pitch, int size, const DrawState& style) {
  const Mat4 view = Mat4::Rotate(0, pitch) * Mat4::Rotate(1, yaw);
  float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                 std::numeric_limits<float>::max()};
  float hi[3] = {-lo[0], -lo[1], -lo[2]};
  for (const Vec3& p : model.frames.front().positions) {
    const Vec3 q = view.Point(EngineAxes(p));
    const float c[3] = {q.x, q.y, q.z};
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], c[i]);
      hi[i] = std::max(hi[i], c[i]);
    }
  }
  const float half = std::max(hi[0] - lo[0], hi[1] - lo[1]) * 0.55f;
  const float cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2;
  DrawState state = style;
  state.model_view_projection =
      Mat4::Ortho(cx - half, cx + half, cy - half, cy + half, -hi[2] - 1, -lo[2] + 1) * view;
  Canvas canvas(size, size, {0.25f, 0.3f, 0.35f, 1});
  canvas.Draw(model, commands, frame, skin, state);
  return canvas.Picture();
}

}  // namespace content
