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
  void Save() override {
    DynaBasket().WriteWord(static_cast<uint32_t>(Length));
    for (int32_t i = 0; i < Length; ++i) Traits::Encode(data_[i]);
  }
  // Rows load as their own Load, so a two-dimensional member reads its row
  // count and then each row. Where the basket cannot tell the data left,
  // the storage grows with the elements that really arrive, so a damaged
  // length fails at the end of the data before it can ask for a huge
  // block; where it can, the length was checked against it already.
  void Load() override {
    const int32_t n = ReadStoredLength(Traits::kMinWords);
    constexpr int32_t kFirstStep = 4096;
    Resize(DynaBasket().WordsLeft() >= 0 ? n : std::min(n, kFirstStep));
    for (int32_t i = 0; i < n;) {
      if (i == Length) Resize(static_cast<int32_t>(std::min<int64_t>(n, int64_t{Length} * 2)));
      if constexpr (requires { Traits::DecodeBlock(data_.get(), Length); }) {
        Traits::DecodeBlock(data_.get() + i, Length - i);
        i = Length;
      } else {
        Traits::Decode(data_[i++]);
      }
    }
  }
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
