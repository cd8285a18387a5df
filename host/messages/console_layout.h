// Where the console overlay puts its text: the character grid of a window,
// which lines fit, where each glyph goes and the colour of fading text.
// Nothing here draws.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Cells are 9 × 13 pixels (times scale) with a 5-pixel margin.
constexpr int kConsoleCellWidth = 9;
constexpr int kConsoleCellHeight = 13;
constexpr int kConsoleMargin = 5;

struct TConsoleGrid {
  int scale = 1;
  int columns = 0;
  int rows = 0;
  // Wrapping needs two columns (one is the indent of continuation rows);
  // a smaller window shows no text.
  bool HasRoom() const { return columns >= 2 && rows >= 1; }
};

// Text is drawn at double size when the window is wider than the threshold.
TConsoleGrid ConsoleGrid(int width, int height, int double_size_threshold);

// Rows a stored line takes, its two closing characters included;
// columns >= 2.
int LineRows(int length, int columns);

struct TConsoleView {
  int first_line = 0;  // the oldest line drawn
  int first_row = 0;   // its row; row 0 and above are hidden
};

// The newest lines that fill the grid, scrolled back by scroll lines. A
// closed console shows only the lines from new_index on (and the one
// before, which starts at the hidden row 0). Empty when nothing is shown.
std::optional<TConsoleView> ChooseConsoleLines(const std::vector<std::string>& lines,
                                               const TConsoleGrid& grid, bool open, int new_index,
                                               int scroll);

struct TConsoleGlyph {
  unsigned char code = 0;
  int column = 0;
  int row = 0;

  bool operator==(const TConsoleGlyph&) const = default;
};

// The glyphs to draw for view, top line first. Continuation rows start one
// cell in, under the text rather than under the marker.
std::vector<TConsoleGlyph> LayOutConsoleLines(const std::vector<std::string>& lines,
                                              const TConsoleGrid& grid, const TConsoleView& view);

struct TConsoleColour {
  float red = 1, green = 1, blue = 1, alpha = 1;
};

// Text colour ms milliseconds after the last line was added: white for
// display_ms, then fading to transparent blue over fade_ms. An open
// console is always white.
TConsoleColour ConsoleTextColour(bool open, int64_t ms, int display_ms, int fade_ms);
