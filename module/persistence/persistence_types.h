// The records and containers the persistence system keeps its tables in.
#pragma once

#include <cstdint>

#include "module/persistence/name_space.h"
#include "module/persistence/type_description.h"
#include "shared/dyna/dyna_types.h"

struct TPersistentClass;
class TTrulyPersistent;

// How fields of a type are saved.
enum TFieldKind : int32_t {
  fk_notsupported,
  fk_binary,
  fk_integer,
  fk_float,
  fk_string,
  fk_set,
  fk_enum,
  fk_Class,
  fk_Dyna,
  fk_8bit_string,
  fk_CustomClass,
  fk_Array,
};
const char* FieldKindName(TFieldKind kind);

enum TFieldOperation : int32_t { fio_Load, fio_Save, fio_Skip };

// Saves, loads or skips one field of a type; with fio_Skip the address is
// meaningless.
using TFieldHandler = void (*)(void* field, TFieldOperation operation);

// One registered field; stored in baskets as these 20 bytes, 5 words.
struct TFieldInfo {
  int32_t Offset;
  int16_t NameIndex;
  uint8_t HasHandler;
  uint8_t Reserved;
  int32_t TypeIndex;
  int32_t Skip;
  int32_t Match;
};
static_assert(sizeof(TFieldInfo) == 20);

struct TTypeRecord {
  int32_t NameIndex;
  // The stored size: what baskets hold and compare.
  int32_t Size;
  const TTypeDescription* TypeInfo;
  TFieldHandler Handler;
  int32_t ElementType;     // array types
  int32_t ClassNameIndex;  // classes
  int32_t ElementCount;    // array types
  TFieldKind Kind;
  TPersistentClass* ClassRef;  // classes
};

using TFieldsList = TDynaArray<TPlainTraits<TFieldInfo>, "TFieldsList">;
using TFieldInfos = TDyna2D<TFieldsList, "TFieldInfos">;
using TTypeRegistry = TDynaArray<TPlainTraits<TTypeRecord>, "TTypeRegistry">;
using TArrayOfTrulyPersistent = TObjectArray<TTrulyPersistent, "TArrayOfTrulyPersistent">;
using TArrayOfDyna = TObjectArray<TDyna, "TArrayOfDyna">;
