// A small software rasteriser that draws a model the way the engine does:
// the OpenGL command lists of one frame, axes turned so that the model's z
// becomes OpenGL's y, back faces culled, the skin modulated by a colour.
// It exists so the generated content can be looked at without the engine.
#pragma once

#include <vector>

#include "gl_commands.h"
#include "image.h"
#include "md2_writer.h"

namespace content {

struct DrawState {
  Mat4 model_view_projection = Mat4::Identity();
  Color tint{1, 1, 1, 1};
  bool depth_always = false;  // depth function GL_ALWAYS instead of GL_LEQUAL
  float alpha_above = -1;     // alpha test GL_GREATER; negative: no test
  bool blend = false;         // source alpha, one minus source alpha
};

class Canvas {
 public:
  Canvas(int width, int height, Color background);

  void Draw(const Md2Model& model, const std::vector<GlCommand>& commands, int frame,
            const Image& skin, const DrawState& state);
  Image Picture() const;
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  struct ScreenVertex {
    float x, y, z, inv_w;
    Vec2 uv;
  };
  void Triangle(const ScreenVertex (&v)[3], const Image& skin, const DrawState& state);

  int width_, height_;
  std::vector<Color> color_;
  std::vector<float> depth_;
};

// The model's vertex in OpenGL coordinates, as the engine draws it.
inline Vec3 EngineAxes(Vec3 p) {
  return {p.y, p.z, p.x};
}

// One frame seen from the front, turned by yaw and tilted by pitch
// (degrees), fitted into the canvas by an orthographic projection.
Image PreviewModel(const Md2Model& model, const std::vector<GlCommand>& commands, int frame,
                   const Image& skin, float yaw, float pitch, int size, const DrawState& style);

}  // namespace content
