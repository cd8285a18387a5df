#include "host/platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

void WriteToStderr(const std::string& caption, const std::string& text) {
  std::string out;
  out.reserve(caption.size() + text.size() + 2);
  out += caption;
  out += '\n';
  out += text;
  out += '\n';
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

Uint32 SdlFlags(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Error:
      return SDL_MESSAGEBOX_ERROR;
    case BoxIcon::Warning:
      return SDL_MESSAGEBOX_WARNING;
    case BoxIcon::Information:
      break;
  }
  return SDL_MESSAGEBOX_INFORMATION;
}

}  // namespace

bool DialogsEnabled() {
  const char* no_dialogs = std::getenv("ZOK_NO_DIALOGS");
  if (no_dialogs != nullptr && std::strcmp(no_dialogs, "1") == 0) return false;
  return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY");
}

void ShowMessageBox(BoxIcon icon, const std::string& caption, const std::string& raw_text) {
  // The engine's texts break lines with "\n\r"; boxes and terminals want "\n".
  std::string text;
  for (char c : raw_text) {
    if (c != '\r') text.push_back(c);
  }
  if (DialogsEnabled() &&
      SDL_ShowSimpleMessageBox(SdlFlags(icon), caption.c_str(), text.c_str(), nullptr) == 0) {
    return;
  }
  // No display, dialogs switched off, or SDL could not show the box.
  WriteToStderr(caption, text);
}

void Beep() {
  if (!DialogsEnabled()) return;
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

}  // namespace platform
