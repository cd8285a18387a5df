// The host's window: its events go to the module manager.
#pragma once

#include "host/display/cl_window.h"

class TZOKWindow : public TCLWindow {
 public:
  const char* ClassName() const override { return "TZOKWindow"; }
  // The textures the host registered die with the window's context.
  void Destroy() override;

  void OnGetFocus() override {}
  void OnLoseFocus() override {}
  void OnMouseMove() override;
  void OnResize() override;
  void OnPress(int32_t key) override;
  void OnRelease(int32_t key) override;
  void OnType(char16_t character) override;
  void OnCreate() override {}
  void OnDestroy() override {}
  // One frame: the module draws, or the host draws its fallback screen.
  void OnCycle() override;
};
