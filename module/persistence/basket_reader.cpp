#include "module/persistence/basket_reader.h"

#include <cstring>
#include <memory>

#include "module/persistence/basket_reader_state.h"
#include "module/persistence/basket_session.h"
#include "module/persistence/scenario.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/module_report.h"

namespace {

std::unique_ptr<TReaderState>& ReaderHolder() {
  static std::unique_ptr<TReaderState> state;
  return state;
}

std::vector<std::u16string>& WarningsOfLastLoad() {
  static std::vector<std::u16string> warnings;
  return warnings;
}

TLoadConversion& ConversionOfLastLoad() {
  static TLoadConversion conversion;
  return conversion;
}

TReaderState& Reader() {
  std::unique_ptr<TReaderState>& state = ReaderHolder();
  if (!state) DataCorrupt("No basket is being read.");
  return *state;
}

const TPersistentClass* RegisteredClassNamed(const std::string& name) {
  const TPersistenceRegistry& p = Persistence();
  const int32_t t = p.TypeNames.IndexOf(name);
  return t >= 0 ? p.Registry[t].ClassRef : nullptr;
}

void ReadTables(TReaderState& state, TWordStream& stream, const std::string& signature) {
  if (stream.ReadWideString() != WideText(signature)) {
    ModuleFatalErrorText(ModuleLiteral(u"Не совпадает сигнатура.", u"Signature mismatch."));
  }
  state.StoredEnums.Load();
  state.TNames.Load();
  state.TSizes.Load();
  state.CNames.Load();
  state.B_Fields.Load();
  state.StoredNames.Load();
  state.NameMap = state.StoredNames.MapNames(Persistence().AllNames);
}

// The fast path needs the stored and current field lists to agree field
// for field: the same names and types in the same order, the same Skip
// flags, and enumerations whose values did not change.
bool SameLayout(const TReaderState& state, const TFieldsList& stored, const TFieldsList& current) {
  if (stored.Length != current.Length) return false;
  for (int32_t i = 0; i < stored.Length; ++i) {
    const TFieldInfo& sf = stored[i];
    if (sf.Match != i || (sf.Skip != 0) != (current[i].Skip != 0)) return false;
    if (TypeRecord(sf.TypeIndex).Kind == fk_enum && state.EnumSame[sf.TypeIndex] == 0) return false;
  }
  return true;
}

void BuildLoadingScenarios(TReaderState& state) {
  TBasketSession& session = BasketSession();
  session.ScenarioTable.clear();
  const TPersistenceRegistry& p = Persistence();
  state.StoredClassRef.assign(static_cast<size_t>(state.B_Fields.Length), nullptr);
  for (int32_t i = 0; i < state.B_Fields.Length; ++i) {
    TPersistentClass& k = *p.Registry[p.ClassTypes[state.ClassMap[i]]].ClassRef;
    k.LocalFieldsList = state.B_Fields.Row(i);
    k.LocalClassIndex = i;
    if (SameLayout(state, *k.LocalFieldsList, *k.FieldsList)) {
      BuildScenario(k);
      ++state.Conversion.ClassesSame;
    } else {
      k.ScenarioIndex = -1;
      ++state.Conversion.ClassesConverted;
      state.Warnings.push_back(FormatMessage(MI_BASKET_CONVERSION, {WideText(UpperAscii(k.Name))}));
    }
    state.StoredClassRef[i] = &k;
  }
}

void LogWarnings(const std::vector<std::u16string>& warnings) {
  if (warnings.empty()) return;
  std::u16string joined;
  for (const std::u16string& warning : warnings) {
    if (!joined.empty()) joined += u"\n\r";
    joined += warning;
  }
  ModuleLogText(FormatMessage(MI_BASKET_NOT_EVERYTHING_IS_FINE_AND_DANDY, {joined}));
}

// Object references of a destroyed graph are cleared first, so that no
// destructor follows one into another object being destroyed.
void ClearObjectReferences(TTrulyPersistent& object) {
  const TFieldsList* fields = object.PersistentClass().FieldsList;
  if (fields == nullptr) return;
  auto* base = reinterpret_cast<uint8_t*>(&object);
  for (int32_t i = 0; i < fields->Length; ++i) {
    if (TypeRecord((*fields)[i].TypeIndex).Kind == fk_Class) {
      std::memset(base + (*fields)[i].Offset, 0, sizeof(TTrulyPersistent*));
    }
  }
}

}  // namespace

void BeginLoad(TWordStream& stream, const std::string& name, const std::string& signature) {
  ReaderHolder() = std::make_unique<TReaderState>();
  TReaderState& state = *ReaderHolder();
  state.Loaded.push_back(nullptr);
  TBasketSession& session = BasketSession();
  session.Stream = &stream;
  session.Depth = 0;
  state.RootClass = RegisteredClassNamed(signature);
  if (state.RootClass == nullptr) {
    ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                     {u"The class " + WideText(signature) + u" of the root is not registered."});
  }
  stream.BeginReading(name);
  try {
    ReadTables(state, stream, signature);
    MatchStoredTables(state);
    ModuleVerboseLog(u"Parsing OK.", {});
    BuildLoadingScenarios(state);
    ModuleVerboseLog(u"Loading scenarios built.", {});
    WarningsOfLastLoad() = state.Warnings;
    ConversionOfLastLoad() = state.Conversion;
    LogWarnings(state.Warnings);
  } catch (...) {
    ModuleFatalErrorInContext(ModuleLiteral(u"Крах при подготовке данных к чтению",
                                            u"Crashed while preparing data for loading."));
  }
}

void BeginLoad(const std::string& name, const std::string& signature) {
  BeginLoad(DynaBasket(), name, signature);
}

TTrulyPersistent* ReadRootObject() {
  TTrulyPersistent* root = nullptr;
  ReadObjectReference(root, *Reader().RootClass);
  return root;
}

void ReadObjectReference(TTrulyPersistent*& field, const TPersistentClass& declared) {
  TReaderState& state = Reader();
  TWordStream& stream = DynaBasket();
  const auto reference = static_cast<int32_t>(stream.ReadWord());
  if (reference < 0) {
    field = nullptr;
    return;
  }
  if (reference > 0) {
    if (reference >= static_cast<int32_t>(state.Loaded.size())) {
      DataCorrupt("An object reference points past the objects read.");
    }
    TTrulyPersistent* object = state.Loaded[reference];
    if (!object->PersistentClass().InheritsFrom(declared)) {
      DataCorrupt("A reference holds an object of a foreign class.");
    }
    field = object;
    return;
  }
  const auto class_index = static_cast<int32_t>(stream.ReadWord());
  if (class_index < 0 || class_index >= static_cast<int32_t>(state.StoredClassRef.size())) {
    DataCorrupt("A class index is beyond the class table.");
  }
  const TPersistentClass& persistent_class = *state.StoredClassRef[class_index];
  if (!persistent_class.InheritsFrom(declared)) {
    DataCorrupt("A reference holds an object of a foreign class.");
  }
  TBasketSession& session = BasketSession();
  if (session.Depth >= kMaxObjectDepth) DataCorrupt("The objects are nested too deeply.");
  TTrulyPersistent* object = CreateBlankObject(persistent_class);
  state.Loaded.push_back(object);
  field = object;
  ++session.Depth;
  object->Load();
  --session.Depth;
}

void SkipObjectReference(const TPersistentClass& declared) {
  TTrulyPersistent* ignored = nullptr;
  ReadObjectReference(ignored, declared);
  Reader().Leak = true;
}

std::vector<TTrulyPersistent*> EndLoad() {
  std::unique_ptr<TReaderState> state = std::move(ReaderHolder());
  DynaBasket().Close();
  BasketSession().Stream = nullptr;
  if (!state) return {};
  if (state->Leak) {
    ModuleLogText(
        ModuleLiteral(u"АХТУНГ! ПОТЕНЦИАЛЬНАЯ УТЕЧКА ПАМЯТИ! АЛГОРИТМ НЕ ДОДЕЛАН!",
                      u"DAI HEN! PROBABLE MEMORY LEAK DETECTED! BYPASS NOT IMPLEMENTED YET!"));
  }
  std::vector<TTrulyPersistent*> loaded = std::move(state->Loaded);
  loaded.erase(loaded.begin());  // the nil of reference 0
  state.reset();
  for (TTrulyPersistent* object : loaded) object->AfterLoading();
  return loaded;
}

void AbandonLoad() {
  std::unique_ptr<TReaderState> state = std::move(ReaderHolder());
  DynaBasket().Close();
  BasketSession().Stream = nullptr;
  if (!state) return;
  for (size_t i = 1; i < state->Loaded.size(); ++i) ClearObjectReferences(*state->Loaded[i]);
  for (size_t i = 1; i < state->Loaded.size(); ++i) delete state->Loaded[i];
}

const std::vector<std::u16string>& LastLoadWarnings() {
  return WarningsOfLastLoad();
}

const TLoadConversion& LastLoadConversion() {
  return ConversionOfLastLoad();
}

int32_t TranslateEnumOrdinal(int32_t type_index, uint32_t stored_ordinal) {
  const std::vector<int32_t>& map = Reader().EnumMap[type_index];
  if (stored_ordinal >= map.size())
    DataCorrupt("An enumeration value is beyond the stored values.");
  return map[stored_ordinal];
}

void LoadFieldByField(TTrulyPersistent& object) {
  const TPersistentClass& own = object.PersistentClass();
  const TFieldsList& stored = *own.LocalFieldsList;
  const TFieldsList& current = *own.FieldsList;
  TBasketSession& session = BasketSession();
  TWordStream& stream = DynaBasket();
  auto* base = reinterpret_cast<uint8_t*>(&object);
  for (int32_t i = 0; i < stored.Length; ++i) {
    const TFieldInfo& sf = stored[i];
    if (sf.Skip != 0) continue;
    const TTypeRecord& type = TypeRecord(sf.TypeIndex);
    // A field skipped now takes no stored value either.
    const bool keep = sf.Match >= 0 && current[sf.Match].Skip == 0;
    session.CurrentType = sf.TypeIndex;
    if (type.Handler != nullptr) {
      type.Handler(keep ? base + current[sf.Match].Offset : nullptr, keep ? fio_Load : fio_Skip);
    } else if (keep) {
      stream.ReadWords(base + current[sf.Match].Offset, WordsOfSize(type.Size));
    } else {
      stream.SkipWords(WordsOfSize(type.Size));
    }
  }
}
