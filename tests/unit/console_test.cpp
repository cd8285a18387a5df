#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "host/messages/console_layout.h"
#include "host/messages/console_noise.h"
#include "support/own_ini_test.h"

namespace {

using namespace std::string_literals;

const std::string kMark(1, kConsoleLineMarker);
const std::string kCont(1, kConsoleContinuation);
constexpr int64_t kMs = 1'000'000;

// A console with a clock the test moves and its settings at hand.
class TestConsole : public TConsole {
 public:
  TestConsole() {
    SetClock([this] { return now_ns; });
  }
  void SetMaxLines(int count) { max_lines_ = count; }
  void GoIdle() { new_index_ = -1; }
  std::vector<std::string> Lines() const { return lines_; }

  int64_t now_ns = 0;
};

struct AddCase {
  const char* name;
  std::string text;
  std::vector<std::string> lines;
};

void PrintTo(const AddCase& c, std::ostream* os) {
  *os << c.name;
}

class ConsoleAddLineTest : public testing::TestWithParam<AddCase> {};

TEST_P(ConsoleAddLineTest, StoresTheMarkedLines) {
  TestConsole console;
  console.AddLine(GetParam().text);
  EXPECT_EQ(console.Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleAddLineTest,
    testing::Values(
        AddCase{"OneLine", "hello\n\r", {kMark + "hello\n\r"}},
        AddCase{"EmptyGetsNoMarker", "", {""}},
        AddCase{"ContinuationMarkGetsNoMarker", kCont + "more\n\r", {kCont + "more\n\r"}},
        // The return becomes the end of one line and the start of the next.
        AddCase{"TwoLines", "a\n\rb\n\r", {kMark + "a\n" + kCont, kCont + "b\n\r"}},
        AddCase{"ThreeLines",
                "one\n\rtwo\n\rthree\n\r",
                {kMark + "one\n" + kCont, kCont + "two\n" + kCont, kCont + "three\n\r"}},
        AddCase{"LeadingReturnIsDropped", "\n\rabc\n\r", {kMark + "abc\n\r"}},
        AddCase{"ReturnInsideAShortTextSplits", "ab\rc", {kMark + "ab" + kCont, kCont + "c"}},
        AddCase{"ReturnAtTheEndEndsNothing", "x\r", {kMark + "x\r"}}),
    [](const testing::TestParamInfo<AddCase>& info) { return info.param.name; });

TEST(ConsoleLines, AManyLineMessageBecomesAsManyLines) {
  TestConsole console;
  console.SetMaxLines(100000);
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "line\n\r";
  console.AddLine(text);
  ASSERT_EQ(console.LineCount(), 50000);
  EXPECT_EQ(console.Line(0), kMark + "line\n" + kCont);
  EXPECT_EQ(console.Line(49999), kCont + "line\n\r");
}

TEST(ConsoleLines, TheOldestLineGoesAndNewIndexFollowsItsLine) {
  TestConsole console;
  console.SetMaxLines(150);
  for (int i = 0; i < 100; ++i) console.AddLine("old " + std::to_string(i));
  console.GoIdle();
  for (int i = 0; i < 50; ++i) console.AddLine("new " + std::to_string(i));
  ASSERT_EQ(console.NewIndex(), 100);

  console.AddLine("new 50");
  EXPECT_EQ(console.LineCount(), 150);
  EXPECT_EQ(console.Line(0), kMark + "old 1");
  EXPECT_EQ(console.NewIndex(), 99);
  EXPECT_EQ(console.Line(console.NewIndex()), kMark + "new 0");
}

TEST(ConsoleLines, NewIndexZeroStaysAtTheTop) {
  TestConsole console;
  console.SetMaxLines(150);
  for (int i = 0; i < 151; ++i) console.AddLine("l" + std::to_string(i));
  EXPECT_EQ(console.NewIndex(), 0);
  EXPECT_EQ(console.Line(0), kMark + "l1");
}

TEST(ConsoleLines, CreateOpensTheLogWithItsBanner) {
  TestConsole console;
  console.now_ns = 7 * kMs;
  console.Create();
  ASSERT_EQ(console.LineCount(), 1);
  EXPECT_EQ(console.Line(0), kMark + "    ********  ZOK LOG  ********");
  EXPECT_EQ(console.MaxLines(), 1000);
  EXPECT_EQ(console.LastAddNs(), 7 * kMs);
}

struct GridCase {
  const char* name;
  int width, height, threshold;
  int scale, columns, rows;
  bool room;
};

void PrintTo(const GridCase& c, std::ostream* os) {
  *os << c.name;
}

class ConsoleGridTest : public testing::TestWithParam<GridCase> {};

TEST_P(ConsoleGridTest, FitsCellsIntoTheWindow) {
  const GridCase& c = GetParam();
  const TConsoleGrid grid = ConsoleGrid(c.width, c.height, c.threshold);
  EXPECT_EQ(grid.scale, c.scale);
  EXPECT_EQ(grid.columns, c.columns);
  EXPECT_EQ(grid.rows, c.rows);
  EXPECT_EQ(grid.HasRoom(), c.room);
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleGridTest,
    testing::Values(GridCase{"Window800", 800, 600, 1024, 1, 87, 45, true},
                    GridCase{"AtTheThresholdStaysSingle", 1024, 768, 1024, 1, 112, 58, true},
                    GridCase{"Window1280DoubleSize", 1280, 1024, 1024, 2, 70, 38, true},
                    // One column cannot wrap: rows per line would divide by 0.
                    GridCase{"OneColumnShowsNothing", 19, 100, 1024, 1, 1, 6, false},
                    GridCase{"TwoColumns", 28, 100, 1024, 1, 2, 6, true},
                    GridCase{"NoRow", 200, 22, 1024, 1, 21, 0, false},
                    GridCase{"Minimised", 0, 0, 1024, 1, -1, 0, false}),
    [](const testing::TestParamInfo<GridCase>& info) { return info.param.name; });

TEST(ConsoleLayout, LineRowsCountTheWrappedRows) {
  struct {
    int length, columns, rows;
  } cases[] = {{0, 10, 1}, {1, 10, 1}, {10, 10, 2}, {11, 10, 2}, {19, 10, 3}, {5, 2, 5}};
  for (const auto& c : cases) {
    EXPECT_EQ(LineRows(c.length, c.columns), c.rows) << c.length << " in " << c.columns;
  }
}

// Short lines of one row each: "\x7f" + text + "\n\r".
std::vector<std::string> ShortLines(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(kMark + "L" + std::to_string(i) + "\n\r");
  return lines;
}

TEST(ConsoleLayout, ClosedShowsTheNewGroupBelowTheHiddenLineBeforeIt) {
  const TConsoleGrid grid{1, 40, 10};
  const std::optional<TConsoleView> view = ChooseConsoleLines(ShortLines(8), grid, false, 6, 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->first_line, 5);
  EXPECT_EQ(view->first_row, 0);
  const std::vector<TConsoleGlyph> glyphs =
      LayOutConsoleLines(ShortLines(8), grid, *view);  // line 5 sits at the hidden row 0
  ASSERT_EQ(glyphs.size(), 6u);
  EXPECT_EQ(glyphs[0].code, kConsoleLineMarker);
  EXPECT_EQ(glyphs[0].row, 1);
  EXPECT_EQ(glyphs[3].row, 2);
}

TEST(ConsoleLayout, OpenShowsTheNewestLinesThatFit) {
  const TConsoleGrid grid{1, 40, 10};
  const std::optional<TConsoleView> view = ChooseConsoleLines(ShortLines(30), grid, true, 28, 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->first_line, 20);
  EXPECT_EQ(view->first_row, 0);
}

TEST(ConsoleLayout, ScrollingBackMovesOlderLinesIntoView) {
  const TConsoleGrid grid{1, 40, 10};
  const std::vector<std::string> lines = ShortLines(30);
  const std::optional<TConsoleView> view = ChooseConsoleLines(lines, grid, true, -1, 5);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->first_line, 15);
  const std::vector<TConsoleGlyph> glyphs = LayOutConsoleLines(lines, grid, *view);
  // The newest visible row holds line 25 ("L25"), the rest is cut below.
  int last_row = 0;
  for (const TConsoleGlyph& glyph : glyphs) last_row = std::max(last_row, glyph.row);
  EXPECT_EQ(last_row, 10);
}

TEST(ConsoleLayout, ScrollingPastTheOldestLineShowsOnlyTheOldest) {
  const TConsoleGrid grid{1, 40, 10};
  const std::vector<std::string> lines = ShortLines(30);
  const std::optional<TConsoleView> far = ChooseConsoleLines(lines, grid, true, -1, 1000);
  const std::optional<TConsoleView> oldest = ChooseConsoleLines(lines, grid, true, -1, 20);
  ASSERT_TRUE(far && oldest);
  EXPECT_EQ(far->first_line, 0);
  EXPECT_EQ(LayOutConsoleLines(lines, grid, *far), LayOutConsoleLines(lines, grid, *oldest));
}

TEST(ConsoleLayout, NothingToShow) {
  const TConsoleGrid roomy{1, 40, 10};
  EXPECT_FALSE(ChooseConsoleLines({}, roomy, true, -1, 0));
  EXPECT_FALSE(ChooseConsoleLines(ShortLines(3), TConsoleGrid{1, 1, 10}, true, -1, 0));
  EXPECT_FALSE(ChooseConsoleLines(ShortLines(3), TConsoleGrid{1, 40, 0}, true, -1, 0));
}

TEST(ConsoleLayout, LongLinesWrapWithIndentedContinuationRows) {
  const TConsoleGrid grid{1, 4, 10};
  // Marker + 9 letters + "\n\r": 5 cells on the first row (0 to 4), then 4.
  const std::vector<std::string> lines = {kMark + "x\n\r", kMark + "ABCDEFGHI\n\r"};
  const std::vector<TConsoleGlyph> glyphs = LayOutConsoleLines(lines, grid, {0, 1});
  ASSERT_EQ(glyphs.size(), 2u + 10u);
  const std::vector<TConsoleGlyph> wrapped(glyphs.begin() + 2, glyphs.end());
  const std::vector<TConsoleGlyph> expected = {{127, 0, 2}, {'A', 1, 2}, {'B', 2, 2}, {'C', 3, 2},
                                               {'D', 4, 2}, {'E', 1, 3}, {'F', 2, 3}, {'G', 3, 3},
                                               {'H', 4, 3}, {'I', 1, 4}};
  EXPECT_EQ(wrapped, expected);
}

TEST(ConsoleLayout, ControlCharactersTakeACellButDrawNothing) {
  const TConsoleGrid grid{1, 40, 10};
  const std::vector<std::string> lines = {kCont + "a\tb\n\r"};
  const std::vector<TConsoleGlyph> glyphs = LayOutConsoleLines(lines, grid, {0, 1});
  const std::vector<TConsoleGlyph> expected = {{'a', 1, 1}, {'b', 3, 1}};
  EXPECT_EQ(glyphs, expected);
}

struct FadeCase {
  const char* name;
  bool open;
  int64_t ms;
  float red, blue, alpha;
};

void PrintTo(const FadeCase& c, std::ostream* os) {
  *os << c.name;
}

class ConsoleFadeTest : public testing::TestWithParam<FadeCase> {};

TEST_P(ConsoleFadeTest, ColourAtTime) {
  const FadeCase& c = GetParam();
  const TConsoleColour colour = ConsoleTextColour(c.open, c.ms, 4000, 1000);
  EXPECT_NEAR(colour.red, c.red, 1e-5);
  EXPECT_NEAR(colour.green, c.red, 1e-5);
  EXPECT_NEAR(colour.blue, c.blue, 1e-5);
  EXPECT_NEAR(colour.alpha, c.alpha, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleFadeTest,
    testing::Values(FadeCase{"JustAdded", false, 0, 1, 1, 1},
                    FadeCase{"StillShown", false, 3999, 1, 1, 1},
                    FadeCase{"FadeStarts", false, 4000, 1, 1, 1},
                    FadeCase{"HalfFaded", false, 4500, 0.25f, std::sqrt(0.5f), 0.5f},
                    FadeCase{"AlmostGone", false, 4900, 0.01f, std::sqrt(0.1f), 0.1f},
                    FadeCase{"PastTheEndStaysTransparent", false, 9000, 0, 0, 0},
                    FadeCase{"OpenIsWhite", true, 4500, 1, 1, 1}),
    [](const testing::TestParamInfo<FadeCase>& info) { return info.param.name; });

TEST(ConsoleNoise, StepsStayInRangeByTurningBack) {
  struct {
    int value, step, moved;
  } cases[] = {{100, 50, 150}, {100, -50, 50}, {240, 30, 210}, {10, -30, 40}, {255, 0, 255}};
  for (const auto& c : cases) {
    EXPECT_EQ(StepNoiseByte(static_cast<uint8_t>(c.value), c.step), c.moved)
        << c.value << " + " << c.step;
  }
}

TEST(ConsoleNoise, EveryByteMovesByAtMostTheStep) {
  TNoise noise(kNoiseSize * kNoiseSize, 0);
  std::minstd_rand random(1);
  StepNoise(noise, random);
  const TNoise before = noise;
  StepNoise(noise, random);
  int moved = 0;
  for (size_t i = 0; i < noise.size(); ++i) {
    EXPECT_LE(std::abs(noise[i] - before[i]), kNoiseMaxStep);
    moved += noise[i] != before[i];
  }
  EXPECT_GT(moved, static_cast<int>(noise.size()) / 2);
}

// Without OpenGL, Draw still runs the overlay's clock and state.
TEST(ConsoleDraw, TheGroupEndsOnceShownAndFaded) {
  TestConsole console;
  console.AddLine("first");
  ASSERT_EQ(console.NewIndex(), 0);
  console.now_ns = (console.DisplayTime() + console.FadeTime() - 1) * kMs;
  console.Draw(800, 600, false);
  EXPECT_EQ(console.NewIndex(), 0);
  console.now_ns += kMs;
  console.Draw(800, 600, false);
  EXPECT_EQ(console.NewIndex(), -1);
  console.AddLine("second");
  EXPECT_EQ(console.NewIndex(), 1);
}

TEST(ConsoleDraw, AnOpenConsoleKeepsItsGroup) {
  TestConsole console;
  console.AddLine("first");
  console.SetOpen(true);
  console.now_ns = 3600 * 1000 * kMs;
  console.Draw(800, 600, false);
  EXPECT_EQ(console.NewIndex(), 0);
}

TEST(ConsoleDraw, TheCrashScreenOpensTheConsoleAndScrollStaysAtLeastZero) {
  TestConsole console;
  console.ScrollBy(-3);
  console.Draw(800, 600, true);
  EXPECT_TRUE(console.IsOpen());
  EXPECT_EQ(console.Scroll(), 0);
}

TEST(ConsoleDraw, ClosingScrollsBackToTheNewest) {
  TestConsole console;
  console.SetOpen(true);
  console.ScrollBy(4);
  EXPECT_EQ(console.Scroll(), 4);
  console.SetOpen(true);
  EXPECT_EQ(console.Scroll(), 4);
  console.SetOpen(false);
  EXPECT_EQ(console.Scroll(), 0);
}

class ConsoleSettingsTest : public OwnIniTest {};

TEST_F(ConsoleSettingsTest, ReadsTheSectionAndTakesZeroTimesAsOneMillisecond) {
  UseOwnIni(
      "[console]\nMaxLines=300\nMessageDisplayTime=0\nMessageFadeOutTime=250\n"
      "DoubleSizeIfResolutionHighetThan=1600\n");
  TestConsole console;
  console.ReadSettings();
  EXPECT_EQ(console.MaxLines(), 300);
  EXPECT_EQ(console.DisplayTime(), 1);
  EXPECT_EQ(console.FadeTime(), 250);
  EXPECT_EQ(console.DoubleSizeThreshold(), 1600);
}

TEST_F(ConsoleSettingsTest, SetupFailuresAreFatalErrorsAboutTheConsole) {
  for (const char* ini : {"[console]\nMaxLines=20\n", "[console]\nMaxLines=300\n"}) {
    UseOwnIni(ini);  // a setting out of range, then the pictures missing
    TestConsole console;
    const std::u16string text = FatalText([&] { console.Setup(); });
    EXPECT_NE(text.find(u"console"), std::u16string::npos) << ini;
  }
}

}  // namespace
