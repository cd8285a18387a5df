#include "module/persistence/basket_writer.h"

#include <vector>

#include "module/persistence/basket_session.h"
#include "module/persistence/scenario.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/module_report.h"

namespace {

struct TWriterState {
  std::vector<TTrulyPersistent*> Saved;  // in writing order
  int32_t Count = 0;
};

TWriterState& Writer() {
  static TWriterState state;
  return state;
}

void WriteTables(TWordStream& stream, const std::string& signature) {
  TPersistenceRegistry& p = Persistence();
  stream.WriteWideString(WideText(signature));
  p.EnumValues.Save();
  stream.WriteWord(static_cast<uint32_t>(p.Registry.Length));
  for (int32_t t = 0; t < p.Registry.Length; ++t) {
    stream.WriteWord(static_cast<uint32_t>(p.Registry[t].NameIndex));
  }
  stream.WriteWord(static_cast<uint32_t>(p.Registry.Length));
  for (int32_t t = 0; t < p.Registry.Length; ++t) {
    stream.WriteWord(static_cast<uint32_t>(p.Registry[t].Size));
  }
  stream.WriteWord(static_cast<uint32_t>(p.ClassTypes.Length));
  for (int32_t c = 0; c < p.ClassTypes.Length; ++c) {
    stream.WriteWord(static_cast<uint32_t>(p.Registry[p.ClassTypes[c]].NameIndex));
  }
  p.FieldTables.Save();
  p.AllNames.Save();
}

// Only objects of registered classes have a class index the basket means.
bool IsRegistered(const TPersistentClass& persistent_class) {
  const TPersistenceRegistry& p = Persistence();
  const int32_t c = persistent_class.ClassIndex;
  return c >= 0 && c < p.ClassTypes.Length &&
         p.Registry[p.ClassTypes[c]].ClassRef == &persistent_class;
}

[[noreturn]] void SaveFailure(const std::u16string& reason) {
  ModuleFatalError(MI_BASKET_FAIL_SAVE, {reason});
}

void ResetBasketIndices() {
  TWriterState& writer = Writer();
  for (TTrulyPersistent* object : writer.Saved) object->_BasketIndex = 0;
  writer.Saved.clear();
  writer.Count = 0;
}

}  // namespace

void BeginSave(TWordStream& stream, const std::string& name, int32_t kind,
               const std::string& signature) {
  ResetBasketIndices();
  TBasketSession& session = BasketSession();
  session.Stream = &stream;
  session.Depth = 0;
  stream.BeginWriting(name, kind);
  try {
    WriteTables(stream, signature);
    ModuleVerboseLog(u"Types information added to savegame.", {});
    session.ScenarioTable.clear();
    const TPersistenceRegistry& p = Persistence();
    for (int32_t c = 0; c < p.ClassTypes.Length; ++c) {
      BuildScenario(*p.Registry[p.ClassTypes[c]].ClassRef);
    }
    ModuleVerboseLog(u"Saving scenarios built.", {});
  } catch (...) {
    ModuleFatalErrorInContext(ModuleLiteral(u"Крах при подготовке данных к записи",
                                            u"Crashed while preparing data for saving."));
  }
}

void BeginSave(const std::string& name, int32_t kind, const std::string& signature) {
  BeginSave(DynaBasket(), name, kind, signature);
}

void WriteObjectReference(TTrulyPersistent* object) {
  TWordStream& stream = DynaBasket();
  if (object == nullptr) {
    stream.WriteWord(static_cast<uint32_t>(-1));
    return;
  }
  if (object->_BasketIndex > 0) {
    stream.WriteWord(static_cast<uint32_t>(object->_BasketIndex));
    return;
  }
  const TPersistentClass& persistent_class = object->PersistentClass();
  if (!IsRegistered(persistent_class)) {
    SaveFailure(u"The class " + WideText(persistent_class.Name) +
                u" is not registered; its objects cannot be stored.");
  }
  TBasketSession& session = BasketSession();
  if (session.Depth >= kMaxObjectDepth) {
    SaveFailure(u"The objects refer to each other more than " +
                WideText(std::to_string(kMaxObjectDepth)) + u" levels deep.");
  }
  stream.WriteWord(0);
  stream.WriteWord(static_cast<uint32_t>(persistent_class.ClassIndex));
  TWriterState& writer = Writer();
  // Numbered before its body, so references back to it are its index.
  object->_BasketIndex = ++writer.Count;
  writer.Saved.push_back(object);
  ++session.Depth;
  object->Save();
  --session.Depth;
}

void EndSave() {
  TWordStream& stream = DynaBasket();
  stream.FinishWriting();
  stream.Close();
  ResetBasketIndices();
  BasketSession().Stream = nullptr;
}

void AbandonSave() {
  ResetBasketIndices();
  BasketSession().Depth = 0;
  DynaBasket().Close();
  BasketSession().Stream = nullptr;
}
