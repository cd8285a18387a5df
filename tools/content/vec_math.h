// Small vector and 4×4 matrix helpers for the content generators. Matrices
// act on column vectors and compose like OpenGL's matrix stack: A * B
// applies B first.
#pragma once

#include <array>
#include <cmath>

namespace content {

struct Vec2 {
  float u = 0, v = 0;
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float k) {
  return {a.x * k, a.y * k, a.z * k};
}
inline float Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
  return std::sqrt(Dot(a, a));
}
inline Vec3 Normalized(Vec3 a) {
  const float length = Length(a);
  return length > 0 ? a * (1.0f / length) : a;
}

constexpr float kPi = 3.14159265358979f;
inline float Radians(float degrees) {
  return degrees * kPi / 180.0f;
}

struct Mat4 {
  std::array<float, 16> m{};  // row-major: m[row * 4 + column]

  float& at(int row, int column) { return m[row * 4 + column]; }
  float at(int row, int column) const { return m[row * 4 + column]; }

  static Mat4 Identity() {
    Mat4 r;
    for (int i = 0; i < 4; ++i) r.at(i, i) = 1;
    return r;
  }
  static Mat4 Translate(Vec3 t) {
    Mat4 r = Identity();
    r.at(0, 3) = t.x;
    r.at(1, 3) = t.y;
    r.at(2, 3) = t.z;
    return r;
  }
  static Mat4 Scale(Vec3 s) {
    Mat4 r = Identity();
    r.at(0, 0) = s.x;
    r.at(1, 1) = s.y;
    r.at(2, 2) = s.z;
    return r;
  }
  static Mat4 Scale(float s) { return Scale({s, s, s}); }
  // Rotation by degrees about one axis (0 = x, 1 = y, 2 = z), right-handed.
  static Mat4 Rotate(int axis, float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    Mat4 r = Identity();
    r.at(a, a) = c;
    r.at(a, b) = -s;
    r.at(b, a) = s;
    r.at(b, b) = c;
    return r;
  }
  // Columns u, v, w as the local axes, placed at origin.
  static Mat4 Basis(Vec3 u, Vec3 v, Vec3 w, Vec3 origin) {
    Mat4 r = Identity();
    const Vec3 columns[4] = {u, v, w, origin};
    for (int c = 0; c < 4; ++c) {
      r.at(0, c) = columns[c].x;
      r.at(1, c) = columns[c].y;
      r.at(2, c) = columns[c].z;
    }
    return r;
  }
  // glFrustum's matrix.
  static Mat4 Frustum(float l, float r, float b, float t, float n, float f) {
    Mat4 p;
    p.at(0, 0) = 2 * n / (r - l);
    p.at(0, 2) = (r + l) / (r - l);
    p.at(1, 1) = 2 * n / (t - b);
    p.at(1, 2) = (t + b) / (t - b);
    p.at(2, 2) = -(f + n) / (f - n);
    p.at(2, 3) = -2 * f * n / (f - n);
    p.at(3, 2) = -1;
    return p;
  }
  // glOrtho's matrix.
  static Mat4 Ortho(float l, float r, float b, float t, float n, float f) {
    Mat4 p = Identity();
    p.at(0, 0) = 2 / (r - l);
    p.at(1, 1) = 2 / (t - b);
    p.at(2, 2) = -2 / (f - n);
    p.at(0, 3) = -(r + l) / (r - l);
    p.at(1, 3) = -(t + b) / (t - b);
    p.at(2, 3) = -(f + n) / (f - n);
    return p;
  }

  Vec3 Point(Vec3 p) const {
    return {at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3),
            at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3),
            at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3)};
  }
  std::array<float, 4> Homogeneous(Vec3 p) const {
    std::array<float, 4> r{};
    for (int row = 0; row < 4; ++row) {
      r[row] = at(row, 0) * p.x + at(row, 1) * p.y + at(row, 2) * p.z + at(row, 3);
    }
    return r;
  }
  // Sign tells whether the transform mirrors (and so flips triangle winding).
  float LinearDeterminant() const {
    return at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
           at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
           at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
  }
};

inline Mat4 operator*(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.at(i, k) * b.at(k, j);
      r.at(i, j) = sum;
    }
  }
  return r;
}

}  // namespace content
