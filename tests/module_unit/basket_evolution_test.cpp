// Loading a basket written by another build: each case saves with one set
// of classes, starts the registry over as the next build would, registers
// the changed classes under the same names and loads. Each states what
// survives and the exact warnings; a fatal case states its text.
#include <gtest/gtest.h>

#include <functional>

#include "module/persistence/class_registration.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::FatalTextOf;
using persistence_test::Narrow;

// Item classes: every build's TItem, each in a namespace of its own.
#define ZOK_ITEM_CLASS(ns, members, registrations)    \
  namespace ns {                                      \
  class TItem : public TTrulyPersistent {             \
    ZOK_PERSISTENT_CLASS(TItem, TTrulyPersistent)     \
   public:                                            \
    TItem() = default;                                \
    void RegisterFields() override { registrations; } \
    members;                                          \
  };                                                  \
  }

enum TColour : int32_t {};
const TTypeDescription kColours = EnumDescription("TColour", {"Red", "Green", "Blue"});
const TTypeDescription kColoursAppended =
    EnumDescription("TColour", {"Red", "Green", "Blue", "Black"});
const TTypeDescription kColoursRemoved = EnumDescription("TColour", {"Red", "Blue"});
const TTypeDescription kColoursRenamed = EnumDescription("TColour", {"Red", "Green", "Navy"});

ZOK_ITEM_CLASS(base, int32_t a; int32_t b; int32_t c, RegField("A", a, zt::LongInt);
               RegField("B", b, zt::LongInt); RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(added, int32_t a; int32_t b; int32_t c; int32_t d, RegField("A", a, zt::LongInt);
               RegField("B", b, zt::LongInt); RegField("C", c, zt::LongInt);
               RegField("D", d, zt::LongInt))
ZOK_ITEM_CLASS(removed, int32_t a; int32_t c, RegField("A", a, zt::LongInt);
               RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(renamed, int32_t a; int32_t bb; int32_t c, RegField("A", a, zt::LongInt);
               RegField("BB", bb, zt::LongInt); RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(as_float, int32_t a; float b; int32_t c, RegField("A", a, zt::LongInt);
               RegField("B", b, zt::Single); RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(as_integer, int32_t a; int32_t b; int32_t c, RegField("A", a, zt::LongInt);
               RegField("B", b, "Integer"); RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(moved, int32_t c; int32_t a; int32_t b, RegField("C", c, zt::LongInt);
               RegField("A", a, zt::LongInt); RegField("B", b, zt::LongInt))
ZOK_ITEM_CLASS(now_skipped, int32_t a; int32_t b; int32_t c, RegField("A", a, zt::LongInt);
               RegSkip("B", b, zt::LongInt); RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(ansi, int32_t a; std::string s, RegField("A", a, zt::LongInt);
               RegField("S", s, zt::AnsiString))
ZOK_ITEM_CLASS(wide, int32_t a; std::u16string s, RegField("A", a, zt::LongInt);
               RegField("S", s, zt::WideString))
ZOK_ITEM_CLASS(coloured, int32_t a; TColour e; int32_t c, RegType(kColours);
               RegField("A", a, zt::LongInt); RegField("E", e, "TColour");
               RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(coloured_appended, int32_t a; TColour e; int32_t c, RegType(kColoursAppended);
               RegField("A", a, zt::LongInt); RegField("E", e, "TColour");
               RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(coloured_removed, int32_t a; TColour e; int32_t c, RegType(kColoursRemoved);
               RegField("A", a, zt::LongInt); RegField("E", e, "TColour");
               RegField("C", c, zt::LongInt))
ZOK_ITEM_CLASS(coloured_renamed, int32_t a; TColour e; int32_t c, RegType(kColoursRenamed);
               RegField("A", a, zt::LongInt); RegField("E", e, "TColour");
               RegField("C", c, zt::LongInt))

// Values of the fields named A, B, C, D, E and S, whatever the build.
struct TSeen {
  int32_t a = -99, b = -99, c = -99, d = -99, e = -99;
  float bf = -99;
  std::u16string ws;
};
// Each case names only the values it sees; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

template <class T>
TTrulyPersistent* MakeItem(std::function<void(T&)> fill) {
  auto* item = new T();
  fill(*item);
  return item;
}

struct TEvolution {
  const char* name;
  std::function<void()> register_old;
  std::function<TTrulyPersistent*()> make_old;
  std::function<void()> register_new;
  std::function<TSeen(TTrulyPersistent&)> see;
  TSeen expected;
  std::vector<std::string> warnings;
};

template <class T>
std::function<void()> Reg() {
  return [] { RegClass<T>(); };
}

TTrulyPersistent* BaseItem() {
  return MakeItem<base::TItem>([](auto& t) {
    t.a = 1;
    t.b = 2;
    t.c = 3;
  });
}
template <class T>
TTrulyPersistent* ColouredItem(int32_t colour) {
  return MakeItem<T>([colour](auto& t) {
    t.a = 1;
    t.e = static_cast<TColour>(colour);
    t.c = 3;
  });
}

template <class T = base::TItem>
TSeen SeeAbc(TTrulyPersistent& o) {
  auto& t = static_cast<T&>(o);
  return {.a = t.a, .b = t.b, .c = t.c};
}
template <class T>
TSeen SeeAec(TTrulyPersistent& o) {
  auto& t = static_cast<T&>(o);
  return {.a = t.a, .c = t.c, .e = t.e};
}

class BasketEvolutionTest : public persistence_test::TPersistenceTest {};

TEST_F(BasketEvolutionTest, ChangedClassesKeepWhatTheyCan) {
  const TEvolution cases[] = {
      {"same build",
       Reg<base::TItem>(),
       BaseItem,
       Reg<base::TItem>(),
       SeeAbc<>,
       {.a = 1, .b = 2, .c = 3},
       {}},
      {"field added",
       Reg<base::TItem>(),
       BaseItem,
       Reg<added::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<added::TItem&>(o);
         return TSeen{.a = t.a, .b = t.b, .c = t.c, .d = t.d};
       },
       {.a = 1, .b = 2, .c = 3, .d = 0},
       {"MI_BASKET_MISSING_FIELD(TITEM|D|INTEGER)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"field removed",
       Reg<base::TItem>(),
       BaseItem,
       Reg<removed::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<removed::TItem&>(o);
         return TSeen{.a = t.a, .c = t.c};
       },
       {.a = 1, .c = 3},
       {"MI_BASKET_UNKNOWN_FIELD(TITEM|B|INTEGER)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"field renamed",
       Reg<base::TItem>(),
       BaseItem,
       Reg<renamed::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<renamed::TItem&>(o);
         return TSeen{.a = t.a, .b = t.bb, .c = t.c};
       },
       {.a = 1, .b = 0, .c = 3},
       {"MI_BASKET_UNKNOWN_FIELD(TITEM|B|INTEGER)", "MI_BASKET_MISSING_FIELD(TITEM|BB|INTEGER)",
        "MI_BASKET_CONVERSION(TITEM)"}},
      {"integer to float",
       Reg<base::TItem>(),
       BaseItem,
       Reg<as_float::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<as_float::TItem&>(o);
         return TSeen{.a = t.a, .c = t.c, .bf = t.b};
       },
       {.a = 1, .c = 3, .bf = 0},
       {"MI_BASKET_WRONG_FIELD_TYPE(TITEM|B|INTEGER|SINGLE)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"float to integer",
       Reg<as_float::TItem>(),
       [] {
         return MakeItem<as_float::TItem>([](auto& t) {
           t.a = 1;
           t.b = 2.5f;
           t.c = 3;
         });
       },
       Reg<base::TItem>(),
       SeeAbc<>,
       {.a = 1, .b = 0, .c = 3},
       {"MI_BASKET_WRONG_FIELD_TYPE(TITEM|B|SINGLE|INTEGER)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"LongInt to Integer",
       Reg<base::TItem>(),
       BaseItem,
       Reg<as_integer::TItem>(),
       SeeAbc<as_integer::TItem>,
       {.a = 1, .b = 2, .c = 3},
       {}},
      {"field moved",
       Reg<base::TItem>(),
       BaseItem,
       Reg<moved::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<moved::TItem&>(o);
         return TSeen{.a = t.a, .b = t.b, .c = t.c};
       },
       {.a = 1, .b = 2, .c = 3},
       {"MI_BASKET_CONVERSION(TITEM)"}},
      {"field now skipped",
       Reg<base::TItem>(),
       BaseItem,
       Reg<now_skipped::TItem>(),
       SeeAbc<now_skipped::TItem>,
       {.a = 1, .b = 0, .c = 3},
       {"MI_BASKET_CONVERSION(TITEM)"}},
      {"field skipped before",
       Reg<now_skipped::TItem>(),
       [] {
         return MakeItem<now_skipped::TItem>([](auto& t) {
           t.a = 1;
           t.b = 2;
           t.c = 3;
         });
       },
       Reg<base::TItem>(),
       SeeAbc<>,
       {.a = 1, .b = 0, .c = 3},
       {"MI_BASKET_MISSING_FIELD(TITEM|B|INTEGER)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"8-bit to UTF-16 string",
       Reg<ansi::TItem>(),
       [] {
         return MakeItem<ansi::TItem>([](auto& t) {
           t.a = 1;
           t.s = "text";
         });
       },
       Reg<wide::TItem>(),
       [](TTrulyPersistent& o) {
         auto& t = static_cast<wide::TItem&>(o);
         return TSeen{.a = t.a, .ws = t.s};
       },
       {.a = 1},
       {"MI_BASKET_WRONG_FIELD_TYPE(TITEM|S|STRING|WIDESTRING)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"enumeration unchanged",
       Reg<coloured::TItem>(),
       [] { return ColouredItem<coloured::TItem>(2); },
       Reg<coloured::TItem>(),
       SeeAec<coloured::TItem>,
       {.a = 1, .c = 3, .e = 2},
       {}},
      {"enumeration value appended",
       Reg<coloured::TItem>(),
       [] { return ColouredItem<coloured::TItem>(2); },
       Reg<coloured_appended::TItem>(),
       SeeAec<coloured_appended::TItem>,
       {.a = 1, .c = 3, .e = 2},
       {"MI_BASKET_ENUM_CHANGED(TCOLOUR)", "MI_BASKET_CONVERSION(TITEM)"}},
      {"enumeration value removed",
       Reg<coloured::TItem>(),
       [] { return ColouredItem<coloured::TItem>(1); },
       Reg<coloured_removed::TItem>(),
       SeeAec<coloured_removed::TItem>,
       {.a = 1, .c = 3, .e = 0},
       {"MI_BASKET_UNKNOWN_ENUM(TCOLOUR|GREEN|RED)", "MI_BASKET_ENUM_CHANGED(TCOLOUR)",
        "MI_BASKET_CONVERSION(TITEM)"}},
      {"enumeration value translated",
       Reg<coloured::TItem>(),
       [] { return ColouredItem<coloured::TItem>(2); },
       Reg<coloured_removed::TItem>(),
       SeeAec<coloured_removed::TItem>,
       {.a = 1, .c = 3, .e = 1},
       {"MI_BASKET_UNKNOWN_ENUM(TCOLOUR|GREEN|RED)", "MI_BASKET_ENUM_CHANGED(TCOLOUR)",
        "MI_BASKET_CONVERSION(TITEM)"}},
      {"enumeration value renamed",
       Reg<coloured::TItem>(),
       [] { return ColouredItem<coloured::TItem>(2); },
       Reg<coloured_renamed::TItem>(),
       SeeAec<coloured_renamed::TItem>,
       {.a = 1, .c = 3, .e = 0},
       {"MI_BASKET_UNKNOWN_ENUM(TCOLOUR|BLUE|RED)", "MI_BASKET_ENUM_CHANGED(TCOLOUR)",
        "MI_BASKET_CONVERSION(TITEM)"}},
  };
  for (const auto& c : cases) {
    InitTypeRegistry();
    c.register_old();
    std::unique_ptr<TTrulyPersistent> old(c.make_old());
    Save(*old);
    InitTypeRegistry();
    c.register_new();
    TTrulyPersistent* back = LoadRoot("TItem");
    const TSeen seen = c.see(*back);
    const TSeen& want = c.expected;
    EXPECT_TRUE(seen.a == want.a && seen.b == want.b && seen.c == want.c && seen.d == want.d &&
                seen.e == want.e && seen.bf == want.bf && seen.ws == want.ws)
        << c.name << ": " << seen.a << " " << seen.b << " " << seen.c << " " << seen.d << " "
        << seen.e << " " << seen.bf;
    std::vector<std::string> warnings;
    for (const auto& w : LastLoadWarnings()) warnings.push_back(Narrow(w));
    EXPECT_EQ(warnings, c.warnings) << c.name;
    EXPECT_EQ(persistence_test::LogHas("MI_BASKET_NOT_EVERYTHING_IS_FINE_AND_DANDY"),
              !c.warnings.empty())
        << c.name;
    persistence_test::LogLines().clear();
    loaded.clear();
  }
}

// Classes of a graph whose parent gains a field, and classes that come and go.
class TParent : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TParent, TTrulyPersistent)
 public:
  TParent() = default;
  void RegisterFields() override { RegField("X", x, zt::LongInt); }
  int32_t x;
};
class TChild : public TParent {
  ZOK_PERSISTENT_CLASS(TChild, TParent)
 public:
  TChild() = default;
  void RegisterFields() override {
    TParent::RegisterFields();
    RegField("Y", y, zt::LongInt);
  }
  int32_t y;
};
namespace grown {
class TParent : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TParent, TTrulyPersistent)
 public:
  TParent() = default;
  void RegisterFields() override {
    RegField("X", x, zt::LongInt);
    RegField("Z", z, zt::LongInt);
  }
  int32_t x;
  int32_t z;
};
class TChild : public TParent {
  ZOK_PERSISTENT_CLASS(TChild, TParent)
 public:
  TChild() = default;
  void RegisterFields() override {
    TParent::RegisterFields();
    RegField("Y", y, zt::LongInt);
  }
  int32_t y;
};
}  // namespace grown
// Holds a reference typed TParent; another build types it TChild.
class THolder : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(THolder, TTrulyPersistent)
 public:
  THolder() = default;
  void RegisterFields() override {
    RegClass<TParent>();
    RegClass<TChild>();
    RegField("REF", ref);
  }
  TParent* ref;
};
namespace retyped {
class THolder : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(THolder, TTrulyPersistent)
 public:
  THolder() = default;
  void RegisterFields() override {
    RegClass<TParent>();
    RegClass<TChild>();
    RegField("REF", ref);
  }
  TChild* ref;
};
}  // namespace retyped
namespace dropped {
class THolder : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(THolder, TTrulyPersistent)
 public:
  THolder() = default;
  void RegisterFields() override {
    RegClass<TParent>();
    RegClass<TChild>();
    RegField("OTHER", other, zt::LongInt);
  }
  int32_t other;
};
}  // namespace dropped

TEST_F(BasketEvolutionTest, ParentGainsAField) {
  RegClass<TChild>();
  TChild child{};
  child.x = 1;
  child.y = 2;
  Save(child);
  InitTypeRegistry();
  RegClass<grown::TChild>();
  auto* back = static_cast<grown::TChild*>(LoadRoot("TChild"));
  EXPECT_EQ(back->x, 1);
  EXPECT_EQ(back->y, 2);
  EXPECT_EQ(back->z, 0);
  std::vector<std::string> warnings;
  for (const auto& w : LastLoadWarnings()) warnings.push_back(Narrow(w));
  EXPECT_EQ(warnings, (std::vector<std::string>{"MI_BASKET_MISSING_FIELD(TCHILD|Z|INTEGER)",
                                                "MI_BASKET_CONVERSION(TCHILD)"}));
}

TEST_F(BasketEvolutionTest, ClassesComeAndGo) {
  // A class added by the new build changes nothing.
  RegClass<TChild>();
  TChild child{};
  child.x = 5;
  Save(child);
  InitTypeRegistry();
  RegClass<THolder>();
  EXPECT_EQ(static_cast<TChild*>(LoadRoot("TChild"))->x, 5);
  EXPECT_TRUE(LastLoadWarnings().empty());

  // A class removed makes the basket unreadable, used or not.
  Save(child);
  InitTypeRegistry();
  RegClass<TChild>();
  const std::string text = FatalTextOf([&] { LoadRoot("TChild"); });
  EXPECT_NE(
      text.find(
          "MI_BASKET_FAIL_LOAD(MI_BASKET_UNKNOWN_CLASS(THOLDER)\n\rMI_BASKET_EXPLAIN_UNKNOWN()"),
      std::string::npos)
      << text;
}

TEST_F(BasketEvolutionTest, ObjectFieldOfAnotherClassIsFatal) {
  RegClass<THolder>();
  TChild child{};
  THolder holder{};
  holder.ref = &child;
  Save(holder);
  InitTypeRegistry();
  RegClass<retyped::THolder>();
  const std::string text = FatalTextOf([&] { LoadRoot("THolder"); });
  EXPECT_NE(text.find("MI_BASKET_UNKNOWN_OBJECT_FIELD(THOLDER|REF|TPARENT)"), std::string::npos)
      << text;
}

TEST_F(BasketEvolutionTest, DroppedReferenceStillReadsItsObject) {
  RegClass<THolder>();
  TChild child{};
  child.x = 4;
  THolder holder{};
  holder.ref = &child;
  Save(holder);
  InitTypeRegistry();
  RegClass<dropped::THolder>();
  LoadRoot("THolder");
  ASSERT_EQ(loaded.size(), 2u);  // the child is read, though nothing holds it
  EXPECT_EQ(static_cast<TChild*>(loaded[1].get())->x, 4);
  EXPECT_TRUE(persistence_test::LogHas("DAI HEN! PROBABLE MEMORY LEAK DETECTED!"));
}

}  // namespace
