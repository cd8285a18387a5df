// The TDyna family, module build: the cursor (First, Next), the
// virtual Add, and the members the module build leaves out.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "shared/dyna/dyna_types.h"

#ifndef ZOK_MODULE_BUILD
#error "this test is compiled with ZOK_MODULE_BUILD"
#endif

namespace {

template <class T>
constexpr bool kHasCursor = requires(T& t) {
  t.First();
};
template <class T>
constexpr bool kHasAdd = requires(T& t) {
  t.Add(nullptr);
};

// A member that overrides Add, as TNameSpace does.
class TCountingAOS : public TAOS {
 public:
  int32_t adds = 0;
  int32_t Add(std::string x) override {
    ++adds;
    return TAOS::Add(x + "!");
  }
  const char* ClassName() const override { return "TCountingAOS"; }
};

TEST(DynaModuleTest, NewContainerHasCursorZero) {
  TAOI a;
  EXPECT_EQ(a.Cursor, 0);
  EXPECT_EQ(a.Length, 0);
  EXPECT_EQ(a.DataPointer(), nullptr);
  T2DAOI t;
  EXPECT_EQ(t.Cursor, 0);
}

TEST(DynaModuleTest, FirstAndNextWalkTheElements) {
  TAOS a;
  a.Add("one");
  a.Add("two");
  a.Add("three");
  EXPECT_EQ(a.First(), "one");
  EXPECT_EQ(a.Cursor, 1);
  EXPECT_EQ(a.Next(), "two");
  EXPECT_EQ(a.Cursor, 2);
  EXPECT_EQ(a.Next(), "three");
  EXPECT_EQ(a.Cursor, 3);
  // First restarts the walk.
  EXPECT_EQ(a.First(), "one");
  EXPECT_EQ(a.Cursor, 1);
}

TEST(DynaModuleTest, CursorWalkCopiesOut) {
  TAOF a;
  a.Add(1.5f);
  a.Add(2.5f);
  float first = a.First();
  first = 9.0f;
  EXPECT_EQ(a[0], 1.5f);
  float sum = first;
  for (int32_t i = 1; i < a.Length; ++i) sum += a.Next();
  EXPECT_EQ(sum, 11.5f);
}

TEST(DynaModuleTest, CursorOnEveryModuleMember) {
  TAOW w;
  w.Add(u"x");
  EXPECT_EQ(w.First(), u"x");
  TAOC c;
  c.Add(7u);
  c.Add(8u);
  c.First();
  EXPECT_EQ(c.Next(), 8u);
  TAOI i;
  i.Add(-1);
  EXPECT_EQ(i.First(), -1);
  TObjectArray<TObject, "TAoObj"> o;
  TObject object;
  o.Add(&object);
  EXPECT_EQ(o.First(), &object);
}

TEST(DynaModuleTest, AddIsVirtual) {
  TCountingAOS derived;
  TAOS& base = derived;
  EXPECT_EQ(base.Add("a"), 0);
  EXPECT_EQ(base.Add("b"), 1);
  EXPECT_EQ(derived.adds, 2);
  EXPECT_EQ(derived.Length, 2);
  EXPECT_EQ(derived[1], "b!");
  EXPECT_STREQ(static_cast<TObject&>(derived).ClassName(), "TCountingAOS");
}

TEST(DynaModuleTest, TwoDimensionalMembersHaveNoCursorOrAdd) {
  static_assert(!kHasCursor<T2DAOS>);
  static_assert(!kHasAdd<T2DAOS>);
  static_assert(kHasCursor<TAOS>);
  T2DAOS t;
  t.SetRect(2, 2);
  t.Row(1)->SetItem(0, "r1");
  EXPECT_EQ(t.Row(1)->First(), "r1");
  EXPECT_EQ(t.Row(1)->Cursor, 1);
  EXPECT_STREQ(t.ClassName(), "T2DAOS");
}

TEST(DynaModuleTest, ClassesAreConcrete) {
  // Save and Load come with the persistence change; until then every member
  // must be constructible in the module build.
  static_assert(!std::is_abstract_v<TAOS>);
  static_assert(!std::is_abstract_v<TAOW>);
  static_assert(!std::is_abstract_v<TAOF>);
  static_assert(!std::is_abstract_v<TAOC>);
  static_assert(!std::is_abstract_v<TAOI>);
  static_assert(!std::is_abstract_v<T2DAOS>);
  static_assert(!std::is_abstract_v<T2DAOI>);
  static_assert(!std::is_copy_constructible_v<TAOS>);
  SUCCEED();
}

}  // namespace
