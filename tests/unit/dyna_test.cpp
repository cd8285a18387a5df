// The TDyna family, host build: every one-dimensional and every
// two-dimensional member through typed tests, then the edge cases the Part
// names one by one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "shared/dyna/dyna_types.h"

namespace {

// Objects that count their destructions, for the Owns rule.
class TCounted : public TObject {
 public:
  explicit TCounted(int* deaths) : deaths_(deaths) {}
  ~TCounted() override { ++*deaths_; }
  const char* ClassName() const override { return "TCounted"; }

 private:
  int* deaths_;
};

// Objects that stay alive for the whole run: element values of TAOO rows.
TObject gObjects[4];
int gTargets[4];

// A distinct, non-empty value number k of each element type.
template <class E>
E Sample(int k);
template <>
std::string Sample<std::string>(int k) {
  return "item-" + std::to_string(k) + "-long-enough-to-live-on-the-heap";
}
template <>
std::u16string Sample<std::u16string>(int k) {
  return u"w" + std::u16string(1, static_cast<char16_t>(u'0' + k));
}
template <>
float Sample<float>(int k) {
  return 0.5f + static_cast<float>(k);
}
template <>
uint32_t Sample<uint32_t>(int k) {
  return 0xF0000000u + static_cast<uint32_t>(k);
}
template <>
int32_t Sample<int32_t>(int k) {
  return -7 - k;
}
template <>
void* Sample<void*>(int k) {
  return &gTargets[k % 4];
}
template <>
int64_t Sample<int64_t>(int k) {
  return (int64_t{1} << 40) + k;
}
template <>
TObject* Sample<TObject*>(int k) {
  return &gObjects[k % 4];
}

template <class A>
constexpr bool kStringMember = std::is_same_v<typename A::Element, std::string> ||
                               std::is_same_v<typename A::Element, std::u16string>;

template <class A>
const char* ExpectedName();
#define ZOK_EXPECT_NAME(T)        \
  template <>                     \
  const char* ExpectedName<T>() { \
    return #T;                    \
  }
ZOK_EXPECT_NAME(TAOS)
ZOK_EXPECT_NAME(TAOW)
ZOK_EXPECT_NAME(TAOF)
ZOK_EXPECT_NAME(TAOC)
ZOK_EXPECT_NAME(TAOI)
ZOK_EXPECT_NAME(TAOP)
ZOK_EXPECT_NAME(TAOB)
ZOK_EXPECT_NAME(TAOI64)
ZOK_EXPECT_NAME(TAOO)
ZOK_EXPECT_NAME(T2DAOS)
ZOK_EXPECT_NAME(T2DAOW)
ZOK_EXPECT_NAME(T2DAOF)
ZOK_EXPECT_NAME(T2DAOC)
ZOK_EXPECT_NAME(T2DAOI)
ZOK_EXPECT_NAME(T2DAOP)
ZOK_EXPECT_NAME(T2DAOB)
ZOK_EXPECT_NAME(T2DAOI64)
ZOK_EXPECT_NAME(T2DAOO)
#undef ZOK_EXPECT_NAME

// ---------------------------------------------------------------------------
// One-dimensional members.

template <class A>
class Dyna1DTest : public ::testing::Test {
 protected:
  using Element = typename A::Element;
  static Element Value(int k) { return Sample<Element>(k); }
  static Element Empty() { return Element{}; }
};

using OneDimensionalMembers =
    ::testing::Types<TAOS, TAOW, TAOF, TAOC, TAOI, TAOP, TAOB, TAOI64, TAOO>;
TYPED_TEST_SUITE(Dyna1DTest, OneDimensionalMembers);

TYPED_TEST(Dyna1DTest, NewContainerIsEmpty) {
  TypeParam a;
  EXPECT_EQ(a.Length, 0);
  EXPECT_EQ(a.NewLength, 0);
  EXPECT_EQ(a.HighIndex(), -1);
  EXPECT_EQ(a.DataPointer(), nullptr);
}

TYPED_TEST(Dyna1DTest, AddReturnsNewHighIndex) {
  TypeParam a;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(a.Add(this->Value(k)), k);
    EXPECT_EQ(a.Length, k + 1);
    EXPECT_EQ(a.NewLength, k + 1);
    EXPECT_EQ(a.HighIndex(), k);
    EXPECT_EQ(a.Last(), this->Value(k));
  }
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a.GetItem(k), this->Value(k));
}

TYPED_TEST(Dyna1DTest, AddOfOwnElementIsSafe) {
  TypeParam a;
  a.Add(this->Value(1));
  for (int k = 0; k < 5; ++k) a.Add(a[0]);
  ASSERT_EQ(a.Length, 6);
  for (int k = 0; k < 6; ++k) EXPECT_EQ(a[k], this->Value(1));
}

TYPED_TEST(Dyna1DTest, GrowthGivesEmptyElements) {
  TypeParam a;
  a.Resize(3);
  ASSERT_EQ(a.Length, 3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a.GetItem(k), this->Empty());
}

TYPED_TEST(Dyna1DTest, ShrinkThenRegrowGivesEmptyNotOldElements) {
  TypeParam a;
  for (int k = 0; k < 4; ++k) a.Add(this->Value(k));
  a.Resize(1);
  EXPECT_EQ(a.Length, 1);
  a.Resize(4);
  EXPECT_EQ(a.GetItem(0), this->Value(0));
  for (int k = 1; k < 4; ++k) EXPECT_EQ(a.GetItem(k), this->Empty());
}

TYPED_TEST(Dyna1DTest, IncrementAndDecrement) {
  TypeParam a;
  a.Increment();
  a.Increment();
  EXPECT_EQ(a.Length, 2);
  a.SetItem(0, this->Value(0));
  a.SetLast(this->Value(1));
  a.Decrement();
  EXPECT_EQ(a.Length, 1);
  EXPECT_EQ(a.Last(), this->Value(0));
}

TYPED_TEST(Dyna1DTest, SetItemReplacesOneElement) {
  TypeParam a;
  a.Resize(3);
  a.SetItem(1, this->Value(2));
  EXPECT_EQ(a.GetItem(0), this->Empty());
  EXPECT_EQ(a.GetItem(1), this->Value(2));
  EXPECT_EQ(a.GetItem(2), this->Empty());
  a[2] = this->Value(3);
  EXPECT_EQ(a.Last(), this->Value(3));
}

TYPED_TEST(Dyna1DTest, ClearMemKeepsLengthAndEmptiesElements) {
  TypeParam a;
  for (int k = 0; k < 3; ++k) a.Add(this->Value(k));
  a.ClearMem();
  ASSERT_EQ(a.Length, 3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(a.GetItem(k), this->Empty());
}

TYPED_TEST(Dyna1DTest, DataPointerPointsAtElementZeroOfPlainMembers) {
  TypeParam a;
  a.Add(this->Value(0));
  a.Add(this->Value(1));
  if constexpr (kStringMember<TypeParam>) {
    EXPECT_EQ(a.DataPointer(), nullptr);
  } else {
    ASSERT_EQ(a.DataPointer(), static_cast<void*>(&a[0]));
    auto* raw = static_cast<typename TypeParam::Element*>(a.DataPointer());
    EXPECT_EQ(raw[1], this->Value(1));
  }
  a.Resize(0);
  EXPECT_EQ(a.DataPointer(), nullptr);
}

TYPED_TEST(Dyna1DTest, SetRectIgnoresSecondArgument) {
  TypeParam a;
  TDyna& base = a;
  base.SetRect(3, 9);
  EXPECT_EQ(a.Length, 3);
}

TYPED_TEST(Dyna1DTest, ClassNameIsMemberName) {
  TypeParam a;
  const TObject& object = a;
  EXPECT_STREQ(object.ClassName(), ExpectedName<TypeParam>());
}

TYPED_TEST(Dyna1DTest, IsNonCopyableAndHasNoModuleMembers) {
  static_assert(!std::is_copy_constructible_v<TypeParam>);
  static_assert(!std::is_copy_assignable_v<TypeParam>);
  static_assert(std::is_base_of_v<TDyna, TypeParam>);
  static_assert(!requires(TypeParam & a) { a.First(); });
  static_assert(!requires(TypeParam & a) { a.Cursor; });
  SUCCEED();
}

TYPED_TEST(Dyna1DTest, DeletesThroughBasePointer) {
  TDyna* a = new TypeParam();
  a->Resize(5);
  delete a;
  SUCCEED();
}

// ---------------------------------------------------------------------------
// Two-dimensional members.

template <class A>
class Dyna2DTest : public ::testing::Test {
 protected:
  using RowElement = typename std::remove_pointer_t<decltype(std::declval<A&>().Row(0))>::Element;
  static RowElement Value(int k) { return Sample<RowElement>(k); }
};

using TwoDimensionalMembers =
    ::testing::Types<T2DAOS, T2DAOW, T2DAOF, T2DAOC, T2DAOI, T2DAOP, T2DAOB, T2DAOI64, T2DAOO>;
TYPED_TEST_SUITE(Dyna2DTest, TwoDimensionalMembers);

TYPED_TEST(Dyna2DTest, NewContainerIsEmpty) {
  TypeParam t;
  EXPECT_EQ(t.Length, 0);
  EXPECT_EQ(t.HighIndex(), -1);
  EXPECT_EQ(t.DataPointer(), nullptr);
}

TYPED_TEST(Dyna2DTest, SetRectShapesEveryRow) {
  TypeParam t;
  t.SetRect(3, 4);
  ASSERT_EQ(t.Length, 3);
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(t.Row(i), nullptr);
    EXPECT_EQ(t.Row(i)->Length, 4);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(t.Row(i)->GetItem(j), typename TestFixture::RowElement{});
  }
  EXPECT_EQ(t.DataPointer(), nullptr);
  t.SetRect(2, 1);
  ASSERT_EQ(t.Length, 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(t.Row(i)->Length, 1);
}

TYPED_TEST(Dyna2DTest, GrowthKeepsExistingRowsAndAddsEmptyOnes) {
  TypeParam t;
  t.SetRect(2, 2);
  auto* row0 = t.Row(0);
  row0->SetItem(1, this->Value(1));
  t.Resize(3);
  EXPECT_EQ(t.Row(0), row0);
  EXPECT_EQ(t.Row(0)->GetItem(1), this->Value(1));
  ASSERT_NE(t.LastRow(), nullptr);
  EXPECT_EQ(t.LastRow()->Length, 0);
  EXPECT_NE(t.Row(1), t.Row(2));
}

TYPED_TEST(Dyna2DTest, ClearMemClearsEveryRowAndKeepsShape) {
  TypeParam t;
  t.SetRect(2, 3);
  auto* row1 = t.Row(1);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) t.Row(i)->SetItem(j, this->Value(j));
  t.ClearMem();
  ASSERT_EQ(t.Length, 2);
  EXPECT_EQ(t.Row(1), row1);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(t.Row(i)->Length, 3);
    for (int j = 0; j < 3; ++j) EXPECT_EQ(t.Row(i)->GetItem(j), typename TestFixture::RowElement{});
  }
}

TYPED_TEST(Dyna2DTest, SetRowStoresTheRowReference) {
  TypeParam t;
  t.Resize(2);
  auto* old_row = t.Row(0);
  using RowClass = std::remove_pointer_t<decltype(old_row)>;
  auto* row = new RowClass();
  row->Add(this->Value(2));
  t.SetRow(0, row);
  EXPECT_EQ(t.Row(0), row);
  delete old_row;  // SetRow leaves the old row to the caller
  auto* other = new RowClass();
  auto* old_last = t.LastRow();
  t.SetLastRow(other);
  EXPECT_EQ(t.LastRow(), other);
  delete old_last;
}

TYPED_TEST(Dyna2DTest, ClassNameIsMemberName) {
  TypeParam t;
  t.Resize(1);
  const TObject& object = t;
  EXPECT_STREQ(object.ClassName(), ExpectedName<TypeParam>());
  EXPECT_EQ(std::string(object.ClassName()).substr(3),
            std::string(t.Row(0)->ClassName()).substr(1));  // T2DAOx has rows TAOx
}

TYPED_TEST(Dyna2DTest, IsNonCopyable) {
  static_assert(!std::is_copy_constructible_v<TypeParam>);
  static_assert(!std::is_copy_assignable_v<TypeParam>);
  static_assert(!requires(TypeParam & t) { t.Add(nullptr); });
  SUCCEED();
}

// ---------------------------------------------------------------------------
// The edge cases one by one.

TEST(DynaTest, StringGrowthAndRegrowthGiveEmptyStrings) {
  TAOS a;
  a.Resize(2);
  EXPECT_EQ(a[0], "");
  EXPECT_EQ(a[1], "");
  a[0] = "alpha";
  a[1] = "beta";
  a.Resize(1);
  a.Resize(3);
  EXPECT_EQ(a[0], "alpha");
  EXPECT_EQ(a[1], "");
  EXPECT_EQ(a[2], "");
}

TEST(DynaTest, Utf16StringsRoundTrip) {
  TAOW a;
  a.Add(u"\u0416\u0443\u043A");  // Cyrillic
  EXPECT_EQ(a.Last(), u"\u0416\u0443\u043A");
  a.ClearMem();
  EXPECT_EQ(a.Last(), u"");
}

TEST(DynaTest, AddOnTaoiCountsUp) {
  TIntegerArray a;
  static_assert(std::is_same_v<TIntegerArray, TAOI>);
  for (int32_t k = 0; k < 100; ++k) {
    ASSERT_EQ(a.Add(k * 3), k);
    ASSERT_EQ(a.Length, k + 1);
  }
  auto* raw = static_cast<int32_t*>(a.DataPointer());
  for (int32_t k = 0; k < 100; ++k) EXPECT_EQ(raw[k], k * 3);
}

TEST(DynaTest, ClearMemOnTaoiKeepsLengthAndZeroes) {
  TAOI a;
  a.Add(5);
  a.Add(-6);
  a.Add(7);
  a.ClearMem();
  ASSERT_EQ(a.Length, 3);
  EXPECT_EQ(a[0], 0);
  EXPECT_EQ(a[1], 0);
  EXPECT_EQ(a[2], 0);
}

TEST(DynaTest, SetRectOnT2daoi) {
  T2DAOI t;
  t.SetRect(3, 4);
  ASSERT_EQ(t.Length, 3);
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(t.Row(i)->Length, 4);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(t.Row(i)->GetItem(j), 0);
  }
  t.Row(0)->SetItem(0, 42);
  t.SetRect(2, 1);
  ASSERT_EQ(t.Length, 2);
  EXPECT_EQ(t.Row(0)->Length, 1);
  EXPECT_EQ(t.Row(1)->Length, 1);
  EXPECT_EQ(t.Row(0)->GetItem(0), 42);
  EXPECT_EQ(t.Row(1)->GetItem(0), 0);
}

TEST(DynaTest, ClearMemOnT2daosEmptiesEveryStringAndKeepsRows) {
  T2DAOS t;
  t.SetRect(2, 0);
  t.Row(0)->Add("a");
  t.Row(0)->Add("bb");
  t.Row(1)->Add("ccc");
  TAOS* row0 = t.Row(0);
  TAOS* row1 = t.Row(1);
  t.ClearMem();
  ASSERT_EQ(t.Length, 2);
  EXPECT_EQ(t.Row(0), row0);
  EXPECT_EQ(t.Row(1), row1);
  ASSERT_EQ(row0->Length, 2);
  ASSERT_EQ(row1->Length, 1);
  EXPECT_EQ(row0->GetItem(0), "");
  EXPECT_EQ(row0->GetItem(1), "");
  EXPECT_EQ(row1->GetItem(0), "");
}

TEST(DynaTest, ObjectArrayWithoutOwnsFreesNothing) {
  int deaths = 0;
  TCounted first(&deaths);
  TCounted second(&deaths);
  {
    TAOO a;
    EXPECT_FALSE(a.Owns);
    a.Add(&first);
    a.Add(nullptr);
    a.Add(&second);
    a.Resize(0);
    EXPECT_EQ(deaths, 0);
    a.Add(&first);
    a.Add(&second);
    a.ClearMem();
    EXPECT_EQ(a[0], nullptr);
    EXPECT_EQ(a[1], nullptr);
    a.Add(&first);
  }  // destruction
  EXPECT_EQ(deaths, 0);
}

TEST(DynaTest, ObjectArrayWithOwnsFreesExactlyTheNonNilOnes) {
  int deaths = 0;
  TAOO a;
  a.Owns = true;
  a.Add(new TCounted(&deaths));
  a.Add(nullptr);
  a.Add(new TCounted(&deaths));
  a.Add(new TCounted(&deaths));
  a.Resize(3);  // drops one object
  EXPECT_EQ(deaths, 1);
  a.Resize(5);
  EXPECT_EQ(a[3], nullptr);  // new slots are nil, not the freed object
  EXPECT_EQ(a[4], nullptr);
  a.Resize(0);  // two objects, one nil and two new nils
  EXPECT_EQ(deaths, 3);

  a.Add(new TCounted(&deaths));
  a.Add(nullptr);
  a.ClearMem();
  EXPECT_EQ(deaths, 4);
  EXPECT_EQ(a.Length, 2);
  EXPECT_EQ(a[0], nullptr);

  {
    TAOO b;
    b.Owns = true;
    b.Add(new TCounted(&deaths));
    b.Add(nullptr);
    b.Add(new TCounted(&deaths));
  }  // destruction
  EXPECT_EQ(deaths, 6);
}

TEST(DynaTest, ObjectArraySetItemNeitherFreesNorAdopts) {
  int deaths = 0;
  TCounted kept(&deaths);
  auto* owned = new TCounted(&deaths);
  TAOO a;
  a.Owns = true;
  a.Add(owned);
  a.SetItem(0, &kept);  // the old object stays the caller's
  EXPECT_EQ(deaths, 0);
  a.SetItem(0, nullptr);
  delete owned;
  EXPECT_EQ(deaths, 1);
}

TEST(DynaTest, TypedObjectArray) {
  int deaths = 0;
  using TAoCounted = TObjectArray<TCounted, "TAoCounted">;
  {
    TAoCounted a;
    a.Owns = true;
    a.Add(new TCounted(&deaths));
    TCounted* typed = a.Last();  // no cast needed
    EXPECT_STREQ(typed->ClassName(), "TCounted");
    EXPECT_STREQ(a.ClassName(), "TAoCounted");
    EXPECT_EQ(a.DataPointer(), static_cast<void*>(&a[0]));
  }
  EXPECT_EQ(deaths, 1);
  TObjectArray<TCounted> unnamed;
  EXPECT_STREQ(unnamed.ClassName(), "TObjectArray");
}

TEST(DynaTest, RowsOfT2daooStartWithoutOwns) {
  int deaths = 0;
  TCounted object(&deaths);
  {
    T2DAOO t;
    t.SetRect(2, 1);
    EXPECT_FALSE(t.Row(0)->Owns);
    EXPECT_FALSE(t.Row(1)->Owns);
    t.Row(1)->SetItem(0, &object);
    t.SetRect(1, 1);
  }
  EXPECT_EQ(deaths, 0);
}

TEST(DynaTest, BooleanArrayIsDistinctFromIntegerArray) {
  static_assert(!std::is_same_v<TAOB, TAOI>);
  static_assert(!std::is_same_v<T2DAOB, T2DAOI>);
  static_assert(std::is_same_v<TAOB::Element, int32_t>);
  static_assert(sizeof(TAOB::Element) == 4);
  TAOB b;
  b.Add(1);
  b.Add(0);
  EXPECT_EQ(b[0], 1);
  EXPECT_STREQ(b.ClassName(), "TAOB");
}

TEST(DynaTest, ElementWidths) {
  static_assert(sizeof(TAOF::Element) == 4);
  static_assert(sizeof(TAOC::Element) == 4);
  static_assert(sizeof(TAOI::Element) == 4);
  static_assert(sizeof(TAOI64::Element) == 8);
  static_assert(std::is_same_v<TAOS::Element, std::string>);
  static_assert(std::is_same_v<TAOW::Element, std::u16string>);
  static_assert(std::is_same_v<TAOO::Element, TObject*>);
  SUCCEED();
}

TEST(DynaTest, ValuesSurviveExactReallocation) {
  TAOI64 a;
  for (int64_t k = 0; k < 50; ++k) a.Add(k << 33);
  a.Resize(20);
  a.Resize(30);
  for (int64_t k = 0; k < 20; ++k) EXPECT_EQ(a[static_cast<int32_t>(k)], k << 33);
  for (int32_t k = 20; k < 30; ++k) EXPECT_EQ(a[k], 0);
}

}  // namespace
