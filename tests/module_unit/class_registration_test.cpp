// Class registration: the fields of a class must tile its memory, and each
// misuse of RegisterFields ends registration with its own text.
#include "module/persistence/class_registration.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "module/persistence/persistent_tester.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::FatalTextOf;

class TProbe;
// What TProbe's RegisterFields does in the current case.
std::function<void(TProbe&)> g_register;

class TOtherProbe : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TOtherProbe, TTrulyPersistent)
 public:
  TOtherProbe() = default;
  void RegisterFields() override { RegField("V", v, zt::LongInt); }
  int32_t v;
};

// No fields of its own.
class TEmptyProbe : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TEmptyProbe, TTrulyPersistent)
 public:
  TEmptyProbe() = default;
};

// Fields: a at 12, b at 16, pair at 24 after a hole, d at 32, p at 40, o at 48,
// list at 56, then the bytes x and y, a word each; 72 bytes.
class TProbe : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TProbe, TTrulyPersistent)
 public:
  TProbe() = default;
  void RegisterFields() override { g_register(*this); }
  using TTrulyPersistent::RegField;
  using TTrulyPersistent::RegSkip;
  using TTrulyPersistent::RegSkipPtr;

  int32_t a;
  int32_t b;
  alignas(8) int32_t pair[2];
  double d;
  void* p;
  TOtherProbe* o;
  TAOS* list;
  alignas(4) uint8_t x;
  alignas(4) uint8_t y;
};

void Everything(TProbe& t) {
  t.RegField("a", t.a, zt::LongInt);
  t.RegField("b", t.b, "Integer");
  t.RegSkip("pair", t.pair, zt::Int64);
  t.RegField("d", t.d, zt::Double);
  t.RegSkipPtr("p", t.p);
  t.RegField("o", t.o);
  t.RegField("list", t.list, zt::TAOS);
  t.RegField("x", t.x, zt::Byte);
  t.RegSkip("y", t.y, zt::Byte);
}

class ClassRegistrationTest : public persistence_test::TPersistenceTest {};

TEST_F(ClassRegistrationTest, ProbeLayoutIsWhatTheCasesAssume) {
  TProbe t;
  const auto at = [&](const void* field) {
    return static_cast<const char*>(field) - reinterpret_cast<const char*>(&t);
  };
  EXPECT_EQ(at(&t.a), 12);
  EXPECT_EQ(at(&t.pair), 24);
  EXPECT_EQ(at(&t.d), 32);
  EXPECT_EQ(at(&t.x), 64);
  EXPECT_EQ(at(&t.y), 68);
  EXPECT_EQ(sizeof(TProbe), 72u);
}

TEST_F(ClassRegistrationTest, CleanRegistrationRecordsEveryField) {
  g_register = [](TProbe& t) {
    RegClass<TOtherProbe>();
    Everything(t);
  };
  RegClass<TProbe>();
  const TPersistentClass& probe = TProbe::StaticClass();
  ASSERT_NE(probe.FieldsList, nullptr);
  const TFieldsList& fields = *probe.FieldsList;
  ASSERT_EQ(fields.Length, 9);
  struct Expected {
    const char* name;
    int32_t offset;
    int32_t type;
    int32_t skip;
    uint8_t handler;
  } expected[] = {{"A", 12, 6, 0, 0},     {"B", 16, 6, 0, 0}, {"PAIR", 24, 7, 1, 0},
                  {"D", 32, 9, 0, 0},     {"P", 40, 0, 1, 0}, {"O", 48, 31, 0, 1},
                  {"LIST", 56, 22, 0, 1}, {"X", 64, 1, 0, 0}, {"Y", 68, 1, 1, 0}};
  for (int32_t i = 0; i < fields.Length; ++i) {
    const TFieldInfo& f = fields[i];
    EXPECT_EQ(Persistence().AllNames[f.NameIndex], expected[i].name) << i;
    EXPECT_EQ(f.Offset, expected[i].offset) << i;
    EXPECT_EQ(f.TypeIndex, expected[i].type) << i;
    EXPECT_EQ(f.Skip, expected[i].skip) << i;
    EXPECT_EQ(f.HasHandler, expected[i].handler) << i;
    EXPECT_EQ(f.Match, 0) << i;
  }
  // The class registers itself before the classes its fields name; each
  // class has its own per-class values and its parent keeps its own.
  EXPECT_EQ(TOtherProbe::StaticClass().ClassIndex, 2);
  EXPECT_EQ(probe.ClassIndex, 1);
  EXPECT_EQ(TTrulyPersistent::StaticClass().ClassIndex, -1);
  EXPECT_EQ(ClassIndexOf(probe), 1);
}

TEST_F(ClassRegistrationTest, RefusedRegistrations) {
  struct Case {
    const char* name;
    std::function<void(TProbe&)> fields;
    std::string text;
    std::function<void()> run = [] { RegClass<TProbe>(); };
  } cases[] = {
      {"hole before the first field", [](TProbe& t) { t.RegField("b", t.b, zt::LongInt); },
       "Class TProbe failed its registration.\n\r"
       "  \"_BASKETINDEX\": offset=8, size=4, type=INTEGER\n\r"
       "  \"B\": offset=16, size=4, type=LongInt\n\r"
       "  Alignment=4\n\r  InstanceSize=72\n\r  Gap=4"},
      {"wide field after a hole of its own",
       [](TProbe& t) {
         t.RegField("a", t.a, zt::LongInt);
         t.RegField("pair", t.pair, zt::Double);
       },
       "  \"PAIR\": offset=24, size=8, type=Double\n\r  Alignment=8\n\r  InstanceSize=72\n\r"
       "  Gap=8"},
      {"fields out of order",
       [](TProbe& t) {
         t.RegField("a", t.a, zt::LongInt);
         t.RegField("b", t.b, zt::LongInt);
         t.RegField("a2", t.a, zt::LongInt);
       },
       "  \"B\": offset=16, size=4, type=INTEGER\n\r  \"A2\": offset=12, size=4, type=LongInt\n\r"
       "  Alignment=4\n\r  InstanceSize=72\n\r  Gap=-8"},
      {"bytes left at the end",
       [](TProbe& t) {
         RegClass<TOtherProbe>();
         t.RegField("a", t.a, zt::LongInt);
         t.RegField("b", t.b, "Integer");
         t.RegSkip("pair", t.pair, zt::Int64);
         t.RegField("d", t.d, zt::Double);
         t.RegSkipPtr("p", t.p);
         t.RegField("o", t.o);
         t.RegField("list", t.list, zt::TAOS);
       },
       "  \"LIST\": offset=56, size=8, type=TAOS\n\r  Alignment=8\n\r  InstanceSize=72\n\r"
       "  No man's bytes at the end=8"},
      {"pointer saved",
       [](TProbe& t) {
         t.RegField("a", t.a, zt::LongInt);
         t.RegField("b", t.b, zt::LongInt);
         t.RegSkip("pair", t.pair, zt::Int64);
         t.RegField("d", t.d, zt::Double);
         t.RegField("p", t.p, zt::Pointer);
       },
       "  Field \"P\" is a pointer.\n\r  Pointers and unsupported classes must be skipped via "
       "RegSkipPtr()"},
      {"object skipped",
       [](TProbe& t) {
         t.RegField("a", t.a, zt::LongInt);
         t.RegField("b", t.b, zt::LongInt);
         t.RegSkip("pair", t.pair, zt::Int64);
         t.RegField("d", t.d, zt::Double);
         t.RegSkipPtr("p", t.p);
         t.RegSkip("o", t.o, "TProbe");
       },
       "  Attempt to skip the field \"O\".\n\r  Saveable object fields cannot be skipped!"},
      {"no fields", nullptr, "  It hasn't registered any fields!", [] { RegClass<TEmptyProbe>(); }},
      {"class after a field",
       [](TProbe& t) {
         t.RegField("a", t.a, zt::LongInt);
         RegClass<TOtherProbe>();
       },
       "Classes in RegisterFields() should be registered BEFORE all the fields!"},
      {"unknown type", [](TProbe& t) { t.RegField("a", t.a, "NoSuch"); },
       "Unknown type \"NOSUCH\", not present in the registry!\""},
      {"field of another size", [](TProbe& t) { t.RegField("a", t.a, zt::Int64); },
       "  Field \"A\" takes 4 bytes, its type Int64 takes 8."},
      {"class registered twice", [](TProbe&) { RegClass<TTrulyPersistentTester>(); },
       "Class TTrulyPersistentTester is already registered!"},
  };
  for (const auto& c : cases) {
    InitTypeRegistry();
    g_register = c.fields;
    const std::string text = FatalTextOf(c.run);
    EXPECT_NE(text.find(c.text), std::string::npos) << c.name << "\n" << text;
    EXPECT_NE(text.find("MI_ERROR_PROGRAMMER_NO_BAKA("), std::string::npos) << c.name;
  }
}

// A byte field takes a whole word: a byte right after another is refused.
class TPackedBytes : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TPackedBytes, TTrulyPersistent)
 public:
  TPackedBytes() = default;
  void RegisterFields() override {
    RegField("x", x, zt::Byte);
    RegField("y", y, zt::Byte);
  }
  uint8_t x;
  uint8_t y;
};

TEST_F(ClassRegistrationTest, PackedBytesFailTheStep) {
  const std::string text = FatalTextOf([] { RegClass<TPackedBytes>(); });
  EXPECT_NE(text.find("  \"Y\": offset=13, size=1, type=Byte\n\r  Alignment=4"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Gap=-3"), std::string::npos) << text;
}

TEST_F(ClassRegistrationTest, FieldsOutsideRegistrationAreRefused) {
  TProbe probe;
  probe.a = 0;  // registered fields have no initialisers of their own
  EXPECT_NE(FatalTextOf([&] {
              probe.RegField("a", probe.a, zt::LongInt);
            }).find("only inside RegisterFields()"),
            std::string::npos);
}

}  // namespace
