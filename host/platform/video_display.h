// The display and its video modes, over SDL's video subsystem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct DisplayMode {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits_per_pixel = 0;
  int32_t refresh_rate = 0;  // Hz, 0 when the system reports none
};

// Starts SDL's video subsystem (idempotent); false with the reason.
bool InitVideo(std::string& error);
void QuitVideo();
bool VideoInitialized();

// Every mode the first display lists; a listed mode can be switched to.
std::vector<DisplayMode> ListDisplayModes();
// The mode the display shows now, and the desktop's own mode.
DisplayMode CurrentDisplayMode();
DisplayMode DesktopDisplayMode();

}  // namespace platform
