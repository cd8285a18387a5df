#include "module/persistence/type_description.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

template <class T>
TTypeDescription Plain(const char* name, TTypeKind kind, TFloatType float_type = ftSingle) {
  TTypeDescription d;
  d.Name = name;
  d.Kind = kind;
  d.MemSize = sizeof(T);
  d.MemAlign = alignof(T);
  d.FloatType = float_type;
  return d;
}

template <class T>
void ResetTo(void* field) {
  *static_cast<T*>(field) = T();
}

template <class T>
TTypeDescription Owned(const char* name, TTypeKind kind) {
  TTypeDescription d = Plain<T>(name, kind);
  d.Reset = &ResetTo<T>;
  return d;
}

}  // namespace

const char* TypeKindName(TTypeKind kind) {
  static const char* const kNames[] = {
      "tkUnknown", "tkInteger", "tkChar",      "tkEnumeration", "tkFloat",       "tkSet",
      "tkMethod",  "tkSString", "tkLString",   "tkAString",     "tkWString",     "tkVariant",
      "tkArray",   "tkRecord",  "tkInterface", "tkClass",       "tkObject",      "tkWChar",
      "tkBool",    "tkInt64",   "tkQWord",     "tkDynArray",    "tkInterfaceRaw"};
  return kind >= 0 && kind <= tkInterfaceRaw ? kNames[kind] : "tkUnknown";
}

TTypeDescription EnumDescription(std::string name, std::vector<std::string> value_names) {
  TTypeDescription d = Plain<int32_t>("", tkEnumeration);
  d.Name = std::move(name);
  d.MaxValue = static_cast<int32_t>(value_names.size()) - 1;
  d.ValueNames = std::move(value_names);
  return d;
}

namespace zt {
const TTypeDescription Pointer = Plain<void*>("Pointer", tkUnknown);
const TTypeDescription Byte = Plain<uint8_t>("Byte", tkInteger);
const TTypeDescription ShortInt = Plain<int8_t>("ShortInt", tkInteger);
const TTypeDescription Word = Plain<uint16_t>("Word", tkInteger);
const TTypeDescription SmallInt = Plain<int16_t>("SmallInt", tkInteger);
const TTypeDescription LongWord = Plain<uint32_t>("LongWord", tkInteger);
const TTypeDescription LongInt = Plain<int32_t>("LongInt", tkInteger);
const TTypeDescription Int64 = Plain<int64_t>("Int64", tkInt64);
const TTypeDescription Single = Plain<float>("Single", tkFloat, ftSingle);
const TTypeDescription Double = Plain<double>("Double", tkFloat, ftDouble);
const TTypeDescription Extended = Plain<long double>("Extended", tkFloat, ftExtended);
const TTypeDescription Comp = Plain<int64_t>("Comp", tkFloat, ftComp);
const TTypeDescription LongBool = Plain<int32_t>("LongBool", tkInteger);
const TTypeDescription T2dArrayofDword =
    Owned<std::vector<std::vector<uint32_t>>>("T2dArrayofDword", tkDynArray);
const TTypeDescription AnsiString = Owned<std::string>("AnsiString", tkAString);
const TTypeDescription WideString = Owned<std::u16string>("WideString", tkWString);

// Container fields are owning pointers, null in a blank object.
#define ZOK_CONTAINER_DESCRIPTION(name) const TTypeDescription name = Plain<void*>(#name, tkClass);
ZOK_CONTAINER_DESCRIPTION(TAOI)
ZOK_CONTAINER_DESCRIPTION(T2DAOI)
ZOK_CONTAINER_DESCRIPTION(TAOC)
ZOK_CONTAINER_DESCRIPTION(T2DAOC)
ZOK_CONTAINER_DESCRIPTION(TAOF)
ZOK_CONTAINER_DESCRIPTION(T2DAOF)
ZOK_CONTAINER_DESCRIPTION(TAOS)
ZOK_CONTAINER_DESCRIPTION(T2DAOS)
ZOK_CONTAINER_DESCRIPTION(TAOW)
ZOK_CONTAINER_DESCRIPTION(T2DAOW)
ZOK_CONTAINER_DESCRIPTION(TArrayOfDyna)
ZOK_CONTAINER_DESCRIPTION(TArrayOfTrulyPersistent)
#undef ZOK_CONTAINER_DESCRIPTION
}  // namespace zt
