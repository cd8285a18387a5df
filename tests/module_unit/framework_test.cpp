// The game framework on its own: the global options, the indexer, a
// game's time steps, menus and their controls.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "module/framework/mo_globopts.h"
#include "module/framework/mo_indexer.h"
#include "module_unit/module_object_classes.h"

namespace module_test {
namespace {

using persistence_test::FatalTextOf;

bool IsProgrammingError(const std::string& failure) {
  return failure.find("MI_ERROR_PROGRAMMER_NO_BAKA") != std::string::npos;
}

// The options against the fake host's configuration, which here also
// takes writes and plain reads.
class OptionsTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    Config().clear();
    TFakeModuleHost::Get().Reset();
    TFakeModuleHost::Get().SetDefaultConfig();
    TFakeModuleHost::Bind();
    host::ConfigWriteInteger = [](const char* section, const char* key, int32_t value) {
      Config()[std::string(section) + "/" + key] = value;
    };
    host::ConfigReadInteger = [](const char* section, const char* key) -> int32_t {
      const auto found = Config().find(std::string(section) + "/" + key);
      return found != Config().end() ? found->second : 0;
    };
  }
  void TearDown() override {
    host::UnbindAll();
    TPersistenceTest::TearDown();
  }
  static std::map<std::string, int32_t>& Config() { return TFakeModuleHost::Get().config; }
};

TEST_F(OptionsTest, ASetterStoresTheValueAndWritesItWhereTheNextReadFindsIt) {
  using O = TGlobalOptions;
  const struct {
    const char* key;  // "section/key" the option is read from
    int32_t TGlobalOptions::*field;
    std::function<void(O&)> set;
    int32_t before;  // in the configuration when the options are made
    int32_t stored;  // what the field and the configuration hold after set
  } cases[] = {
      {"general/store_texture_tumbnails_in_saves", &O::f_StoreLoResTexturesInSaves,
       [](O& o) { o.SetStoreLoResTexturesInSaves(true); }, 0, 1},
      {"general/store_texture_tumbnails_in_saves", &O::f_StoreLoResTexturesInSaves,
       [](O& o) { o.SetStoreLoResTexturesInSaves(false); }, 1, 0},
      {"general/store_impostors_in_saves", &O::f_StoreImpostorsInSaves,
       [](O& o) { o.SetStoreImpostorsInSaves(true); }, 0, 1},
      {"general/store_impostors_in_saves", &O::f_StoreImpostorsInSaves,
       [](O& o) { o.SetStoreImpostorsInSaves(false); }, 1, 0},
      {"general/tumbnail_is_powers_of_2_smaller", &O::f_LoResTexturesMipOffset,
       [](O& o) { o.SetLoResTexturesMipOffset(3); }, 1, 3},
      {"general/tumbnail_is_powers_of_2_smaller", &O::f_LoResTexturesMipOffset,
       [](O& o) { o.SetLoResTexturesMipOffset(1); }, 2, 1},
      {"video/texture_compression_policy", &O::f_TexturesCompressionPolicy,
       [](O& o) { o.SetTexturesCompressionPolicy(2); }, 0, 2},
      {"video/min_texture_size_to_compress", &O::f_MinSizeToEmployTextureCompression,
       [](O& o) { o.SetMinSizeToEmployTextureCompression(2048); }, 0, 2048},
      {"video/min_texture_size_to_compress", &O::f_MinSizeToEmployTextureCompression,
       [](O& o) { o.SetMinSizeToEmployTextureCompression(0); }, 256, 0},
      {"persistency/session_save_format_index", &O::f_SessionAutosaveFormatIndex,
       [](O& o) { o.SetSessionAutosaveFormatIndex(1); }, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + std::to_string(c.stored));
    Config().clear();
    TFakeModuleHost::Get().SetDefaultConfig();
    Config()[c.key] = c.before;
    TGlobalOptions options;
    ASSERT_EQ(options.*c.field, c.before);
    c.set(options);
    EXPECT_EQ(options.*c.field, c.stored);
    EXPECT_EQ(Config()[c.key], c.stored);
    TGlobalOptions next;  // the next start reads it back
    EXPECT_EQ(next.*c.field, c.stored);
  }
}

TEST_F(OptionsTest, TheFormatSetterChangesTheSessionKind) {
  TGlobalOptions options;
  EXPECT_EQ(options.SessionFormatKind(), '0');
  options.SetSessionAutosaveFormatIndex(1);
  EXPECT_EQ(options.SessionFormatKind(), 's');
  options.SetSessionAutosaveFormatIndex(0);
  EXPECT_EQ(options.SessionFormatKind(), '0');
}

// In the configuration such a value would fail every later start of the
// module, so neither the field nor the configuration take it.
TEST_F(OptionsTest, ASetterRefusesWhatTheNextStartWouldRefuse) {
  using O = TGlobalOptions;
  const struct {
    const char* key;
    int32_t TGlobalOptions::*field;
    std::function<void(O&)> set;
  } cases[] = {
      {"general/tumbnail_is_powers_of_2_smaller", &O::f_LoResTexturesMipOffset,
       [](O& o) { o.SetLoResTexturesMipOffset(0); }},
      {"general/tumbnail_is_powers_of_2_smaller", &O::f_LoResTexturesMipOffset,
       [](O& o) { o.SetLoResTexturesMipOffset(4); }},
      {"video/texture_compression_policy", &O::f_TexturesCompressionPolicy,
       [](O& o) { o.SetTexturesCompressionPolicy(-1); }},
      {"video/texture_compression_policy", &O::f_TexturesCompressionPolicy,
       [](O& o) { o.SetTexturesCompressionPolicy(3); }},
      {"video/min_texture_size_to_compress", &O::f_MinSizeToEmployTextureCompression,
       [](O& o) { o.SetMinSizeToEmployTextureCompression(2049); }},
      {"persistency/session_save_format_index", &O::f_SessionAutosaveFormatIndex,
       [](O& o) { o.SetSessionAutosaveFormatIndex(2); }},
      {"persistency/session_save_format_index", &O::f_SessionAutosaveFormatIndex,
       [](O& o) { o.SetSessionAutosaveFormatIndex(-1); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    Config()["general/tumbnail_is_powers_of_2_smaller"] = 2;
    Config()["video/texture_compression_policy"] = 1;
    Config()["video/min_texture_size_to_compress"] = 512;
    Config()["persistency/session_save_format_index"] = 1;
    const std::map<std::string, int32_t> before = Config();
    TGlobalOptions options;
    const int32_t field = options.*c.field;
    const std::string failure = FatalTextOf([&] { c.set(options); });
    EXPECT_TRUE(IsProgrammingError(failure)) << failure;
    const std::string key = std::string(c.key).substr(std::string(c.key).find('/') + 1);
    EXPECT_NE(failure.find(key), std::string::npos) << failure;
    EXPECT_EQ(options.*c.field, field);
    EXPECT_EQ(Config(), before);
    EXPECT_EQ(FatalTextOf([] { delete new TGlobalOptions(); }), "");
  }
}

TEST_F(OptionsTest, NoFieldGoesIntoABasketAndALoadReadsTheConfiguration) {
  RegClass<TGlobalOptions>();
  using O = TGlobalOptions;
  int32_t O::*const fields[] = {&O::f_StoreLoResTexturesInSaves,
                                &O::f_StoreImpostorsInSaves,
                                &O::f_LoResTexturesMipOffset,
                                &O::f_TexturesCompressionPolicy,
                                &O::f_MinSizeToEmployTextureCompression,
                                &O::f_SessionAutosaveFormatIndex};
  constexpr uint32_t kMarker = 0x7E570000;  // a value no basket holds by chance
  TGlobalOptions options;
  for (uint32_t i = 0; i < std::size(fields); ++i) {
    options.*fields[i] = static_cast<int32_t>(kMarker + i);
  }
  Save(options);
  for (const uint32_t word : io.Words()) {
    EXPECT_FALSE(word >= kMarker && word < kMarker + std::size(fields)) << std::hex << word;
  }
  Config()["general/store_impostors_in_saves"] = 1;
  Config()["video/min_texture_size_to_compress"] = 1024;
  const TGlobalOptions* read = Load<TGlobalOptions>();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->f_StoreImpostorsInSaves, 1);
  EXPECT_EQ(read->f_MinSizeToEmployTextureCompression, 1024);
  EXPECT_EQ(read->f_LoResTexturesMipOffset, 1);
}

TEST_F(OptionsTest, VideoQueriesReadTheConfigurationOnEveryCall) {
  TGlobalOptions options;
  EXPECT_EQ(options.VideoWidth(), 0);  // absent keys read as 0
  EXPECT_EQ(options.VideoHeight(), 0);
  Config()["video/width"] = 800;
  Config()["video/height"] = 600;
  EXPECT_EQ(options.VideoWidth(), 800);
  EXPECT_EQ(options.VideoHeight(), 600);
  Config()["video/width"] = 1920;  // the host switched the mode
  EXPECT_EQ(options.VideoWidth(), 1920);

  const struct {
    int32_t stored;  // -1000: absent
    bool on;
  } switches[] = {{-1000, false}, {0, false}, {1, true}, {2, true}, {-1, true}};
  for (const auto& s : switches) {
    SCOPED_TRACE(s.stored);
    for (const char* key : {"video/16_bit", "video/fullscreen"}) {
      if (s.stored == -1000) {
        Config().erase(key);
      } else {
        Config()[key] = s.stored;
      }
    }
    EXPECT_EQ(options.Video16Bit(), s.on);
    EXPECT_EQ(options.VideoFullscreen(), s.on);
  }
}

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

TEST_F(IndexerTest, ClearObjectEmptiesTheSlotButKeepsTheIndexHeld) {
  index.AddObject(&a);
  index.AddObject(&b);
  index.ClearObject(0);
  EXPECT_EQ(index.GetObject(0), nullptr);
  EXPECT_EQ(index.ReferenceCount(0), 1);
  EXPECT_EQ(index.AddObject(&c), 2);
  index.ReleaseIndex(0);
  EXPECT_EQ(index.AddObject(&d), 0);
  EXPECT_EQ(index.GetObject(0), &d);
}

TEST_F(IndexerTest, DropReferenceNeverFreesTheIndex) {
  index.AddObject(&a);
  index.DropReference(0);
  EXPECT_EQ(index.ReferenceCount(0), 0);
  EXPECT_EQ(index.GetObject(0), &a);
  EXPECT_EQ(index.AddObject(&b), 1);
  // No reference is left to drop, by either operation.
  EXPECT_TRUE(IsProgrammingError(FatalTextOf([&] { index.DropReference(0); })));
  EXPECT_TRUE(IsProgrammingError(FatalTextOf([&] { index.ReleaseIndex(0); })));
  EXPECT_EQ(index.ReferenceCount(0), 0);
  EXPECT_EQ(index.f_FreeList->Length, 0);
}

TEST_F(IndexerTest, EveryOperationRefusesAnIndexOutsideTheTable) {
  index.AddObject(&a);
  index.AddObject(&b);
  const struct {
    const char* name;
    std::function<void(TIndexer&, int32_t)> call;
  } operations[] = {
      {"ReleaseIndex", [](TIndexer& i, int32_t at) { i.ReleaseIndex(at); }},
      {"ClearObject", [](TIndexer& i, int32_t at) { i.ClearObject(at); }},
      {"DropReference", [](TIndexer& i, int32_t at) { i.DropReference(at); }},
      {"GetObject", [](TIndexer& i, int32_t at) { i.GetObject(at); }},
      {"ReferenceCount", [](TIndexer& i, int32_t at) { i.ReferenceCount(at); }},
  };
  for (const auto& operation : operations) {
    for (const int32_t wrong : {-1, 2, std::numeric_limits<int32_t>::max()}) {
      SCOPED_TRACE(std::string(operation.name) + " " + std::to_string(wrong));
      EXPECT_TRUE(IsProgrammingError(FatalTextOf([&] { operation.call(index, wrong); })));
    }
  }
  EXPECT_EQ(index.ReferenceCount(0), 1);
  EXPECT_EQ(index.ReferenceCount(1), 1);
}

// A session file is outside input: an indexer whose arrays disagree would
// later index past them, so reading it fails instead.
TEST_F(IndexerTest, AnIndexerIsLoadedOnlyWhenItsArraysAgree) {
  RegClass<TIndexer>();
  RegClassOnce<TGame>();
  const struct {
    const char* what;
    std::function<void(TIndexer&)> damage;
    bool loads;
  } cases[] = {
      {"as built", [](TIndexer&) {}, true},
      {"no free list",
       [](TIndexer& i) {
         delete i.f_FreeList;
         i.f_FreeList = nullptr;
       },
       true},
      {"a count short", [](TIndexer& i) { i.f_Reference_Count->Resize(2); }, false},
      {"a count over", [](TIndexer& i) { i.f_Reference_Count->Add(0); }, false},
      {"free beyond the table", [](TIndexer& i) { i.f_FreeList->Add(3); }, false},
      {"free below the table", [](TIndexer& i) { i.f_FreeList->Add(-1); }, false},
      {"a referenced index free", [](TIndexer& i) { i.f_FreeList->Add(0); }, false},
      {"free twice", [](TIndexer& i) { i.f_FreeList->Add(1); }, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    TIndexer built;  // a at 0, 1 free, c at 2
    built.AddObject(&a);
    built.AddObject(&b);
    built.AddObject(&c);
    built.ReleaseIndex(1);
    row.damage(built);
    Save(built);
    TIndexer* read = nullptr;
    const std::string failure = FatalTextOf([&] { read = Load<TIndexer>(); });
    if (!row.loads) {
      EXPECT_NE(failure.find("MI_BASKET_FAIL_LOAD"), std::string::npos) << failure;
      EXPECT_NE(failure.find("indexer"), std::string::npos) << failure;
      continue;
    }
    ASSERT_EQ(failure, "");
    ASSERT_NE(read, nullptr);
    EXPECT_NE(read->GetObject(0), nullptr);
    EXPECT_EQ(read->GetObject(1), nullptr);
    EXPECT_EQ(read->AddObject(&d), built.f_FreeList != nullptr ? 1 : 3);
  }
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

TEST(ControlTest, ValueConstructorsKeepNoneOfTheirValues) {
  const struct {
    const char* name;
    std::function<std::unique_ptr<TControl>()> make;
  } cases[] = {
      {"TControl", [] { return std::make_unique<TControl>(1, 2, 3, 4, 5, 6); }},
      {"TAbstractMotherHenControl",
       [] { return std::make_unique<TAbstractMotherHenControl>(1, 2, 3, 4, 5, 6); }},
      {"TVerticalTable", [] { return std::make_unique<TVerticalTable>(1, 2, 3, 4, 5, 6); }},
      {"TVerticalTable",
       [] {
         return std::make_unique<TVerticalTable>(1, 2, 3, 4, 5, 6, 7, 8, std::vector<int32_t>{9},
                                                 std::vector<int32_t>{10, 11});
       }},
      {"THorizontalTable", [] { return std::make_unique<THorizontalTable>(1, 2, 3, 4, 5, 6); }},
      {"THorizontalTable",
       [] {
         return std::make_unique<THorizontalTable>(1, 2, 3, 4, 5, 6, 7, 8, std::vector<int32_t>{},
                                                   std::vector<int32_t>{12});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<TControl> control = c.make();
    EXPECT_STREQ(control->ClassName(), c.name);
    const int32_t bounds[] = {control->f_left, control->f_top, control->f_width, control->f_height,
                              control->f_DiminishingFactor};
    for (const int32_t value : bounds) EXPECT_EQ(value, 0);
    EXPECT_EQ(control->ChildCount(), 0);
    TMenu menu(*control);  // a control without children is a menu of one
    EXPECT_EQ(menu.Control->Length, 1);
    if (auto* table = dynamic_cast<TVerticalTable*>(control.get())) {
      EXPECT_EQ(table->f_padding, 0);
      EXPECT_EQ(table->f_BorderWidth, 0);
      EXPECT_EQ(table->f_CellSize, nullptr);
    }
  }
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
