// The sample's settings object across a save and load, with OpenGL's
// texture calls recorded: brightness and quality survive, the texture
// names do not outlive the library that made them, and the help text and
// announcements reach the log as written.
#include "module/sample/tessel01_settings.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "module/gl/gl_binding.h"
#include "module/gl/gl_functions.h"
#include "module/persistence/class_registration.h"
#include "module/sample/tessel01_texts.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::LogLines;

struct TAllocation {
  GLuint name;
  GLsizei size;
  GLint internal_format;
};

// The texture names OpenGL would hand out and take back.
struct TTextureBook {
  GLuint next = 1;
  std::set<GLuint> live;
  std::vector<GLuint> deleted;
  GLuint bound = 0;
  std::vector<TAllocation> allocations;

  static TTextureBook& Get() {
    static TTextureBook book;
    return book;
  }
};

class Tessel01SettingsTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    Book() = TTextureBook();
    gl::GenTextures = [](GLsizei count, GLuint* names) {
      for (GLsizei i = 0; i < count; ++i) {
        names[i] = Book().next++;
        Book().live.insert(names[i]);
      }
    };
    gl::DeleteTextures = [](GLsizei count, const GLuint* names) {
      for (GLsizei i = 0; i < count; ++i) {
        Book().live.erase(names[i]);
        Book().deleted.push_back(names[i]);
      }
    };
    gl::BindTexture = [](GLenum, GLuint name) { Book().bound = name; };
    gl::TexParameteri = [](GLenum, GLenum, GLint) {};
    gl::TexImage2D = [](GLenum, GLint, GLint internal, GLsizei width, GLsizei, GLint, GLenum,
                        GLenum, const void*) {
      Book().allocations.push_back({Book().bound, width, internal});
    };
    RegClass<TTessel01>();
  }
  void TearDown() override {
    loaded.clear();
    TPersistenceTest::TearDown();
    gl::ClearGL();
  }
  static TTextureBook& Book() { return TTextureBook::Get(); }

  // The help text's lines in the log, in order, wherever they start.
  static int HelpTextCount() {
    const auto& lines = LogLines();
    int count = 0;
    for (size_t start = 0; start + kTessel01HelpText.size() <= lines.size(); ++start) {
      if (std::equal(kTessel01HelpText.begin(), kTessel01HelpText.end(), lines.begin() + start)) {
        ++count;
      }
    }
    return count;
  }
};

TEST_F(Tessel01SettingsTest, NewSettingsHaveTheDefaultsTheirTexturesAndTheHelpText) {
  TTessel01 settings;
  EXPECT_FLOAT_EQ(settings.light, 0.5f);
  EXPECT_EQ(settings.quality, 3);
  EXPECT_EQ(settings.scene, nullptr);
  EXPECT_EQ(Book().live, (std::set<GLuint>{settings.tex_full, settings.tex_halv, settings.tex_dark,
                                           settings.tex_bloom}));
  // The frame, half and glow textures get storage; the fourth is a name only.
  std::vector<TAllocation> expected = {{settings.tex_halv, 512, GL_RGB},
                                       {settings.tex_full, 1024, GL_RGB},
                                       {settings.tex_dark, 256, GL_LUMINANCE}};
  ASSERT_EQ(Book().allocations.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Book().allocations[i].name, expected[i].name) << i;
    EXPECT_EQ(Book().allocations[i].size, expected[i].size) << i;
    EXPECT_EQ(Book().allocations[i].internal_format, expected[i].internal_format) << i;
  }
  EXPECT_EQ(LogLines().size(), kTessel01HelpText.size());
  EXPECT_EQ(HelpTextCount(), 1);
}

TEST_F(Tessel01SettingsTest, LightAndQualitySurviveAndTexturesAreMadeAgain) {
  TTessel01 settings;
  settings.light = 2.25f;
  settings.SetQuality(1);
  const std::set<GLuint> before = Book().live;
  Save(settings);
  // Saving lets the old names go: a reload must not leak texture memory.
  EXPECT_TRUE(Book().live.empty());
  EXPECT_EQ(settings.tex_full, 0u);

  TTessel01* restored = Load<TTessel01>();
  ASSERT_NE(restored, nullptr);
  EXPECT_FLOAT_EQ(restored->light, 2.25f);
  EXPECT_EQ(restored->quality, 1);
  EXPECT_EQ(restored->scene, nullptr);
  EXPECT_EQ(Book().live.size(), 4u);
  for (GLuint name :
       {restored->tex_full, restored->tex_halv, restored->tex_dark, restored->tex_bloom}) {
    EXPECT_EQ(Book().live.count(name), 1u) << name;
    EXPECT_EQ(before.count(name), 0u) << name;
  }
  EXPECT_EQ(HelpTextCount(), 2);

  loaded.clear();
  EXPECT_TRUE(Book().live.empty()) << "the restored settings leaked their textures";
}

TEST_F(Tessel01SettingsTest, DestructionDeletesTheTextures) {
  { TTessel01 settings; }
  EXPECT_TRUE(Book().live.empty());
  EXPECT_EQ(Book().deleted.size(), 4u);
}

TEST_F(Tessel01SettingsTest, QualityKeysAnnounceTheirQuality) {
  TTessel01 settings;
  LogLines().clear();
  for (int32_t quality : {1, 2, 3}) settings.SetQuality(quality);
  ASSERT_EQ(LogLines().size(), 3u);
  for (int32_t quality : {1, 2, 3}) {
    EXPECT_EQ(LogLines()[static_cast<size_t>(quality - 1)], QualityAnnouncement(quality));
  }
}

}  // namespace
