// The module's OpenGL binding against a stand-in host: host functions 10
// and 12 answer from a table the tests control, and glGetString reports
// the extension and version strings a test chooses.
#include "module/gl/gl_binding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "module/gl/gl_extensions.h"
#include "module/gl/gl_functions.h"
#include "module/gl/gl_slots.h"
#include "module/runtime/host_functions.h"
#include "shared/gl/gl_extension_table.h"

namespace {

struct FakeDriver {
  std::string extensions;
  std::string version = "1.1";
  std::set<std::string> missing;  // names neither host function resolves
  std::vector<std::string> core_requests;
  std::vector<std::string> extension_requests;
  std::map<std::string, char> addresses;  // one stable address per name

  void* AddressOf(const std::string& name) { return &addresses[name]; }
};
FakeDriver* g_driver = nullptr;

const GLubyte* FakeGetString(GLenum name) {
  const std::string& text = name == GL_EXTENSIONS ? g_driver->extensions : g_driver->version;
  return reinterpret_cast<const GLubyte*>(text.c_str());
}

void* FakeGetGLProcAddress(const char* name) {
  g_driver->core_requests.push_back(name);
  if (g_driver->missing.count(name)) return nullptr;
  if (std::string(name) == "glGetString") return reinterpret_cast<void*>(&FakeGetString);
  return g_driver->AddressOf(name);
}

void* FakeGetGLExtProcAddress(const char* name) {
  g_driver->extension_requests.push_back(name);
  return g_driver->missing.count(name) ? nullptr : g_driver->AddressOf(name);
}

class GlModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_core_ = host::GetGLProcAddress;
    saved_extension_ = host::GetGLExtProcAddress;
    host::GetGLProcAddress = &FakeGetGLProcAddress;
    host::GetGLExtProcAddress = &FakeGetGLExtProcAddress;
    g_driver = &driver_;
    gl::ClearGL();
  }
  void TearDown() override {
    gl::ClearGL();
    g_driver = nullptr;
    host::GetGLProcAddress = saved_core_;
    host::GetGLExtProcAddress = saved_extension_;
  }

  // Names of the entry points whose variable is null.
  static std::vector<std::string> Unbound(std::span<const gl::TGLSlot> slots) {
    std::vector<std::string> names;
    for (const gl::TGLSlot& slot : slots) {
      if (*slot.variable == nullptr) names.emplace_back(slot.name);
    }
    return names;
  }

  FakeDriver driver_;
  THostFn_GetGLProcAddress saved_core_ = nullptr;
  THostFn_GetGLExtProcAddress saved_extension_ = nullptr;
};

TEST(GlModuleSlots, CoreSetIsThe336OpenGl11FunctionsHostSevenFirst) {
  const auto slots = gl::CoreSlots();
  ASSERT_EQ(slots.size(), 336u);
  std::vector<std::string_view> names;
  for (const gl::TGLSlot& slot : slots) names.push_back(slot.name);
  const std::vector<std::string_view> host_seven(names.begin(), names.begin() + 7);
  EXPECT_EQ(host_seven,
            (std::vector<std::string_view>{"glGetString", "glAlphaFunc", "glBegin", "glBindTexture",
                                           "glColor3f", "glColor4f", "glBlendFunc"}));
  EXPECT_EQ(names[7], "glAccum");
  EXPECT_EQ(names.back(), "glViewport");
  EXPECT_TRUE(std::is_sorted(names.begin() + 7, names.end()));
  EXPECT_EQ(std::set<std::string_view>(names.begin(), names.end()).size(), 336u);
}

TEST(GlModuleSlots, EveryLoaderEntryPointHasItsOwnVariable) {
  for (const TGLExtension& extension : kGLExtensions) {
    for (const char* entry_point : extension.entry_points) {
      EXPECT_NE(gl::ExtensionSlot(entry_point), nullptr) << extension.name << ": " << entry_point;
    }
  }
  for (const gl::TGLSlot& slot : gl::CoreSlots()) {
    EXPECT_EQ(gl::ExtensionSlot(slot.name), nullptr) << slot.name;
  }
  EXPECT_EQ(gl::ExtensionSlot("glActiveTextureARB"),
            reinterpret_cast<void**>(&gl::ActiveTextureARB));
  EXPECT_EQ(gl::ExtensionSlot("glNoSuchFunction"), nullptr);
  EXPECT_EQ(gl::ExtensionSlot(""), nullptr);
}

TEST_F(GlModuleTest, BindGLAsksHostFunction10ForEachCoreNameInOrder) {
  gl::BindGL();
  std::vector<std::string> expected;
  for (const gl::TGLSlot& slot : gl::CoreSlots()) expected.emplace_back(slot.name);
  EXPECT_EQ(driver_.core_requests, expected);
  EXPECT_TRUE(driver_.extension_requests.empty());
  EXPECT_TRUE(Unbound(gl::CoreSlots()).empty());
  EXPECT_EQ(reinterpret_cast<void*>(gl::Begin), driver_.AddressOf("glBegin"));
  EXPECT_EQ(reinterpret_cast<void*>(gl::Viewport), driver_.AddressOf("glViewport"));
  EXPECT_STREQ(gl::GLString(GL_VERSION), "1.1");
  // Binding leaves the extensions to their loaders.
  EXPECT_EQ(Unbound(gl::ExtensionSlots()).size(), gl::ExtensionSlots().size());
}

TEST_F(GlModuleTest, NamesTheLibraryLacksStayNull) {
  driver_.missing = {"glAccum", "glViewport"};
  gl::BindGL();
  EXPECT_EQ(Unbound(gl::CoreSlots()), (std::vector<std::string>{"glAccum", "glViewport"}));
}

TEST_F(GlModuleTest, WithoutHostFunction10NothingBinds) {
  host::GetGLProcAddress = nullptr;
  gl::BindGL();
  EXPECT_EQ(Unbound(gl::CoreSlots()).size(), 336u);
  EXPECT_EQ(gl::GLString(GL_EXTENSIONS), nullptr);
  EXPECT_FALSE(gl::ExtensionSupported("GL_ARB_multitexture"));
  EXPECT_FALSE(gl::LoadExtension("GL_version_1_2"));
}

TEST_F(GlModuleTest, ClearGLNullsCoreAndExtensionEntryPoints) {
  driver_.extensions = "GL_ARB_multitexture";
  gl::BindGL();
  ASSERT_TRUE(gl::LoadExtension("GL_ARB_multitexture"));
  ASSERT_NE(gl::ActiveTextureARB, nullptr);
  gl::ClearGL();
  EXPECT_EQ(Unbound(gl::CoreSlots()).size(), gl::CoreSlots().size());
  EXPECT_EQ(Unbound(gl::ExtensionSlots()).size(), gl::ExtensionSlots().size());
}

TEST_F(GlModuleTest, ExtensionSupportedReadsTheContextsStringUnlessGivenOne) {
  driver_.extensions = "GL_EXT_abgr GL_EXT_bgra";
  gl::BindGL();
  EXPECT_TRUE(gl::ExtensionSupported("GL_EXT_bgra"));
  EXPECT_FALSE(gl::ExtensionSupported("GL_EXT_bgr"));
  EXPECT_TRUE(gl::ExtensionSupported("GL_X", "GL_Y GL_X"));
  EXPECT_FALSE(gl::ExtensionSupported("GL_EXT_bgra", "GL_Y"));
  EXPECT_FALSE(gl::ExtensionSupported(nullptr));
}

struct LoaderCase {
  const char* name;
  const char* extensions;
  const char* version;
  std::set<std::string> missing;
  bool expected;
};

class GlModuleLoaderTest : public GlModuleTest, public testing::WithParamInterface<LoaderCase> {};

TEST_P(GlModuleLoaderTest, AnswersAndResolvesOnlyWhatItAnswersFor) {
  const LoaderCase& c = GetParam();
  driver_.extensions = c.extensions;
  driver_.version = c.version;
  driver_.missing = c.missing;
  gl::BindGL();

  EXPECT_EQ(gl::LoadExtension(c.name), c.expected) << c.name;

  const TGLExtension* extension = FindGLExtension(c.name);
  const bool present =
      extension != nullptr && GLExtensionPresent(*extension, c.extensions, c.version);
  std::vector<std::string> expected_requests;
  if (present)
    expected_requests.assign(extension->entry_points.begin(), extension->entry_points.end());
  EXPECT_EQ(driver_.extension_requests, expected_requests);
  for (const std::string& entry_point : expected_requests) {
    void* expected = c.missing.count(entry_point) ? nullptr : driver_.AddressOf(entry_point);
    EXPECT_EQ(*gl::ExtensionSlot(entry_point), expected) << entry_point;
  }
}

INSTANTIATE_TEST_SUITE_P(
    GlLoaders, GlModuleLoaderTest,
    testing::Values(
        LoaderCase{"GL_ARB_multitexture", "GL_EXT_bgra GL_ARB_multitexture", "1.1", {}, true},
        LoaderCase{"GL_ARB_multitexture", "GL_EXT_bgra", "1.1", {}, false},
        LoaderCase{"GL_ARB_multisample", "GL_ARB_multisample", "1.1", {}, true},
        // A caller told yes calls every entry point: one missing is a no,
        // wherever it stands in the list.
        LoaderCase{
            "GL_ARB_multitexture", "GL_ARB_multitexture", "1.1", {"glActiveTextureARB"}, false},
        LoaderCase{
            "GL_ARB_multitexture", "GL_ARB_multitexture", "1.1", {"glMultiTexCoord4svARB"}, false},
        LoaderCase{
            "GL_ARB_multisample", "GL_ARB_multisample", "1.1", {"glSampleCoverageARB"}, false},
        // Extensions without entry points: presence alone.
        LoaderCase{"GL_EXT_abgr", "GL_EXT_abgr", "1.1", {}, true},
        LoaderCase{"GL_EXT_abgr", "GL_EXT_bgra", "1.1", {}, false},
        LoaderCase{"GL_version_1_3", "", "1.3 Mesa", {}, true},
        LoaderCase{"GL_version_1_3", "", "1.2", {}, false},
        LoaderCase{"GL_version_1_2", "", "4.5", {"glTexImage3D"}, false},
        LoaderCase{"WGL_EXT_swap_control", "WGL_EXT_swap_control", "4.5", {}, false},
        LoaderCase{"GL_NO_such_extension", "GL_NO_such_extension", "4.5", {}, false},
        LoaderCase{"gl_arb_multitexture", "gl_arb_multitexture", "4.5", {}, false}));

}  // namespace
