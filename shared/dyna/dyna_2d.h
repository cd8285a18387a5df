// TDyna2D: the two-dimensional members of the family (T2DAOS, T2DAOI, ...),
// one template over the row class and the class name. Element (i, j) is
// element j of row i; the rows are created and owned by the container.
#pragma once

#include <cstdint>

#include "shared/dyna/dyna_store.h"

template <class RowClass, TClassName Name>
class TDyna2D : public TDynaStore<TRowTraits<RowClass>> {
 public:
  using TDyna::Length;
  using TDyna::Resize;

  const char* ClassName() const override { return Name.Text; }

  // Resize(a) creates or frees rows, then every row gets b elements.
  // Existing rows are kept.
  void SetRect(int32_t a, int32_t b) override {
    Resize(a);
    for (int32_t i = 0; i < Length; ++i) Row(i)->Resize(b);
  }

  // No bounds checks: callers keep 0 <= i < Length (asserted in Debug).
  RowClass* Row(int32_t i) const { return this->Slot(i); }
  // Stores the reference like SetItem: the container owns (and will free)
  // the new row; the old row is not freed here and stays the caller's.
  void SetRow(int32_t i, RowClass* row) { this->Slot(i) = row; }
  RowClass* LastRow() const { return this->Slot(Length - 1); }
  void SetLastRow(RowClass* row) { this->Slot(Length - 1) = row; }
};
