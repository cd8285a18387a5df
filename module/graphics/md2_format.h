// The MD2 model file as the loader keeps it: header, command lists and
// frames decoded to floats. The parser checks every count, offset and
// index against the file before using it: model files come from anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Seventeen little-endian 32-bit integers, in file order.
struct TMd2Header {
  int32_t ident;
  int32_t version;
  int32_t skin_width;
  int32_t skin_height;
  int32_t frame_size;
  int32_t num_skins;
  int32_t num_vertices;
  int32_t num_tex_coords;
  int32_t num_triangles;
  int32_t num_gl_commands;
  int32_t num_frames;
  int32_t ofs_skins;
  int32_t ofs_tex_coords;
  int32_t ofs_triangles;
  int32_t ofs_frames;
  int32_t ofs_gl_commands;
  int32_t ofs_end;
};
static_assert(sizeof(TMd2Header) == 68);

constexpr int32_t kMd2Ident = 0x32504449;  // "IDP2"
constexpr int32_t kMd2Version = 8;

// A vertex as a frame stores it: scaled bytes and a normal index.
struct TRawVertex {
  uint8_t x, y, z, normal_index;
};

struct TMyVertex {
  float x, y, z;
  int32_t normal_index;
};

// One vertex of a command; t is held as 1 - t of the file.
struct TGLVertex {
  float s, t;
  uint32_t vertex_index;
};

enum TGlCommandKind : uint8_t { gcFan = 0, gcStrip = 1 };

struct TGlCommand {
  TGlCommandKind kind;
  std::vector<TGLVertex> vertices;
};

struct TMd2Contents {
  TMd2Header header;
  std::vector<TGlCommand> commands;
  std::vector<std::vector<TMyVertex>> frames;  // one vertex list per frame
  std::vector<std::string> frame_names;        // upper case
  std::vector<std::string> skin_names;         // upper case
};

// A file that is not a well-formed MD2 model.
class EMd2Format : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes a whole MD2 file; throws EMd2Format on anything malformed.
TMd2Contents ParseMd2(const uint8_t* data, size_t size);
