#include "host/core/text_utils.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtilsReplaceAll, Cases) {
  struct Case {
    const char* text;
    const char* pattern;
    const char* replacement;
    const char* expected;
  };
  const Case cases[] = {
      {"a/b/c", "/", "\\", "a\\b\\c"},
      {"abc", "x", "y", "abc"},
      {"modules/{$PLATFORM}/x", "{$PLATFORM}", "linux", "modules/linux/x"},
      {"aaa", "a", "aa", "aaaaaa"},  // replacement holds the pattern: must end
      {"abc", "", "x", "abc"},       // empty pattern: nothing to find
      {"", "a", "b", ""},
      {"xx", "x", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.expected) << c.text;
  }
}

TEST(TextUtilsExtractWord, Cases) {
  struct Case {
    const char* text;
    int n;
    const char* delimiters;
    const char* expected;
  };
  const Case cases[] = {
      {"29,16", 1, ",", "29"}, {"29,16", 2, ",", "16"},    {"29,16", 3, ",", ""},
      {",,7", 1, ",", "7"},    {"29,,16", 2, ",", "16"},   {"29,,16", 3, ",", ""},
      {"a b,c", 3, " ,", "c"}, {"", 1, ",", ""},           {"abc", 1, "", "abc"},
      {"abc", 0, ",", ""},     {" 42 , 1 ", 2, " ,", "1"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractWord(c.text, c.n, c.delimiters), c.expected) << c.text << " #" << c.n;
  }
}

TEST(TextUtilsTextFromCString, NullAndStopsAtZero) {
  EXPECT_EQ(TextFromCString(nullptr), "");
  const char buffer[] = {'a', 'b', 0, 'c', 0};
  EXPECT_EQ(TextFromCString(buffer), "ab");
}

}  // namespace
