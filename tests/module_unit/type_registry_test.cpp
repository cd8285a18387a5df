// The type registry: name spaces with aliases, the built-in types, every
// form of RegType and its refusals.
#include <gtest/gtest.h>

#include "module/persistence/field_handlers.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::FatalTextOf;
using persistence_test::LogHas;

class TypeRegistryTest : public persistence_test::TPersistenceTest {};

TEST(NameSpaceTest, AliasesResolveToTheirNames) {
  TNameSpace names;
  names.AddAlias("LONGINT", "INTEGER");
  names.AddAlias("LONGWORD", "CARDINAL");
  names.AddAlias("ANSISTRING", "STRING");
  struct Case {
    const char* name;
    int32_t index;
  } cases[] = {{"longint", 0},    {"Integer", 0}, {"LongWord", 2}, {"cardinal", 2},
               {"AnsiString", 4}, {"STRING", 4},  {"Nothing", -1}};
  for (const auto& c : cases) EXPECT_EQ(names.IndexOf(c.name), c.index) << c.name;
  EXPECT_EQ(names.Length, 6);
  EXPECT_EQ(names.AddAlias("LONGINT", "INTEGER"), 0);  // already there
  EXPECT_EQ(names.Add("integer"), 0);
  EXPECT_EQ(names.Add("new"), 6);
  EXPECT_EQ(names[6], "NEW");
}

TEST(NameSpaceTest, MapNamesAndLoadDropAliases) {
  TNameSpace current;
  current.AddAlias("LONGINT", "INTEGER");
  current.Add("X");
  TNameSpace stored;
  stored.Add("x");
  stored.Add("LongInt");
  stored.Add("gone");
  EXPECT_EQ(stored.MapNames(current), (std::vector<int32_t>{2, 0, -1}));
}

TEST_F(TypeRegistryTest, BuiltInTypesInOrder) {
  struct Case {
    const char* name;
    TFieldKind kind;
    int32_t size;
    bool handler;
  } cases[] = {
      {"POINTER", fk_notsupported, 4, false},
      {"BYTE", fk_integer, 1, false},
      {"SHORTINT", fk_integer, 1, false},
      {"WORD", fk_integer, 2, false},
      {"SMALLINT", fk_integer, 2, false},
      {"CARDINAL", fk_integer, 4, false},
      {"INTEGER", fk_integer, 4, false},
      {"INT64", fk_integer, 8, false},
      {"SINGLE", fk_float, 4, false},
      {"DOUBLE", fk_float, 8, false},
      {"EXTENDED", fk_float, 10, false},
      {"COMP", fk_float, 8, false},
      {"LONGBOOL", fk_integer, 4, false},
      {"T2DARRAYOFDWORD", fk_Array, 4, true},
      {"STRING", fk_8bit_string, 4, true},
      {"WIDESTRING", fk_string, 4, true},
      {"TAOI", fk_CustomClass, 4, true},
      {"T2DAOI", fk_CustomClass, 4, true},
      {"TAOC", fk_CustomClass, 4, true},
      {"T2DAOC", fk_CustomClass, 4, true},
      {"TAOF", fk_CustomClass, 4, true},
      {"T2DAOF", fk_CustomClass, 4, true},
      {"TAOS", fk_CustomClass, 4, true},
      {"T2DAOS", fk_CustomClass, 4, true},
      {"TAOW", fk_CustomClass, 4, true},
      {"T2DAOW", fk_CustomClass, 4, true},
      {"TARRAYOFDYNA", fk_CustomClass, 4, true},
      {"TARRAYOFTRULYPERSISTENT", fk_CustomClass, 4, true},
      {"TTRULYPERSISTENTTESTER", fk_Class, 4, true},
      {"TKIKIMORA", fk_binary, 24, false},
  };
  ASSERT_EQ(TypeCount(), 30);
  for (int32_t t = 0; t < 30; ++t) {
    const auto& c = cases[t];
    const TTypeRecord& r = TypeRecord(t);
    EXPECT_EQ(TypeNameOf(t), c.name) << t;
    EXPECT_EQ(r.Kind, c.kind) << c.name;
    EXPECT_EQ(r.Size, c.size) << c.name;
    EXPECT_EQ(r.Handler != nullptr, c.handler) << c.name;
  }
  // LongInt is stored under the name of INTEGER.
  EXPECT_EQ(TypeRecord(6).NameIndex, Persistence().AllNames.IndexOf("Integer"));
  EXPECT_EQ(TypeRecord(29).ElementType, 6);
  EXPECT_EQ(TypeRecord(29).ElementCount, 6);
  EXPECT_EQ(Persistence().ClassTypes.Length, 1);
  EXPECT_EQ(Persistence().ClassTypes[0], 28);
}

TEST_F(TypeRegistryTest, AliasNamesFindTheirTypes) {
  EXPECT_EQ(TypeIndexOfName("LongInt"), 6);
  EXPECT_EQ(TypeIndexOfName("Integer"), 6);
  EXPECT_EQ(TypeIndexOfName("LongWord"), 5);
  EXPECT_EQ(TypeIndexOfName("String"), 14);
  EXPECT_EQ(TypeIndexOfName("NoSuchType"), -1);
}

TEST_F(TypeRegistryTest, EnumerationRanges) {
  std::vector<std::string> names;
  for (int i = 0; i <= 1001; ++i) names.push_back("v" + std::to_string(i));
  const TTypeDescription largest =
      EnumDescription("TLargest", std::vector<std::string>(names.begin(), names.end() - 1));
  RegType(largest);
  EXPECT_EQ(TypeRecord(TypeCount() - 1).Kind, fk_enum);
  EXPECT_EQ(Persistence().EnumValues.Row(TypeCount() - 1)->Length, 1001);

  const TTypeDescription too_large = EnumDescription("TTooLarge", names);
  EXPECT_NE(FatalTextOf([&] { RegType(too_large); }).find("MaxValue > 1000."), std::string::npos);

  TTypeDescription subrange = EnumDescription("TSubrange", {"a", "b"});
  subrange.MinValue = 1;
  EXPECT_NE(FatalTextOf([&] { RegType(subrange); }).find("MinValue <> 0."), std::string::npos);
}

TEST_F(TypeRegistryTest, EnumerationValuesAreNames) {
  const TTypeDescription colour = EnumDescription("TColour", {"cl_Red", "cl_Green"});
  RegType(colour);
  const int32_t t = TypeCount() - 1;
  const TAOI& row = *Persistence().EnumValues.Row(t);
  ASSERT_EQ(row.Length, 2);
  EXPECT_EQ(Persistence().AllNames[row[0]], "CL_RED");
  EXPECT_EQ(Persistence().AllNames[row[1]], "CL_GREEN");
  EXPECT_EQ(Persistence().EnumValues.Length, t + 1);
}

TEST_F(TypeRegistryTest, RefusedForms) {
  TTypeDescription my_int = zt::LongInt;
  my_int.Name = "MyInt";
  TTypeDescription my_double = zt::Double;
  my_double.Name = "MyDouble";
  TTypeDescription record = zt::LongInt;
  record.Name = "TMyRecord";
  record.Kind = tkRecord;
  TTypeDescription my_char = zt::LongInt;
  my_char.Name = "MyChar";
  my_char.Kind = tkChar;
  struct Case {
    const char* name;
    std::function<void()> call;
    const char* text;
  } cases[] = {
      {"double in the plain form", [&] { RegType(my_double); },
       "Type \"MYDOUBLE\" of kind \"tkFloat\" failed its registration.\n\rWrong version of "
       "RegType() was called for this type."},
      {"integer in the plain form", [&] { RegType(my_int); }, "Wrong version of RegType()"},
      {"record in the sized form", [&] { RegType(record, 4); }, "Record types are prohibited."},
      {"char in the sized form", [&] { RegType(my_char, 1); }, "Wrong version of RegType()"},
      {"integer with a handler", [&] { RegType(my_int, &AnsiStringFieldHandler); },
       "Wrong version of RegType()"},
      {"array of a missing type", [&] { RegType("TArr", my_int, 8); },
       "The base type MyInt is not registered."},
      {"array of a wrong size", [&] { RegType("TKikimora2", zt::LongInt, 26); },
       "Size/alignment mismatch. Size=26, ElementSize(LongInt)=4"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(FatalTextOf(c.call).find(c.text), std::string::npos) << c.name;
  }
}

TEST_F(TypeRegistryTest, RecordRefusalInRussian) {
  Module().russian = true;
  TTypeDescription record = zt::LongInt;
  record.Name = "TMyRecord";
  record.Kind = tkRecord;
  const std::string text = FatalTextOf([&] { RegType(record, 4); });
  EXPECT_EQ(text.find("Record types are prohibited."), std::string::npos);
  EXPECT_NE(text.find("Reason #2:"), std::string::npos);
}

TEST_F(TypeRegistryTest, AcceptedForms) {
  TTypeDescription my_single = zt::Single;
  my_single.Name = "MySingle";
  RegType(my_single);
  EXPECT_EQ(TypeRecord(TypeCount() - 1).Size, 4);
  EXPECT_EQ(TypeRecord(TypeCount() - 1).Kind, fk_float);

  TTypeDescription bool_type = zt::LongBool;
  bool_type.Name = "LongBool";
  bool_type.Kind = tkBool;
  ResetTypeRegistry();  // LongBool is built in; register it the other way
  RegType(zt::Pointer);
  RegType(bool_type, &AnsiStringFieldHandler);
  EXPECT_EQ(TypeRecord(1).Kind, fk_integer);

  InitTypeRegistry();
  RegType("TKikimora2", zt::LongInt, 24);
  const TTypeRecord& array = TypeRecord(TypeCount() - 1);
  EXPECT_EQ(array.Size, 24);
  EXPECT_EQ(array.ElementCount, 6);
  EXPECT_EQ(array.Kind, fk_binary);
}

TEST_F(TypeRegistryTest, SecondRegistrationOnlyHints) {
  Module().debug_mode = true;
  const int32_t count = TypeCount();
  RegType(zt::TAOS, &AnsiStringFieldHandler);
  RegType(zt::Pointer);
  EXPECT_EQ(TypeCount(), count);
  EXPECT_EQ(TypeRecord(22).Handler, &ContainerFieldHandler<TAOS>);
  EXPECT_TRUE(LogHas("HINT: Type \"TAOS\" is alraedy registered!"));
  EXPECT_TRUE(LogHas("HINT: Type \"Pointer\" is alraedy registered! (index"));
}

TEST_F(TypeRegistryTest, DetailedLogOnlyInDebugMode) {
  EXPECT_FALSE(LogHas("New type"));
  Module().debug_mode = true;
  InitTypeRegistry();
  EXPECT_TRUE(LogHas("Classes registration start"));
  EXPECT_TRUE(LogHas("  New type: LongInt (4 / fk_integer)"));
  EXPECT_TRUE(LogHas("Class registration end: TTrulyPersistentTester"));
}

}  // namespace
