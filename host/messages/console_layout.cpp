#include "host/messages/console_layout.h"

#include <algorithm>
#include <cmath>

TConsoleGrid ConsoleGrid(int width, int height, int double_size_threshold) {
  TConsoleGrid grid;
  grid.scale = width > double_size_threshold ? 2 : 1;
  const double scaled_width = static_cast<double>(width) / grid.scale;
  const double scaled_height = static_cast<double>(height) / grid.scale;
  grid.columns =
      static_cast<int>(std::trunc((scaled_width - 2 * kConsoleMargin) / kConsoleCellWidth));
  grid.rows =
      static_cast<int>(std::trunc((scaled_height - 2 * kConsoleMargin) / kConsoleCellHeight));
  return grid;
}

int LineRows(int length, int columns) {
  return (length - 1) / (columns - 1) + 1;
}

std::optional<TConsoleView> ChooseConsoleLines(const std::vector<std::string>& lines,
                                               const TConsoleGrid& grid, bool open, int new_index,
                                               int scroll) {
  if (!grid.HasRoom()) return std::nullopt;
  int k = static_cast<int>(lines.size()) - 1;
  int used = -scroll;
  while (k >= 0 && (open || k >= new_index - 1) && used < grid.rows) {
    used += LineRows(static_cast<int>(lines[k].size()), grid.columns);
    --k;
  }
  if (used == 0) return std::nullopt;
  return TConsoleView{k + 1, used > grid.rows ? grid.rows - used : 0};
}

std::vector<TConsoleGlyph> LayOutConsoleLines(const std::vector<std::string>& lines,
                                              const TConsoleGrid& grid, const TConsoleView& view) {
  std::vector<TConsoleGlyph> glyphs;
  int row = view.first_row;
  for (size_t i = view.first_line; i < lines.size() && row <= grid.rows; ++i) {
    const std::string& line = lines[i];
    int column = 0;
    // The closing "\n\r" is never drawn.
    for (size_t p = 0; p + 2 < line.size(); ++p) {
      const auto code = static_cast<unsigned char>(line[p]);
      if (row > 0 && code >= 32) glyphs.push_back({code, column, row});
      if (++column > grid.columns) {
        column = 1;
        ++row;
      }
    }
    ++row;
  }
  return glyphs;
}

TConsoleColour ConsoleTextColour(bool open, int64_t ms, int display_ms, int fade_ms) {
  if (open) return {};
  const double over = static_cast<double>(ms - display_ms);
  const double x = ms < display_ms ? over / display_ms : over / fade_ms;
  if (x < 0) return {};
  const double left = std::max(0.0, 1 - x);
  return {static_cast<float>(left * left), static_cast<float>(left * left),
          static_cast<float>(std::sqrt(left)), static_cast<float>(left)};
}
