// TTrulyPersistent: the base of every module object stored in a basket.
// Each class describes its fields in RegisterFields, registered once at
// start-up; a class declares itself with ZOK_PERSISTENT_CLASS:
//
//   class TShip : public TTrulyPersistent {
//     ZOK_PERSISTENT_CLASS(TShip, TTrulyPersistent)
//    public:
//     TShip() = default;  // the macro's blank constructor hides the implicit one
//     void RegisterFields() override {
//       RegClass<TCrew>();               // classes first,
//       TTrulyPersistent::RegisterFields();  // then the parent's fields,
//       RegField("f_speed", f_speed, zt::Single);  // then its own, in memory order
//       RegField("f_crew", f_crew);
//     }
//     float f_speed;
//     TCrew* f_crew;
//   };
//
// Registered fields get no default member initialisers: the reader creates
// objects blank (see TBlank) and fills only what the basket holds.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>

#include "module/persistence/persistence_types.h"
#include "shared/zok_object.h"

// Selects the blank constructor: it sets up the object's class (the
// vtable) and constructs string members empty, and nothing else. The reader
// then zeroes every registered plain field (CreateBlankObject), so an object read
// from a basket holds zero wherever the basket has no value.
struct TBlank {};

// One per persistent class: what the registry needs to know of it, and the
// five values the writer and reader keep per class.
struct TPersistentClass {
  const char* Name;
  TTrulyPersistent* (*ConstructBlank)(void* memory);
  TPersistentClass* Parent;
  int32_t Size;
  int32_t Alignment;

  int32_t ClassIndex = -1;                 // position in ClassTypes
  int32_t ScenarioIndex = -1;              // the current scenario, or -1
  TFieldsList* FieldsList = nullptr;       // the registered fields
  TFieldsList* LocalFieldsList = nullptr;  // during a load: the stored fields
  int32_t LocalClassIndex = -1;            // during a load: index in the basket

  bool InheritsFrom(const TPersistentClass& other) const;
  void ResetCells();
};

template <class T>
TPersistentClass PersistentClassOf(const char* name, TPersistentClass* parent) {
  static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
  return TPersistentClass{
      name, [](void* memory) -> TTrulyPersistent* { return new (memory) T(TBlank{}); }, parent,
      static_cast<int32_t>(sizeof(T)), static_cast<int32_t>(alignof(T))};
}

#define ZOK_PERSISTENT_CLASS(Class, Parent)                       \
 public:                                                          \
  explicit Class(TBlank blank) : Parent(blank) {}                 \
  static TPersistentClass& StaticClass() {                        \
    static TPersistentClass persistent_class =                    \
        PersistentClassOf<Class>(#Class, &Parent::StaticClass()); \
    return persistent_class;                                      \
  }                                                               \
  TPersistentClass& PersistentClass() const override {            \
    return StaticClass();                                         \
  }                                                               \
  const char* ClassName() const override {                        \
    return #Class;                                                \
  }                                                               \
                                                                  \
 private:

class TTrulyPersistent : public TObject {
 public:
  // 0 outside a save; during one, the object's 1-based position in it.
  int32_t _BasketIndex = 0;

  TTrulyPersistent() = default;
  explicit TTrulyPersistent(TBlank) : _BasketIndex(0) {}
  TTrulyPersistent(const TTrulyPersistent&) = delete;
  TTrulyPersistent& operator=(const TTrulyPersistent&) = delete;
  ~TTrulyPersistent() override = default;

  static TPersistentClass& StaticClass();
  virtual TPersistentClass& PersistentClass() const { return StaticClass(); }
  const char* ClassName() const override { return "TTrulyPersistent"; }

  // Writes the object's fields; a class may adjust values around it, but
  // the words written must stay what the field list describes.
  virtual void Save();
  // Reads the object's fields: a block copy when the class is unchanged
  // since the basket was written, else field by field.
  virtual void Load();
  // Describes the fields in memory order, inherited ones first.
  virtual void RegisterFields() {}
  // Called at the start of Save.
  virtual void BeforeSaving() {}
  // Called for every loaded object once the whole basket is read; objects
  // read from a basket have not run their constructors.
  virtual void AfterLoading() {}

 protected:
  template <class T>
  void RegField(const char* name, T& field, const TTypeDescription& type) {
    RegisterField(name, &field, sizeof(T), type.Name, false);
  }
  template <class T>
  void RegField(const char* name, T& field, std::string_view type_name) {
    RegisterField(name, &field, sizeof(T), type_name, false);
  }
  // A reference to a persistent object, typed by the field.
  template <class T>
  requires std::is_base_of_v<TTrulyPersistent, T>
  void RegField(const char* name, T*& field) {
    RegisterField(name, &field, sizeof(T*), T::StaticClass().Name, false);
  }
  template <class T>
  void RegSkip(const char* name, T& field, const TTypeDescription& type) {
    RegisterField(name, &field, sizeof(T), type.Name, true);
  }
  template <class T>
  void RegSkip(const char* name, T& field, std::string_view type_name) {
    RegisterField(name, &field, sizeof(T), type_name, true);
  }
  template <class T>
  requires std::is_pointer_v<T>
  void RegSkipPtr(const char* name, T& field) {
    RegisterField(name, &field, sizeof(T), "Pointer", true);
  }

 private:
  void RegisterField(const char* name, const void* field, size_t size, std::string_view type_name,
                     bool skip);
};

// A blank object of the class: constructed with TBlank, every registered
// field empty or zero.
TTrulyPersistent* CreateBlankObject(const TPersistentClass& persistent_class);
// Empties or zeroes the fields of the list in object.
void ResetFields(TTrulyPersistent& object, const TFieldsList& fields);
