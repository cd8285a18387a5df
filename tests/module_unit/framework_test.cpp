// The game framework on its own: the indexer, a game's time steps, menus
// and their controls.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "module/framework/mo_indexer.h"
#include "module_unit/module_object_classes.h"

namespace module_test {
namespace {

using persistence_test::FatalTextOf;

class IndexerTest : public persistence_test::TPersistenceTest {
 protected:
  TIndexer index;
  TGame a, b, c, d, e, f;
};

TEST_F(IndexerTest, ReleasedIndicesAreReusedLastFreedFirst) {
  EXPECT_EQ(index.AddObject(&a), 0);
  EXPECT_EQ(index.AddObject(&b), 1);
  EXPECT_EQ(index.AddObject(&c), 2);
  index.ReleaseIndex(1);
  EXPECT_EQ(index.GetObject(1), nullptr);
  EXPECT_EQ(index.AddObject(&d), 1);
  EXPECT_EQ(index.GetObject(1), &d);
  index.ReleaseIndex(0);
  index.ReleaseIndex(2);
  EXPECT_EQ(index.AddObject(&e), 2);
  EXPECT_EQ(index.AddObject(&f), 0);
  EXPECT_EQ(index.Length(), 3);
}

TEST_F(IndexerTest, TheSameObjectTwiceGetsTwoIndices) {
  EXPECT_EQ(index.AddObject(&a), 0);
  EXPECT_EQ(index.AddObject(&a), 1);
  EXPECT_EQ(index.ReferenceCount(0), 1);
  EXPECT_EQ(index.ReferenceCount(1), 1);
}

TEST_F(IndexerTest, ReleasingAFreeOrUnknownIndexIsRefused) {
  index.AddObject(&a);
  index.AddObject(&b);
  index.ReleaseIndex(0);
  for (const int32_t wrong : {0, 2, -1}) {
    SCOPED_TRACE(wrong);
    EXPECT_NE(FatalTextOf([&] { index.ReleaseIndex(wrong); }).find("MI_ERROR_PROGRAMMER_NO_BAKA"),
              std::string::npos);
  }
  // The free list still hands index 0 out once.
  EXPECT_EQ(index.AddObject(&c), 0);
  EXPECT_EQ(index.AddObject(&d), 2);
}

class GameTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    TRecordingGame::advances().clear();
  }
};

TEST_F(GameTest, AdvanceDescendsInTenthsOfASecond) {
  TRecordingGame game;
  game.Advance(0.05f);
  EXPECT_EQ(TRecordingGame::advances().size(), 1u);
  TRecordingGame::advances().clear();
  game.Advance(0.35f);
  const std::vector<float> expected = {0.35f, 0.25f, 0.15f, 0.05f};
  ASSERT_EQ(TRecordingGame::advances().size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(TRecordingGame::advances()[i], expected[i], 1e-6) << i;
  }
}

TEST_F(GameTest, AdvanceEndsForEveryTimeStep) {
  const float infinity = std::numeric_limits<float>::infinity();
  const struct {
    float dt;
    size_t most_calls;
  } cases[] = {{std::nanf(""), 1}, {infinity, 1},  {-infinity, 1}, {-3.0f, 1},
               {1e30f, 302},       {3.0e38f, 302}, {60.0f, 302}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dt);
    TRecordingGame::advances().clear();
    TRecordingGame().Advance(c.dt);
    EXPECT_LE(TRecordingGame::advances().size(), c.most_calls);
    for (size_t i = 1; i < TRecordingGame::advances().size(); ++i) {
      EXPECT_TRUE(std::isfinite(TRecordingGame::advances()[i]));
    }
  }
}

TEST_F(GameTest, APlainGameDrawsNothing) {
  EXPECT_FALSE(TGame().Render());
}

class MenuTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    TFakeModuleHost::Get().Reset();
    TFakeModuleHost::Get().SetDefaultConfig();
    TFakeModuleHost::Bind();
    first.AddChild(&first_child);
    root.AddChild(&first);
    root.AddChild(&second);
  }
  void TearDown() override {
    ModuleObject() = nullptr;
    host::UnbindAll();
    TPersistenceTest::TearDown();
  }
  TRecordingControl root{1}, first{2}, first_child{3}, second{4};
};

TEST_F(MenuTest, ListsTheRootThenItsDescendantsDepthFirst) {
  TMenu menu(root);
  ASSERT_EQ(menu.Control->Length, 4);
  const TTrulyPersistent* expected[] = {&root, &first, &first_child, &second};
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ((*menu.Control)[i], expected[i]) << i;
  EXPECT_EQ(menu.ActiveControl, 0);
  EXPECT_EQ(menu.HigherLevelMenu, nullptr);
}

TEST_F(MenuTest, DestroyingTheActiveMenuFallsBackToTheHigherOne) {
  TTestModule module_object;  // the module object while it lives
  TMenu top(root);
  auto* sub = new TMenu(second);
  sub->HigherLevelMenu = &top;
  module_object.Menu = sub;
  delete sub;
  EXPECT_EQ(module_object.Menu, &top);
  auto* alone = new TMenu(second);
  module_object.Menu = alone;
  delete alone;
  EXPECT_EQ(module_object.Menu, nullptr);  // never left pointing at a freed menu
}

}  // namespace
}  // namespace module_test
