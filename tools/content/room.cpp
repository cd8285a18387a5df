// The room the scene stands in: a box seen from inside, walls, floor and
// ceiling of rough stone blocks. It stays convex because the scene draws
// it first with the depth test off.
#include <cmath>

#include "assets.h"
#include "noise.h"
#include "paint.h"

namespace content {

namespace {

constexpr int kSkinSize = 256;
constexpr float kHalfWidth = 90;  // the scene doubles it
constexpr float kHeight = 80;
constexpr float kTileSize = 45;  // one picture's worth of wall, in model units

Mesh RoomMesh() {
  Mesh mesh;
  const Mat4 none = Mat4::Identity();
  const float w = 2 * kHalfWidth;
  const auto face = [&](Vec3 origin, Vec3 edge_u, Vec3 edge_v) {
    const UvRect tiles{0, 0, Length(edge_u) / kTileSize, Length(edge_v) / kTileSize};
    AddPatch(mesh, none, origin, edge_u, edge_v, tiles, 8, 4);
  };
  const float h = kHalfWidth;
  // Walls: edge_u runs to the right of someone facing the wall from inside.
  face({h, h, 0}, {0, -w, 0}, {0, 0, kHeight});
  face({-h, -h, 0}, {0, w, 0}, {0, 0, kHeight});
  face({-h, h, 0}, {w, 0, 0}, {0, 0, kHeight});
  face({h, -h, 0}, {-w, 0, 0}, {0, 0, kHeight});
  face({-h, -h, 0}, {w, 0, 0}, {0, w, 0});        // floor, facing up
  face({-h, h, kHeight}, {w, 0, 0}, {0, -w, 0});  // ceiling, facing down
  return mesh;
}

// Courses of stone blocks with staggered joints, each block its own shade,
// mortar between; every size divides the picture so the wall tiles.
Image StoneWall() {
  Image skin(kSkinSize, kSkinSize, 3);
  constexpr int kRows = 4, kBlocksPerRow = 3;
  skin.Fill([](int, int, float u, float v) {
    const float warp = (FractalNoise(u * 8, v * 8, 11, 3, 8) - 0.5f) * 0.03f;
    const float row_f = (v + warp) * kRows;
    const int row = static_cast<int>(std::floor(row_f));
    const float stagger = CellRandom(0, ((row % kRows) + kRows) % kRows, 5);
    const float col_f = (u + warp + stagger) * kBlocksPerRow;
    const int col = static_cast<int>(std::floor(col_f));
    const float fy = row_f - row, fx = col_f - col;
    const float edge = std::min({fx, 1 - fx, fy * 1.4f, (1 - fy) * 1.4f});
    const int wrapped_col = ((col % kBlocksPerRow) + kBlocksPerRow) % kBlocksPerRow;
    const float block = CellRandom(wrapped_col, ((row % kRows) + kRows) % kRows, 9);

    const float grain = FractalNoise(u * 16, v * 16, 3, 5, 16);
    const float pits = SmoothStep(0.62f, 0.75f, FractalNoise(u * 32, v * 32, 7, 3, 32));
    Color stone = Mix(Color{0.42f, 0.38f, 0.33f}, Color{0.62f, 0.58f, 0.52f}, block);
    stone = Scaled(stone, 0.7f + 0.6f * grain - 0.25f * pits);
    // Chipped, darker block edges, then the recessed mortar.
    stone = Scaled(stone, 0.6f + 0.4f * SmoothStep(0.0f, 0.08f, edge));
    const Color mortar = Scaled(Color{0.22f, 0.2f, 0.18f}, 0.8f + 0.4f * grain);
    return Mix(mortar, stone, SmoothStep(0.01f, 0.03f, edge));
  });
  return skin;
}

}  // namespace

ModelAsset MakeRoom() {
  return {"box.MD2", ModelFromMesh(RoomMesh(), "room", kSkinSize, kSkinSize, "005roche.png"),
          "005roche.png", StoneWall()};
}

}  // namespace content
