// MD2 model files in the published layout: a 68-byte header, 64-byte skin
// names, texture coordinates in skin pixels, triangles, frames of scaled
// byte vertices and OpenGL command lists, all little-endian.
#pragma once

#include <string>
#include <vector>

#include "gl_commands.h"
#include "mesh.h"

namespace content {

struct Md2Frame {
  std::string name;  // at most 15 characters
  std::vector<Vec3> positions;
};

// One mesh topology (triangles and skin coordinates) shared by all frames;
// the frames differ only in positions. Positions use the format's axes:
// x forward, y left, z up.
struct Md2Model {
  int skin_width = 0, skin_height = 0;
  std::vector<std::string> skins;  // at most 63 characters each
  std::vector<Vec2> uvs;           // one per vertex
  std::vector<std::array<int, 3>> triangles;
  std::vector<Md2Frame> frames;
};

// A model whose frame list starts with the mesh's positions under name.
Md2Model ModelFromMesh(const Mesh& mesh, const std::string& frame_name, int skin_width,
                       int skin_height, const std::string& skin);

// The position a frame's vertex has after the byte quantisation of the
// file, which is what a loader draws.
std::vector<Vec3> QuantisedPositions(const Md2Frame& frame);

// The whole file. Throws std::invalid_argument when the model breaks the
// format's limits or is inconsistent.
std::string Md2Bytes(const Md2Model& model, const std::vector<GlCommand>& commands);

void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace content
