// The type registry: every type a stored field may have, by name, with its
// stored size, kind and field handler, and the module-wide name tables the
// baskets are matched by.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "module/persistence/persistence_types.h"
// Complete, so that the inline accessors can create the registry.
#include "module/persistence/truly_persistent.h"

struct TPersistenceRegistry {
  // Every name: types, enumeration values, classes, fields.
  TNameSpace AllNames;
  TNameSpace TypeNames;  // index = type index
  TNameSpace ClassNames;
  TTypeRegistry Registry;
  TAOI ClassTypes;          // per class index: its type index
  T2DAOI EnumValues;        // per type index: AllNames index of each value
  TFieldInfos FieldTables;  // per class index: its fields

  // Registration in progress, innermost last.
  TArrayOfTrulyPersistent RegistrationStack;
  TAOI RowStack;
  bool FieldsStarted = false;
  int32_t PrevOffset = 0;
  int32_t PrevSize = 0;  // in memory
  int32_t PrevFieldName = 0;
  int32_t PrevTypeName = 0;

  // Descriptions the registry made: array types and classes.
  std::vector<std::unique_ptr<TTypeDescription>> MadeDescriptions;
};

// Inline: the reader looks types up once per field it loads.
inline std::unique_ptr<TPersistenceRegistry>& PersistenceHolder() {
  static std::unique_ptr<TPersistenceRegistry> holder = std::make_unique<TPersistenceRegistry>();
  return holder;
}
inline TPersistenceRegistry& Persistence() {
  return *PersistenceHolder();
}

// Builds the tables and registers the built-in types and the test class.
// Called again, it starts over: tests use that to stand for another build.
void InitTypeRegistry();
// Drops every table and forgets the per-class values of registered classes.
void ResetTypeRegistry();

// Enumerations, Single and Pointer.
void RegType(const TTypeDescription& type);
// Integer and floating types of the given stored size.
void RegType(const TTypeDescription& type, int32_t size);
// Types saved by a handler.
void RegType(const TTypeDescription& type, TFieldHandler handler);
// A fixed-size array of a registered element type, saved as raw words.
void RegType(const std::string& name, const TTypeDescription& element, int32_t size);

inline const TTypeRecord& TypeRecord(int32_t type_index) {
  return Persistence().Registry[type_index];
}
int32_t TypeCount();
// The first type registered under name or under the name it is an alias
// of; -1 when there is none.
int32_t TypeIndexOfName(std::string_view name);
// The class index of a registered class, or -1.
int32_t ClassIndexOf(const TPersistentClass& persistent_class);
// The name of type t, as AllNames has it.
const std::string& TypeNameOf(int32_t type_index);

// Classes the module registers at start-up, after the test class. A module
// adds its module class with ZOK_REGISTER_MODULE_CLASS(TMyModule).
std::vector<TPersistentClass*>& ModuleClassList();
void RegisterModuleClasses();
struct TModuleClassEntry {
  explicit TModuleClassEntry(TPersistentClass& persistent_class);
};
#define ZOK_REGISTER_MODULE_CLASS(Class) \
  static TModuleClassEntry zok_module_class_entry_##Class(Class::StaticClass())
