#include "module/framework/mo_controls.h"

#include "module/runtime/module_report.h"

void TControl::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegField("f_left", f_left, zt::LongInt);
  RegField("f_top", f_top, zt::LongInt);
  RegField("f_width", f_width, zt::LongInt);
  RegField("f_height", f_height, zt::LongInt);
  RegField("f_DiminishingFactor", f_DiminishingFactor, zt::LongInt);
}

void TAbstractMotherHenControl::RegisterFields() {
  TControl::RegisterFields();
  RegField("Child", Child, zt::TArrayOfTrulyPersistent);
}

TControl* TAbstractMotherHenControl::GetChild(int32_t i) const {
  auto* child = dynamic_cast<TControl*>((*Child)[i]);
  if (child == nullptr) {
    ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA, {u"A child of a control is not a control."});
  }
  return child;
}

void TAbstractMotherHenControl::AddChild(TControl* child) {
  if (Child == nullptr) Child = new TArrayOfTrulyPersistent();
  Child->Add(child);
}

void TVerticalTable::RegisterFields() {
  TAbstractMotherHenControl::RegisterFields();
  RegField("f_padding", f_padding, zt::LongInt);
  RegField("f_BorderWidth", f_BorderWidth, zt::LongInt);
  RegField("f_CellSize", f_CellSize, zt::TAOI);
}
