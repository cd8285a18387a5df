#include "module/persistence/truly_persistent.h"

#include <cstring>
#include <new>

#include "module/persistence/basket_reader.h"
#include "module/persistence/class_registration.h"
#include "module/persistence/scenario.h"
#include "module/persistence/type_registry.h"

bool TPersistentClass::InheritsFrom(const TPersistentClass& other) const {
  for (const TPersistentClass* c = this; c != nullptr; c = c->Parent) {
    if (c == &other) return true;
  }
  return false;
}

void TPersistentClass::ResetCells() {
  ClassIndex = -1;
  ScenarioIndex = -1;
  FieldsList = nullptr;
  LocalFieldsList = nullptr;
  LocalClassIndex = -1;
}

TPersistentClass& TTrulyPersistent::StaticClass() {
  static TPersistentClass persistent_class =
      PersistentClassOf<TTrulyPersistent>("TTrulyPersistent", nullptr);
  return persistent_class;
}

void TTrulyPersistent::Save() {
  BeforeSaving();
  RunSaveScenario(*this, PersistentClass().ScenarioIndex);
}

void TTrulyPersistent::Load() {
  const TPersistentClass& own = PersistentClass();
  if (own.ScenarioIndex >= 0) {
    RunLoadScenario(*this, own.ScenarioIndex);
  } else {
    LoadFieldByField(*this);
  }
}

void TTrulyPersistent::RegisterField(const char* name, const void* field, size_t size,
                                     std::string_view type_name, bool skip) {
  RegisterFieldOf(*this, name, field, size, type_name, skip);
}

TTrulyPersistent* CreateBlankObject(const TPersistentClass& persistent_class) {
  // Zeroing the memory first only makes fields that are not registered
  // start as zero; the compiler may treat stores before construction as
  // dead, so the registered fields are zeroed again once it has run.
  const auto size = static_cast<size_t>(persistent_class.Size);
  void* memory = ::operator new(size);
  std::memset(memory, 0, size);
  TTrulyPersistent* object = nullptr;
  try {
    object = persistent_class.ConstructBlank(memory);
  } catch (...) {
    ::operator delete(memory);
    throw;
  }
  if (persistent_class.FieldsList == nullptr) return object;
  // Fields of class type (strings, vectors) were just constructed empty.
  auto* base = reinterpret_cast<uint8_t*>(object);
  const TFieldsList& fields = *persistent_class.FieldsList;
  for (int32_t i = 0; i < fields.Length; ++i) {
    const TTypeDescription& type = *TypeRecord(fields[i].TypeIndex).TypeInfo;
    if (type.Reset == nullptr) {
      std::memset(base + fields[i].Offset, 0, static_cast<size_t>(type.MemSize));
    }
  }
  return object;
}

void ResetFields(TTrulyPersistent& object, const TFieldsList& fields) {
  auto* base = reinterpret_cast<uint8_t*>(&object);
  for (int32_t i = 0; i < fields.Length; ++i) {
    const TFieldInfo& field = fields[i];
    const TTypeDescription& type = *TypeRecord(field.TypeIndex).TypeInfo;
    if (type.Reset != nullptr) {
      type.Reset(base + field.Offset);
    } else {
      std::memset(base + field.Offset, 0, static_cast<size_t>(type.MemSize));
    }
  }
}
