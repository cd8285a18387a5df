// TDynaArray: the one-dimensional members of the family (TAOS, TAOI, TAOO,
// ...), one template over the element traits and the class name.
#pragma once

#include <cstdint>
#include <utility>

#include "shared/dyna/dyna_store.h"

template <class Traits, TClassName Name>
class TDynaArray : public TDynaStore<Traits> {
  using Store = TDynaStore<Traits>;

 public:
  using Element = typename Store::Element;
  using Store::HighIndex;
  using Store::Increment;
  using Store::Length;

  const char* ClassName() const override { return Name.Text; }

  // No bounds checks: callers keep 0 <= i < Length (asserted in Debug).
  const Element& GetItem(int32_t i) const { return this->Slot(i); }
  // Replacing a string releases the old one; replacing an object neither
  // frees the old object nor takes ownership beyond the Owns rule.
  void SetItem(int32_t i, Element x) { this->Slot(i) = std::move(x); }
  Element& operator[](int32_t i) { return this->Slot(i); }
  const Element& operator[](int32_t i) const { return this->Slot(i); }

  // Callers only use these on a non-empty container.
  const Element& Last() const { return this->Slot(Length - 1); }
  void SetLast(Element x) { this->Slot(Length - 1) = std::move(x); }

  // Increment, then SetLast(x); returns the new HighIndex. x is taken by
  // value, so adding an element of the same container is safe.
  ZOK_DYNA_MODULE_VIRTUAL int32_t Add(Element x) {
    Increment();
    SetLast(std::move(x));
    return HighIndex();
  }

#ifdef ZOK_MODULE_BUILD
  // One-step cursor; neither checks bounds. Elements are copied out.
  Element First() {
    this->Cursor = 1;
    return this->Slot(0);
  }
  Element Next() {
    return this->Slot(this->Cursor++);
  }
#endif
};

// An array of references to objects of T (TObject or a descendant), with
// the Owns flag. Give a member its own class name as the second argument,
// e.g. TObjectArray<TIniFile, "TAoIni">.
template <class T, TClassName Name = "TObjectArray">
using TObjectArray = TDynaArray<TObjectTraits<T>, Name>;
