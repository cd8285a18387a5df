// TMD2: an MD2 model loaded whole into memory, every frame decoded to
// floats at load time, drawn in immediate mode from the file's command
// lists. The caller binds the skin and sets the render state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "module/graphics/md2_format.h"
#include "shared/zok_object.h"

class TMD2 : public TObject {
 public:
  // Loads file_name as given; a missing, unreadable or malformed file
  // throws (EMd2Format for a malformed one).
  explicit TMD2(const std::string& file_name);
  // The same from a file already in memory; name is for reports only.
  TMD2(const std::string& name, const uint8_t* data, size_t size);
  const char* ClassName() const override { return "TMD2"; }

  void Draw(int32_t frame) const;
  // Blends frame_a into frame_b by weight, clamped to 0...1 (NaN counts as 0).
  void DrawBlended(int32_t frame_a, int32_t frame_b, float weight) const;
  // The first frame named name in any case; 0 when none is.
  int32_t FindFrame(const std::string& name) const;
  int32_t FrameCount() const { return header.num_frames; }
  int32_t SkinCount() const { return header.num_skins; }
  int32_t VertexCount() const { return header.num_vertices; }

  std::string file_name;
  TMd2Header header;
  std::vector<TGlCommand> commands;
  std::vector<std::vector<TMyVertex>> frames;
  std::vector<std::string> frame_names;
  std::vector<std::string> skin_names;

 private:
  void TakeContents(TMd2Contents contents);
  bool HasFrame(int32_t frame) const;
  // Draws every command with position(vertex index) giving the vertex.
  template <class Position>
  void DrawCommands(Position position, int32_t frame_a, int32_t frame_b) const;
  void ReportRenderingFailure(int32_t frame_a, int32_t frame_b) const;
};

// A companion class without fields; the name is ignored.
class TMD2S : public TObject {
 public:
  explicit TMD2S(const std::string&) {}
  const char* ClassName() const override { return "TMD2S"; }
};
