// Video modes: the lists, full screen and the way back to the desktop.
#include <algorithm>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/display/cl_window.h"
#include "host/display/splash.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/platform/clock.h"
#include "host/platform/shell.h"
#include "host/platform/video_display.h"
#include "shared/text_codes.h"

void TCLWindow::EnumerateVideoModes() {
  std::string error;
  if (platform::InitVideo(error)) {
    // A mode the system lists is one it can switch to.
    for (const platform::DisplayMode& mode : platform::ListDisplayModes()) {
      if (mode.width < 512 || mode.height < 512) continue;
      AddVideoMode(mode.bits_per_pixel, mode.width, mode.height, mode.refresh_rate);
      if (mode.bits_per_pixel == 24) {
        AddVideoMode(32, mode.width, mode.height, mode.refresh_rate);
      }
    }
  }
  video_modes_.SortAll();
}

void TCLWindow::AddVideoMode(int32_t bits, int32_t w, int32_t h, int32_t rate) {
  video_modes_.AddVideoMode(bits, w, h, rate);
}

int32_t TCLWindow::VideoModeCount() const {
  return video_modes_.List(sixteen_bit ? 16 : 32).Count();
}
int32_t TCLWindow::VideoModeWidth(int32_t i) const {
  return video_modes_.List(sixteen_bit ? 16 : 32).Width(i);
}
int32_t TCLWindow::VideoModeHeight(int32_t i) const {
  return video_modes_.List(sixteen_bit ? 16 : 32).Height(i);
}
int32_t TCLWindow::FindVideoMode(int32_t w, int32_t h) const {
  return video_modes_.List(sixteen_bit ? 16 : 32).Find(w, h);
}
int32_t TCLWindow::BestRefreshRate(int32_t i) const {
  return video_modes_.List(sixteen_bit ? 16 : 32).BestRate(i);
}

int32_t TCLWindow::CurrentRefreshRate() const {
  return platform::CurrentDisplayMode().refresh_rate;
}

bool TCLWindow::GoFullscreen(int32_t w, int32_t h) {
  const int32_t best = BestRefreshRate(FindVideoMode(w, h));
  const int32_t configured =
      g_config->ReadInt("monitor", "refresh_" + std::to_string(w) + "x" + std::to_string(h));
  int32_t rate = best;
  if (configured != 0) {
    const std::string value = std::to_string(configured);
    const std::string optimal = std::to_string(best);
    AddLog(ChooseLiteral(
        WideToCp1251(u"Частота обновления принудительно установлена файлом конфигурации в ") +
            value + WideToCp1251(u" Герц, хотя оптимальная определена как ") + optimal +
            WideToCp1251(u" Герц."),
        "Refresh rate overridden by configuration file, and set to " + value +
            " Hertz, although the optimal rate is " + optimal + " Hertz."));
    rate = configured;
  }
  mode_changed = SwitchVideoMode(w, h, rate);
  return mode_changed;
}

bool TCLWindow::SwitchVideoMode(int32_t w, int32_t h, int32_t rate) {
  if (!skip_switch) {
    AddLog(ChooseLiteral(WideToCp1251(u"Переключение в видеорежим "), "Switching to video mode ") +
           std::to_string(w) + "x" + std::to_string(h) + "...");
  }
  const std::string show_desktop = g_config->ReadString("main", "showdesktop");
  if (!show_desktop.empty() && !platform::OpenWithShell(show_desktop)) {
    VerboseLog("Attempt to launch show_desktop.scf failed.");
  }
  platform::SleepMs(
      static_cast<uint32_t>(std::max(0, g_config->ReadInt("video", "pauseatmodeswitch"))));
  // A mode switch can hide or misplace the splash.
  RefreshSplash();

  platform::DisplayMode request;
  request.width = w;
  request.height = h;
  request.refresh_rate = rate > 0 ? rate : 0;
  request.bits_per_pixel = sixteen_bit ? 16 : (video_modes_.List(24).Find(w, h) >= 0 ? 24 : 32);

  if (!surface_) {
    // Before the window exists the switch happens when it is shown; the
    // rate chosen now is the one it will ask for.
    fullscreen = true;
    saved_fullscreen_width = w;
    saved_fullscreen_height = h;
    refresh_rate = request.refresh_rate;
    return true;
  }

  std::string error;
  if (!surface_->EnterFullscreen(request, error)) {
    VerboseLog("The system refused the video mode: " + error);
    mode_changed = true;
    RestoreDefaultVideoMode();
    return false;
  }
  mode_changed = true;
  platform::SleepMs(100);
  const int32_t current_rate = CurrentRefreshRate();
  if (rate != 0 && current_rate != rate) {
    VerboseLog(
        "Windows tried to dupe us and reported a successfull video mode swithch, but refused to "
        "set the requested display refresh rate. Requested = " +
        std::to_string(rate) + " Hertz, actual = " + std::to_string(current_rate) + " Hertz.");
  }
  refresh_rate = current_rate;

  // Only the full requested size counts as a switch.
  const platform::DisplayMode screen = platform::CurrentDisplayMode();
  if (screen.width != w || screen.height != h) {
    VerboseLog(
        "Windows tried to dupe us and reported a successfull video mode swithch, when in fact it "
        "failed! Current mode is " +
        std::to_string(screen.width) + "x" + std::to_string(screen.height));
    skip_switch = false;
    if (rate != 0) return SwitchVideoMode(w, h, 0);
    RestoreDefaultVideoMode();
    return false;
  }

  width = w;
  height = h;
  ClearKeyTable();
  saved_fullscreen_width = w;
  saved_fullscreen_height = h;
  fullscreen = true;
  g_config->WriteInt("video", "width", w);
  g_config->WriteInt("video", "height", h);
  g_config->WriteBool("video", "fullscreen", true);
  g_config->WriteBool("video", "16_bit", sixteen_bit);
  surface_->Raise();
  OnResize();

  if (!skip_switch) {
    if (refresh_rate != 0) {
      AddLogContinue("Ok, " + std::to_string(refresh_rate) + "Hz");
    } else {
      AddLogSuccess();
    }
  }
  skip_switch = false;
  RefreshSplash();
  if (opengl_initialized) CheckDepthBuffer();
  return true;
}

void TCLWindow::RestoreDefaultVideoMode() {
  if (!mode_changed) return;
  const bool was_fullscreen = fullscreen;
  fullscreen = false;
  if (surface_) {
    surface_->LeaveFullscreen();
    surface_->Show();
    surface_->Restore();
    if (was_fullscreen) ClearKeyTable();
    surface_->Raise();
  }
  mode_changed = false;
  VerboseLog("Switched to default video mode.");
  g_config->WriteBool("video", "fullscreen", false);
  if (opengl_initialized) CheckDepthBuffer();
}
