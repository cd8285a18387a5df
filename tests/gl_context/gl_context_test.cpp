// The OpenGL binding against a real driver, in the context the fixture
// opens under its own Xvfb.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "gl_context/gl_context_fixture.h"
#include "host/core/exceptions.h"
#include "host/display/gl_host.h"
#include "host/messages/log.h"
#include "host/platform/gl_library.h"
#include "module/gl/gl_extensions.h"
#include "module/gl/gl_functions.h"
#include "module/gl/gl_slots.h"
#include "shared/gl/gl_extension_table.h"

namespace {

using GlContextTest = gl_context_testing::GlContextFixture<16>;

TEST_F(GlContextTest, HostBindsItsFunctionsFromTheLibrary) {
#define ZOK_EXPECT_HOST_GL_FUNCTION(name) EXPECT_NE(hostgl::name, nullptr) << "gl" #name;
  ZOK_HOST_GL_FUNCTIONS(ZOK_EXPECT_HOST_GL_FUNCTION)
#undef ZOK_EXPECT_HOST_GL_FUNCTION
  EXPECT_EQ(GetGLProcAddress("glBegin"), reinterpret_cast<void*>(hostgl::Begin));
  EXPECT_EQ(GetGLProcAddress("glNoSuchFunctionAnywhere"), nullptr);

  const char* version = GLString(GL_VERSION);
  ASSERT_NE(version, nullptr);
  std::cout << "GL_VERSION: " << version << "\nGL_RENDERER: " << GLString(GL_RENDERER) << '\n';
  EXPECT_GE(ParseGLVersion(version), (TGLVersion{1, 1}));
}

TEST_F(GlContextTest, HostLoadersAnswerFromTheDriver) {
  EXPECT_TRUE(ExtensionSupported("GL_ARB_multitexture"));
  EXPECT_TRUE(LoadExtension("GL_ARB_multitexture"));
  EXPECT_NE(GetGLExtProcAddress("glActiveTextureARB"), nullptr);
  EXPECT_TRUE(LoadExtension("GL_version_1_2"));
  EXPECT_TRUE(LoadExtension("GL_version_1_3"));
  EXPECT_FALSE(LoadExtension("WGL_EXT_swap_control"));
  EXPECT_FALSE(LoadExtension("WGL_ARB_extensions_string"));
}

TEST_F(GlContextTest, ModuleBindsEveryCoreFunctionThroughHostFunction10AndDraws) {
  std::vector<std::string> unbound;
  for (const gl::TGLSlot& slot : gl::CoreSlots()) {
    if (*slot.variable == nullptr) unbound.emplace_back(slot.name);
  }
  EXPECT_EQ(unbound, std::vector<std::string>{});
  EXPECT_STREQ(gl::GLString(GL_VERSION), GLString(GL_VERSION));

  // The pointers reach the host's context: clear to green and read it back.
  gl::Viewport(0, 0, kSize, kSize);
  gl::ClearColor(0.0f, 1.0f, 0.0f, 1.0f);
  gl::Clear(GL_COLOR_BUFFER_BIT);
  gl::Finish();
  GLubyte pixel[4] = {};
  gl::ReadPixels(kSize / 2, kSize / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  EXPECT_EQ(pixel[0], 0);
  EXPECT_EQ(pixel[1], 255);
  EXPECT_EQ(pixel[2], 0);
  EXPECT_EQ(gl::GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlContextTest, ModuleMultitextureLoadsAndItsEntryPointsWork) {
  ASSERT_TRUE(gl::LoadExtension("GL_ARB_multitexture"));
  ASSERT_NE(gl::ActiveTextureARB, nullptr);
  gl::ActiveTextureARB(GL_TEXTURE1_ARB);
  GLint active = 0;
  gl::GetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE1_ARB);
  gl::ActiveTextureARB(GL_TEXTURE0_ARB);
}

// A driver that names an extension must also resolve all its entry points,
// or the module would answer no where the host answers yes.
TEST_F(GlContextTest, ModuleAndHostAgreeOnEveryLoader) {
  std::string offered;
  std::string lacking;
  for (const TGLExtension& extension : kGLExtensions) {
    const bool host_answer = LoadExtension(extension.name);
    EXPECT_EQ(gl::LoadExtension(extension.name), host_answer) << extension.name;
    (host_answer ? offered : lacking) += std::string(" ") + extension.name;
  }
  std::cout << "offered:" << offered << "\nlacking:" << lacking << '\n';
}

// Loading gives any previous library back first; a failed load leaves
// nothing behind, and the right library loads again afterwards.
TEST_F(GlContextTest, AMissingLibraryIsFatalAndTheRightOneLoadsAgain) {
  EXPECT_THROW(LoadGLLibrary(log_dir_ / "libGL.so.1"), EDying);
  ResetLogStateForTests();
  EXPECT_FALSE(platform::gl_library::IsLoaded());
  EXPECT_EQ(hostgl::GetString, nullptr);
  EXPECT_EQ(GetGLProcAddress("glBegin"), nullptr);

  LoadGLLibrary("libGL.so.1");
  EXPECT_NE(hostgl::Begin, nullptr);
  EXPECT_TRUE(LoadExtension("GL_ARB_multitexture"));
}

}  // namespace
