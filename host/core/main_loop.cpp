#include "host/core/main_loop.h"

#include "host/core/quit_request.h"
#include "host/display/cl_window.h"
#include "host/platform/clock.h"
#include "host/platform/input_events.h"
#include "shared/zok_protocol.h"

namespace {

void HandleEvent(TCLWindow& window, const platform::InputEvent& event) {
  using Kind = platform::InputEventKind;
  switch (event.kind) {
    case Kind::CloseRequest:
      RequestQuit();
      break;
    case Kind::Resized:
      window.width = event.x;
      window.height = event.y;
      window.OnResize();
      break;
    case Kind::FocusGained:
      g_application_active = true;
      break;
    case Kind::FocusLost:
      g_application_active = false;
      break;
    case Kind::KeyDown:
      // A key held down gives one press.
      if (!window.IsKeyDown(event.code)) {
        window.SetKeyDown(event.code, true);
        window.OnPress(event.code);
      }
      break;
    case Kind::KeyUp:
      // A key pressed before the window had the focus gives no release.
      if (window.IsKeyDown(event.code)) {
        window.SetKeyDown(event.code, false);
        window.OnRelease(event.code);
      }
      break;
    case Kind::MouseMove:
      if (event.x != window.mouse_x || event.y != window.mouse_y) {
        window.mouse_x = event.x;
        window.mouse_y = event.y;
        window.OnMouseMove();
      }
      break;
    case Kind::ButtonDown:
      window.SetKeyDown(event.code, true);
      window.OnPress(event.code);
      break;
    case Kind::ButtonUp:
      window.SetKeyDown(event.code, false);
      window.OnRelease(event.code);
      break;
    case Kind::Wheel: {
      const int notches = WheelNotches(event.wheel_units);
      for (int i = 0; i < notches; ++i) window.OnPress(keys::kWheelForward);
      for (int i = 0; i < -notches; ++i) window.OnPress(keys::kWheelBackward);
      break;
    }
    case Kind::Other:
      break;
  }
}

void FollowFocusChange(TCLWindow& window, bool active) {
  if (active == window.previous_active) return;
  if (active) {
    if (window.fullscreen_suspended) {
      window.SwitchVideoMode(window.saved_fullscreen_width, window.saved_fullscreen_height,
                             window.refresh_rate);
      window.fullscreen_suspended = false;
      window.OnResize();
    } else if (window.Surface()) {
      window.Surface()->Restore();
    }
    window.OnGetFocus();
  } else {
    window.OnLoseFocus();
    if (window.fullscreen) {
      window.fullscreen_suspended = true;
      window.RestoreDefaultVideoMode();
      if (window.Surface()) window.Surface()->Minimize();
    }
  }
  window.previous_active = active;
}

}  // namespace

int WheelNotches(int units) {
  return units / 120;
}

void MainLoop(TCLWindow& window) {
  for (;;) {
    if (!window.WindowExists()) {
      window.window_created = false;
      return;
    }
    platform::GLWindow& surface = *window.Surface();
    const bool active = g_application_active && surface.HasInputFocus();
    window.active = active;

    if (active && !window.fullscreen) {
      int32_t w = 0;
      int32_t h = 0;
      surface.ClientSize(w, h);
      if ((w != window.width || h != window.height) && w > 0 && h > 0) {
        window.width = w;
        window.height = h;
        window.OnResize();
      }
    }

    platform::InputEvent event;
    while (platform::PollInputEvent(event)) HandleEvent(window, event);

    window.OnCycle();
    FollowFocusChange(window, active);
    if (!active) platform::SleepMs(150);
    if (QuitRequested()) return;
  }
}
