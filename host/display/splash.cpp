#include "host/display/splash.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/platform/splash_window.h"
#include "host/platform/video_display.h"

namespace {

constexpr uint32_t kSettleMs = 100;

struct TSplashState {
  int32_t variant = -1;  // chosen once per run
  std::string file_name;
  std::unique_ptr<platform::SplashWindow> window;
};

TSplashState& Splash() {
  static TSplashState state;
  return state;
}

void ChooseSplashPicture(TSplashState& state) {
  if (state.variant < 0) {
    const int32_t variants = g_config->ReadInt("splashscreen", "numvariants");
    state.variant = variants > 0 ? std::rand() % variants : 0;
  }
  if (state.file_name.empty()) {
    state.file_name = g_config->ReadString("splashscreen", "path") + "splash" +
                      std::to_string(state.variant) + ".bmp";
  }
}

}  // namespace

int32_t SplashOrigin(int32_t screen_extent, int32_t picture_extent) {
  return (screen_extent - picture_extent) / 2;
}

void CreateSplash() {
  VerboseLog("Creating splash screen...");
  TSplashState& state = Splash();
  if (state.window) return;
  ChooseSplashPicture(state);

  std::unique_ptr<platform::SplashBitmap> bitmap = platform::SplashBitmap::Load(state.file_name);
  if (!bitmap) return;
  std::string error;
  if (!platform::InitVideo(error)) return;
  const platform::DisplayMode screen = platform::CurrentDisplayMode();
  const int32_t x = SplashOrigin(screen.width, bitmap->Width());
  const int32_t y = SplashOrigin(screen.height, bitmap->Height());
  state.window = platform::SplashWindow::Show(std::move(bitmap), x, y, kSettleMs, error);
}

void DeleteSplash() {
  Splash().window.reset();
}

void RefreshSplash() {
  if (!SplashShown()) return;
  DeleteSplash();
  CreateSplash();
}

bool SplashShown() {
  return Splash().window != nullptr;
}

const std::string& SplashFileName() {
  return Splash().file_name;
}

void SplashPosition(int32_t& x, int32_t& y) {
  x = 0;
  y = 0;
  if (Splash().window) Splash().window->Position(x, y);
}

void ResetSplashForTests() {
  TSplashState& state = Splash();
  state.window.reset();
  state.variant = -1;
  state.file_name.clear();
}
