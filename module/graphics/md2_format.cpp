#include "module/graphics/md2_format.h"

#include <climits>
#include <cstring>
#include <iterator>

namespace {

constexpr int64_t kSkinNameSize = 64;
constexpr int64_t kFrameNameSize = 16;
constexpr int64_t kFrameHeadSize = 6 * 4 + kFrameNameSize;  // scale, translate, name
constexpr int64_t kCommandVertexSize = 12;

[[noreturn]] void Malformed(const std::string& why) {
  throw EMd2Format("malformed MD2 model: " + why);
}

// Reads within the file only; every block is checked before it is read.
class TByteReader {
 public:
  TByteReader(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}

  int64_t Size() const { return size_; }

  void RequireBlock(int64_t offset, int64_t length, const char* what) const {
    if (offset < 0 || length < 0 || offset > size_ || length > size_ - offset) {
      Malformed(std::string(what) + " lies outside the file");
    }
  }
  int32_t Int32(int64_t offset) const {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | data_[offset + i];
    return static_cast<int32_t>(value);
  }
  float Single(int64_t offset) const {
    const uint32_t bits = static_cast<uint32_t>(Int32(offset));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  uint8_t Byte(int64_t offset) const { return data_[offset]; }
  // Text up to the first zero byte of a fixed-size field, upper-cased.
  std::string UpperName(int64_t offset, int64_t length) const {
    std::string name;
    for (int64_t i = 0; i < length && data_[offset + i] != 0; ++i) {
      const char c = static_cast<char>(data_[offset + i]);
      name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return name;
  }

 private:
  const uint8_t* data_;
  int64_t size_;
};

TMd2Header ReadHeader(const TByteReader& in) {
  in.RequireBlock(0, sizeof(TMd2Header), "the header");
  int32_t words[sizeof(TMd2Header) / 4];
  for (size_t i = 0; i < std::size(words); ++i) words[i] = in.Int32(static_cast<int64_t>(i) * 4);
  TMd2Header header;
  std::memcpy(&header, words, sizeof header);
  if (header.ident != kMd2Ident) Malformed("not an MD2 identifier");
  if (header.version != kMd2Version) Malformed("unknown version " + std::to_string(header.version));
  const int32_t counts[] = {header.num_skins, header.num_vertices, header.num_frames};
  for (int32_t count : counts) {
    if (count < 0) Malformed("a negative count");
  }
  return header;
}

std::vector<std::string> ReadSkinNames(const TByteReader& in, const TMd2Header& header) {
  in.RequireBlock(header.ofs_skins, header.num_skins * kSkinNameSize, "the skin names");
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(header.num_skins));
  for (int64_t i = 0; i < header.num_skins; ++i) {
    names.push_back(in.UpperName(header.ofs_skins + i * kSkinNameSize, kSkinNameSize));
  }
  return names;
}

std::vector<TGlCommand> ReadCommands(const TByteReader& in, const TMd2Header& header) {
  std::vector<TGlCommand> commands;
  int64_t at = header.ofs_gl_commands;
  for (;;) {
    in.RequireBlock(at, 4, "a command count");
    const int32_t count = in.Int32(at);
    at += 4;
    if (count == 0) break;
    if (count == INT_MIN) Malformed("a command count out of range");
    const int64_t length = count < 0 ? -static_cast<int64_t>(count) : count;
    if (length > (in.Size() - at) / kCommandVertexSize) Malformed("a command runs past the file");
    TGlCommand command{count < 0 ? gcFan : gcStrip, {}};
    command.vertices.reserve(static_cast<size_t>(length));
    for (int64_t i = 0; i < length; ++i, at += kCommandVertexSize) {
      const uint32_t index = static_cast<uint32_t>(in.Int32(at + 8));
      if (index >= static_cast<uint32_t>(header.num_vertices)) {
        Malformed("a command vertex index " + std::to_string(index) + " past the vertices");
      }
      command.vertices.push_back({in.Single(at), 1.0f - in.Single(at + 4), index});
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

void ReadFrames(const TByteReader& in, const TMd2Header& header, TMd2Contents& model) {
  const int64_t frame_size = kFrameHeadSize + int64_t{header.num_vertices} * 4;
  // Checked by division: the product of two counts may exceed 64 bits' worth of file.
  if (header.num_frames > 0 && frame_size > in.Size() / header.num_frames) {
    Malformed("the frames run past the file");
  }
  in.RequireBlock(header.ofs_frames, frame_size * header.num_frames, "the frames");
  model.frames.resize(static_cast<size_t>(header.num_frames));
  for (int64_t f = 0; f < header.num_frames; ++f) {
    const int64_t at = header.ofs_frames + f * frame_size;
    float scale[3], translate[3];
    for (int i = 0; i < 3; ++i) {
      scale[i] = in.Single(at + i * 4);
      translate[i] = in.Single(at + 12 + i * 4);
    }
    model.frame_names.push_back(in.UpperName(at + 24, kFrameNameSize));
    std::vector<TMyVertex>& vertices = model.frames[static_cast<size_t>(f)];
    vertices.resize(static_cast<size_t>(header.num_vertices));
    for (int64_t v = 0; v < header.num_vertices; ++v) {
      const int64_t raw = at + kFrameHeadSize + v * 4;
      vertices[static_cast<size_t>(v)] = {
          in.Byte(raw) * scale[0] + translate[0], in.Byte(raw + 1) * scale[1] + translate[1],
          in.Byte(raw + 2) * scale[2] + translate[2], in.Byte(raw + 3)};
    }
  }
}

}  // namespace

TMd2Contents ParseMd2(const uint8_t* data, size_t size) {
  const TByteReader in(data, size);
  TMd2Contents model;
  model.header = ReadHeader(in);
  model.skin_names = ReadSkinNames(in, model.header);
  model.commands = ReadCommands(in, model.header);
  ReadFrames(in, model.header, model);
  return model;
}
