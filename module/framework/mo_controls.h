// The controls a menu is built from: a skeleton whose operations do
// nothing until a concrete control derives. The module registers none of
// them; a module that saves menus with controls registers those it uses.
#pragma once

#include <cstdint>
#include <vector>

#include "module/persistence/persistence_types.h"
#include "module/persistence/truly_persistent.h"

class TControl : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TControl, TTrulyPersistent)
 public:
  TControl() : f_left(0), f_top(0), f_width(0), f_height(0), f_DiminishingFactor(0) {}
  // The value constructors of the controls take what a concrete control
  // may want to keep; these classes keep none of it, like SetBounds.
  TControl(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) : TControl() {}
  void RegisterFields() override;

  virtual void SetBounds(int32_t, int32_t, int32_t, int32_t) {}
  virtual void Arrange() {}
  virtual void Refresh() {}
  virtual int32_t ChildCount() const { return 0; }
  virtual TControl* GetChild(int32_t) const { return nullptr; }
  virtual void Cycle() {}
  virtual void Render() {}
  virtual void MouseMove(int32_t, int32_t) {}
  virtual void Press(int32_t) {}
  virtual void Release(int32_t) {}

  int32_t f_left;
  int32_t f_top;
  int32_t f_width;
  int32_t f_height;
  int32_t f_DiminishingFactor;
};

// A control with children. It frees its list, never the children: whoever
// builds a control tree frees it.
class TAbstractMotherHenControl : public TControl {
  ZOK_PERSISTENT_CLASS(TAbstractMotherHenControl, TControl)
 public:
  TAbstractMotherHenControl() : Child(nullptr) {}
  TAbstractMotherHenControl(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)
      : TAbstractMotherHenControl() {}
  ~TAbstractMotherHenControl() override { delete Child; }
  void RegisterFields() override;

  int32_t ChildCount() const override { return Child != nullptr ? Child->Length : 0; }
  TControl* GetChild(int32_t i) const override;
  // Appends child, creating the list on first use.
  void AddChild(TControl* child);

  TArrayOfTrulyPersistent* Child;
};

class TVerticalTable : public TAbstractMotherHenControl {
  ZOK_PERSISTENT_CLASS(TVerticalTable, TAbstractMotherHenControl)
 public:
  TVerticalTable() : f_padding(0), f_BorderWidth(0), f_CellSize(nullptr) {}
  TVerticalTable(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) : TVerticalTable() {}
  TVerticalTable(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                 const std::vector<int32_t>&, const std::vector<int32_t>&)
      : TVerticalTable() {}
  ~TVerticalTable() override { delete f_CellSize; }
  void RegisterFields() override;

  int32_t f_padding;
  int32_t f_BorderWidth;
  TAOI* f_CellSize;  // one size per cell
};

class THorizontalTable : public TVerticalTable {
  ZOK_PERSISTENT_CLASS(THorizontalTable, TVerticalTable)
 public:
  THorizontalTable() = default;
  THorizontalTable(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f)
      : TVerticalTable(a, b, c, d, e, f) {}
  THorizontalTable(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, int32_t g,
                   int32_t h, const std::vector<int32_t>& first, const std::vector<int32_t>& second)
      : TVerticalTable(a, b, c, d, e, f, g, h, first, second) {}
};
