#include "module/persistence/class_registration.h"

#include <memory>
#include <string>

#include "module/persistence/field_handlers.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/module_report.h"
#include "shared/zok_protocol.h"

namespace {

constexpr char16_t kLineBreak[] = u"\n\r";

[[noreturn]] void ProgrammerError(const std::u16string& text) {
  ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA, {text});
}

std::u16string FailedText(const TPersistentClass& persistent_class) {
  return u"Class " + WideText(persistent_class.Name) + u" failed its registration." + kLineBreak;
}

std::u16string Number(int64_t value) {
  return WideText(std::to_string(value));
}

TTrulyPersistent& Instance() {
  return *Persistence().RegistrationStack.Last();
}

// The field before the first one is _BasketIndex, right after the vtable.
void ResetTracking() {
  TPersistenceRegistry& p = Persistence();
  const TTrulyPersistent& probe = Instance();
  p.PrevOffset = static_cast<int32_t>(reinterpret_cast<const char*>(&probe._BasketIndex) -
                                      reinterpret_cast<const char*>(&probe));
  p.PrevSize = sizeof(probe._BasketIndex);
  p.PrevFieldName = p.AllNames.Add("_BasketIndex");
  p.PrevTypeName = p.AllNames.Add("LongInt");
}

std::u16string PreviousLine() {
  const TPersistenceRegistry& p = Persistence();
  return u"  \"" + WideText(p.AllNames[p.PrevFieldName]) + u"\": offset=" + Number(p.PrevOffset) +
         u", size=" + Number(p.PrevSize) + u", type=" + WideText(p.AllNames[p.PrevTypeName]);
}

void RegisterClassType(TPersistentClass& persistent_class) {
  TPersistenceRegistry& p = Persistence();
  const std::string name = persistent_class.Name;
  if (p.TypeNames.IndexOf(name) >= 0) {
    ModuleVerboseLog(u"HINT: Type \"%0\" is alraedy registered! (index %1)",
                     {WideText(name), p.AllNames.IndexOf(name)});
    return;
  }
  auto description = std::make_unique<TTypeDescription>();
  description->Name = name.substr(0, 255);
  description->Kind = tkClass;
  description->MemSize = sizeof(TTrulyPersistent*);
  description->MemAlign = alignof(TTrulyPersistent*);
  TTypeRecord record{};
  record.NameIndex = p.AllNames.Add(name);
  record.Size = 4;
  record.TypeInfo = description.get();
  record.Handler = &ObjectFieldHandler;
  record.Kind = fk_Class;
  record.ClassRef = &persistent_class;
  record.ClassNameIndex = p.ClassNames.Add(name);
  p.MadeDescriptions.push_back(std::move(description));
  p.TypeNames.Add(name);
  p.Registry.Add(record);
  ModuleVerboseLog(
      u"  New type: %0 (%1 / %2 / %3)",
      {WideText(name), 4, FieldKindName(fk_Class), reinterpret_cast<const void*>(record.Handler)});
}

void RegistrationStart(TTrulyPersistent& instance, TPersistentClass& persistent_class) {
  TPersistenceRegistry& p = Persistence();
  ModuleVerboseLog(u"Class registration start: %0", {persistent_class.Name});
  if (p.FieldsStarted) {
    ProgrammerError(ModuleLiteral(u"Классы в RegisterFields() должны идти ДО всех полей!",
                                  u"Classes in RegisterFields() should be registered BEFORE all "
                                  u"the fields!"));
  }
  if (ClassIndexOf(persistent_class) >= 0) {
    ProgrammerError(u"Class " + WideText(persistent_class.Name) + u" is already registered!");
  }
  const int32_t type_index = p.TypeNames.IndexOf(persistent_class.Name);
  if (type_index < 0 || p.Registry[type_index].ClassRef != &persistent_class) {
    ProgrammerError(FailedText(persistent_class) + u"  Its name belongs to another type.");
  }
  p.RegistrationStack.Add(&instance);
  p.ClassTypes.Add(type_index);
  p.FieldTables.Increment();
  p.RowStack.Add(p.FieldTables.HighIndex());
  persistent_class.ClassIndex = p.ClassTypes.HighIndex();
  ResetTracking();
}

void RegistrationEnd(TPersistentClass& persistent_class) {
  TPersistenceRegistry& p = Persistence();
  const auto end = static_cast<int32_t>(
      AlignFieldEnd(static_cast<uint32_t>(p.PrevOffset), static_cast<uint32_t>(p.PrevSize),
                    static_cast<uint32_t>(persistent_class.Alignment)));
  if (persistent_class.Size > end) {
    ProgrammerError(FailedText(persistent_class) + PreviousLine() + kLineBreak + u"  Alignment=" +
                    Number(persistent_class.Alignment) + kLineBreak + u"  InstanceSize=" +
                    Number(persistent_class.Size) + kLineBreak + u"  No man's bytes at the end=" +
                    Number(persistent_class.Size - end));
  }
  TFieldsList* fields = p.FieldTables.Row(p.RowStack.Last());
  if (fields->Length == 0) {
    ProgrammerError(FailedText(persistent_class) + u"  It hasn't registered any fields!");
  }
  persistent_class.FieldsList = fields;
  ModuleVerboseLog(u"Class registration end: %0", {persistent_class.Name});
  p.RegistrationStack.Decrement();
  p.RowStack.Decrement();
  p.FieldsStarted = false;
  if (p.RegistrationStack.Length > 0) ResetTracking();
}

// Destroys the temporary instance with its registered fields zeroed, so
// that its destructor finds null containers and no stale values.
struct TInstanceDeleter {
  const TPersistentClass* persistent_class;
  void operator()(TTrulyPersistent* instance) const {
    const TPersistenceRegistry& p = Persistence();
    const int32_t class_index = ClassIndexOf(*persistent_class);
    if (class_index >= 0 && class_index < p.FieldTables.Length) {
      ResetFields(*instance, *p.FieldTables.Row(class_index));
    }
    delete instance;
  }
};

}  // namespace

void RegClass(TPersistentClass& persistent_class) {
  RegisterClassType(persistent_class);
  std::unique_ptr<TTrulyPersistent, TInstanceDeleter> instance(CreateBlankObject(persistent_class),
                                                               TInstanceDeleter{&persistent_class});
  RegistrationStart(*instance, persistent_class);
  instance->RegisterFields();
  RegistrationEnd(persistent_class);
}

void RegisterFieldOf(TTrulyPersistent& instance, const char* name, const void* field, size_t size,
                     std::string_view type_name, bool skip) {
  TPersistenceRegistry& p = Persistence();
  TPersistentClass& persistent_class = instance.PersistentClass();
  if (p.RegistrationStack.Length == 0 || p.RegistrationStack.Last() != &instance) {
    ProgrammerError(
        u"Fields are registered only inside RegisterFields() of a class being "
        u"registered.");
  }
  p.FieldsStarted = true;
  const int32_t t = TypeIndexOfName(type_name);
  if (t < 0) {
    ProgrammerError(u"Unknown type \"" + WideText(UpperAscii(type_name)) +
                    u"\", not present in the registry!\"");
  }
  const TTypeRecord& type = p.Registry[t];
  TFieldInfo info{};
  info.NameIndex = static_cast<int16_t>(p.AllNames.Add(name));
  info.Offset = static_cast<int32_t>(static_cast<const char*>(field) -
                                     reinterpret_cast<const char*>(&instance));
  info.HasHandler = type.Handler != nullptr ? 1 : 0;
  info.TypeIndex = t;
  const std::u16string field_name = WideText(p.AllNames[info.NameIndex]);
  if (static_cast<int32_t>(size) != type.TypeInfo->MemSize) {
    ProgrammerError(FailedText(persistent_class) + u"  Field \"" + field_name + u"\" takes " +
                    Number(static_cast<int64_t>(size)) + u" bytes, its type " +
                    WideText(type.TypeInfo->Name) + u" takes " + Number(type.TypeInfo->MemSize) +
                    u".");
  }
  const auto alignment = static_cast<int32_t>(std::max(4, type.TypeInfo->MemAlign));
  const auto expected = static_cast<int32_t>(
      AlignFieldEnd(static_cast<uint32_t>(p.PrevOffset), static_cast<uint32_t>(p.PrevSize),
                    static_cast<uint32_t>(type.TypeInfo->MemAlign)));
  if (info.Offset != expected) {
    ProgrammerError(FailedText(persistent_class) + PreviousLine() + kLineBreak + u"  \"" +
                    field_name + u"\": offset=" + Number(info.Offset) + u", size=" +
                    Number(type.TypeInfo->MemSize) + u", type=" + WideText(type.TypeInfo->Name) +
                    kLineBreak + u"  Alignment=" + Number(alignment) + kLineBreak +
                    u"  InstanceSize=" + Number(persistent_class.Size) + kLineBreak + u"  Gap=" +
                    Number(info.Offset - expected));
  }
  p.PrevOffset = info.Offset;
  p.PrevFieldName = info.NameIndex;
  p.PrevSize = type.TypeInfo->MemSize;
  p.PrevTypeName = p.AllNames.IndexOf(type.TypeInfo->Name);
  TFieldsList& fields = *p.FieldTables.Row(p.RowStack.Last());
  if (type.TypeInfo->Kind == tkClass) {
    if (skip) {
      ProgrammerError(FailedText(persistent_class) + u"  Attempt to skip the field \"" +
                      field_name + u"\"." + kLineBreak +
                      u"  Saveable object fields cannot be skipped!");
    }
    info.Skip = 0;
    fields.Add(info);
    ModuleVerboseLog(u"  field \"%0\": %1 / %2.",
                     {field_name, info.Offset, WideText(p.AllNames[type.NameIndex])});
    return;
  }
  if (t == 0 && !skip) {
    ProgrammerError(FailedText(persistent_class) + u"  Field \"" + field_name +
                    u"\" is a pointer." + kLineBreak +
                    u"  Pointers and unsupported classes must be skipped via RegSkipPtr()");
  }
  info.Skip = skip ? 1 : 0;
  fields.Add(info);
  ModuleVerboseLog(
      skip ? u"  field \"%0\": %1 / %2 / %3, skipped." : u"  field \"%0\": %1 / %2 / %3.",
      {field_name, info.Offset, type.Size, WideText(p.AllNames[type.NameIndex])});
}
