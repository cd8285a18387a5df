// The sample scene's content: four models, their skins and the flame
// pictures, all made here from simple solids and procedural paint.
#pragma once

#include <string>
#include <vector>

#include "image.h"
#include "md2_writer.h"

namespace content {

struct ModelAsset {
  std::string model_file;
  Md2Model model;
  std::string skin_file;  // empty when the skin is animated separately
  Image skin;
};

ModelAsset MakeRoom();   // box.MD2 with a stone-wall skin
ModelAsset MakeDemon();  // pinky.MD2, a horned creature that stands and walks
ModelAsset MakeSkull();  // lostsoul.MD2, a floating skull
ModelAsset MakeFlame();  // lostsoul_flame.MD2, crossed flame sheets round the skull

constexpr int kFlameFrames = 8;
std::string FlameFrameFile(int index);
Image FlameFrame(int index);  // RGBA, loops after the last frame

}  // namespace content
