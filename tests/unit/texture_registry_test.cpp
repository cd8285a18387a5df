#include "host/images/texture_registry.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <vector>

#include "host/core/exceptions.h"
#include "host/display/gl_host_functions.h"
#include "host/images/host_textures.h"
#include "host/messages/log.h"
#include "host/modules/host_functions.h"

namespace {

// OpenGL's texture names, as far as the registry sees them: names come
// from a queue when the test sets one (to reissue a name or hand out large
// ones), else counting up; deletions are recorded.
struct FakeTextureNames {
  uint32_t Generate() {
    uint32_t name = next++;
    if (!queued.empty()) {
      name = queued.front();
      queued.pop_front();
    }
    if (name != 0) alive.insert(name);
    return name;
  }
  void Release(uint32_t name) {
    deleted.push_back(name);
    alive.erase(name);
  }

  uint32_t next = 1;
  std::deque<uint32_t> queued;
  std::set<uint32_t> alive;
  std::vector<uint32_t> deleted;
};

class TextureRegistryTest : public testing::Test {
 protected:
  void TearDown() override { ResetLogStateForTests(); }

  struct Texture {
    uint32_t name = 0;
    uint64_t stamp = 0;
  };
  Texture New() {
    Texture texture;
    texture.stamp = registry_.NewTexture(&texture.name);
    return texture;
  }

  FakeTextureNames gl_;
  int64_t counter_ = 1000;
  int64_t counter_step_ = 10;
  TTextureRegistry registry_{
      {[this] { return gl_.Generate(); }, [this](uint32_t name) { gl_.Release(name); }},
      [this] { return counter_ += counter_step_; }};
};

TEST_F(TextureRegistryTest, StampsAreUniqueAndRisingEvenWhenTheCounterStalls) {
  uint64_t last = 0;
  for (const int64_t step : {10, 0, 0, -500, 10}) {
    counter_step_ = step;
    const Texture texture = New();
    EXPECT_NE(texture.name, 0u);
    EXPECT_GT(texture.stamp, last) << "counter step " << step;
    EXPECT_EQ(registry_.StampOf(texture.name), texture.stamp);
    last = texture.stamp;
  }
  const Texture first{1, registry_.StampOf(1)};
  const uint64_t restamped = registry_.RestampTexture(first.name);
  EXPECT_GT(restamped, last);
  EXPECT_FALSE(registry_.ClaimTexture(first.name, first.stamp)) << "the old stamp is stale";
  EXPECT_TRUE(registry_.ClaimTexture(first.name, restamped));
}

TEST_F(TextureRegistryTest, HoldsLargeNames) {
  gl_.queued = {0xFFFFFFF0u, 0x80000000u};
  const Texture high = New();
  const Texture other = New();
  EXPECT_EQ(high.name, 0xFFFFFFF0u);
  registry_.MarkTexture(high.name, high.stamp);
  EXPECT_TRUE(registry_.IsMarked(high.name));
  registry_.DeleteMarkedTextures();
  EXPECT_EQ(gl_.deleted, std::vector<uint32_t>{0xFFFFFFF0u});
  EXPECT_EQ(registry_.StampOf(other.name), other.stamp);
}

TEST_F(TextureRegistryTest, NoNameFromOpenGlGivesNoStampAndRegistersNothing) {
  gl_.queued = {0};
  uint32_t name = 77;
  EXPECT_EQ(registry_.NewTexture(&name), 0u);
  EXPECT_EQ(name, 0u);
  registry_.MarkTexture(0, 0);
  EXPECT_FALSE(registry_.ClaimTexture(0, 0));
  registry_.DeleteTexture(0, 0);
  registry_.DeleteAllTextures();
  EXPECT_TRUE(gl_.deleted.empty());
}

// Mark and claim act only on a name whose current stamp is the one given.
TEST_F(TextureRegistryTest, MarkAndClaimNeedTheCurrentStamp) {
  const Texture texture = New();
  struct Case {
    const char* what;
    uint32_t name;
    uint64_t stamp;
    bool current;
  };
  const Case cases[] = {
      {"current stamp", texture.name, texture.stamp, true},
      {"stale stamp", texture.name, texture.stamp - 1, false},
      {"stamp 0", texture.name, 0, false},
      {"unknown name", texture.name + 1, texture.stamp, false},
      {"name 0", 0, texture.stamp, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry_.ClearTextureMarks();
    registry_.MarkTexture(c.name, c.stamp);
    EXPECT_EQ(registry_.IsMarked(texture.name), c.current);
    registry_.MarkTexture(texture.name, texture.stamp);
    EXPECT_EQ(registry_.ClaimTexture(c.name, c.stamp), c.current);
    EXPECT_EQ(registry_.IsMarked(texture.name), !c.current) << "a claim clears the mark";
  }
}

// The reload cycle: marked at saving, claimed after loading; what nobody
// claimed goes in the sweep and the claimed texture survives it.
TEST_F(TextureRegistryTest, TheSweepDeletesExactlyTheMarkedTextures) {
  const Texture kept = New();
  const Texture lost = New();
  const Texture unsaved = New();
  registry_.ClearTextureMarks();
  registry_.MarkTexture(kept.name, kept.stamp);
  registry_.MarkTexture(lost.name, lost.stamp);
  EXPECT_TRUE(registry_.ClaimTexture(kept.name, kept.stamp));
  EXPECT_FALSE(registry_.IsMarked(kept.name));
  registry_.DeleteMarkedTextures();
  EXPECT_EQ(gl_.deleted, std::vector<uint32_t>{lost.name});
  EXPECT_EQ(registry_.StampOf(lost.name), 0u) << "the stamp is forgotten";
  EXPECT_FALSE(registry_.ClaimTexture(lost.name, lost.stamp));

  registry_.DeleteMarkedTextures();
  EXPECT_EQ(gl_.deleted.size(), 1u) << "a second sweep finds nothing";
  EXPECT_EQ(gl_.alive, (std::set<uint32_t>{kept.name, unsaved.name}));
}

TEST_F(TextureRegistryTest, ClearTextureMarksSavesEveryTextureFromTheSweep) {
  const Texture a = New();
  const Texture b = New();
  registry_.MarkTexture(a.name, a.stamp);
  registry_.MarkTexture(b.name, b.stamp);
  registry_.ClearTextureMarks();
  EXPECT_FALSE(registry_.IsMarked(a.name));
  EXPECT_FALSE(registry_.IsMarked(b.name));
  registry_.DeleteMarkedTextures();
  EXPECT_TRUE(gl_.deleted.empty());
}

TEST_F(TextureRegistryTest, DeleteTextureNeedsTheCurrentStamp) {
  const Texture texture = New();
  registry_.DeleteTexture(texture.name, texture.stamp + 1);
  registry_.DeleteTexture(0, texture.stamp);
  EXPECT_TRUE(gl_.deleted.empty());
  registry_.DeleteTexture(texture.name, texture.stamp);
  registry_.DeleteTexture(texture.name, texture.stamp);
  EXPECT_EQ(gl_.deleted, std::vector<uint32_t>{texture.name}) << "deleted once";
}

// OpenGL hands a deleted name out again: the old owner's stamp must not
// reach the new texture, and the old mark must not sweep it away.
TEST_F(TextureRegistryTest, AReissuedNameBelongsToItsNewOwnerOnly) {
  const Texture old_texture = New();
  registry_.MarkTexture(old_texture.name, old_texture.stamp);
  gl_.queued = {old_texture.name};  // the module deleted it behind the registry's back
  const Texture reissued = New();
  ASSERT_EQ(reissued.name, old_texture.name);
  EXPECT_FALSE(registry_.IsMarked(reissued.name));

  registry_.DeleteTexture(old_texture.name, old_texture.stamp);
  registry_.MarkTexture(old_texture.name, old_texture.stamp);
  EXPECT_FALSE(registry_.ClaimTexture(old_texture.name, old_texture.stamp));
  registry_.DeleteMarkedTextures();
  EXPECT_TRUE(gl_.deleted.empty());
  EXPECT_EQ(registry_.StampOf(reissued.name), reissued.stamp);
}

TEST_F(TextureRegistryTest, RestampOfANameTheRegistryDoesNotHoldIsFatal) {
  const Texture deleted = New();
  registry_.DeleteTexture(deleted.name, deleted.stamp);
  for (const uint32_t name : {0u, deleted.name, 4242u}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(registry_.RestampTexture(name), EDying);
    EXPECT_EQ(registry_.StampOf(name), 0u);
  }
  registry_.DeleteAllTextures();
  EXPECT_EQ(gl_.deleted, std::vector<uint32_t>{deleted.name}) << "nothing was registered";
}

TEST_F(TextureRegistryTest, RestampDropsTheMarkOfTheOldStamp) {
  const Texture texture = New();
  registry_.MarkTexture(texture.name, texture.stamp);
  registry_.RestampTexture(texture.name);
  EXPECT_FALSE(registry_.IsMarked(texture.name));
}

TEST_F(TextureRegistryTest, DeleteAllTexturesDeletesEveryName) {
  const Texture a = New();
  const Texture b = New();
  registry_.MarkTexture(a.name, a.stamp);
  registry_.DeleteAllTextures();
  EXPECT_TRUE(gl_.alive.empty());
  EXPECT_EQ(gl_.deleted.size(), 2u);
  EXPECT_FALSE(registry_.ClaimTexture(b.name, b.stamp));
}

// The host functions split stamps into two 32-bit halves, low first.
std::set<GLuint>* g_fake_gl_names = nullptr;
void APIENTRY FakeGenTextures(GLsizei count, GLuint* names) {
  for (GLsizei i = 0; i < count; ++i) {
    names[i] = 0x70000000u + static_cast<GLuint>(g_fake_gl_names->size());
    g_fake_gl_names->insert(names[i]);
  }
}
void APIENTRY FakeDeleteTextures(GLsizei count, const GLuint* names) {
  for (GLsizei i = 0; i < count; ++i) g_fake_gl_names->erase(names[i]);
}

TEST(TextureRegistryHostFunctions, TakeStampsAsTwoHalvesLowFirst) {
  std::set<GLuint> names;
  g_fake_gl_names = &names;
  hostgl::GenTextures = FakeGenTextures;
  hostgl::DeleteTextures = FakeDeleteTextures;

  uint32_t name = 0;
  const uint64_t stamp = hf::NewTexture(&name);
  const auto low = static_cast<uint32_t>(stamp);
  const auto high = static_cast<uint32_t>(stamp >> 32);
  EXPECT_EQ(names.count(name), 1u);
  hf::MarkTexture(name, high, low);
  EXPECT_FALSE(HostTextureRegistry().IsMarked(name)) << "halves swapped";
  hf::MarkTexture(name, low, high);
  EXPECT_TRUE(HostTextureRegistry().IsMarked(name));
  EXPECT_EQ(hf::ClaimTexture(name, low, high), 1);
  EXPECT_EQ(hf::ClaimTexture(name, low + 1, high), 0);
  hf::DeleteTexture(name, low, high);
  EXPECT_EQ(names.count(name), 0u);

  HostTextureRegistry().DeleteAllTextures();
  hostgl::GenTextures = nullptr;
  hostgl::DeleteTextures = nullptr;
  g_fake_gl_names = nullptr;
}

}  // namespace
