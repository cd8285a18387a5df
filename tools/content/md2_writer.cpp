#include "md2_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace content {

namespace {

// The format's own limits, which loaders size their tables by.
constexpr size_t kMaxVertices = 2048;
constexpr size_t kMaxTriangles = 4096;
constexpr size_t kMaxFrames = 512;
constexpr size_t kMaxSkins = 32;
constexpr int kHeaderBytes = 68;
constexpr int kSkinNameBytes = 64;
constexpr int kFrameNameBytes = 16;

class ByteSink {
 public:
  void Int32(int32_t v) { Raw(&v, 4); }
  void Int16(int16_t v) { Raw(&v, 2); }
  void Float(float v) { Raw(&v, 4); }
  void Byte(uint8_t v) { bytes_.push_back(static_cast<char>(v)); }
  void FixedText(const std::string& text, size_t size) {
    std::string field(size, '\0');
    std::memcpy(field.data(), text.data(), std::min(text.size(), size - 1));
    bytes_ += field;
  }
  int32_t Size() const { return static_cast<int32_t>(bytes_.size()); }
  std::string& Bytes() { return bytes_; }
  void PatchInt32(size_t at, int32_t v) { std::memcpy(&bytes_[at], &v, 4); }

 private:
  // The files are little-endian, as is every machine the engine runs on.
  void Raw(const void* p, size_t n) { bytes_.append(static_cast<const char*>(p), n); }
  std::string bytes_;
};

struct Quantisation {
  Vec3 scale, translate;
};

Quantisation QuantisationOf(const std::vector<Vec3>& positions) {
  Vec3 lo = positions.front(), hi = positions.front();
  for (const Vec3& p : positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  const auto step = [](float extent) { return extent > 0 ? extent / 255.0f : 1.0f; };
  return {{step(hi.x - lo.x), step(hi.y - lo.y), step(hi.z - lo.z)}, lo};
}

uint8_t Quantise(float value, float scale, float translate) {
  return static_cast<uint8_t>(std::clamp(std::lround((value - translate) / scale), 0L, 255L));
}

void Validate(const Md2Model& model, const std::vector<GlCommand>& commands) {
  const size_t vertices = model.uvs.size();
  if (vertices == 0 || vertices > kMaxVertices) {
    throw std::invalid_argument(std::to_string(vertices) + " vertices");
  }
  if (model.triangles.empty() || model.triangles.size() > kMaxTriangles) {
    throw std::invalid_argument(std::to_string(model.triangles.size()) + " triangles");
  }
  if (model.frames.empty() || model.frames.size() > kMaxFrames) {
    throw std::invalid_argument("frame count");
  }
  if (model.skins.size() > kMaxSkins) throw std::invalid_argument("skin count");
  for (const Md2Frame& f : model.frames) {
    if (f.positions.size() != vertices) throw std::invalid_argument("frame " + f.name);
    if (f.name.size() >= kFrameNameBytes) throw std::invalid_argument("name " + f.name);
  }
  for (const std::string& s : model.skins) {
    if (s.size() >= kSkinNameBytes) throw std::invalid_argument("skin name " + s);
  }
  for (const auto& t : model.triangles) {
    for (int v : t) {
      if (v < 0 || static_cast<size_t>(v) >= vertices) throw std::invalid_argument("triangle");
    }
  }
  for (const GlCommand& c : commands) {
    if (c.vertices.size() < 3) throw std::invalid_argument("command shorter than a triangle");
    for (int v : c.vertices) {
      if (v < 0 || static_cast<size_t>(v) >= vertices) throw std::invalid_argument("command");
    }
  }
}

int16_t SkinPixel(float coordinate, int size) {
  return static_cast<int16_t>(std::lround(coordinate * size));
}

}  // namespace

Md2Model ModelFromMesh(const Mesh& mesh, const std::string& frame_name, int skin_width,
                       int skin_height, const std::string& skin) {
  Md2Model model;
  model.skin_width = skin_width;
  model.skin_height = skin_height;
  model.skins = {skin};
  model.uvs = mesh.uvs;
  model.triangles = mesh.triangles;
  model.frames.push_back({frame_name, mesh.positions});
  return model;
}

std::vector<Vec3> QuantisedPositions(const Md2Frame& frame) {
  const Quantisation q = QuantisationOf(frame.positions);
  std::vector<Vec3> out;
  for (const Vec3& p : frame.positions) {
    out.push_back({Quantise(p.x, q.scale.x, q.translate.x) * q.scale.x + q.translate.x,
                   Quantise(p.y, q.scale.y, q.translate.y) * q.scale.y + q.translate.y,
                   Quantise(p.z, q.scale.z, q.translate.z) * q.scale.z + q.translate.z});
  }
  return out;
}

std::string Md2Bytes(const Md2Model& model, const std::vector<GlCommand>& commands) {
  Validate(model, commands);
  const int32_t vertices = static_cast<int32_t>(model.uvs.size());
  int32_t command_words = 1;  // the terminating zero
  for (const GlCommand& c : commands)
    command_words += 1 + 3 * static_cast<int32_t>(c.vertices.size());

  ByteSink out;
  out.Bytes().resize(kHeaderBytes);  // filled once the offsets are known
  const int32_t ofs_skins = out.Size();
  for (const std::string& s : model.skins) out.FixedText(s, kSkinNameBytes);
  const int32_t ofs_st = out.Size();
  for (const Vec2& uv : model.uvs) {
    out.Int16(SkinPixel(uv.u, model.skin_width));
    out.Int16(SkinPixel(uv.v, model.skin_height));
  }
  const int32_t ofs_tris = out.Size();
  for (const auto& t : model.triangles) {
    // Vertex and texture-coordinate indices coincide: every vertex has one
    // skin coordinate.
    for (int v : t) out.Int16(static_cast<int16_t>(v));
    for (int v : t) out.Int16(static_cast<int16_t>(v));
  }
  const int32_t ofs_frames = out.Size();
  for (const Md2Frame& f : model.frames) {
    const Quantisation q = QuantisationOf(f.positions);
    for (float v : {q.scale.x, q.scale.y, q.scale.z}) out.Float(v);
    for (float v : {q.translate.x, q.translate.y, q.translate.z}) out.Float(v);
    out.FixedText(f.name, kFrameNameBytes);
    for (const Vec3& p : f.positions) {
      out.Byte(Quantise(p.x, q.scale.x, q.translate.x));
      out.Byte(Quantise(p.y, q.scale.y, q.translate.y));
      out.Byte(Quantise(p.z, q.scale.z, q.translate.z));
      // The engine does no lighting, so no normal is looked up.
      out.Byte(0);
    }
  }
  const int32_t ofs_glcmds = out.Size();
  for (const GlCommand& c : commands) {
    const int32_t count = static_cast<int32_t>(c.vertices.size());
    out.Int32(c.fan ? -count : count);
    for (int v : c.vertices) {
      out.Float(model.uvs[v].u);
      out.Float(model.uvs[v].v);
      out.Int32(v);
    }
  }
  out.Int32(0);
  const int32_t ofs_end = out.Size();

  const int32_t header[17] = {0x32504449,  // "IDP2"
                              8,
                              model.skin_width,
                              model.skin_height,
                              40 + 4 * vertices,
                              static_cast<int32_t>(model.skins.size()),
                              vertices,
                              vertices,
                              static_cast<int32_t>(model.triangles.size()),
                              command_words,
                              static_cast<int32_t>(model.frames.size()),
                              ofs_skins,
                              ofs_st,
                              ofs_tris,
                              ofs_frames,
                              ofs_glcmds,
                              ofs_end};
  for (int i = 0; i < 17; ++i) out.PatchInt32(4 * i, header[i]);
  return std::move(out.Bytes());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace content
