#include "module/persistence/type_registry.h"

#include <algorithm>

#include "module/persistence/class_registration.h"
#include "module/persistence/field_handlers.h"
#include "module/persistence/persistent_tester.h"
#include "module/runtime/module_report.h"

namespace {

constexpr char16_t kWrongForm[] = u"Wrong version of RegType() was called for this type.";

[[noreturn]] void TypeFailure(const std::string& name, TTypeKind kind,
                              const std::u16string& reason) {
  ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                   {u"Type \"" + WideText(UpperAscii(name)) + u"\" of kind \"" +
                    WideText(TypeKindName(kind)) + u"\" failed its registration.\n\r" + reason});
}

// Registering a name twice only leaves a hint in the detailed log.
bool AlreadyRegistered(const std::string& name, int32_t hint_index) {
  if (Persistence().TypeNames.IndexOf(name) < 0) return false;
  ModuleVerboseLog(u"HINT: Type \"%0\" is alraedy registered! (index %1)",
                   {WideText(name), hint_index});
  return true;
}

int32_t AddRecord(TTypeRecord record, const std::string& name) {
  TPersistenceRegistry& p = Persistence();
  record.NameIndex = p.AllNames.Add(name);
  p.TypeNames.Add(name);
  return p.Registry.Add(record);
}

TTypeRecord NewRecord(const TTypeDescription& type, int32_t size, TFieldKind kind) {
  TTypeRecord record{};
  record.Size = size;
  record.TypeInfo = &type;
  record.Kind = kind;
  return record;
}

void CheckEnumeration(const TTypeDescription& type) {
  if (type.MinValue != 0) {
    TypeFailure(type.Name, type.Kind,
                u"MinValue <> 0. Please note that the mechanism for storing enumerated types was "
                u"NOT meant for the SUBRANGE types.");
  }
  if (type.MaxValue > 1000) {
    TypeFailure(type.Name, type.Kind,
                u"MaxValue > 1000. Please note that the mechanism for storing enumerated types "
                u"was NOT meant for the SUBRANGE types.");
  }
  if (type.MaxValue < 0 || static_cast<int32_t>(type.ValueNames.size()) != type.MaxValue + 1) {
    TypeFailure(type.Name, type.Kind, u"The names of the values do not match MaxValue.");
  }
}

void RegisterEnumeration(const TTypeDescription& type) {
  CheckEnumeration(type);
  TPersistenceRegistry& p = Persistence();
  TTypeRecord record = NewRecord(type, 4, fk_enum);
  record.Handler = &EnumFieldHandler;
  const int32_t index = p.Registry.Length;
  p.EnumValues.Resize(index + 1);
  TAOI& row = *p.EnumValues.Row(index);
  row.Resize(type.MaxValue + 1);
  for (int32_t v = 0; v <= type.MaxValue; ++v) row[v] = p.AllNames.Add(type.ValueNames[v]);
  AddRecord(record, type.Name);
}

void RegisterBuiltInTypes() {
  RegType(zt::Pointer);
  RegType(zt::Byte, 1);
  RegType(zt::ShortInt, 1);
  RegType(zt::Word, 2);
  RegType(zt::SmallInt, 2);
  RegType(zt::LongWord, 4);
  RegType(zt::LongInt, 4);
  RegType(zt::Int64, 8);
  RegType(zt::Single);
  RegType(zt::Double, 8);
  RegType(zt::Extended, 10);
  RegType(zt::Comp, 8);
  RegType(zt::LongBool, 4);
  RegType(zt::T2dArrayofDword, &DwordArray2DFieldHandler);
  RegType(zt::AnsiString, &AnsiStringFieldHandler);
  RegType(zt::WideString, &WideStringFieldHandler);
  RegType(zt::TAOI, &ContainerFieldHandler<TAOI>);
  RegType(zt::T2DAOI, &ContainerFieldHandler<T2DAOI>);
  RegType(zt::TAOC, &ContainerFieldHandler<TAOC>);
  RegType(zt::T2DAOC, &ContainerFieldHandler<T2DAOC>);
  RegType(zt::TAOF, &ContainerFieldHandler<TAOF>);
  RegType(zt::T2DAOF, &ContainerFieldHandler<T2DAOF>);
  RegType(zt::TAOS, &ContainerFieldHandler<TAOS>);
  RegType(zt::T2DAOS, &ContainerFieldHandler<T2DAOS>);
  RegType(zt::TAOW, &ContainerFieldHandler<TAOW>);
  RegType(zt::T2DAOW, &ContainerFieldHandler<T2DAOW>);
  RegType(zt::TArrayOfDyna, &ContainerFieldHandler<TArrayOfDyna>);
  RegType(zt::TArrayOfTrulyPersistent, &ContainerFieldHandler<TArrayOfTrulyPersistent>);
}

}  // namespace

void ResetTypeRegistry() {
  TPersistenceRegistry& p = Persistence();
  for (int32_t i = 0; i < p.Registry.Length; ++i) {
    if (p.Registry[i].ClassRef != nullptr) p.Registry[i].ClassRef->ResetCells();
  }
  PersistenceHolder() = std::make_unique<TPersistenceRegistry>();
}

void InitTypeRegistry() {
  ResetTypeRegistry();
  ModuleVerboseLog(u"Classes registration start", {});
  TPersistenceRegistry& p = Persistence();
  p.AllNames.AddAlias("LONGINT", "INTEGER");
  p.AllNames.AddAlias("LONGWORD", "CARDINAL");
  p.AllNames.AddAlias("ANSISTRING", "STRING");
  RegisterBuiltInTypes();
  RegClass<TTrulyPersistentTester>();
}

void RegType(const TTypeDescription& type, int32_t size) {
  if (AlreadyRegistered(type.Name, Persistence().AllNames.IndexOf(type.Name))) return;
  TFieldKind kind = fk_notsupported;
  switch (type.Kind) {
    case tkInteger:
    case tkInt64:
    case tkQWord:
      kind = fk_integer;
      break;
    case tkFloat:
      kind = fk_float;
      break;
    case tkRecord:
      TypeFailure(
          type.Name, type.Kind,
          ModuleLiteral(u"Записи регистрировать запрещено.", u"Record types are prohibited.") +
              u"\n\rReason #1: other compilers describe no fields of records, so they "
              u"could not read them back.\n\rReason #2: a record depends on field sizes "
              u"and alignment, which would tie stored data to one platform's layout "
              u"and byte order.");
    default:
      TypeFailure(type.Name, type.Kind, kWrongForm);
  }
  const int32_t index = AddRecord(NewRecord(type, size, kind), type.Name);
  ModuleVerboseLog(u"  New type: %0 (%1 / %2)",
                   {WideText(type.Name), size, FieldKindName(TypeRecord(index).Kind)});
}

void RegType(const TTypeDescription& type) {
  TPersistenceRegistry& p = Persistence();
  if (AlreadyRegistered(type.Name, p.AllNames.IndexOf(type.Name))) return;
  if (type.Kind == tkEnumeration) {
    RegisterEnumeration(type);
  } else if (type.Kind == tkFloat) {
    if (type.FloatType != ftSingle) TypeFailure(type.Name, type.Kind, kWrongForm);
    AddRecord(NewRecord(type, 4, fk_float), type.Name);
  } else if (UpperAscii(type.Name) == "POINTER" && p.Registry.Length == 0) {
    AddRecord(NewRecord(type, 4, fk_notsupported), type.Name);
  } else {
    TypeFailure(type.Name, type.Kind, kWrongForm);
  }
  ModuleVerboseLog(u"  New type: %0 (%1 / %2)",
                   {WideText(type.Name), 4, FieldKindName(p.Registry.Last().Kind)});
}

void RegType(const TTypeDescription& type, TFieldHandler handler) {
  if (AlreadyRegistered(type.Name, Persistence().AllNames.IndexOf(type.Name))) return;
  TFieldKind kind = fk_notsupported;
  switch (type.Kind) {
    case tkLString:
    case tkAString:
      kind = fk_8bit_string;
      break;
    case tkWString:
      kind = fk_string;
      break;
    case tkArray:
    case tkDynArray:
      kind = fk_Array;
      break;
    case tkClass:
      kind = fk_CustomClass;
      break;
    default:
      if (UpperAscii(type.Name) != "LONGBOOL") TypeFailure(type.Name, type.Kind, kWrongForm);
      kind = fk_integer;
  }
  TTypeRecord record = NewRecord(type, 4, kind);
  record.Handler = handler;
  AddRecord(record, type.Name);
  ModuleVerboseLog(u"  New type: %0 (%1 / %2)", {WideText(type.Name), FieldKindName(kind),
                                                 reinterpret_cast<const void*>(handler)});
}

void RegType(const std::string& name, const TTypeDescription& element, int32_t size) {
  TPersistenceRegistry& p = Persistence();
  if (AlreadyRegistered(name, p.AllNames.IndexOf(element.Name))) return;
  const int32_t e = p.TypeNames.IndexOf(element.Name);
  if (e < 0) {
    TypeFailure(name, tkArray, u"The base type " + WideText(element.Name) + u" is not registered.");
  }
  const TTypeRecord element_record = TypeRecord(e);
  if (size <= 0 || size % element_record.Size != 0 ||
      element_record.TypeInfo->MemSize != element_record.Size) {
    TypeFailure(name, tkArray,
                Format(u"Size/alignment mismatch. Size=%0, ElementSize(%1)=%2",
                       {size, WideText(element.Name), element_record.Size}));
  }
  auto description = std::make_unique<TTypeDescription>();
  description->Name = UpperAscii(name).substr(0, 255);
  description->Kind = tkArray;
  description->MemSize = size;
  description->MemAlign = element_record.TypeInfo->MemAlign;
  TTypeRecord record = NewRecord(*description, size, fk_binary);
  record.ElementType = e;
  record.ElementCount = size / element_record.Size;
  p.MadeDescriptions.push_back(std::move(description));
  AddRecord(record, name);
  ModuleVerboseLog(u"  New type: %0 (%1 / %2)", {WideText(name), size, FieldKindName(fk_binary)});
}

int32_t TypeCount() {
  return Persistence().Registry.Length;
}

int32_t TypeIndexOfName(std::string_view name) {
  const TPersistenceRegistry& p = Persistence();
  const int32_t name_index = p.AllNames.IndexOf(name);
  if (name_index < 0) return -1;
  for (int32_t t = 0; t < p.Registry.Length; ++t) {
    if (p.Registry[t].NameIndex == name_index) return t;
  }
  return -1;
}

int32_t ClassIndexOf(const TPersistentClass& persistent_class) {
  const TPersistenceRegistry& p = Persistence();
  for (int32_t c = 0; c < p.ClassTypes.Length; ++c) {
    if (p.Registry[p.ClassTypes[c]].ClassRef == &persistent_class) return c;
  }
  return -1;
}

const std::string& TypeNameOf(int32_t type_index) {
  const TPersistenceRegistry& p = Persistence();
  return p.AllNames[p.Registry[type_index].NameIndex];
}

std::vector<TPersistentClass*>& ModuleClassList() {
  static std::vector<TPersistentClass*> classes;
  return classes;
}

TModuleClassEntry::TModuleClassEntry(TPersistentClass& persistent_class) {
  ModuleClassList().push_back(&persistent_class);
}

void RegisterModuleClasses() {
  for (TPersistentClass* persistent_class : ModuleClassList()) RegClass(*persistent_class);
}

const char* FieldKindName(TFieldKind kind) {
  static const char* const kNames[] = {
      "fk_notsupported", "fk_binary", "fk_integer", "fk_float",       "fk_string",      "fk_set",
      "fk_enum",         "fk_Class",  "fk_Dyna",    "fk_8bit_string", "fk_CustomClass", "fk_Array"};
  return kind >= 0 && kind <= fk_Array ? kNames[kind] : "fk_notsupported";
}
