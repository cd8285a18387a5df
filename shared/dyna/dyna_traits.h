// Element kinds of the dynamic-array family. A member differs
// from its siblings only in its traits: the element type, the fields the
// kind adds to its container, and how an element is made, cleared and
// released. Every traits struct has the same shape:
//
//   using Element = ...;            // what one slot holds
//   using Fields = ...;             // base class of the container: its extra
//                                   //   fields (Owns for objects), or none
//   static constexpr bool kRawAccess;  // DataPointer exposes element 0
//   static Element Fresh();          // a new slot on growth
//   static void Clear(Element&, const Fields&);    // ClearMem of one slot
//   static void Release(Element&, const Fields&);  // a slot dropped on shrink
//
// The module build adds the basket encoding of one element:
//   static constexpr int32_t kMinWords;  // the fewest words an element takes
//   static void Encode(const Element&);  // write its words
//   static void Decode(Element&);        // read into the slot
// and TDynaStore::Save/Load (dyna_store.h) loop over the elements with them,
// once for the whole family, two-dimensional members included.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "shared/zok_object.h"

#ifdef ZOK_MODULE_BUILD
#include "shared/dyna/dyna_basket.h"
#endif

// Fields of a kind that adds nothing to its container.
struct TNoDynaFields {};

// Fields of an object array: whether it frees the objects it drops.
struct TOwnsField {
  bool Owns = false;
};

// 8-bit (std::string) and UTF-16 (std::u16string) strings. A dropped or
// cleared string gives its memory back; new slots are empty strings.
template <class S>
struct TStringTraits {
  using Element = S;
  using Fields = TNoDynaFields;
  static constexpr bool kRawAccess = false;
  static Element Fresh() { return Element(); }
  static void Clear(Element& e, const Fields&) { Element().swap(e); }
  static void Release(Element& e, const Fields&) { Element().swap(e); }
#ifdef ZOK_MODULE_BUILD
  static constexpr int32_t kMinWords = 1;
  static void Encode(const Element& e) {
    if constexpr (sizeof(typename S::value_type) == 1) {
      DynaBasket().WriteString(e);
    } else {
      DynaBasket().WriteWideString(e);
    }
  }
  static void Decode(Element& e) {
    if constexpr (sizeof(typename S::value_type) == 1) {
      e = DynaBasket().ReadString();
    } else {
      e = DynaBasket().ReadWideString();
    }
  }
#endif
};

// Plain values: numbers, pointers, 32-bit booleans and trivially copyable
// records. New and cleared slots are zero.
template <class T>
struct TPlainTraits {
  static_assert(std::is_trivially_copyable_v<T>);
  using Element = T;
  using Fields = TNoDynaFields;
  static constexpr bool kRawAccess = true;
  static Element Fresh() { return Element{}; }
  static void Clear(Element& e, const Fields&) { e = Element{}; }
  static void Release(Element&, const Fields&) {}
#ifdef ZOK_MODULE_BUILD
  // Values and records as their bytes, whole words of them.
  static_assert(sizeof(T) % 4 == 0, "stored elements are whole words");
  static constexpr int32_t kMinWords = sizeof(T) / 4;
  static void Encode(const Element& e) {
    DynaBasket().WriteWords(&e, kMinWords);
  }
  static void Decode(Element& e) {
    DynaBasket().ReadWords(&e, kMinWords);
  }
  // Consecutive elements are consecutive words, so a run loads as a block.
  static void DecodeBlock(Element* first, int32_t count) {
    DynaBasket().ReadWords(first, count * kMinWords);
  }
#endif
};

// The 32-bit boolean: an int32_t like TAOI's, but its own kind, so that the
// type registry and the encoders can tell the two apart.
struct TBool32Traits : TPlainTraits<int32_t> {};

// References to objects of T (TObject or a class derived from it). Slots
// are nil when new; dropped and cleared objects are freed when Owns is set.
template <class T>
struct TObjectTraits {
  using Element = T*;
  using Fields = TOwnsField;
  static constexpr bool kRawAccess = true;
  static Element Fresh() { return nullptr; }
  static void Clear(Element& e, const Fields& f) { Release(e, f); }
  static void Release(Element& e, const Fields& f) {
    static_assert(std::is_base_of_v<TObject, T>, "object arrays hold TObject descendants");
    if (f.Owns && e != nullptr) delete e;
    e = nullptr;
  }
#ifdef ZOK_MODULE_BUILD
  static constexpr int32_t kMinWords = 1;
  static void Encode(const Element& e) {
    EncodeElement(e);
  }
  static void Decode(Element& e) {
    auto* object = DecodeElement(static_cast<T*>(nullptr));
    e = dynamic_cast<T*>(object);
    if (object != nullptr && e == nullptr) DynaCorrupt("An array element is of a foreign class.");
  }
#endif
};

// Rows of a two-dimensional member: always owned, created on growth,
// freed on shrink; clearing a row clears its elements and keeps it.
template <class Row>
struct TRowTraits {
  using Element = Row*;
  using Fields = TNoDynaFields;
  static constexpr bool kRawAccess = false;
  static Element Fresh() { return new Row(); }
  static void Clear(Element& e, const Fields&) { e->ClearMem(); }
  static void Release(Element& e, const Fields&) {
    delete e;
    e = nullptr;
  }
#ifdef ZOK_MODULE_BUILD
  static constexpr int32_t kMinWords = 1;
  static void Encode(const Element& e) {
    e->Save();
  }
  static void Decode(Element& e) {
    e->Load();
  }
#endif
};
