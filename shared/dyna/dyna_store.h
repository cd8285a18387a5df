// TDynaStore: the element storage that every member of the family shares,
// written once over an element-traits struct (dyna_traits.h). It keeps a
// heap block of exactly Length elements: every resize reallocates to the
// exact new length, with no growth reserve.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "shared/dyna/dyna.h"
#include "shared/dyna/dyna_traits.h"

template <class Traits>
class TDynaStore : public TDyna, public Traits::Fields {
 public:
  using Element = typename Traits::Element;

  TDynaStore() = default;
  ~TDynaStore() override { Resize(0); }

  void ClearMem() override {
    for (int32_t i = 0; i < Length; ++i) Traits::Clear(data_[i], *this);
  }

  void Reallocate(int32_t n) override {
    const int32_t old_length = Length;
    for (int32_t i = n; i < old_length; ++i) Traits::Release(data_[i], *this);
    std::unique_ptr<Element[]> block;
    if (n > 0) {
      block = std::make_unique<Element[]>(n);
      const int32_t kept = std::min(old_length, n);
      std::move(data_.get(), data_.get() + kept, block.get());
      for (int32_t i = kept; i < n; ++i) block[i] = Traits::Fresh();
    }
    data_ = std::move(block);
  }

  void* DataPointer() override {
    if constexpr (Traits::kRawAccess) {
      return Length > 0 ? static_cast<void*>(data_.get()) : nullptr;
    } else {
      return nullptr;
    }
  }

#ifdef ZOK_MODULE_BUILD
  // The persistence change implements the family's Save and Load here:
  //   void Save() override {
  //     WriteWord(Length);
  //     for (i < Length) Traits::Encode(data_[i], *this);
  //   }
  //   void Load() override {
  //     Resize(ReadWord());  // creates fresh rows for two-dimensional members
  //     for (i < Length) Traits::Decode(data_[i], *this);
  //   }
  // Rows encode as their own Save, so a two-dimensional member writes its
  // row count and then each row, as stored baskets expect.
#endif

 protected:
  Element& Slot(int32_t i) {
    assert(i >= 0 && i < Length);
    return data_[i];
  }
  const Element& Slot(int32_t i) const {
    assert(i >= 0 && i < Length);
    return data_[i];
  }

 private:
  std::unique_ptr<Element[]> data_;
};
