// TMenu: a list of controls, the root first and then its descendants depth
// first, to which the module object forwards frames and input while the
// menu is active. The menu does not own its controls.
#pragma once

#include <cstdint>

#include "module/framework/mo_controls.h"
#include "module/persistence/persistence_types.h"
#include "module/persistence/truly_persistent.h"

class TMenu : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TMenu, TTrulyPersistent)
 public:
  explicit TMenu(TControl& root);
  // The module object's active menu falls back to HigherLevelMenu, or to
  // none, so that it never points at a destroyed menu.
  ~TMenu() override;
  void RegisterFields() override;

  virtual void Cycle();
  virtual void Render();
  virtual void MouseMove(int32_t x, int32_t y);
  virtual void Press(int32_t key);
  virtual void Release(int32_t key);

  TMenu* HigherLevelMenu;
  TArrayOfTrulyPersistent* Control;  // does not own the controls
  int32_t ActiveControl;

 private:
  void AddWithDescendants(TControl& control);
  template <class Operation>
  void ForEachControl(Operation operation);
};
