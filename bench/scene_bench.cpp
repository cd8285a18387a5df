// Frames per second of the sample's scene in an 800 x 600 window: the plain
// scene at light 1 and the scene with its bloom at light 0.5, quality 3.
// Needs an X display; bench/scene_bench.sh runs it under Xvfb with Mesa's
// software renderer and a fixed number of rasteriser threads.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "host/core/globals.h"
#include "host/display/gl_host.h"
#include "host/modules/host_functions.h"
#include "module/gl/gl_binding.h"
#include "module/gl/gl_functions.h"
#include "module/runtime/host_functions.h"
#include "module/sample/_tessel01_scene.h"
#include "module/sample/tessel01_bloom.h"
#include "module/sample/tessel01_post_process.h"
#include "support/host_picture_decoder.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

// The window, the context, the host's picture decoder and the scene, made
// once for every benchmark.
class TSceneRig {
 public:
  TSceneRig() {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zok_scene_bench";
    std::filesystem::create_directories(dir);
    Host().working_directory = dir.string() + "/";
    decoder_ = std::make_unique<THostPictureDecoder>(Host().working_directory);

    if (SDL_Init(SDL_INIT_VIDEO) != 0) Fail("SDL_Init");
    LoadGLLibrary("libGL.so.1");
    window_ = SDL_CreateWindow("scene bench", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    if (window_ == nullptr) Fail("SDL_CreateWindow");
    context_ = SDL_GL_CreateContext(window_);
    if (context_ == nullptr) Fail("SDL_GL_CreateContext");
    SDL_GL_SetSwapInterval(0);  // as the host runs: no wait for the display
    host::BindAll(&HostLookup);
    gl::BindGL();

    scene_ = std::make_unique<TTessel01Scene>(ZOK_MODULE_BASE_PATH);
    textures_ = CreatePostTextures(kFullTextureSize);
  }

  // One frame as the sample draws it, shown and finished.
  void Frame(float light, int32_t quality) {
    const TBloomPlan plan = PlanBloom(light, quality);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    scene_->Render(plan.brightness, TSceneView{kWidth, kHeight, time_});
    if (plan.post_process) PostProcessFrame(textures_, kFullTextureSize, kWidth, kHeight, plan);
    SDL_GL_SwapWindow(window_);
    gl::Finish();
    time_ += 16;
  }

 private:
  [[noreturn]] static void Fail(const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, SDL_GetError());
    std::exit(1);
  }

  std::unique_ptr<THostPictureDecoder> decoder_;
  SDL_Window* window_ = nullptr;
  SDL_GLContext context_ = nullptr;
  std::unique_ptr<TTessel01Scene> scene_;
  TPostTextures textures_{};
  int64_t time_ = 0;
};

TSceneRig& Rig() {
  static TSceneRig rig;
  return rig;
}

void BM_SceneFrame(benchmark::State& state, float light, int32_t quality) {
  TSceneRig& rig = Rig();
  for (int i = 0; i < 5; ++i) rig.Frame(light, quality);  // warm the caches and the driver
  for (auto _ : state) rig.Frame(light, quality);
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_SceneFrame, light_1_plain, 1.0f, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SceneFrame, light_0_5_quality_3, 0.5f, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
