#include "shared/gl/gl_extension_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> EntryPoints(const char* extension) {
  const TGLExtension* found = FindGLExtension(extension);
  EXPECT_NE(found, nullptr) << extension;
  if (found == nullptr) return {};
  return {found->entry_points.begin(), found->entry_points.end()};
}

TEST(GlExtensionTable, Holds147UniqueLoadersInCallersOrder) {
  std::set<std::string_view> names;
  for (const TGLExtension& extension : kGLExtensions) {
    EXPECT_TRUE(names.insert(extension.name).second) << extension.name;
  }
  EXPECT_EQ(names.size(), 147u);
  EXPECT_STREQ(kGLExtensions[0].name, "GL_ARB_imaging");
  EXPECT_STREQ(kGLExtensions[1].name, "GL_ARB_multitexture");
  EXPECT_STREQ(kGLExtensions[144].name, "GL_NV_vertex_program2");
  EXPECT_STREQ(kGLExtensions[145].name, "GL_version_1_2");
  EXPECT_STREQ(kGLExtensions[146].name, "GL_version_1_3");
}

TEST(GlExtensionTable, KindFollowsTheName) {
  int window_system = 0;
  for (const TGLExtension& extension : kGLExtensions) {
    const std::string_view name = extension.name;
    if (name.starts_with("WGL_")) {
      EXPECT_EQ(extension.kind, TGLExtensionKind::WindowSystem) << name;
      EXPECT_TRUE(extension.entry_points.empty()) << name;
      ++window_system;
    } else if (name.starts_with("GL_version_")) {
      EXPECT_EQ(extension.kind, TGLExtensionKind::CoreVersion) << name;
    } else {
      EXPECT_TRUE(name.starts_with("GL_")) << name;
      EXPECT_EQ(extension.kind, TGLExtensionKind::Extension) << name;
    }
  }
  EXPECT_EQ(window_system, 17);
}

TEST(GlExtensionTable, EntryPointsAreGlNamesListedOnce) {
  for (const TGLExtension& extension : kGLExtensions) {
    std::set<std::string_view> seen;
    for (const char* entry_point : extension.entry_points) {
      EXPECT_TRUE(std::string_view(entry_point).starts_with("gl")) << entry_point;
      EXPECT_TRUE(seen.insert(entry_point).second) << extension.name << ": " << entry_point;
    }
  }
}

TEST(GlExtensionTable, ListsTheRegistrysEntryPoints) {
  EXPECT_EQ(EntryPoints("GL_ARB_multisample"), std::vector<std::string>{"glSampleCoverageARB"});
  const std::vector<std::string> multitexture = EntryPoints("GL_ARB_multitexture");
  ASSERT_EQ(multitexture.size(), 34u);
  EXPECT_EQ(multitexture.front(), "glActiveTextureARB");
  EXPECT_EQ(multitexture.back(), "glMultiTexCoord4svARB");
  EXPECT_EQ(EntryPoints("GL_version_1_2"),
            (std::vector<std::string>{"glDrawRangeElements", "glTexImage3D", "glTexSubImage3D",
                                      "glCopyTexSubImage3D"}));
  EXPECT_EQ(EntryPoints("GL_version_1_3").size(), 46u);
  // The two ARB program extensions share their entry points.
  EXPECT_EQ(EntryPoints("GL_ARB_fragment_program").size(), 19u);
  // Token-only extensions, and names the registry headers do not know.
  for (const char* name : {"GL_EXT_abgr", "GL_EXT_422_pixels", "GL_NV_element_array",
                           "GL_SGIS_depth_texture", "GL_IBM_raster_pos_clip"}) {
    EXPECT_TRUE(EntryPoints(name).empty()) << name;
  }
}

TEST(GlExtensionTable, FindsOnlyExactNames) {
  ASSERT_NE(FindGLExtension("GL_EXT_bgra"), nullptr);
  EXPECT_STREQ(FindGLExtension("GL_EXT_bgra")->name, "GL_EXT_bgra");
  for (const char* name :
       {"gl_ext_bgra", "GL_EXT_bgra ", "GL_EXT_bgr", "", "GL_EXT_unknown", "GL_VERSION_1_2"}) {
    EXPECT_EQ(FindGLExtension(name), nullptr) << '"' << name << '"';
  }
}

struct PresenceCase {
  const char* extension;
  const char* extension_string;
  const char* version_string;
  bool expected;
};

class GlExtensionPresentTest : public testing::TestWithParam<PresenceCase> {};

TEST_P(GlExtensionPresentTest, JudgesByKind) {
  const PresenceCase& c = GetParam();
  const TGLExtension* extension = FindGLExtension(c.extension);
  ASSERT_NE(extension, nullptr);
  EXPECT_EQ(GLExtensionPresent(*extension, c.extension_string, c.version_string), c.expected)
      << c.extension << " / " << (c.extension_string ? c.extension_string : "null") << " / "
      << (c.version_string ? c.version_string : "null");
}

INSTANTIATE_TEST_SUITE_P(
    GlKinds, GlExtensionPresentTest,
    testing::Values(PresenceCase{"GL_EXT_bgra", "GL_EXT_abgr GL_EXT_bgra", "1.1", true},
                    PresenceCase{"GL_EXT_bgra", "GL_EXT_abgr", "4.5", false},
                    PresenceCase{"GL_EXT_bgra", nullptr, nullptr, false},
                    // No window-system extensions here, whatever a string says.
                    PresenceCase{"WGL_EXT_swap_control", "WGL_EXT_swap_control", "4.5", false},
                    PresenceCase{"GL_version_1_2", "", "1.1 Mesa", false},
                    PresenceCase{"GL_version_1_2", "", "1.2", true},
                    PresenceCase{"GL_version_1_2", "", "2.0", true},
                    PresenceCase{"GL_version_1_3", "", "1.2.1", false},
                    PresenceCase{"GL_version_1_3", "", "4.5 (Compatibility Profile) Mesa 22.3.6",
                                 true},
                    PresenceCase{"GL_version_1_3", "GL_version_1_3", nullptr, false}));

}  // namespace
