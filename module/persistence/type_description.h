// Descriptions of the types the persistence system stores: the name, kind
// and in-memory shape of a type, with the enumeration values and the float
// precision where they matter. C++ has no such run-time type information,
// so every stored type has one of these, built in here or made by the
// module (enumerations) and the registry (array types, classes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TTypeKind : int32_t {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkSet,
  tkMethod,
  tkSString,
  tkLString,
  tkAString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkClass,
  tkObject,
  tkWChar,
  tkBool,
  tkInt64,
  tkQWord,
  tkDynArray,
  tkInterfaceRaw,
};
const char* TypeKindName(TTypeKind kind);

enum TFloatType : int32_t { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

struct TTypeDescription {
  std::string Name;
  TTypeKind Kind = tkUnknown;
  // The C++ field's size and alignment; the stored size is the registry's.
  int32_t MemSize = 4;
  int32_t MemAlign = 4;
  TFloatType FloatType = ftSingle;
  // Enumerations: ordinals MinValue ... MaxValue and their names.
  int32_t MinValue = 0;
  int32_t MaxValue = -1;
  std::vector<std::string> ValueNames;
  // Empties a field of a blank object; null: the field's bytes become zero.
  void (*Reset)(void* field) = nullptr;
};

// An enumeration `enum T : int32_t` with values 0, 1, ... named in order.
TTypeDescription EnumDescription(std::string name, std::vector<std::string> value_names);

// The built-in types.
namespace zt {
extern const TTypeDescription Pointer, Byte, ShortInt, Word, SmallInt, LongWord, LongInt, Int64,
    Single, Double, Extended, Comp, LongBool, T2dArrayofDword, AnsiString, WideString;
// The containers of the module, by their class names.
extern const TTypeDescription TAOI, T2DAOI, TAOC, T2DAOC, TAOF, T2DAOF, TAOS, T2DAOS, TAOW, T2DAOW,
    TArrayOfDyna, TArrayOfTrulyPersistent;
}  // namespace zt
