// A module whose state must survive a hot reload: a counter, a list of
// named items and a colour, driven by keys. It writes its state to the file
// named by ZOK_TEST_RECORD_FILE whenever the state differs from the last
// line it wrote, and "firstrun" when FirstRun runs.
//
// Built in variants from this one source, as a developer would change it:
//   ZOK_STATE_FIELD_CHANGED  the field f_bonus removed, f_extra added
//   ZOK_STATE_ENUM_RENAMED   the colour Blue renamed Navy
// ZOK_TEST_STATE_ITEMS=N makes FirstRun add N items, for a big session.
//
// Keys (scan codes): A (30) counter + 1, I (23) adds an item, C (46) next
// colour, B (48) bonus + 1 (extra + 1 in the changed variant).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "module/runtime/mo_session.h"

namespace {

constexpr int32_t kKeyA = 30;
constexpr int32_t kKeyI = 23;
constexpr int32_t kKeyC = 46;
constexpr int32_t kKeyB = 48;

#ifdef ZOK_STATE_ENUM_RENAMED
const char* const kColourNames[] = {"Red", "Green", "Navy"};
#else
const char* const kColourNames[] = {"Red", "Green", "Blue"};
#endif
constexpr int32_t kColourCount = 3;

const TTypeDescription& ColourType() {
  static const TTypeDescription type =
      EnumDescription("TColour", {kColourNames[0], kColourNames[1], kColourNames[2]});
  return type;
}

enum TColour : int32_t {};

void Record(const std::string& line) {
  const char* file = std::getenv("ZOK_TEST_RECORD_FILE");
  if (file == nullptr || *file == '\0') return;
  if (FILE* out = std::fopen(file, "a")) {
    std::fputs((line + "\n").c_str(), out);
    std::fclose(out);
  }
}

}  // namespace

class TStateItem : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TStateItem, TTrulyPersistent)
 public:
  explicit TStateItem(std::string name) : f_name(std::move(name)) {}
  void RegisterFields() override {
    TTrulyPersistent::RegisterFields();
    RegField("f_name", f_name, zt::AnsiString);
  }
  std::string f_name;
};

class TStateModule : public TModule {
  ZOK_PERSISTENT_CLASS(TStateModule, TModule)
 public:
  TStateModule()
      : f_counter(0),
        f_items(new TArrayOfTrulyPersistent()),
        f_colour(TColour{0}),
#ifdef ZOK_STATE_FIELD_CHANGED
        f_extra(0) {
  }
#else
        f_bonus(0) {
  }
#endif
  ~TStateModule() override {
    if (f_items == nullptr) return;
    for (int32_t i = 0; i < f_items->Length; ++i) delete (*f_items)[i];
    delete f_items;
  }

  void RegisterFields() override {
    RegClassOnce<TStateItem>();
    RegType(ColourType());
    TModule::RegisterFields();
    RegField("f_counter", f_counter, zt::LongInt);
    RegField("f_items", f_items, zt::TArrayOfTrulyPersistent);
    RegField("f_colour", f_colour, "TColour");
#ifdef ZOK_STATE_FIELD_CHANGED
    RegField("f_extra", f_extra, zt::LongInt);
#else
    RegField("f_bonus", f_bonus, zt::LongInt);
#endif
  }

  void FirstRun() override {
    Record("firstrun");
    if (const char* items = std::getenv("ZOK_TEST_STATE_ITEMS")) AddItems(std::atoi(items));
  }

  int32_t Cycle() override {
    TModule::Cycle();
    RecordIfChanged();
    return 0;
  }

  void Press(int32_t key) override {
    TModule::Press(key);
    if (key == kKeyA) ++f_counter;
    if (key == kKeyI) AddItem();
    if (key == kKeyC) f_colour = TColour{(f_colour + 1) % kColourCount};
#ifdef ZOK_STATE_FIELD_CHANGED
    if (key == kKeyB) ++f_extra;
#else
    if (key == kKeyB) ++f_bonus;
#endif
    RecordIfChanged();
  }

 private:
  void AddItem() {
    AddItems(1);
  }
  // One resize for all: the array reallocates to its exact length each time.
  void AddItems(int32_t count) {
    if (count <= 0) return;
    const int32_t first = f_items->Length;
    f_items->Resize(first + count);
    for (int32_t i = first; i < first + count; ++i) {
      (*f_items)[i] = new TStateItem("item" + std::to_string(i + 1));
    }
  }

  // The item count and the first few names: a big state stays one short line.
  std::string ItemsText() const {
    constexpr int32_t kNamesShown = 4;
    std::string text = std::to_string(f_items->Length) + ":";
    for (int32_t i = 0; i < f_items->Length && i < kNamesShown; ++i) {
      text += (i > 0 ? "," : "") + static_cast<TStateItem*>((*f_items)[i])->f_name;
    }
    return f_items->Length > kNamesShown ? text + ",..." : text;
  }

  std::string StateText() const {
    const bool known_colour = f_colour >= 0 && f_colour < kColourCount;
    std::string text = "state counter=" + std::to_string(f_counter) + " items=" + ItemsText() +
                       " colour=" + (known_colour ? kColourNames[f_colour] : "?");
#ifdef ZOK_STATE_FIELD_CHANGED
    return text + " extra=" + std::to_string(f_extra);
#else
    return text + " bonus=" + std::to_string(f_bonus);
#endif
  }

  // Per library instance: a reload records the restored state once.
  void RecordIfChanged() {
    static std::string last;
    const std::string text = StateText();
    if (text == last) return;
    last = text;
    Record(text);
  }

 public:
  int32_t f_counter;
  TArrayOfTrulyPersistent* f_items;
  TColour f_colour;
#ifdef ZOK_STATE_FIELD_CHANGED
  int32_t f_extra;
#else
  int32_t f_bonus;
#endif
};

ZOK_MODULE_OBJECT_CLASS(TStateModule);
