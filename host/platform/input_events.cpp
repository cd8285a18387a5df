#include "host/platform/input_events.h"

#include <SDL.h>

#include <cmath>
#include <unordered_map>

namespace platform {
namespace {

const std::unordered_map<int32_t, int32_t>& ScanCodeTable() {
  static const std::unordered_map<int32_t, int32_t> table = {
      {SDL_SCANCODE_ESCAPE, 1},
      {SDL_SCANCODE_1, 2},
      {SDL_SCANCODE_2, 3},
      {SDL_SCANCODE_3, 4},
      {SDL_SCANCODE_4, 5},
      {SDL_SCANCODE_5, 6},
      {SDL_SCANCODE_6, 7},
      {SDL_SCANCODE_7, 8},
      {SDL_SCANCODE_8, 9},
      {SDL_SCANCODE_9, 10},
      {SDL_SCANCODE_0, 11},
      {SDL_SCANCODE_MINUS, 12},
      {SDL_SCANCODE_EQUALS, 13},
      {SDL_SCANCODE_BACKSPACE, 14},
      {SDL_SCANCODE_TAB, 15},
      {SDL_SCANCODE_Q, 16},
      {SDL_SCANCODE_W, 17},
      {SDL_SCANCODE_E, 18},
      {SDL_SCANCODE_R, 19},
      {SDL_SCANCODE_T, 20},
      {SDL_SCANCODE_Y, 21},
      {SDL_SCANCODE_U, 22},
      {SDL_SCANCODE_I, 23},
      {SDL_SCANCODE_O, 24},
      {SDL_SCANCODE_P, 25},
      {SDL_SCANCODE_LEFTBRACKET, 26},
      {SDL_SCANCODE_RIGHTBRACKET, 27},
      {SDL_SCANCODE_RETURN, 28},
      {SDL_SCANCODE_LCTRL, 29},
      {SDL_SCANCODE_A, 30},
      {SDL_SCANCODE_S, 31},
      {SDL_SCANCODE_D, 32},
      {SDL_SCANCODE_F, 33},
      {SDL_SCANCODE_G, 34},
      {SDL_SCANCODE_H, 35},
      {SDL_SCANCODE_J, 36},
      {SDL_SCANCODE_K, 37},
      {SDL_SCANCODE_L, 38},
      {SDL_SCANCODE_SEMICOLON, 39},
      {SDL_SCANCODE_APOSTROPHE, 40},
      {SDL_SCANCODE_GRAVE, 41},
      {SDL_SCANCODE_LSHIFT, 42},
      {SDL_SCANCODE_BACKSLASH, 43},
      {SDL_SCANCODE_Z, 44},
      {SDL_SCANCODE_X, 45},
      {SDL_SCANCODE_C, 46},
      {SDL_SCANCODE_V, 47},
      {SDL_SCANCODE_B, 48},
      {SDL_SCANCODE_N, 49},
      {SDL_SCANCODE_M, 50},
      {SDL_SCANCODE_COMMA, 51},
      {SDL_SCANCODE_PERIOD, 52},
      {SDL_SCANCODE_SLASH, 53},
      {SDL_SCANCODE_RSHIFT, 54},
      {SDL_SCANCODE_KP_MULTIPLY, 55},
      {SDL_SCANCODE_LALT, 56},
      {SDL_SCANCODE_SPACE, 57},
      {SDL_SCANCODE_CAPSLOCK, 58},
      {SDL_SCANCODE_F1, 59},
      {SDL_SCANCODE_F2, 60},
      {SDL_SCANCODE_F3, 61},
      {SDL_SCANCODE_F4, 62},
      {SDL_SCANCODE_F5, 63},
      {SDL_SCANCODE_F6, 64},
      {SDL_SCANCODE_F7, 65},
      {SDL_SCANCODE_F8, 66},
      {SDL_SCANCODE_F9, 67},
      {SDL_SCANCODE_F10, 68},
      {SDL_SCANCODE_NUMLOCKCLEAR, 69},
      {SDL_SCANCODE_SCROLLLOCK, 70},
      {SDL_SCANCODE_KP_7, 71},
      {SDL_SCANCODE_KP_8, 72},
      {SDL_SCANCODE_KP_9, 73},
      {SDL_SCANCODE_KP_MINUS, 74},
      {SDL_SCANCODE_KP_4, 75},
      {SDL_SCANCODE_KP_5, 76},
      {SDL_SCANCODE_KP_6, 77},
      {SDL_SCANCODE_KP_PLUS, 78},
      {SDL_SCANCODE_KP_1, 79},
      {SDL_SCANCODE_KP_2, 80},
      {SDL_SCANCODE_KP_3, 81},
      {SDL_SCANCODE_KP_0, 82},
      {SDL_SCANCODE_KP_PERIOD, 83},
      {SDL_SCANCODE_NONUSBACKSLASH, 86},
      {SDL_SCANCODE_F11, 87},
      {SDL_SCANCODE_F12, 88},
      // Extended keys share the codes of their keypad twins.
      {SDL_SCANCODE_KP_ENTER, 28},
      {SDL_SCANCODE_RCTRL, 29},
      {SDL_SCANCODE_KP_DIVIDE, 53},
      {SDL_SCANCODE_PRINTSCREEN, 55},
      {SDL_SCANCODE_RALT, 56},
      {SDL_SCANCODE_HOME, 71},
      {SDL_SCANCODE_UP, 72},
      {SDL_SCANCODE_PAGEUP, 73},
      {SDL_SCANCODE_LEFT, 75},
      {SDL_SCANCODE_RIGHT, 77},
      {SDL_SCANCODE_END, 79},
      {SDL_SCANCODE_DOWN, 80},
      {SDL_SCANCODE_PAGEDOWN, 81},
      {SDL_SCANCODE_INSERT, 82},
      {SDL_SCANCODE_DELETE, 83},
      {SDL_SCANCODE_LGUI, 91},
      {SDL_SCANCODE_RGUI, 92},
      {SDL_SCANCODE_APPLICATION, 93},
  };
  return table;
}

// Keys the system keeps for itself: Alt, anything held with Alt, and F10,
// the menu key of desktop windows.
bool IsSystemKey(const SDL_KeyboardEvent& key) {
  const SDL_Scancode code = key.keysym.scancode;
  return (key.keysym.mod & KMOD_ALT) != 0 || code == SDL_SCANCODE_LALT ||
         code == SDL_SCANCODE_RALT || code == SDL_SCANCODE_F10;
}

int32_t ButtonCode(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return -1;
    case SDL_BUTTON_RIGHT:
      return -2;
    case SDL_BUTTON_MIDDLE:
      return -3;
  }
  return 0;
}

bool Translate(const SDL_Event& sdl, InputEvent& event) {
  event = InputEvent{};
  switch (sdl.type) {
    case SDL_QUIT:
      event.kind = InputEventKind::CloseRequest;
      return true;
    case SDL_WINDOWEVENT:
      switch (sdl.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          event.kind = InputEventKind::CloseRequest;
          return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          event.kind = InputEventKind::Resized;
          event.x = sdl.window.data1;
          event.y = sdl.window.data2;
          return event.x > 0 && event.y > 0;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          event.kind = InputEventKind::FocusGained;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          event.kind = InputEventKind::FocusLost;
          return true;
      }
      return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (sdl.key.repeat != 0 || IsSystemKey(sdl.key)) return false;
      event.code = SetOneScanCode(sdl.key.keysym.scancode);
      event.kind = sdl.type == SDL_KEYDOWN ? InputEventKind::KeyDown : InputEventKind::KeyUp;
      return event.code != 0;
    case SDL_MOUSEMOTION:
      event.kind = InputEventKind::MouseMove;
      event.x = sdl.motion.x;
      event.y = sdl.motion.y;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      event.code = ButtonCode(sdl.button.button);
      event.kind =
          sdl.type == SDL_MOUSEBUTTONDOWN ? InputEventKind::ButtonDown : InputEventKind::ButtonUp;
      return event.code != 0;
    case SDL_MOUSEWHEEL: {
      float notches = sdl.wheel.preciseY;
      if (sdl.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      event.kind = InputEventKind::Wheel;
      event.wheel_units = static_cast<int32_t>(std::lround(notches * 120.0f));
      return true;
    }
  }
  return false;
}

}  // namespace

int32_t SetOneScanCode(int32_t sdl_scancode) {
  const auto& table = ScanCodeTable();
  const auto found = table.find(sdl_scancode);
  return found == table.end() ? 0 : found->second;
}

bool PollInputEvent(InputEvent& event) {
  SDL_Event sdl;
  while (SDL_PollEvent(&sdl) != 0) {
    if (Translate(sdl, event)) return true;
  }
  return false;
}

}  // namespace platform
