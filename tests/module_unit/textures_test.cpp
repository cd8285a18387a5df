// Texture objects across a save and load: the name is claimed back while
// its stamp matches, and the texture is made again when it does not.
#include <gtest/gtest.h>

#include <algorithm>

#include "module/graphics/mo_textures.h"
#include "module/persistence/class_registration.h"
#include "support/fake_texture_host.h"
#include "support/persistence_harness.h"

namespace {

using texturetest::TFakeTextureHost;

class TexturesTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    TFakeTextureHost::Bind();
    Host().pictures["glow.png"] = {3, 1, Im_RGB, {0, 255, 0, 0, 0, 255, 255, 255, 255}};
    RegClass<TBasicTexture2d>();
    RegClass<TAlphaTexture>();
  }
  void TearDown() override {
    loaded.clear();
    TPersistenceTest::TearDown();
    host::UnbindAll();
  }
  TFakeTextureHost& Host() { return TFakeTextureHost::Get(); }
  bool Called(const std::string& prefix) {
    return std::any_of(Host().calls.begin(), Host().calls.end(),
                       [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
  }
};

TEST_F(TexturesTest, ConstructionTakesTwoNamesAndUploadsBrightnessAsAlpha) {
  const TBasicTexture2d texture("glow.png", Gradient_Alpha, true);
  EXPECT_EQ(texture.f_name, 1u);
  EXPECT_EQ(texture.f_thumbname, 2u);
  EXPECT_EQ(static_cast<uint64_t>(texture.f_Token), Host().stamps[1]);
  EXPECT_EQ(static_cast<uint64_t>(texture.f_thumbToken), Host().stamps[2]);
  EXPECT_EQ(texture.f_target, kTextureTarget2d);
  const std::string alpha = std::to_string(GL_ALPHA);
  EXPECT_EQ(Host().calls.back(), "TexImage2D " + alpha + " 3x1 " + alpha);
  EXPECT_EQ(Host().uploaded, (std::vector<uint8_t>{128, 51, 255}));
  EXPECT_FALSE(Called("TexParameteri"));
}

TEST_F(TexturesTest, AlphaTexturesAreSampledNearest) {
  const TAlphaTexture texture("glow.png");
  EXPECT_EQ(texture.f_HasMips, 0);
  const std::string nearest = " " + std::to_string(GL_NEAREST);
  EXPECT_TRUE(Called("TexParameteri " + std::to_string(GL_TEXTURE_MIN_FILTER) + nearest));
  EXPECT_TRUE(Called("TexParameteri " + std::to_string(GL_TEXTURE_MAG_FILTER) + nearest));
}

TEST_F(TexturesTest, AMatchingStampIsClaimedWithoutReadingThePicture) {
  TBasicTexture2d texture("glow.png", No_Alpha, false);
  Save(texture);
  EXPECT_TRUE(Host().marks[texture.f_name]);
  EXPECT_TRUE(Host().marks[texture.f_thumbname]);
  Host().calls.clear();
  const auto* restored = Load<TBasicTexture2d>();
  EXPECT_EQ(restored->f_name, texture.f_name);
  EXPECT_EQ(restored->f_Token, texture.f_Token);
  EXPECT_FALSE(Host().marks[texture.f_name]);
  EXPECT_TRUE(Host().marks[texture.f_thumbname]);  // the thumbnail is not claimed
  EXPECT_EQ(Host().calls, std::vector<std::string>{"ClaimTexture 1"});
  texture.f_unclaimed = 1;  // the old module leaves the names to the new one
}

TEST_F(TexturesTest, AStaleStampMakesTheTextureAgainFromItsFile) {
  TBasicTexture2d texture("glow.png", No_Alpha, false);
  Save(texture);
  Host().Reissue(texture.f_name);
  Host().calls.clear();
  const auto* restored = Load<TBasicTexture2d>();
  EXPECT_NE(restored->f_name, texture.f_name);
  EXPECT_EQ(static_cast<uint64_t>(restored->f_Token), Host().stamps[restored->f_name]);
  EXPECT_EQ(static_cast<uint64_t>(restored->f_thumbToken), Host().stamps[restored->f_thumbname]);
  EXPECT_TRUE(Called("LoadContainer $ct glow.png"));
  EXPECT_TRUE(Called("BindTexture " + std::to_string(restored->f_name)));
  EXPECT_EQ(Host().uploaded, (std::vector<uint8_t>{128, 51, 255}));
}

TEST_F(TexturesTest, DestructionDeletesOnlyNamesWhoseStampStillMatches) {
  auto* texture = new TBasicTexture2d("glow.png", No_Alpha, false);
  const uint32_t name = texture->f_name;
  Host().Reissue(name);  // someone else owns the name now
  delete texture;
  EXPECT_FALSE(Called("DeleteTexture " + std::to_string(name)));
  EXPECT_TRUE(Called("DeleteTexture " + std::to_string(name + 1)));

  auto* unclaimed = new TBasicTexture2d("glow.png", No_Alpha, false);
  unclaimed->f_unclaimed = 1;
  Host().calls.clear();
  delete unclaimed;
  EXPECT_FALSE(Called("DeleteTexture"));
}

TEST_F(TexturesTest, TheThumbnailIsLeftOutOfSavesWithoutTheOption) {
  TBasicTexture2d texture("glow.png", No_Alpha, false);
  texture.f_thumb = {{1, 2}, {3, 4}};
  Save(texture);
  EXPECT_EQ(texture.f_thumb, (std::vector<std::vector<uint32_t>>{{1, 2}, {3, 4}}));
  EXPECT_TRUE(Load<TBasicTexture2d>()->f_thumb.empty());
  texture.f_unclaimed = 1;
}

}  // namespace
