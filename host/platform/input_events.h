// The window system's events, reduced to what the host's loop needs.
// Keys come as PC set-1 scan codes; extended keys lose their E0 prefix.
#pragma once

#include <cstdint>

namespace platform {

enum class InputEventKind {
  CloseRequest,  // the window's close button, Alt+F4, or the session ending
  Resized,       // client area changed size (never reported for a minimize)
  FocusGained,
  FocusLost,
  KeyDown,  // first press only: auto-repeats are dropped here
  KeyUp,
  MouseMove,
  ButtonDown,  // code -1 left, -2 right, -3 middle
  ButtonUp,
  Wheel,  // units: 120 a notch, positive forwards
  Other,
};

struct InputEvent {
  InputEventKind kind = InputEventKind::Other;
  int32_t code = 0;  // key or button
  int32_t x = 0;     // mouse position, or the new width
  int32_t y = 0;     // mouse position, or the new height
  int32_t wheel_units = 0;
};

// Takes the next waiting event without waiting; false when there is none.
bool PollInputEvent(InputEvent& event);

// The set-1 scan code of an SDL scancode; 0 for keys the engine ignores.
int32_t SetOneScanCode(int32_t sdl_scancode);

}  // namespace platform
