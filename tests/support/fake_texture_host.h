// The host's picture decoding and texture registry in memory, for the
// module's texture objects: pictures by file or container name, names with
// stamps and marks as the registry keeps them, and the gl:: upload calls.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "module/gl/gl_functions.h"
#include "module/runtime/host_functions.h"
#include "shared/zok_protocol.h"

namespace texturetest {

struct TPicture {
  int32_t width = 0, height = 0;
  TImageMode mode = Im_RGB;
  std::vector<uint8_t> pixels;
};

struct TFakeTextureHost {
  std::map<std::string, TPicture> pictures;       // files and preloaded "$" containers
  std::map<std::string, std::string> containers;  // container -> picture file
  std::map<uint32_t, uint64_t> stamps;
  std::map<uint32_t, bool> marks;
  std::vector<std::string> calls;
  std::vector<uint8_t> uploaded;  // the last TexImage2D's bytes
  uint32_t next_name = 1;
  uint64_t next_stamp = 1000;
  const TPicture* decoding = nullptr;

  static TFakeTextureHost& Get() {
    static TFakeTextureHost host;
    return host;
  }
  static void Bind();
  // What the host does to a name when another run reissues it.
  void Reissue(uint32_t name) { stamps[name] = next_stamp++; }
};

inline void TFakeTextureHost::Bind() {
  Get() = TFakeTextureHost();
  host::LoadContainer = [](const char* name, const char* file, int32_t* size) -> void* {
    Get().calls.push_back(std::string("LoadContainer ") + name + " " + file);
    Get().containers[name] = file;
    *size = 0;
    return nullptr;
  };
  host::DeleteContainer = [](const char* name) {
    Get().calls.push_back(std::string("DeleteContainer ") + name);
    Get().containers.erase(name);
  };
  host::StartDecodingPicture = [](const char* container, int32_t* w, int32_t* h, int32_t* mode) {
    TFakeTextureHost& host = Get();
    host.calls.push_back(std::string("StartDecodingPicture ") + container);
    const auto file = host.containers.find(container);
    host.decoding = &host.pictures.at(file != host.containers.end() ? file->second : container);
    *w = host.decoding->width;
    *h = host.decoding->height;
    *mode = host.decoding->mode;
  };
  host::FinishDecodingPicture = [](void* pixels) {
    std::memcpy(pixels, Get().decoding->pixels.data(), Get().decoding->pixels.size());
  };
  host::NewTexture = [](uint32_t* name) -> uint64_t {
    TFakeTextureHost& host = Get();
    *name = host.next_name++;
    host.stamps[*name] = host.next_stamp++;
    return host.stamps[*name];
  };
  auto matches = [](uint32_t name, uint32_t low, uint32_t high) {
    const auto found = Get().stamps.find(name);
    return name != 0 && found != Get().stamps.end() &&
           found->second == (uint64_t{high} << 32 | low);
  };
  static decltype(matches) stamp_matches = matches;
  host::MarkTexture = [](uint32_t name, uint32_t low, uint32_t high) {
    if (stamp_matches(name, low, high)) Get().marks[name] = true;
  };
  host::ClaimTexture = [](uint32_t name, uint32_t low, uint32_t high) -> int32_t {
    Get().calls.push_back("ClaimTexture " + std::to_string(name));
    if (!stamp_matches(name, low, high)) return 0;
    Get().marks[name] = false;
    return 1;
  };
  host::DeleteTexture = [](uint32_t name, uint32_t low, uint32_t high) {
    if (!stamp_matches(name, low, high)) return;
    Get().calls.push_back("DeleteTexture " + std::to_string(name));
    Get().stamps.erase(name);
    Get().marks.erase(name);
  };
  gl::BindTexture = [](GLenum, GLuint name) {
    Get().calls.push_back("BindTexture " + std::to_string(name));
  };
  gl::TexParameteri = [](GLenum, GLenum pname, GLint value) {
    Get().calls.push_back("TexParameteri " + std::to_string(pname) + " " + std::to_string(value));
  };
  gl::PixelStorei = [](GLenum, GLint) {};
  gl::TexImage2D = [](GLenum, GLint, GLint internal, GLsizei w, GLsizei h, GLint, GLenum format,
                      GLenum, const void* pixels) {
    Get().calls.push_back("TexImage2D " + std::to_string(internal) + " " + std::to_string(w) + "x" +
                          std::to_string(h) + " " + std::to_string(format));
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    Get().uploaded.assign(bytes, bytes + static_cast<size_t>(w) * static_cast<size_t>(h));
  };
}

}  // namespace texturetest
