#include "shared/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "shared/text_codes.h"
#include "shared/zok_object.h"

namespace {

class TTestWidget : public TObject {
 public:
  const char* ClassName() const override { return "TTestWidget"; }
};

const void* Address(uintptr_t value) {
  return reinterpret_cast<const void*>(value);
}

std::u16string FormatAll(std::u16string_view templ, const std::vector<TMsgArg>& args) {
  return Format(templ, args.data(), static_cast<int32_t>(args.size()) - 1);
}

TEST(FormatTest, FillsPlaceholdersArgumentByArgument) {
  static const std::string kCyrillicBytes = "\xCF\xF0";
  struct Case {
    const char* name;
    std::u16string templ;
    std::vector<TMsgArg> args;
    std::u16string expected;
  };
  const Case cases[] = {
      {"repeated placeholder", u"Value %0 of %0", {"x"}, u"Value x of x"},
      {"any order", u"%1-%0-%1", {"a", "b"}, u"b-a-b"},
      {"placeholder without argument stays", u"%0 %3", {"a"}, u"a %3"},
      {"value names a later argument", u"<%0>", {"%1", "z"}, u"<z>"},
      {"value names an earlier argument", u"<%1>", {"a", "%0"}, u"<%0> +FORMAT ERROR!!   [a]  "},
      {"value holds its own placeholder", u"%0", {"%0"}, u"%0"},
      {"own placeholder, twice", u"Value %0 of %0", {"%0"}, u"Value %0 of %0"},
      {"own placeholder inside the value", u"<%0>", {"a%0b"}, u"<a%0b>"},
      {"8-bit string argument", u"[%0]", {kCyrillicBytes}, u"[\u00CF\u00F0]"},
      {"surplus argument", u"A %0", {"x", "y"}, u"A x +FORMAT ERROR!!   [y]  "},
      {"no placeholder at all", u"A", {5}, u"A +FORMAT ERROR!!   [5]  "},
      {"several surplus arguments", u"%1", {"x", "y", "z"}, u"y +FORMAT ERROR!!   [x]    [z]  "},
      {"empty template", u"", {true}, u" +FORMAT ERROR!!   [true]  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FormatAll(c.templ, c.args), c.expected);
  }
}

// With eleven arguments the replacement of %1 also eats the start of %10,
// so argument 10 finds no placeholder left.
TEST(FormatTest, PlaceholderOneConsumesTheStartOfPlaceholderTen) {
  std::vector<TMsgArg> args(11, TMsgArg("-"));
  args[1] = TMsgArg("B");
  args[10] = TMsgArg("Z");
  EXPECT_EQ(FormatAll(u"%10", args),
            u"B0 +FORMAT ERROR!!   [-]    [-]    [-]    [-]    [-]    [-]    [-]    [-]    [-]  "
            u"  [Z]  ");
}

TEST(FormatTest, WithoutArgumentsTheTemplateIsReturnedUnchanged) {
  const std::u16string templ = u"100% done, %0 and %1 stay";
  EXPECT_EQ(Format(templ, {}), templ);
  EXPECT_EQ(Format(templ, nullptr, -1), templ);
}

TEST(FormatTest, InitializerListOverloadPassesEveryArgument) {
  EXPECT_EQ(Format(u"%0/%1/%2", {1, "two", u'3'}), u"1/two/3");
}

TEST(FormatTest, ArgToTextForEveryTag) {
  static const std::string kCyrillicBytes = "\xCF\xF0\xE8";
  static const std::string kEmpty;
  static const std::u16string kWide = u"Ёлка \U0001F384";
  static const TObject kPlainObject;
  static const TTestWidget kWidget;
  const char* const kNullText = nullptr;
  const char16_t* const kNullWide = nullptr;
  const TObject* const kNullObject = nullptr;
  struct Case {
    const char* name;
    TMsgArg arg;
    std::u16string expected;
  };
  const Case cases[] = {
      {"integer", 42, u"42"},
      {"integer minimum", std::numeric_limits<int32_t>::min(), u"-2147483648"},
      {"boolean true", true, u"true"},
      {"boolean false", false, u"false"},
      {"boolean byte 2", TMsgArg::Boolean(2), u"true"},
      {"boolean byte 255", TMsgArg::Boolean(255), u"true"},
      {"boolean byte 0", TMsgArg::Boolean(0), u"false"},
      {"ascii char", 'A', u"A"},
      {"cyrillic char", static_cast<char>(0xC0), u"\u0410"},
      {"unmapped char", static_cast<char>(0x80), u"?"},
      {"float fraction", 1.5, u"1.5"},
      {"float integral", 100.0, u"100"},
      {"float negative", -0.25, u"-0.25"},
      {"float of a double", 0.1, u"0.1"},
      {"float fifteen digits", 1.0L / 3.0L, u"0.333333333333333"},
      {"float exponent", 123456789012345678.0L, u"1.23456789012346e+17"},
      {"float small", 0.00001L, u"1e-05"},
      {"short string", TMsgArg::Unsupported(TMsgArg::kShortString), u"?unknown VarRec type?"},
      {"null pointer", static_cast<const void*>(nullptr), u"NIL"},
      {"bare nullptr", nullptr, u"NIL"},
      {"pointer pads to 16 digits", Address(0x1234), u"0000000000001234h"},
      {"pointer upper case", Address(0xDEADBEEFCAFE00A1), u"DEADBEEFCAFE00A1h"},
      {"c string", "abc", u"abc"},
      {"c string cyrillic", kCyrillicBytes.c_str(), u"При"},
      {"null c string", kNullText, u""},
      {"object", &kPlainObject, u"TObject"},
      {"derived object", &kWidget, u"TTestWidget"},
      {"null object", kNullObject, u"NIL"},
      {"class", TMsgArg::Class("TModule"), u"TModule"},
      {"null class", TMsgArg::Class(nullptr), u"NIL"},
      {"wide char", u'Ж', u"Ж"},
      {"wide c string", u"Привет", u"Привет"},
      {"null wide c string", kNullWide, u""},
      {"8-bit string is widened byte for byte", kCyrillicBytes, u"\u00CF\u00F0\u00E8"},
      {"empty 8-bit string", kEmpty, u""},
      {"currency", TMsgArg::Unsupported(TMsgArg::kCurrency), u"?unknown VarRec type?"},
      {"variant", TMsgArg::Unsupported(TMsgArg::kVariant), u"?unknown VarRec type?"},
      {"interface", TMsgArg::Unsupported(TMsgArg::kInterface), u"?unknown VarRec type?"},
      {"utf-16 string", kWide, kWide},
      {"int64 maximum", std::numeric_limits<int64_t>::max(), u"9223372036854775807"},
      {"int64 minimum", std::numeric_limits<int64_t>::min(), u"-9223372036854775808"},
      {"unsigned 32-bit", std::numeric_limits<uint32_t>::max(), u"4294967295"},
      {"tag past the table", TMsgArg::Unsupported(static_cast<TMsgArg::Tag>(17)),
       u"?unknown VarRec type?"},
      {"negative tag", TMsgArg::Unsupported(static_cast<TMsgArg::Tag>(-1)),
       u"?unknown VarRec type?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ArgToText(c.arg), c.expected);
  }
}

// The tag decides the text, so each C++ type must land on the intended one.
TEST(FormatTest, ConstructorsChooseTheTag) {
  static TTestWidget widget;
  static char buffer[] = "text";
  struct Case {
    const char* name;
    TMsgArg arg;
    TMsgArg::Tag tag;
  };
  const Case cases[] = {
      {"int", 7, TMsgArg::kInteger},
      {"message identifier", MI_LOG_SUCCESS, TMsgArg::kInteger},
      {"unsigned byte", static_cast<uint8_t>(200), TMsgArg::kInteger},
      {"unsigned 32-bit", 7u, TMsgArg::kInt64},
      {"int64", int64_t{7}, TMsgArg::kInt64},
      {"float", 1.5f, TMsgArg::kExtended},
      {"mutable char buffer", buffer, TMsgArg::kPChar},
      {"derived object pointer", &widget, TMsgArg::kObject},
      {"other pointer", static_cast<const void*>(&widget), TMsgArg::kPointer},
      {"nullptr", nullptr, TMsgArg::kPointer},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.arg.tag, c.tag);
  }
}

TEST(FormatVersionTest, PadsMinorToTwoAndBuildToFourDigits) {
  struct Case {
    int32_t major, minor, build;
    const char* expected;
  };
  const Case cases[] = {
      {1, 2, 3, "1.02.0003"},
      {0, 13, 71, "0.13.0071"},
      {12, 345, 67890, "12.345.67890"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatVersion(c.major, c.minor, c.build), c.expected);
  }
}

constexpr double kSecondsPerDay = 86400.0;

TEST(FormatElapsedSecondsTest, SecondsWithinTheMinuteAndMilliseconds) {
  struct Case {
    double seconds;
    const char* expected;
  };
  const Case cases[] = {
      {0.0, "00.000"},
      {2.5, "02.500"},
      {75.0, "15.000"},
      {59.999, "59.999"},
      {59.9996, "00.000"},  // rounds up into the next minute
      {3 * kSecondsPerDay + 42.125, "42.125"},
      {-2.5, "-02.500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(FormatElapsedSeconds(c.seconds / kSecondsPerDay), c.expected);
  }
}

// Durations in days are rarely exact in binary; truncating instead of
// rounding would show 499 for 500 milliseconds.
TEST(FormatElapsedSecondsTest, EveryMillisecondOfAMinuteComesOutExactly) {
  char expected[16];
  for (double whole_minutes : {0.0, 7.0, 24.0 * 60.0 * 400.0}) {
    for (int ms = 0; ms < 60000; ++ms) {
      const double days = (whole_minutes * 60000.0 + ms) / (kSecondsPerDay * 1000.0);
      std::snprintf(expected, sizeof expected, "%02d.%03d", ms / 1000, ms % 1000);
      ASSERT_EQ(FormatElapsedSeconds(days), expected) << whole_minutes << " min " << ms << " ms";
    }
  }
}

TEST(FormatElapsedSecondsTest, NonFiniteDurationsAreMarkedUnknown) {
  EXPECT_EQ(FormatElapsedSeconds(std::nan("")), "??.???");
  EXPECT_EQ(FormatElapsedSeconds(std::numeric_limits<double>::infinity()), "??.???");
}

}  // namespace
