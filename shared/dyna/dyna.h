// TDyna: the common base of the dynamic-array family. It holds
// the length and the resize protocol; the members (dyna_1d.h, dyna_2d.h,
// named in dyna_types.h) supply the storage through Reallocate.
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>

#include "shared/zok_object.h"

// Add is virtual only in the module build.
#ifdef ZOK_MODULE_BUILD
#define ZOK_DYNA_MODULE_VIRTUAL virtual
#else
#define ZOK_DYNA_MODULE_VIRTUAL
#endif

// A class name as a template argument, so that one template gives every
// member its own ClassName ("TAOS", "T2DAOI", ...) and members with equal
// element types (TAOI, TAOB) stay distinct types.
template <std::size_t N>
struct TClassName {
  char Text[N];
  constexpr TClassName(const char (&text)[N]) {  // NOLINT: implicit on purpose
    for (std::size_t i = 0; i < N; ++i) Text[i] = text[i];
  }
};

class TDyna : public TObject {
 public:
  int32_t Length = 0;
  // The length being established by the resize in progress; equal to
  // Length whenever no resize is running.
  int32_t NewLength = 0;
#ifdef ZOK_MODULE_BUILD
  // The index that the next call of Next returns.
  int32_t Cursor = 0;
#endif

  TDyna() = default;
  TDyna(const TDyna&) = delete;
  TDyna& operator=(const TDyna&) = delete;
  // Destroy is Resize(0); a virtual call cannot reach the member from here,
  // so each storage-owning member calls Resize(0) in its own destructor.
  ~TDyna() override = default;

  const char* ClassName() const override {
    return "TDyna";
  }

  // Resets every element to its empty value and keeps Length.
  virtual void ClearMem() = 0;
  // Sets the shape; one-dimensional members ignore b.
  virtual void SetRect(int32_t a, int32_t b) {
    (void)b;
    Resize(a);
  }
#ifdef ZOK_MODULE_BUILD
  // Writes Length, then each element's encoding, to the basket.
  virtual void Save() = 0;
  // Reads a length and that many elements from the basket.
  virtual void Load() = 0;
#endif
  // Changes the element storage from Length to n elements. NewLength is n
  // and Length still holds the old length while it runs.
  virtual void Reallocate(int32_t n) = 0;
  // Address of element 0 for raw access, or nullptr.
  virtual void* DataPointer() = 0;

  // The only way the length changes: exactly n elements afterwards.
  void Resize(int32_t n) {
    assert(n >= 0);
    NewLength = n;
    Reallocate(n);
    Length = n;
  }
  void Increment() {
    Resize(Length + 1);
  }
  // Callers only decrement a non-empty container.
  void Decrement() {
    Resize(Length - 1);
  }
  int32_t HighIndex() const {
    return Length - 1;
  }
};
