// Hot keys: reading them from the own INI, matching a press against the
// key-down table, and which action a press takes.
#include "host/display/hotkeys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "host/core/quit_request.h"
#include "host/display/cl_window.h"
#include "host/display/console_control.h"
#include "support/own_ini_test.h"

namespace {

// A window that is only its key-down table.
class TKeyTableWindow : public TCLWindow {
 public:
  explicit TKeyTableWindow(std::initializer_list<int32_t> held = {}) {
    for (int32_t code : held) SetKeyDown(code, true);
  }
  void OnGetFocus() override {}
  void OnLoseFocus() override {}
  void OnMouseMove() override {}
  void OnResize() override {}
  void OnPress(int32_t) override {}
  void OnRelease(int32_t) override {}
  void OnType(char16_t) override {}
  void OnCreate() override {}
  void OnDestroy() override {}
  void OnCycle() override {}
};

class TFakeConsole : public TConsoleControl {
 public:
  bool IsOpen() const override { return open; }
  void SetOpen(bool value) override {
    open = value;
    if (!open) scroll = 0;
  }
  void ScrollBy(int32_t lines) override { scroll += lines; }
  bool open = false;
  int32_t scroll = 0;
};

// ------------------------------------------------------------ reading

struct ReadCase {
  const char* name;
  const char* line;  // null: the key is absent
  std::vector<int32_t> codes;
  bool fatal;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

class HotkeyRead : public OwnIniTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(HotkeyRead, TakesCodesInOrderOrStopsTheHost) {
  const ReadCase& c = GetParam();
  UseOwnIni(std::string("[main]\n") + (c.line ? std::string("Abort_Hotkey=") + c.line + "\n" : ""));
  if (!c.fatal) {
    EXPECT_EQ(ReadHotkey("Abort_Hotkey"), c.codes);
    EXPECT_EQ(ErrorCount(), 0u);
    return;
  }
  const std::u16string text = FatalText([] { ReadHotkey("Abort_Hotkey"); });
  const std::string expected = std::string("[main]: Abort_Hotkey=") + c.line + ".";
  EXPECT_NE(text.find(std::u16string(expected.begin(), expected.end())), text.npos) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Hotkey, HotkeyRead,
    testing::Values(ReadCase{"Absent", nullptr, {}, false}, ReadCase{"Empty", "", {}, false},
                    ReadCase{"OneKey", "1", {1}, false},
                    ReadCase{"HeldThenPressed", "42,1", {42, 1}, false},
                    ReadCase{"BlanksAroundItems", " 29 , 42 ,16", {29, 42, 16}, false},
                    ReadCase{"EmptyItemsAreSkipped", "42,,1,", {42, 1}, false},
                    ReadCase{"TableBounds", "-5,255", {-5, 255}, false},
                    ReadCase{"MouseButton", "29,-1", {29, -1}, false},
                    ReadCase{"SecondItemNotANumber", "42,x", {}, true},
                    ReadCase{"TrailingGarbage", "42,1x", {}, true},
                    ReadCase{"Hexadecimal", "0x2A", {}, true},
                    ReadCase{"OnlyBlanksInAnItem", "42, ,1", {}, true},
                    ReadCase{"AboveTheKeyTable", "42,256", {}, true},
                    ReadCase{"BelowTheKeyTable", "-6", {}, true},
                    // Would wrap to 41 in 32 bits.
                    ReadCase{"Overflow", "4294967337", {}, true}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

class HotkeyTableRead : public OwnIniTest {};

TEST_F(HotkeyTableRead, ReadsAllFourteenByName) {
  std::string ini =
      "[main]\nabort_hotkey=1\nConsole_Toggle_Hotkey=41\nConsole_Scroll_Up_Hotkey=73\n"
      "Console_Scroll_Down_Hotkey=81\n";
  for (int32_t n = 1; n <= kModuleHotkeyCount; ++n) {
    ini += ModuleHotkeyName(n) + "=29," + std::to_string(100 + n) + "\n";
  }
  UseOwnIni(ini);
  ReadHotkeys();
  const THotkeyTable& table = Hotkeys();
  EXPECT_EQ(table.abort, THotkey{1});
  EXPECT_EQ(table.console_toggle, THotkey{41});
  EXPECT_EQ(table.console_scroll_up, THotkey{73});
  EXPECT_EQ(table.console_scroll_down, THotkey{81});
  for (int32_t n = 1; n <= kModuleHotkeyCount; ++n) {
    EXPECT_EQ(table.modules[n - 1], (THotkey{29, 100 + n})) << n;
  }
  SetHotkeysForTests({});
}

TEST_F(HotkeyTableRead, AnAbsentModuleHotkeyIsEmpty) {
  UseOwnIni("[main]\nModule_2_Hotkey=29,3\nModule_4_Hotkey=29,5\n");
  ReadHotkeys();
  EXPECT_TRUE(Hotkeys().modules[2].empty());
  EXPECT_EQ(Hotkeys().modules[3], (THotkey{29, 5}));
  SetHotkeysForTests({});
}

// The shipped defaults must load, and no two may share a combination: the
// later one would never act.
TEST_F(HotkeyTableRead, ShippedDefaultsAreDistinct) {
  config_ = std::make_unique<TConfigManager>(std::string(ZOK_SHIPPED_BASE_PATH) + "zokhost.ini");
  g_config = config_.get();
  ReadHotkeys();
  const THotkeyTable& table = Hotkeys();
  EXPECT_EQ(table.console_toggle, THotkey{41});
  std::set<THotkey> seen{table.abort, table.console_toggle, table.console_scroll_up,
                         table.console_scroll_down};
  for (const THotkey& module : table.modules) seen.insert(module);
  EXPECT_EQ(seen.size(), 4u + kModuleHotkeyCount);
  EXPECT_EQ(seen.count(THotkey{}), 0u);
  EXPECT_GT(table.abort.size(), 1u) << "a single key is too easy to hit by accident";
  SetHotkeysForTests({});
}

// ------------------------------------------------------------ matching

struct MatchCase {
  const char* name;
  THotkey codes;
  std::vector<int32_t> held;
  int32_t pressed;
  bool matches;
};
void PrintTo(const MatchCase& c, std::ostream* os) {
  *os << c.name;
}

class HotkeyMatch : public testing::TestWithParam<MatchCase> {};

TEST_P(HotkeyMatch, LastKeyPressedWhileTheOthersAreHeld) {
  const MatchCase& c = GetParam();
  TKeyTableWindow window;
  for (int32_t code : c.held) window.SetKeyDown(code, true);
  EXPECT_EQ(HotkeyMatches(window, c.pressed, c.codes), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Hotkey, HotkeyMatch,
    testing::Values(MatchCase{"EmptyNeverFires", {}, {}, 0, false},
                    MatchCase{"SingleKeyWithoutModifier", {1}, {}, 1, true},
                    MatchCase{"OtherKeysHeldDoNotMatter", {1}, {42}, 1, true},
                    MatchCase{"WrongKey", {1}, {}, 2, false},
                    MatchCase{"ModifierNotHeld", {42, 1}, {}, 1, false},
                    MatchCase{"ModifierHeld", {42, 1}, {42}, 1, true},
                    MatchCase{"ModifierPressedItself", {42, 1}, {42}, 42, false},
                    MatchCase{"OneOfTwoModifiersHeld", {29, 42, 16}, {29}, 16, false},
                    MatchCase{"BothModifiersHeld", {29, 42, 16}, {42, 29}, 16, true},
                    MatchCase{"MouseButtonAndWheel", {-1, -5}, {-1}, -5, true}),
    [](const testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

// ------------------------------------------------------------ actions

using Kind = THotkeyAction::Kind;

// Two pairs share a combination, so that only order decides: abort before
// module 1, module 3 before module 5, the toggle before scroll up.
THotkeyTable OverlappingTable() {
  THotkeyTable table;
  table.abort = {29, 16};
  table.modules[0] = {29, 16};
  table.modules[1] = {29, 3};
  table.modules[2] = {29, 4};
  table.modules[4] = {29, 4};
  table.modules[9] = {29, 11};
  table.console_toggle = {41};
  table.console_scroll_up = {41};
  table.console_scroll_down = {81};
  return table;
}

struct ActionCase {
  const char* name;
  std::vector<int32_t> held;
  int32_t pressed;
  bool console_open;
  Kind kind;
  int32_t module;
};
void PrintTo(const ActionCase& c, std::ostream* os) {
  *os << c.name;
}

class HotkeyAction : public testing::TestWithParam<ActionCase> {};

TEST_P(HotkeyAction, FirstMatchWins) {
  const ActionCase& c = GetParam();
  TKeyTableWindow window;
  for (int32_t code : c.held) window.SetKeyDown(code, true);
  const THotkeyAction action =
      FindHotkeyAction(OverlappingTable(), window, c.pressed, c.console_open);
  EXPECT_EQ(action.kind, c.kind);
  if (c.kind == Kind::SwitchModule) {
    EXPECT_EQ(action.module, c.module);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hotkey, HotkeyAction,
    testing::Values(
        ActionCase{"AbortBeforeModule1", {29}, 16, false, Kind::Abort, 0},
        ActionCase{"Module2", {29}, 3, false, Kind::SwitchModule, 2},
        ActionCase{"Module3BeforeModule5", {29}, 4, false, Kind::SwitchModule, 3},
        ActionCase{"Module10", {29}, 11, false, Kind::SwitchModule, 10},
        ActionCase{"AbsentModule4NeverSwitches", {29}, 5, false, Kind::PassToModule, 0},
        ActionCase{"ModuleKeyWithoutModifierGoesToTheModule", {}, 3, false, Kind::PassToModule, 0},
        ActionCase{"ToggleBeforeScrollUp", {}, 41, true, Kind::ToggleConsole, 0},
        ActionCase{"ScrollDownWhileOpen", {}, 81, true, Kind::ScrollConsoleDown, 0},
        ActionCase{"ScrollDownWhileClosedGoesToTheModule", {}, 81, false, Kind::PassToModule, 0},
        ActionCase{"OrdinaryKeyWhileOpenGoesToTheModule", {}, 30, true, Kind::PassToModule, 0}),
    [](const testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

class HotkeyHandle : public testing::Test {
 protected:
  void SetUp() override {
    ClearQuitRequestForTests();
    THotkeyTable table;
    table.abort = {29, 42, 16};
    table.console_toggle = {41};
    table.console_scroll_up = {73};
    table.console_scroll_down = {81};
    SetHotkeysForTests(table);
  }
  void TearDown() override {
    SetHotkeysForTests({});
    ClearQuitRequestForTests();
  }
  TKeyTableWindow window_;
  TFakeConsole console_;
};

TEST_F(HotkeyHandle, ConsoleKeysOpenScrollAndClose) {
  HandleHotkeys(window_, 73, &console_);  // closed: not a console key
  EXPECT_EQ(console_.scroll, 0);
  HandleHotkeys(window_, 41, &console_);
  EXPECT_TRUE(console_.open);
  HandleHotkeys(window_, 73, &console_);
  HandleHotkeys(window_, 73, &console_);
  HandleHotkeys(window_, 81, &console_);
  EXPECT_EQ(console_.scroll, 1);
  HandleHotkeys(window_, 41, &console_);
  EXPECT_FALSE(console_.open);
  EXPECT_EQ(console_.scroll, 0);
  EXPECT_FALSE(QuitRequested());
}

TEST_F(HotkeyHandle, AbortRequestsQuitOnlyWithItsModifiers) {
  HandleHotkeys(window_, 16, &console_);
  EXPECT_FALSE(QuitRequested());
  TKeyTableWindow held({29, 42});
  HandleHotkeys(held, 16, &console_);
  EXPECT_TRUE(QuitRequested());
}

// Before the console and the module manager exist, presses are dropped.
TEST_F(HotkeyHandle, NothingToActOnIsHarmless) {
  HandleHotkeys(window_, 41, nullptr);
  HandleHotkeys(window_, 30, nullptr);
  EXPECT_FALSE(QuitRequested());
}

}  // namespace
