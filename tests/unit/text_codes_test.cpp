#include "shared/text_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kMappedCodeCount = 128 + 64 + 2;  // ASCII, А-я, Ё and ё

std::string Byte(int value) {
  return std::string(1, static_cast<char>(value));
}

TEST(TextCodesTest, BytesToWideAtTheTableEdges) {
  struct Case {
    int byte;
    char16_t wide;
  };
  const Case cases[] = {
      {0, u'\0'},       {'A', u'A'},      {127, u'\x7F'},   {128, u'?'},      {167, u'?'},
      {168, u'\u0401'}, {169, u'?'},      {183, u'?'},      {184, u'\u0451'}, {185, u'?'},
      {191, u'?'},      {192, u'\u0410'}, {223, u'\u042F'}, {224, u'\u0430'}, {255, u'\u044F'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.byte);
    EXPECT_EQ(Cp1251ToWide(Byte(c.byte)), std::u16string(1, c.wide));
  }
}

TEST(TextCodesTest, EveryMappedByteSurvivesTheRoundTrip) {
  int mapped = 0;
  for (int byte = 0; byte < 256; ++byte) {
    SCOPED_TRACE(byte);
    const std::u16string wide = Cp1251ToWide(Byte(byte));
    ASSERT_EQ(wide.size(), 1u);
    if (wide[0] == u'?' && byte != '?') continue;
    ++mapped;
    EXPECT_EQ(WideToCp1251(wide), Byte(byte));
  }
  EXPECT_EQ(mapped, kMappedCodeCount);
}

TEST(TextCodesTest, EveryMappedCodeUnitSurvivesTheRoundTripAndTheRestBecomeQuestionMarks) {
  int mapped = 0;
  for (int unit = 0; unit <= 0xFFFF; ++unit) {
    const std::u16string wide(1, static_cast<char16_t>(unit));
    const std::string narrow = WideToCp1251(wide);
    ASSERT_EQ(narrow.size(), 1u) << unit;
    if (narrow == "?" && unit != '?') continue;
    ++mapped;
    EXPECT_EQ(Cp1251ToWide(narrow), wide) << unit;
  }
  EXPECT_EQ(mapped, kMappedCodeCount);
}

TEST(TextCodesTest, CodeUnitsNextToTheCyrillicBlockAreNotMapped) {
  for (char16_t unit : {u'\u0080', u'\u00C0', u'\u00E9', u'\u0400', u'\u0402', u'\u040F', u'\u0450',
                        u'\u0452', u'\u20AC', u'\uFFFD'}) {
    SCOPED_TRACE(static_cast<int>(unit));
    EXPECT_EQ(WideToCp1251(std::u16string(1, unit)), "?");
  }
}

TEST(TextCodesTest, MixedTextBothWays) {
  const std::string narrow = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xB8 World";
  const std::u16string wide = u"Привет, Ёё World";
  EXPECT_EQ(Cp1251ToWide(narrow), wide);
  EXPECT_EQ(WideToCp1251(wide), narrow);
}

TEST(TextCodesTest, Utf8RoundTrips) {
  struct Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
  };
  const Case cases[] = {
      {"empty", u"", ""},
      {"ascii", u"Zok 1.0", "Zok 1.0"},
      {"embedded zero", std::u16string(1, u'\0'), std::string(1, '\0')},
      {"two bytes", u"\u00E9\u0416", "\xC3\xA9\xD0\x96"},
      {"three bytes", u"\u20AC\uFFFF", "\xE2\x82\xAC\xEF\xBF\xBF"},
      {"surrogate pair", u"a\U0001F600b",
       "a\xF0\x9F\x98\x80"
       "b"},
      {"highest code point", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
  }
}

TEST(TextCodesTest, UnpairedSurrogatesBecomeReplacementCharacters) {
  const std::string kReplacement = "\xEF\xBF\xBD";
  struct Case {
    const char* name;
    std::u16string wide;
    std::string utf8;
  };
  const Case cases[] = {
      {"lone high", u"a\xD800", "a" + kReplacement},
      {"lone low", u"\xDC00z", kReplacement + "z"},
      {"high before a letter",
       u"\xD83D"
       u"A",
       kReplacement + "A"},
      {"pair in the wrong order", u"\xDE00\xD83D", kReplacement + kReplacement},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WideToUtf8(c.wide), c.utf8);
  }
}

// One U+FFFD for the longest valid beginning of a broken sequence, then
// decoding goes on with the byte that broke it.
TEST(TextCodesTest, MalformedUtf8BecomesReplacementCharacters) {
  struct Case {
    const char* name;
    std::string utf8;
    std::u16string wide;
  };
  const Case cases[] = {
      {"stray continuation",
       "a\x80"
       "b",
       u"a\uFFFDb"},
      {"truncated at the end", "a\xC3", u"a\uFFFD"},
      {"interrupted by ascii",
       "\xC3"
       "A",
       u"\uFFFDA"},
      {"truncated three-byte", "\xE2\x82", u"\uFFFD"},
      {"truncated four-byte",
       "\xF0\x9F\x98"
       "A",
       u"\uFFFDA"},
      {"overlong two-byte", "\xC0\x80", u"\uFFFD\uFFFD"},
      {"overlong three-byte", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead bytes", "\xF5\xFF", u"\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8ToWide(c.utf8), c.wide);
  }
}

TEST(TextCodesTest, AsciiUpperLeavesEverythingButAsciiLettersAlone) {
  EXPECT_EQ(AsciiUpper("log_Choosen pixel-format 09"), "LOG_CHOOSEN PIXEL-FORMAT 09");
  EXPECT_EQ(AsciiUpper("\xE0\xFF\xB8"), "\xE0\xFF\xB8");
  EXPECT_EQ(AsciiUpper(""), "");
}

}  // namespace
