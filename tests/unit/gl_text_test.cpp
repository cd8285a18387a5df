#include "shared/gl/gl_text.h"

#include <gtest/gtest.h>

#include "host/display/gl_host.h"

namespace {

struct ListedCase {
  const char* name;
  const char* text;
  bool expected;
};

class GlExtensionSupportedTest : public testing::TestWithParam<ListedCase> {};

TEST_P(GlExtensionSupportedTest, MatchesWholeBlankSeparatedWordsOnly) {
  const ListedCase& c = GetParam();
  EXPECT_EQ(ExtensionSupported(c.name, c.text), c.expected) << c.name << " in \"" << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    GlWordRule, GlExtensionSupportedTest,
    testing::Values(
        ListedCase{"", "GL_A GL_B", false}, ListedCase{"", "", false},
        ListedCase{"GL_A GL_B", "GL_A GL_B", false},  // a name with a blank never matches
        ListedCase{"GL_ARB_multi", "GL_ARB_multitexture", false},
        ListedCase{"GL_ARB_multi", "GL_ARB_multitexture GL_EXT_bgra", false},
        ListedCase{"GL_ARB_multitexture", "GL_ARB_multitexture GL_EXT_bgra", true},
        ListedCase{"GL_EXT_bgra", "GL_ARB_multitexture GL_EXT_bgra", true},
        ListedCase{"GL_EXT_bgra", "GL_ARB_multitexture GL_EXT_bgra ", true},
        ListedCase{"GL_EXT_bgra", "GL_EXT_bgra", true},
        ListedCase{"GL_bgra", "GL_EXT_bgra", false},        // after a non-blank
        ListedCase{"GL_bgra", "xGL_bgra GL_bgrax", false},  // neither occurrence is a word
        ListedCase{"GL_bgra", "xGL_bgra GL_bgra", true},    // the second occurrence counts
        ListedCase{"GL_bgra", "GL_bgraGL_bgra GL_bgra", true}, ListedCase{"GL_EXT_bgra", "", false},
        ListedCase{"gl_ext_bgra", "GL_EXT_bgra", false}));  // case matters

TEST(GlExtensionSupported, NullNameOrNoTextAndNoContextIsFalse) {
  EXPECT_FALSE(ExtensionSupported(nullptr, "GL_A"));
  EXPECT_FALSE(ExtensionListed("GL_A", nullptr));
  // Without a text the context's extension string is read: no library, none.
  EXPECT_FALSE(ExtensionSupported("GL_ARB_multitexture"));
}

struct VersionCase {
  const char* text;
  int major;
  int minor;
};

class GlParseVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(GlParseVersionTest, ReadsLeadingDigitsSeparatorAndDigits) {
  const VersionCase& c = GetParam();
  const TGLVersion version = ParseGLVersion(c.text);
  EXPECT_EQ(version.major, c.major) << (c.text ? c.text : "null");
  EXPECT_EQ(version.minor, c.minor) << (c.text ? c.text : "null");
}

INSTANTIATE_TEST_SUITE_P(
    GlVersions, GlParseVersionTest,
    testing::Values(VersionCase{"1.0", 1, 0}, VersionCase{"1.1", 1, 1}, VersionCase{"2.0", 2, 0},
                    VersionCase{"4.5 (Compatibility Profile) Mesa 22.3.6", 4, 5},
                    VersionCase{"1.5.0 NVIDIA 1.2", 1, 5}, VersionCase{"10.12", 10, 12},
                    VersionCase{"3", 3, 0}, VersionCase{"3.", 3, 0},
                    VersionCase{"OpenGL ES 3.2", 0, 0}, VersionCase{"", 0, 0},
                    VersionCase{nullptr, 0, 0}, VersionCase{".7", 0, 7},
                    // Absurd digit runs saturate instead of overflowing.
                    VersionCase{"99999999999999999999.1", 2147483647, 1}));

}  // namespace
