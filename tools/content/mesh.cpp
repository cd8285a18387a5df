#include "mesh.h"

#include <cmath>

namespace content {

namespace {

int AddVertex(Mesh& mesh, const Mat4& place, Vec3 p, Vec2 uv) {
  mesh.positions.push_back(place.Point(p));
  mesh.uvs.push_back(uv);
  return static_cast<int>(mesh.positions.size()) - 1;
}

// Keeps the intended facing under a mirroring placement.
void AddTriangle(Mesh& mesh, const Mat4& place, int a, int b, int c) {
  if (place.LinearDeterminant() < 0) std::swap(b, c);
  mesh.triangles.push_back({a, b, c});
}

// Quad a b c d counter-clockwise from the visible side.
void AddQuad(Mesh& mesh, const Mat4& place, int a, int b, int c, int d) {
  AddTriangle(mesh, place, a, b, c);
  AddTriangle(mesh, place, a, c, d);
}

}  // namespace

void AddPatch(Mesh& mesh, const Mat4& place, Vec3 origin, Vec3 edge_u, Vec3 edge_v, UvRect uv,
              int nu, int nv) {
  const int first = static_cast<int>(mesh.positions.size());
  for (int j = 0; j <= nv; ++j) {
    for (int i = 0; i <= nu; ++i) {
      const float s = static_cast<float>(i) / nu, t = static_cast<float>(j) / nv;
      // t grows along edge_v, which is "up" on the face: the picture's top
      // row (v = 0) goes to the top.
      AddVertex(mesh, place, origin + edge_u * s + edge_v * t, uv.At(s, 1 - t));
    }
  }
  const auto index = [&](int i, int j) { return first + j * (nu + 1) + i; };
  for (int j = 0; j < nv; ++j) {
    for (int i = 0; i < nu; ++i) {
      AddQuad(mesh, place, index(i, j), index(i + 1, j), index(i + 1, j + 1), index(i, j + 1));
    }
  }
}

void AddBox(Mesh& mesh, const Mat4& place, UvRect uv, int n, bool inward) {
  struct Face {
    Vec3 origin, edge_u, edge_v;  // edge_u × edge_v points out of the cube
  };
  const Face faces[6] = {
      {{1, -1, -1}, {0, 2, 0}, {0, 0, 2}},   // +x
      {{-1, 1, -1}, {0, -2, 0}, {0, 0, 2}},  // −x
      {{1, 1, -1}, {-2, 0, 0}, {0, 0, 2}},   // +y
      {{-1, -1, -1}, {2, 0, 0}, {0, 0, 2}},  // −y
      {{-1, -1, 1}, {2, 0, 0}, {0, 2, 0}},   // +z
      {{-1, 1, -1}, {2, 0, 0}, {0, -2, 0}},  // −z
  };
  for (const Face& f : faces) {
    if (inward) {
      // Walk u the other way so the inside sees the picture unmirrored.
      AddPatch(mesh, place, f.origin + f.edge_u, f.edge_u * -1, f.edge_v, uv, n, n);
    } else {
      AddPatch(mesh, place, f.origin, f.edge_u, f.edge_v, uv, n, n);
    }
  }
}

void AddLathe(Mesh& mesh, const Mat4& place, const std::vector<ProfilePoint>& profile, UvRect uv,
              int slices) {
  const int first = static_cast<int>(mesh.positions.size());
  const int rings = static_cast<int>(profile.size());
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s <= slices; ++s) {
      const float angle = kPi + 2 * kPi * s / slices;
      const Vec3 p{profile[r].radius * std::cos(angle), profile[r].radius * std::sin(angle),
                   profile[r].z};
      AddVertex(mesh, place, p,
                uv.At(static_cast<float>(s) / slices, 1 - static_cast<float>(r) / (rings - 1)));
    }
  }
  const auto index = [&](int r, int s) { return first + r * (slices + 1) + s; };
  for (int r = 0; r + 1 < rings; ++r) {
    for (int s = 0; s < slices; ++s) {
      // A ring of radius 0 is a pole: its quads are triangles. Deciding
      // this from the profile, not the placed positions, keeps every pose
      // of a model on the same topology.
      const int a = index(r, s), b = index(r, s + 1), c = index(r + 1, s + 1), d = index(r + 1, s);
      if (profile[r].radius != 0) AddTriangle(mesh, place, a, b, c);
      if (profile[r + 1].radius != 0) AddTriangle(mesh, place, a, c, d);
    }
  }
}

void AddSphere(Mesh& mesh, const Mat4& place, UvRect uv, int slices, int stacks) {
  std::vector<ProfilePoint> profile;
  for (int i = 0; i <= stacks; ++i) {
    const float a = kPi * i / stacks;
    const bool pole = i == 0 || i == stacks;
    profile.push_back({pole ? 0.0f : std::sin(a), -std::cos(a)});
  }
  AddLathe(mesh, place, profile, uv, slices);
}

Mat4 AlongSegment(Vec3 a, Vec3 b) {
  const Vec3 w = Normalized(b - a);
  const Vec3 helper = std::fabs(w.z) < 0.9f ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  const Vec3 u = Normalized(Cross(helper, w));
  const Vec3 v = Cross(w, u);
  return Mat4::Basis(u, v, w, a);
}

void AddLimb(Mesh& mesh, Vec3 a, Vec3 b, float radius_a, float radius_b, UvRect uv, int slices) {
  const float length = Length(b - a);
  AddLathe(mesh, AlongSegment(a, b), {{0, 0}, {radius_a, 0}, {radius_b, length}, {0, length}}, uv,
           slices);
}

}  // namespace content
