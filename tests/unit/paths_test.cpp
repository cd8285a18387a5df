#include "host/core/paths.h"

#include <gtest/gtest.h>

namespace {

struct DirectoryCase {
  const char* input;
  const char* directory;
  const char* path;
};

class PathsNormalize : public testing::TestWithParam<DirectoryCase> {};

TEST_P(PathsNormalize, DirectoryAndPath) {
  const DirectoryCase& c = GetParam();
  EXPECT_EQ(NormalizeDirectory(c.input), c.directory) << c.input;
  EXPECT_EQ(NormalizePath(c.input), c.path) << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathsNormalize,
    testing::Values(DirectoryCase{"", "", ""}, DirectoryCase{"file.txt", "", "file.txt"},
                    DirectoryCase{"a/b/c.txt", "a/b/", "a/b/c.txt"},
                    DirectoryCase{"a\\b\\c.txt", "a/b/", "a/b/c.txt"},
                    DirectoryCase{"a\\b/c\\d", "a/b/c/", "a/b/c/d"},
                    DirectoryCase{"/usr/lib/x.so", "/usr/lib/", "/usr/lib/x.so"},
                    DirectoryCase{"a/b/../c/x", "a/c/", "a/c/x"},
                    DirectoryCase{"a/b/../../x", "", "x"}, DirectoryCase{"/a/../x", "/", "/x"},
                    DirectoryCase{"a//b/./c/", "a/b/c/", "a/b/c/"},
                    DirectoryCase{"dir/", "dir/", "dir/"}));

TEST(PathsNormalizeErrors, DotDotWithNothingBeforeItThrows) {
  for (const char* input : {"../x", "a/../../x", "/../x", "..\\a\\b"}) {
    EXPECT_THROW(NormalizeDirectory(input), EPathAboveRoot) << input;
  }
}

TEST(PathsJoin, ExactlyOneSeparator) {
  EXPECT_EQ(JoinPath("data", "zok"), "data/zok");
  EXPECT_EQ(JoinPath("data/", "zok"), "data/zok");
  EXPECT_EQ(JoinPath("data/", "/zok"), "data/zok");
  EXPECT_EQ(JoinPath("", "zok"), "zok");
}

TEST(PathsAbsoluteDirectory, RelativeAbsoluteAndEmpty) {
  EXPECT_EQ(AbsoluteDirectory("", "/opt/zok/"), "/opt/zok/");
  EXPECT_EQ(AbsoluteDirectory("data", "/opt/zok/"), "/opt/zok/data/");
  EXPECT_EQ(AbsoluteDirectory("data/", "/opt/zok"), "/opt/zok/data/");
  EXPECT_EQ(AbsoluteDirectory("../shared", "/opt/zok/"), "/opt/shared/");
  EXPECT_EQ(AbsoluteDirectory("/srv/game", "/opt/zok/"), "/srv/game/");
  EXPECT_TRUE(IsAbsolutePath("/x"));
  EXPECT_FALSE(IsAbsolutePath("x/y"));
  EXPECT_FALSE(IsAbsolutePath(""));
}

}  // namespace
