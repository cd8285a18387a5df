#include "module/framework/mo_menu.h"

#include "module/runtime/mo_module.h"
#include "module/runtime/module_report.h"

TMenu::TMenu(TControl& root)
    : HigherLevelMenu(nullptr), Control(new TArrayOfTrulyPersistent()), ActiveControl(0) {
  AddWithDescendants(root);
}

TMenu::~TMenu() {
  TModule* module = ModuleObject();
  if (module != nullptr && module->Menu == this) module->Menu = HigherLevelMenu;
  delete Control;
}

void TMenu::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegField("HigherLevelMenu", HigherLevelMenu);
  RegField("Control", Control, zt::TArrayOfTrulyPersistent);
  RegField("ActiveControl", ActiveControl, zt::LongInt);
}

void TMenu::AddWithDescendants(TControl& control) {
  Control->Add(&control);
  for (int32_t i = 0; i < control.ChildCount(); ++i) AddWithDescendants(*control.GetChild(i));
}

template <class Operation>
void TMenu::ForEachControl(Operation operation) {
  if (Control == nullptr) return;
  for (int32_t i = 0; i < Control->Length; ++i) {
    auto* control = dynamic_cast<TControl*>((*Control)[i]);
    if (control == nullptr) {
      ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA, {u"An element of a menu is not a control."});
    }
    operation(*control);
  }
}

void TMenu::Cycle() {
  ForEachControl([](TControl& control) { control.Cycle(); });
}

void TMenu::Render() {
  ForEachControl([](TControl& control) { control.Render(); });
}

void TMenu::MouseMove(int32_t x, int32_t y) {
  ForEachControl([x, y](TControl& control) { control.MouseMove(x, y); });
}

void TMenu::Press(int32_t key) {
  ForEachControl([key](TControl& control) { control.Press(key); });
}

void TMenu::Release(int32_t key) {
  ForEachControl([key](TControl& control) { control.Release(key); });
}
