// Turns a triangle list into MD2 OpenGL command lists: greedy triangle
// strips, with the triangles no strip could take sent as 3-vertex fans.
#pragma once

#include <array>
#include <vector>

namespace content {

struct GlCommand {
  bool fan = false;
  std::vector<int> vertices;  // indices into the model's vertices
};

// Every triangle (counter-clockwise a, b, c) comes out exactly once, with
// its winding kept in OpenGL's strip and fan conventions.
std::vector<GlCommand> BuildGlCommands(const std::vector<std::array<int, 3>>& triangles);

// The triangles a command list draws, each in the winding OpenGL gives it.
std::vector<std::array<int, 3>> TrianglesOf(const std::vector<GlCommand>& commands);

}  // namespace content
