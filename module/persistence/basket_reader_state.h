// The reader's tables while a load runs: those read from the basket and
// those computed from them by matching names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module/persistence/basket_reader.h"
#include "module/persistence/persistence_types.h"
#include "module/persistence/truly_persistent.h"

struct TReaderState {
  T2DAOI StoredEnums;    // per stored type: the name indices of its values
  TAOI TNames;           // per stored type: its name index
  TAOI TSizes;           // per stored type: its size
  TAOI CNames;           // per stored class: its type's name index
  TFieldInfos B_Fields;  // per stored class: its fields
  TNameSpace StoredNames;

  std::vector<int32_t> NameMap;   // per stored name: the AllNames index, or -1
  std::vector<int32_t> ClassMap;  // per stored class: the current class index
  std::vector<TPersistentClass*> StoredClassRef;
  std::vector<int32_t> TypeMap;               // per stored name: the current type, or 0
  std::vector<uint8_t> EnumSame;              // per current type
  std::vector<std::vector<int32_t>> EnumMap;  // per current type: stored -> current
  std::vector<std::u16string> Warnings;
  TLoadConversion Conversion;

  std::vector<TTrulyPersistent*> Loaded;  // element 0 is nil
  bool Leak = false;
  const TPersistentClass* RootClass = nullptr;
};

// Matches the stored tables to the registered ones; fills the maps and the
// warnings and rewrites TypeIndex and Match of every stored field.
void MatchStoredTables(TReaderState& state);
