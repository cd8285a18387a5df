// Mipmap chains of a 2048 x 2048 RGBA picture uploaded into one texture:
// the vector filter against its scalar reference and against GLU's
// gluBuild2DMipmaps in the same context; then the filter alone, and the
// filter against memcpy over the bytes it reads. The GL context is
// offscreen (SDL's offscreen driver) unless SDL_VIDEODRIVER names another.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "host/images/mipmaps.h"

namespace {

constexpr int32_t kSide = 2048;
constexpr size_t kPictureBytes = size_t{kSide} * kSide * mipmaps::kBytesPerPixel;

const std::vector<uint8_t>& Picture() {
  static const std::vector<uint8_t> picture = [] {
    std::vector<uint8_t> bytes(kPictureBytes);
    std::mt19937 random(2048);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    return bytes;
  }();
  return picture;
}

// One hidden window with a current GL context and one bound texture, for
// the whole run.
class TOffscreenGL {
 public:
  TOffscreenGL() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      Fail("SDL_Init");
      return;
    }
    window_ = SDL_CreateWindow("mipmap bench", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
      Fail("SDL_CreateWindow");
      return;
    }
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) {
      Fail("SDL_GL_CreateContext");
      return;
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    std::fprintf(stderr, "GL renderer: %s\n",
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  }
  ~TOffscreenGL() {
    if (context_ != nullptr) {
      glDeleteTextures(1, &texture_);
      SDL_GL_DeleteContext(context_);
    }
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  bool Ready() const { return context_ != nullptr; }

 private:
  void Fail(const char* what) { std::fprintf(stderr, "%s: %s\n", what, SDL_GetError()); }

  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  GLuint texture_ = 0;
};

TOffscreenGL& GL() {
  static TOffscreenGL gl;
  return gl;
}

void UploadLevel(int32_t level, int32_t width, int32_t height, const uint8_t* pixels) {
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
}

void ChainUpload(benchmark::State& state, mipmaps::THalveLevel halve) {
  if (!GL().Ready()) return state.SkipWithError("no GL context");
  for (auto _ : state) {
    mipmaps::BuildChain(kSide, kSide, Picture().data(), UploadLevel, halve);
    glFinish();
  }
}

void BM_ChainUploadSse2(benchmark::State& state) {
  ChainUpload(state, mipmaps::HalveLevelSse2);
}
void BM_ChainUploadScalar(benchmark::State& state) {
  ChainUpload(state, mipmaps::HalveLevelScalar);
}
void BM_ChainUploadGluBuild2DMipmaps(benchmark::State& state) {
  if (!GL().Ready()) return state.SkipWithError("no GL context");
  for (auto _ : state) {
    const GLint error = gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, kSide, kSide, GL_RGBA,
                                          GL_UNSIGNED_BYTE, Picture().data());
    if (error != 0) return state.SkipWithError("gluBuild2DMipmaps failed");
    glFinish();
  }
}

// The uploads alone, from levels made beforehand: the floor under every
// chain above, since each uploads the same bytes.
void BM_UploadOfPrecomputedLevels(benchmark::State& state) {
  if (!GL().Ready()) return state.SkipWithError("no GL context");
  std::vector<std::vector<uint8_t>> levels;
  std::vector<std::pair<int32_t, int32_t>> sizes;
  mipmaps::BuildChain(kSide, kSide, Picture().data(),
                      [&](int32_t, int32_t width, int32_t height, const uint8_t* pixels) {
                        levels.emplace_back(pixels, pixels + size_t(width) * height * 4);
                        sizes.emplace_back(width, height);
                      });
  for (auto _ : state) {
    for (size_t level = 0; level < levels.size(); ++level) {
      UploadLevel(static_cast<int32_t>(level), sizes[level].first, sizes[level].second,
                  levels[level].data());
    }
    glFinish();
  }
}

// One level, 2048 x 2048 to 1024 x 1024; bytes counted are those read.
void Filter(benchmark::State& state, mipmaps::THalveLevel halve) {
  std::vector<uint8_t> level(kPictureBytes / 4);
  for (auto _ : state) {
    halve(Picture().data(), kSide, kSide, level.data());
    benchmark::DoNotOptimize(level.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPictureBytes));
}

void BM_FilterSse2(benchmark::State& state) {
  Filter(state, mipmaps::HalveLevelSse2);
}
void BM_FilterScalar(benchmark::State& state) {
  Filter(state, mipmaps::HalveLevelScalar);
}
void BM_MemcpyOfTheFilteredBytes(benchmark::State& state) {
  std::vector<uint8_t> copy(kPictureBytes);
  for (auto _ : state) {
    std::memcpy(copy.data(), Picture().data(), kPictureBytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kPictureBytes));
}

}  // namespace

BENCHMARK(BM_ChainUploadSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainUploadScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChainUploadGluBuild2DMipmaps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UploadOfPrecomputedLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterSse2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterScalar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyOfTheFilteredBytes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
