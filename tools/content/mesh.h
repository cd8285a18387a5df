// Triangle meshes built from simple solids. Every vertex carries its own
// skin coordinate (v = 0 is the picture's top row), and triangles wind
// counter-clockwise seen from the side that should be drawn, as OpenGL's
// default front face wants.
#pragma once

#include <array>
#include <vector>

#include "vec_math.h"

namespace content {

// The part of the skin a solid's (u, v) in 0…1 is mapped into; u and v
// may repeat past 1 when the texture tiles.
struct UvRect {
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  Vec2 At(float u, float v) const { return {u0 + (u1 - u0) * u, v0 + (v1 - v0) * v}; }
};

struct Mesh {
  std::vector<Vec3> positions;
  std::vector<Vec2> uvs;  // one per position
  std::vector<std::array<int, 3>> triangles;
};

// A grid of nu × nv quads over origin + s·edge_u + t·edge_v, facing
// along edge_u × edge_v.
void AddPatch(Mesh& mesh, const Mat4& place, Vec3 origin, Vec3 edge_u, Vec3 edge_v, UvRect uv,
              int nu, int nv);

// The unit cube −1…1 placed by place; each face gets the whole uv rect,
// subdivided n × n. inward turns the faces to be seen from inside.
void AddBox(Mesh& mesh, const Mat4& place, UvRect uv, int n = 1, bool inward = false);

// A surface of revolution about local z: profile points (radius, z) from
// bottom to top, slices around. u runs around from the back (local −x), so
// the seam is behind; v runs from the top (0) to the bottom (1).
struct ProfilePoint {
  float radius, z;
};
void AddLathe(Mesh& mesh, const Mat4& place, const std::vector<ProfilePoint>& profile, UvRect uv,
              int slices);

// The unit sphere placed (and squashed) by place.
void AddSphere(Mesh& mesh, const Mat4& place, UvRect uv, int slices = 14, int stacks = 9);

// A closed tapered cylinder from a to b; radius_b = 0 makes a cone.
void AddLimb(Mesh& mesh, Vec3 a, Vec3 b, float radius_a, float radius_b, UvRect uv,
             int slices = 10);

// A placement whose local z runs from a to b (unit length scale kept).
Mat4 AlongSegment(Vec3 a, Vec3 b);

}  // namespace content
