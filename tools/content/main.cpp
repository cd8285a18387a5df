// Build-time tool: writes the sample module's content folder, the four
// MD2 models and the eleven pictures the scene loads. With --preview it
// also draws each model, and the whole scene, into PNG files to look at.
//
// Usage: zok_content <content folder> [--preview <folder>]

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "assets.h"
#include "png_writer.h"
#include "preview.h"

namespace content {

namespace {

struct Built {
  ModelAsset asset;
  std::vector<GlCommand> commands;
};

Built Build(ModelAsset asset) {
  std::vector<GlCommand> commands = BuildGlCommands(asset.model.triangles);
  return {std::move(asset), std::move(commands)};
}

void WriteContent(const std::string& folder, const std::vector<Built>& models) {
  for (const Built& b : models) {
    WriteFile(folder + b.asset.model_file, Md2Bytes(b.asset.model, b.commands));
    if (!b.asset.skin_file.empty()) WritePng(folder + b.asset.skin_file, b.asset.skin);
  }
  for (int i = 0; i < kFlameFrames; ++i) WritePng(folder + FlameFrameFile(i), FlameFrame(i));
}

// The scene as the sample module draws it at a brightness of one: the
// room, the demon, the skull and its flame, turned by angle degrees.
Image SceneAt(const std::vector<Built>& m, float angle, int flame_frame) {
  const Built &skull = m[0], &flame = m[1], &demon = m[2], &room = m[3];
  Canvas canvas(640, 480, {0, 0, 0, 1});
  const Mat4 projection =
      Mat4::Frustum(-4.0f / 3, 4.0f / 3, -1, 1, 1, 500) * Mat4::Translate({0, -50, -100});
  const Mat4 turned = projection * Mat4::Rotate(1, angle);
  DrawState state;
  state.model_view_projection = turned * Mat4::Scale(2);
  state.depth_always = true;
  canvas.Draw(room.asset.model, room.commands, 0, room.asset.skin, state);
  state = {};
  state.model_view_projection = turned * Mat4::Translate({0, 0, -30}) * Mat4::Scale(0.5f);
  canvas.Draw(demon.asset.model, demon.commands, 0, demon.asset.skin, state);
  const Mat4 skull_place =
      turned * Mat4::Translate({0, 50, 30}) * Mat4::Rotate(1, -180) * Mat4::Scale(0.8f);
  state.model_view_projection = skull_place;
  state.alpha_above = 0.5f;
  canvas.Draw(skull.asset.model, skull.commands, 0, skull.asset.skin, state);
  state.alpha_above = 0;
  state.blend = true;
  canvas.Draw(flame.asset.model, flame.commands, 0, FlameFrame(flame_frame), state);
  return canvas.Picture();
}

void WritePreviews(const std::string& folder, const std::vector<Built>& models) {
  constexpr int kSize = 384;
  for (const Built& b : models) {
    DrawState style;
    if (b.asset.model_file == "lostsoul_flame.MD2") {
      style.alpha_above = 0;
      style.blend = true;
    }
    // The room is seen from above and outside: only its inner faces show.
    const float pitch = b.asset.model_file == "box.MD2" ? 35.0f : 12.0f;
    // Every frame from the front-left, and the first one from behind too.
    const std::string base = folder + b.asset.model_file + "_";
    for (size_t f = 0; f < b.asset.model.frames.size(); ++f) {
      WritePng(base + b.asset.model.frames[f].name + ".png",
               PreviewModel(b.asset.model, b.commands, static_cast<int>(f), b.asset.skin, 35, pitch,
                            kSize, style));
    }
    WritePng(base + "behind.png",
             PreviewModel(b.asset.model, b.commands, 0, b.asset.skin, 150, pitch, kSize, style));
  }
  for (float angle : {0.0f, 90.0f, 200.0f}) {
    WritePng(folder + "scene_" + std::to_string(static_cast<int>(angle)) + ".png",
             SceneAt(models, angle, static_cast<int>(angle) % kFlameFrames));
  }
}

}  // namespace

}  // namespace content

int main(int argc, char** argv) {
  using namespace content;
  const bool with_preview = argc == 4 && std::string(argv[2]) == "--preview";
  if (argc != 2 && !with_preview) {
    std::fprintf(stderr, "usage: %s <content folder> [--preview <folder>]\n", argv[0]);
    return 2;
  }
  try {
    const std::vector<Built> models = {Build(MakeSkull()), Build(MakeFlame()), Build(MakeDemon()),
                                       Build(MakeRoom())};
    WriteContent(std::string(argv[1]) + "/", models);
    if (with_preview) WritePreviews(std::string(argv[3]) + "/", models);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
    return 1;
  }
  return 0;
}
