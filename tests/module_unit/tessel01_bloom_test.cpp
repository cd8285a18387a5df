// The sample's brightness and bloom arithmetic, and its log texts.
#include "module/sample/tessel01_bloom.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "module/sample/tessel01_texts.h"

namespace {

struct TPlanCase {
  const char* name;
  float light;  // as the keys left it, before the frame clamps it
  int32_t quality;
  TBloomPlan expected;
};

void PrintTo(const TPlanCase& plan_case, std::ostream* out) {
  *out << plan_case.name;
}

// brightness, post-process, passes, glow intensity, glow weight, base offset
const TPlanCase kPlanCases[] = {
    {"space: light 1", 1.0f, 3, {1.0f, false, 5, 5, 0.0f, 0.0f, 0.0f}},
    {"just inside 1", 1.009f, 3, {1.018f, false, 5, 5, 1.0f, 0.000081f, 0.000081f}},
    {"just outside 1", 0.985f, 3, {0.971714f, true, 5, 5, 0.0018f, 0.000225f, 0.000225f}},
    {"default", 0.5f, 3, {0.2875f, true, 5, 5, 2.0f, 0.25f, 0.25f}},
    {"bright", 3.0f, 3, {1.7f, true, 5, 5, 3.0f / 1.7f, 4.0f, 1.0f}},
    {"below the lowest", 0.05f, 3, {0.088f, true, 5, 5, 5.12f, 0.64f, 0.64f}},
    {"above the highest", 9.0f, 3, {1.7f, true, 5, 5, 7.0f / 1.7f, 36.0f, 1.0f}},
    {"slightly over 1", 1.5f, 1, {1.7f, true, 1, 4, 1.0f, 0.25f, 0.25f}},
    {"quality 1", 0.5f, 1, {0.2875f, true, 1, 4, 2.0f, 0.25f, 0.25f}},
    {"quality 2", 0.5f, 2, {0.2875f, true, 3, 5, 2.0f, 0.25f, 0.25f}},
    {"quality 0", 0.5f, 0, {0.2875f, true, 0, 0, 2.0f, 0.25f, 0.25f}},
    {"quality 4", 0.5f, 4, {0.2875f, true, 0, 0, 2.0f, 0.25f, 0.25f}},
};

class BloomPlanTest : public testing::TestWithParam<TPlanCase> {};

TEST_P(BloomPlanTest, FollowsLightAndQuality) {
  const TPlanCase& plan_case = GetParam();
  const TBloomPlan plan = PlanBloom(ClampLight(plan_case.light), plan_case.quality);
  const TBloomPlan& expected = plan_case.expected;
  EXPECT_NEAR(plan.brightness, expected.brightness, 1e-5);
  EXPECT_EQ(plan.post_process, expected.post_process);
  EXPECT_EQ(plan.first_passes, expected.first_passes);
  EXPECT_EQ(plan.second_passes, expected.second_passes);
  EXPECT_NEAR(plan.glow_intensity, expected.glow_intensity, 1e-5);
  EXPECT_NEAR(plan.glow_weight, expected.glow_weight, 1e-5);
  EXPECT_NEAR(plan.base_offset, expected.base_offset, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(Lights, BloomPlanTest, testing::ValuesIn(kPlanCases),
                         [](const testing::TestParamInfo<TPlanCase>& info) {
                           std::string name = info.param.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(BloomLightTest, IsClampedToItsRangeAndNeverNaN) {
  EXPECT_FLOAT_EQ(ClampLight(0.19f), kLowestLight);
  EXPECT_FLOAT_EQ(ClampLight(0.2f), 0.2f);
  EXPECT_FLOAT_EQ(ClampLight(7.0f), 7.0f);
  EXPECT_FLOAT_EQ(ClampLight(7.01f), kHighestLight);
  EXPECT_FLOAT_EQ(ClampLight(-std::numeric_limits<float>::infinity()), kLowestLight);
  EXPECT_FLOAT_EQ(ClampLight(std::numeric_limits<float>::quiet_NaN()), kDefaultLight);
}

TEST(BloomBlurTest, PassesShiftByOneTexelInTurn) {
  struct {
    int32_t pass, passes, x, y;
  } const cases[] = {
      {1, 1, 0, 0},   {1, 5, 0, 0},  {1, 2, -1, -1}, {2, 2, 1, 1}, {2, 5, 1, 1},
      {3, 5, -1, -1}, {4, 5, 1, -1}, {5, 5, -1, 1},  {6, 9, 0, 0},
  };
  for (const auto& c : cases) {
    const TTexelShift shift = BlurPassShift(c.pass, c.passes);
    EXPECT_EQ(shift.x, c.x) << "pass " << c.pass << " of " << c.passes;
    EXPECT_EQ(shift.y, c.y) << "pass " << c.pass << " of " << c.passes;
  }
}

TEST(BloomSceneTest, SkullAndFlameColoursFollowBrightness) {
  struct {
    float brightness, flame, skull;
  } const cases[] = {
      {0.2875f, 1.0f, 0.64375f}, {0.0f, 1.0f, 0.5f}, {1.0f, 1.0f, 1.0f}, {1.7f, 0.766965f, 1.0f}};
  for (const auto& c : cases) {
    const TSceneColours colours = SceneColours(c.brightness);
    EXPECT_NEAR(colours.flame, c.flame, 1e-5) << c.brightness;
    EXPECT_NEAR(colours.skull, c.skull, 1e-5) << c.brightness;
  }
}

TEST(BloomSceneTest, FlameRunsAtTenFramesASecondAndTheSceneTurns) {
  struct {
    int64_t milliseconds;
    int32_t frame;
    float angle;
  } const cases[] = {
      {0, 0, 0.0f},      {99, 0, 0.99f},   {100, 1, 1.0f},
      {799, 7, 7.99f},   {800, 0, 8.0f},   {36000, 0, 0.0f},
      {360050, 0, 0.5f}, {-150, 7, -1.5f}, {INT64_MAX, 6, 198.07f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FlameFrameAt(c.milliseconds), c.frame) << c.milliseconds;
    EXPECT_GE(FlameFrameAt(c.milliseconds), 0);
    EXPECT_NEAR(SceneAngleAt(c.milliseconds), c.angle, 1e-3) << c.milliseconds;
  }
}

TEST(BloomTextureTest, FullCopyHoldsTheWholeWindow) {
  struct {
    int32_t width, height, size;
  } const cases[] = {{640, 480, 1024},      {800, 600, 1024},   {1024, 1024, 1024},
                     {1025, 768, 2048},     {1280, 1024, 2048}, {800, 3000, 4096},
                     {INT_MAX, 1, 1 << 30}, {0, 0, 1024}};
  for (const auto& c : cases) {
    EXPECT_EQ(FullTextureSizeFor(c.width, c.height), c.size) << c.width << " x " << c.height;
  }
}

TEST(Tessel01TextsTest, HelpTextKeepsItsFramingLines) {
  ASSERT_EQ(kTessel01HelpText.size(), 17u);
  EXPECT_EQ(kTessel01HelpText[0], u" ");
  EXPECT_EQ(kTessel01HelpText[13], u"  ");
  EXPECT_EQ(kTessel01HelpText[1], kTessel01HelpText[16]);
  EXPECT_EQ(kTessel01HelpText[2], u"  \"~\" - включает/выключает консоль сообщений");
  EXPECT_EQ(kTessel01HelpText[10], u"  \"4\"..\"6\" - переключают качество заблюривания");
}

TEST(Tessel01TextsTest, AnnouncesOnlyTheThreeQualities) {
  EXPECT_EQ(QualityAnnouncement(1), u"Качество заблюривания: НИЗКОЕ");
  EXPECT_EQ(QualityAnnouncement(2), u"Качество заблюривания: СРЕДНЕЕ");
  EXPECT_EQ(QualityAnnouncement(3), u"Качество заблюривания: ВЫСОКОЕ");
  EXPECT_TRUE(QualityAnnouncement(0).empty());
  EXPECT_TRUE(QualityAnnouncement(4).empty());
}

}  // namespace
