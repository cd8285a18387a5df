#include "host/display/gl_host.h"

#include <gtest/gtest.h>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/platform/gl_library.h"
#include "support/temp_dir.h"

namespace {

// Without a GL library nothing resolves and every query answers no; these
// run before any window exists, so they must not crash.
TEST(GlHostWithoutLibrary, ResolvesNothingAndAnswersNo) {
  UnloadGLLibrary();
  EXPECT_FALSE(platform::gl_library::IsLoaded());
  EXPECT_EQ(GetGLProcAddress("glBegin"), nullptr);
  EXPECT_EQ(GetGLProcAddress(nullptr), nullptr);
  EXPECT_EQ(GetGLExtProcAddress("glActiveTextureARB"), nullptr);
  EXPECT_EQ(GetGLExtProcAddress(nullptr), nullptr);
  EXPECT_EQ(GLString(GL_VERSION), nullptr);
  EXPECT_EQ(hostgl::GetString, nullptr);
  EXPECT_EQ(hostgl::Viewport, nullptr);
  for (const char* name :
       {"GL_ARB_multitexture", "GL_version_1_2", "WGL_EXT_swap_control", "GL_NO_such_extension"}) {
    EXPECT_FALSE(LoadExtension(name)) << name;
  }
  EXPECT_FALSE(LoadExtension(nullptr));
  UnloadGLLibrary();  // twice is harmless
}

class GlHostLoadTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().working_directory = dir_.Path();
    Host().second_instance = false;
    ResetLogStateForTests();
    g_messages = &texts_;
  }
  void TearDown() override {
    UnloadGLLibrary();
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  TempDir dir_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  THostGlobals saved_;
};

// A library that cannot be loaded, by path or by name, stops the host.
TEST_F(GlHostLoadTest, AFailedLoadIsFatalNamesTheFileAndLeavesNothingLoaded) {
  for (const std::string& file : {dir_ / "libGL.so.1", std::string("libGL_zok_missing.so.1")}) {
    ResetLogStateForTests();
    EXPECT_THROW(LoadGLLibrary(file), EDying) << file;
    const std::u16string errors = JoinErrors();
    EXPECT_NE(errors.find(u"Cannot load the OpenGL library"), std::u16string::npos);
    EXPECT_NE(errors.find(std::u16string(file.begin(), file.end())), std::u16string::npos);
    EXPECT_FALSE(platform::gl_library::IsLoaded());
    EXPECT_EQ(hostgl::Begin, nullptr);
  }
}

}  // namespace
