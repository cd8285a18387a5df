// The sample's scene when things go wrong: a failure while drawing is
// reported as the scene's render having crashed, and a scene whose content
// cannot be read fails whole without keeping texture names.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "module/gl/gl_binding.h"
#include "module/gl/gl_functions.h"
#include "module/sample/_tessel01_scene.h"
#include "support/fake_texture_host.h"
#include "support/persistence_harness.h"

namespace {

using texturetest::TFakeTextureHost;

const char* const kSkins[] = {"Flame_Red_0.png",   "Flame_Red_1.png", "Flame_Red_2.png",
                              "Flame_Red_3.png",   "Flame_Red_4.png", "Flame_Red_5.png",
                              "Flame_Red_6.png",   "Flame_Red_7.png", "Skindemon.png",
                              "lostsoul_Skin.png", "005roche.png"};

std::set<GLuint>& LiveNames() {
  static std::set<GLuint> names;
  return names;
}

class Tessel01SceneFailureTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    TFakeTextureHost::Bind();
    LiveNames().clear();
    gl::GenTextures = [](GLsizei count, GLuint* names) {
      static GLuint next = 1;
      for (GLsizei i = 0; i < count; ++i) LiveNames().insert(names[i] = next++);
    };
    gl::DeleteTextures = [](GLsizei count, const GLuint* names) {
      for (GLsizei i = 0; i < count; ++i) LiveNames().erase(names[i]);
    };
    // The skins are one-pixel pictures; the models are the generated ones.
    for (const char* skin : kSkins) {
      TFakeTextureHost::Get().pictures[BaseDir() + "content/" + skin] = {1, 1, Im_RGB, {9, 9, 9}};
    }
  }
  void TearDown() override {
    TPersistenceTest::TearDown();
    host::UnbindAll();
    gl::ClearGL();
  }
  static std::string BaseDir() {
    const std::string content = ZOK_CONTENT_PATH;  // ".../content/"
    return content.substr(0, content.size() - std::string("content/").size());
  }
};

TEST_F(Tessel01SceneFailureTest, AFailingDrawIsReportedAsTheSceneRenderCrashing) {
  TTessel01Scene scene(BaseDir());
  EXPECT_EQ(LiveNames().size(), 11u);
  gl::Viewport = [](GLint, GLint, GLsizei, GLsizei) { throw std::runtime_error("lost context"); };
  const std::string report = persistence_test::FatalTextOf([&] {
    scene.Render(0.5f, TSceneView{800, 600, 0});
  });
  EXPECT_NE(report.find("Scene render crashed"), std::string::npos) << report;
}

TEST_F(Tessel01SceneFailureTest, MissingContentKeepsNoTextureNames) {
  TFakeTextureHost::Get().pictures.erase(BaseDir() + "content/005roche.png");
  EXPECT_ANY_THROW(TTessel01Scene scene(BaseDir()));
  EXPECT_TRUE(LiveNames().empty());

  // Every skin there, but no models.
  const std::string elsewhere = BaseDir() + "no-models/";
  for (const char* skin : kSkins) {
    TFakeTextureHost::Get().pictures[elsewhere + "content/" + skin] = {1, 1, Im_RGB, {9, 9, 9}};
  }
  EXPECT_ANY_THROW(TTessel01Scene scene(elsewhere));
  EXPECT_TRUE(LiveNames().empty());
}

TEST_F(Tessel01SceneFailureTest, TheSceneDeletesItsTexturesWhenFreed) {
  { TTessel01Scene scene(BaseDir()); }
  EXPECT_TRUE(LiveNames().empty());
}

}  // namespace
