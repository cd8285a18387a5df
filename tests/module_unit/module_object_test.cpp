// The module object: events, routing to the menu and the game, and the
// session file that carries it across unloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "module/framework/mo_globopts.h"
#include "module/framework/mo_indexer.h"
#include "module/runtime/mo_session.h"
#include "module_unit/module_object_classes.h"
#include "shared/zok_protocol.h"

namespace module_test {
namespace {

using persistence_test::FatalTextOf;
using persistence_test::LogHas;

constexpr char kModulePath[] = "mods/TESSEL.so";
constexpr char kSessionFile[] = "sessions/TESSEL.zok";

class ModuleObjectTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    Host().Reset();
    Host().SetDefaultConfig();
    TFakeModuleHost::Bind();
    TRecordingGame::advances().clear();
    RegisterTestClasses();
  }
  void TearDown() override {
    delete ModuleObject();
    ModuleObject() = nullptr;
    host::UnbindAll();
    TPersistenceTest::TearDown();
  }

  static TFakeModuleHost& Host() { return TFakeModuleHost::Get(); }
  static void Start(const std::string& module_path = kModulePath,
                    const std::string& save_path = "saves/") {
    ModuleStart(ModuleClassOf<TTestModule>(), module_path, "sessions/", save_path);
  }
  static TTestModule& Object() { return *static_cast<TTestModule*>(ModuleObject()); }
  static int32_t Send(int32_t code, int32_t a = 0, int32_t b = 0) {
    return MessageHandler(code, a, b, 0);
  }
  // Unloads the library the way the host does, then starts it again.
  static void Reload(const std::string& module_path = kModulePath,
                     const std::string& save_path = "saves/") {
    Send(Re_OnUnload);
    delete ModuleObject();
    Start(module_path, save_path);
  }
  static bool Called(const std::string& call) {
    return std::find(Events().begin(), Events().end(), call) != Events().end();
  }
  static TRecordingGame& AddGame(bool renders = false) {
    auto* game = new TRecordingGame();
    game->f_renders = renders ? 1 : 0;
    Object().Game = game;
    return *game;
  }
  // root(1) with children 2 and 4; 2 has child 3.
  static TMenu& AddMenu() {
    auto* root = new TRecordingControl(1);
    auto* first = new TRecordingControl(2);
    first->AddChild(new TRecordingControl(3));
    root->AddChild(first);
    root->AddChild(new TRecordingControl(4));
    Object().Menu = new TMenu(*root);
    return *Object().Menu;
  }
};

TEST_F(ModuleObjectTest, FirstStartCreatesAnObjectWhoseFirstEventRunsFirstRunOnce) {
  Start();
  ASSERT_NE(ModuleObject(), nullptr);
  EXPECT_FALSE(LogHas("MI_LOADING"));
  EXPECT_EQ(Object().f_firstruns, 0);
  Send(Re_OnCycle);
  Send(Re_OnCycle);
  EXPECT_EQ(Object().f_firstruns, 1);
  EXPECT_EQ(Object().f_sessionpath + Object().f_selfname, "sessions/TESSEL");
  EXPECT_EQ(Object().f_basedir, "mods/");
  EXPECT_EQ(Object().f_savepath, "saves/");
}

TEST_F(ModuleObjectTest, EventResultsAndFirstRunOnAnyFirstEvent) {
  struct TCase {
    int32_t code;
    int32_t result;
  };
  const TCase cases[] = {
      {Re_OnGetFocus, 1}, {Re_OnLoseFocus, 1}, {Re_OnMouseMove, 1},     {Re_OnResize, 0},
      {Re_OnPress, 1},    {Re_OnRelease, 1},   {Re_OnType, 0},          {Re_OnCreate, 0},
      {Re_OnCycle, 1},    {Re_OnLoad, 0},      {Re_TexturesDeleted, 0}, {Re_Stub, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(CbMessageName(c.code));
    Start();
    Object().mousex = 17;
    EXPECT_EQ(Send(c.code, 3, 4), c.result);
    EXPECT_EQ(Send(c.code, 3, 4), c.result);
    EXPECT_EQ(Object().f_firstruns, 1);
    EXPECT_EQ(Object().f_firstrun, 0);
    EXPECT_EQ(Object().mousex, 17);
    delete ModuleObject();
  }
}

TEST_F(ModuleObjectTest, UnloadWritesTheTemporaryFileThenRenamesItOverTheSession) {
  Start();
  Host().files[kSessionFile] = TFakeFile{"the previous session", '0', 1};
  EXPECT_EQ(Send(Re_OnUnload), 1);
  const std::vector<std::string> expected = {"write sessions/TESSEL.$$$",
                                             "replace sessions/TESSEL.$$$ sessions/TESSEL.zok"};
  std::vector<std::string> files_calls;
  for (const auto& call : Events()) {
    if (call.rfind("write", 0) == 0 || call.rfind("replace", 0) == 0) files_calls.push_back(call);
  }
  EXPECT_EQ(files_calls, expected);
  EXPECT_EQ(Host().files.count("sessions/TESSEL.$$$"), 0u);
  EXPECT_NE(Host().files[kSessionFile].data, "the previous session");
  EXPECT_TRUE(Called("LoseFocus"));
  EXPECT_TRUE(Called("ClearTextureMarks"));
  EXPECT_NE(ModuleObject(), nullptr);  // freed with the library, not here
}

TEST_F(ModuleObjectTest, RestartRestoresTheObjectWithoutRepeatingFirstRun) {
  Start();
  Send(Re_OnCycle);
  Object().mousex = 5;
  Object().GamePaused = 1;
  Send(Re_OnPress, 30);
  Reload("elsewhere/TESSEL.so", "saves2/");
  EXPECT_TRUE(LogHas("MI_LOADING(MI_OF_SESSION())"));
  EXPECT_TRUE(LogHas("Session read: classes unchanged"));
  Send(Re_OnCycle);
  EXPECT_EQ(Object().f_firstruns, 1);
  EXPECT_EQ(Object().mousex, 5);
  EXPECT_EQ(Object().GamePaused, 1);
  EXPECT_EQ(Object().KeyDown[30 - kLowestKeyCode], 1);
  // The paths are those of this start, not of the one that saved.
  EXPECT_EQ(Object().f_basedir, "elsewhere/");
  EXPECT_EQ(Object().f_savepath, "saves2/");
  ASSERT_NE(Object().Options, nullptr);
  ASSERT_NE(Object().TextureIndex, nullptr);
}

TEST_F(ModuleObjectTest, ARenamedLibraryDoesNotFindTheOldSession) {
  Start();
  Reload("mods/TESSEL2.so");
  EXPECT_FALSE(LogHas("MI_LOADING"));
  EXPECT_EQ(Object().f_selfname, "TESSEL2");
}

TEST_F(ModuleObjectTest, MarkedTexturesAreSweptOnlyAfterEveryTextureClaimedItsName) {
  Start();
  auto* texture = new TClaimingTexture();
  texture->f_index = Object().TextureIndex->AddObject(texture);
  texture->f_unclaimed = 1;
  Reload();
  const auto claim = std::find(Events().begin(), Events().end(), "claim wall.png");
  ASSERT_NE(claim, Events().end());
  EXPECT_NE(std::find(claim, Events().end(), "DeleteMarkedTextures"), Events().end());
  auto* loaded = dynamic_cast<TClaimingTexture*>(Object().TextureIndex->GetObject(0));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->f_AlphaKind, Gradient_Alpha);
  EXPECT_EQ(loaded->f_HasMips, 1);
  EXPECT_EQ(loaded->f_target, kTextureTarget2d);
  EXPECT_EQ(loaded->f_unclaimed, 0);  // never stored
}

TEST_F(ModuleObjectTest, AnUnreadableSessionIsReportedAndMovedAside) {
  Host().files[kSessionFile] = TFakeFile{"not a basket at all", '0', 7};
  const std::string failure = FatalTextOf([] { Start(); });
  EXPECT_NE(failure.find("MI_ERROR_LOADING(MI_OF_SESSION()|sessions/TESSEL.zok)"),
            std::string::npos)
      << failure;
  EXPECT_EQ(ModuleObject(), nullptr);
  EXPECT_EQ(Host().files.count(kSessionFile), 0u);
  EXPECT_EQ(Host().files["sessions/TESSEL.zok.bad"].data, "not a basket at all");
  EXPECT_TRUE(LogHas("moved aside as sessions/TESSEL.zok.bad"));
  Start();  // the next start begins afresh
  EXPECT_NE(ModuleObject(), nullptr);
}

TEST_F(ModuleObjectTest, AFailedRenameFailsTheSaveAndKeepsThePreviousSession) {
  Start();
  Host().files[kSessionFile] = TFakeFile{"the previous session", '0', 1};
  Host().fail_replace = true;
  const std::string failure = FatalTextOf([] { Send(Re_OnUnload); });
  EXPECT_NE(failure.find("MI_ERROR_SAVING(MI_OF_SESSION()|sessions/TESSEL.zok)"), std::string::npos)
      << failure;
  EXPECT_NE(failure.find("MI_CRASHED_IN(Re_OnUnload  message handler"), std::string::npos);
  EXPECT_EQ(Host().files[kSessionFile].data, "the previous session");
}

TEST_F(ModuleObjectTest, AWriteTheHostFailsIsReportedOnceAndKeepsThePreviousSession) {
  Start();
  Host().files[kSessionFile] = TFakeFile{"the previous session", '0', 1};
  Host().fail_write = true;
  const std::string failure = FatalTextOf([] { Send(Re_OnUnload); });
  EXPECT_NE(failure.find("No space left on device"), std::string::npos) << failure;
  // The host closed the file when it failed; closing it again would add a
  // second, misleading report.
  EXPECT_EQ(failure.find("already closed"), std::string::npos) << failure;
  EXPECT_EQ(Host().files[kSessionFile].data, "the previous session");
}

TEST_F(ModuleObjectTest, DestroySavesAndFreesTheObject) {
  Start();
  EXPECT_EQ(Send(Re_OnDestroy), 1);
  EXPECT_EQ(ModuleObject(), nullptr);
  EXPECT_EQ(Host().files.count(kSessionFile), 1u);
  EXPECT_NE(FatalTextOf([] { Send(Re_OnCycle); }).find("MI_CRASHED_IN(Re_OnCycle"),
            std::string::npos);
}

TEST_F(ModuleObjectTest, AThrowingPressIsReportedAsACrashInItsEvent) {
  Start();
  const std::string failure = FatalTextOf([] { Send(Re_OnPress, kThrowingKey); });
  EXPECT_NE(failure.find("MI_CRASHED_IN(Re_OnPress  message handler|std::runtime_error|boom)"),
            std::string::npos)
      << failure;
}

TEST_F(ModuleObjectTest, TheSessionKindFollowsTheConfiguredFormat) {
  const std::pair<int32_t, int32_t> cases[] = {{0, '0'}, {1, 's'}};
  for (const auto& [index, kind] : cases) {
    Host().config["persistency/session_save_format_index"] = index;
    Start();
    Send(Re_OnUnload);
    EXPECT_EQ(Host().files[kSessionFile].kind, kind) << index;
    delete ModuleObject();
    Host().files.clear();
  }
}

TEST_F(ModuleObjectTest, RestoredOptionsAreTheConfigurationOfTheLoad) {
  Host().config["persistency/session_save_format_index"] = 1;
  Host().config["video/min_texture_size_to_compress"] = 512;
  Start();
  Host().config["persistency/session_save_format_index"] = 0;
  Host().config["video/min_texture_size_to_compress"] = 2048;
  Reload();
  EXPECT_EQ(Object().Options->f_SessionAutosaveFormatIndex, 0);
  EXPECT_EQ(Object().Options->f_MinSizeToEmployTextureCompression, 2048);
  EXPECT_EQ(Object().Options->SessionFormatKind(), '0');
}

TEST_F(ModuleObjectTest, OptionsAreReadWithinTheirRanges) {
  struct TCase {
    const char* key;
    int32_t value;  // -1: absent
    bool accepted;
  };
  const TCase cases[] = {
      {"general/tumbnail_is_powers_of_2_smaller", 0, false},
      {"general/tumbnail_is_powers_of_2_smaller", -1, false},
      {"general/tumbnail_is_powers_of_2_smaller", 3, true},
      {"video/min_texture_size_to_compress", 2048, true},
      {"video/min_texture_size_to_compress", 2049, false},
      {"general/store_impostors_in_saves", 2, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=" + std::to_string(c.value));
    Host().SetDefaultConfig();
    if (c.value < 0) {
      Host().config.erase(c.key);
    } else {
      Host().config[c.key] = c.value;
    }
    const std::string failure = FatalTextOf([] { delete new TGlobalOptions(); });
    EXPECT_EQ(failure.empty(), c.accepted) << failure;
  }
}

TEST_F(ModuleObjectTest, APausedGameIsRenderedButNeitherAdvancedNorGivenInput) {
  Start();
  AddGame();
  Object().GamePaused = 1;
  Host().frame_times = {0.05f, 0.05f};
  Send(Re_OnCycle);
  Send(Re_OnPress, 30);
  Send(Re_OnRelease, 30);
  Send(Re_OnMouseMove, 10, 20);
  EXPECT_TRUE(TRecordingGame::advances().empty());
  EXPECT_TRUE(Called("game Render"));
  EXPECT_TRUE(Called("GameNotRendered"));
  EXPECT_FALSE(Called("game Press 30"));
  EXPECT_FALSE(Called("game Release 30"));
  EXPECT_FALSE(Called("game MouseMove 10 20"));
  Object().GamePaused = 0;
  Send(Re_OnPress, 30);
  Send(Re_OnMouseMove, 10, 20);
  EXPECT_TRUE(Called("game Press 30"));
  EXPECT_TRUE(Called("game MouseMove 10 20"));
}

TEST_F(ModuleObjectTest, AnActiveMenuTakesTheKeysFromTheGame) {
  Start();
  AddGame(true);
  AddMenu();
  Send(Re_OnPress, 30);
  Send(Re_OnMouseMove, 1, 2);
  EXPECT_FALSE(Called("game Press 30"));
  EXPECT_FALSE(Called("game MouseMove 1 2"));
  std::vector<std::string> presses;
  for (const auto& call : Events()) {
    if (call.find("Press") != std::string::npos) presses.push_back(call);
  }
  const std::vector<std::string> expected = {"control 1 Press 30", "control 2 Press 30",
                                             "control 3 Press 30", "control 4 Press 30"};
  EXPECT_EQ(presses, expected);
  EXPECT_TRUE(Called("control 4 MouseMove 1 2"));
}

TEST_F(ModuleObjectTest, AFrameUpdatesTheMenuAdvancesRendersTheGameThenTheMenu) {
  Start();
  Send(Re_OnGetFocus);
  AddGame(true);
  AddMenu();
  Events().clear();
  Host().frame_times = {0.016f, 0.016f};
  Send(Re_OnCycle);
  Send(Re_OnCycle);
  EXPECT_NEAR(Object().PrevFrameTime, 0.016f, 1e-6);
  ASSERT_EQ(TRecordingGame::advances().size(), 2u);
  EXPECT_NEAR(TRecordingGame::advances()[1], 0.016f, 1e-6);
  const auto cycle = std::find(Events().begin(), Events().end(), "control 1 Cycle");
  const auto render = std::find(cycle, Events().end(), "game Render");
  EXPECT_NE(std::find(render, Events().end(), "control 1 Render"), Events().end());
  EXPECT_FALSE(Called("GameNotRendered"));
  delete Object().Game;
  Object().Game = nullptr;
  Send(Re_OnCycle);
  EXPECT_TRUE(Called("NoGame"));
}

TEST_F(ModuleObjectTest, KeyDownTracksKeysInItsRangeOnly) {
  Start();
  AddGame();
  for (const int32_t key : {-5, -1, 0, 227}) {
    Send(Re_OnPress, key);
    EXPECT_EQ(Object().KeyDown[key - kLowestKeyCode], 1) << key;
    Send(Re_OnRelease, key);
    EXPECT_EQ(Object().KeyDown[key - kLowestKeyCode], 0) << key;
  }
  const TKeyboardState before = Object().KeyDown;
  const int32_t mousey = Object().mousey;
  for (const int32_t key : {-6, 228, 255, 100000}) {
    Send(Re_OnPress, key);
    Send(Re_OnRelease, key);
    EXPECT_TRUE(Called("game Press " + std::to_string(key))) << key;
  }
  EXPECT_EQ(Object().KeyDown, before);
  EXPECT_EQ(Object().mousey, mousey);
}

TEST_F(ModuleObjectTest, AMenuAndAGameWithControlsSurviveASaveAndLoad) {
  Start();
  TRecordingGame& game = AddGame(true);
  game.ObjectIndex = Object().TextureIndex;
  TMenu& menu = AddMenu();
  menu.ActiveControl = 2;
  auto* cells = new TAOI();
  cells->Add(12);
  auto* table = new TVerticalTable();
  table->f_CellSize = cells;
  table->f_padding = 3;
  static_cast<TRecordingControl*>((*menu.Control)[3])->AddChild(table);
  menu.Control->Add(table);
  Reload();
  ASSERT_NE(Object().Menu, nullptr);
  const TMenu& loaded = *Object().Menu;
  EXPECT_EQ(loaded.ActiveControl, 2);
  EXPECT_EQ(loaded.HigherLevelMenu, nullptr);
  ASSERT_EQ(loaded.Control->Length, 5);
  for (int32_t i = 0; i < 4; ++i) {
    auto* control = dynamic_cast<TRecordingControl*>((*loaded.Control)[i]);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->f_left, i + 1);
  }
  auto* loaded_table = dynamic_cast<TVerticalTable*>((*loaded.Control)[4]);
  ASSERT_NE(loaded_table, nullptr);
  EXPECT_EQ(loaded_table->f_padding, 3);
  EXPECT_EQ((*loaded_table->f_CellSize)[0], 12);
  const auto& fourth = *static_cast<TRecordingControl*>((*loaded.Control)[3]);
  EXPECT_EQ(fourth.GetChild(0), loaded_table);
  auto* loaded_game = dynamic_cast<TRecordingGame*>(Object().Game);
  ASSERT_NE(loaded_game, nullptr);
  EXPECT_EQ(loaded_game->ObjectIndex, Object().TextureIndex);
  EXPECT_EQ(loaded_game->f_renders, 1);
}

TEST_F(ModuleObjectTest, IndicesSurviveASaveAndLoad) {
  Start();
  TIndexer& index = *Object().TextureIndex;
  auto* first = new TClaimingTexture();
  auto* second = new TClaimingTexture();
  index.AddObject(first);
  index.AddObject(new TClaimingTexture());
  index.AddObject(second);
  delete index.GetObject(1);
  index.ReleaseIndex(1);
  index.AddObject(second);  // index 1 again, second referenced twice
  index.ReleaseIndex(0);
  delete first;
  Reload();
  const TIndexer& loaded = *Object().TextureIndex;
  ASSERT_EQ(loaded.Length(), 3);
  EXPECT_EQ(loaded.GetObject(0), nullptr);
  EXPECT_NE(loaded.GetObject(1), nullptr);
  EXPECT_EQ(loaded.GetObject(1), loaded.GetObject(2));
  EXPECT_EQ(loaded.ReferenceCount(1), 1);
  ASSERT_EQ(loaded.f_FreeList->Length, 1);
  EXPECT_EQ((*loaded.f_FreeList)[0], 0);
}

}  // namespace
}  // namespace module_test
