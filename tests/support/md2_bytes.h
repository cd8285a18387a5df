// Small MD2 files built in memory for the loader tests: a header that
// points at skins, commands and frames laid out one after the other.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace md2test {

struct TFrame {
  std::string name;
  float scale[3] = {1, 1, 1};
  float translate[3] = {0, 0, 0};
  std::vector<uint8_t> raw;  // four bytes a vertex: x, y, z, normal index
};

struct TCommandVertex {
  float s, t;
  int32_t index;
};

// One command: the count as the file stores it and its vertices.
struct TCommand {
  int32_t count;
  std::vector<TCommandVertex> vertices;
};

struct TModel {
  int32_t vertex_count = 3;
  std::vector<std::string> skins;
  std::vector<TCommand> commands;  // the closing 0 is added
  std::vector<TFrame> frames;
};

// Header word positions, for tests that break one field.
enum THeaderWord {
  kIdent = 0,
  kVersion = 1,
  kNumSkins = 5,
  kNumVertices = 6,
  kNumFrames = 10,
  kOfsSkins = 11,
  kOfsFrames = 14,
  kOfsCommands = 15,
};

inline void PutWord(std::vector<uint8_t>& bytes, size_t at, uint32_t word) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(word >> (8 * i));
}
inline void AppendWord(std::vector<uint8_t>& bytes, uint32_t word) {
  bytes.resize(bytes.size() + 4);
  PutWord(bytes, bytes.size() - 4, word);
}
inline void AppendSingle(std::vector<uint8_t>& bytes, float value) {
  uint32_t word;
  std::memcpy(&word, &value, 4);
  AppendWord(bytes, word);
}
inline void AppendText(std::vector<uint8_t>& bytes, const std::string& text, size_t size) {
  std::vector<uint8_t> field(size, 0);
  std::memcpy(field.data(), text.data(), std::min(text.size(), size));
  bytes.insert(bytes.end(), field.begin(), field.end());
}
inline void SetHeaderWord(std::vector<uint8_t>& bytes, THeaderWord word, int32_t value) {
  PutWord(bytes, static_cast<size_t>(word) * 4, static_cast<uint32_t>(value));
}

inline std::vector<uint8_t> Build(const TModel& model) {
  std::vector<uint8_t> bytes(68, 0);
  SetHeaderWord(bytes, kIdent, 0x32504449);
  SetHeaderWord(bytes, kVersion, 8);
  PutWord(bytes, 4 * 4, static_cast<uint32_t>(40 + 4 * model.vertex_count));
  SetHeaderWord(bytes, kNumSkins, static_cast<int32_t>(model.skins.size()));
  SetHeaderWord(bytes, kNumVertices, model.vertex_count);
  SetHeaderWord(bytes, kNumFrames, static_cast<int32_t>(model.frames.size()));

  SetHeaderWord(bytes, kOfsSkins, static_cast<int32_t>(bytes.size()));
  for (const std::string& skin : model.skins) AppendText(bytes, skin, 64);

  SetHeaderWord(bytes, kOfsCommands, static_cast<int32_t>(bytes.size()));
  for (const TCommand& command : model.commands) {
    AppendWord(bytes, static_cast<uint32_t>(command.count));
    for (const TCommandVertex& v : command.vertices) {
      AppendSingle(bytes, v.s);
      AppendSingle(bytes, v.t);
      AppendWord(bytes, static_cast<uint32_t>(v.index));
    }
  }
  AppendWord(bytes, 0);

  SetHeaderWord(bytes, kOfsFrames, static_cast<int32_t>(bytes.size()));
  for (const TFrame& frame : model.frames) {
    for (float s : frame.scale) AppendSingle(bytes, s);
    for (float t : frame.translate) AppendSingle(bytes, t);
    AppendText(bytes, frame.name, 16);
    std::vector<uint8_t> raw = frame.raw;
    raw.resize(static_cast<size_t>(model.vertex_count) * 4, 0);
    bytes.insert(bytes.end(), raw.begin(), raw.end());
  }
  PutWord(bytes, 16 * 4, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

}  // namespace md2test
