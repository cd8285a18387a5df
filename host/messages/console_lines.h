// The in-memory lines of the console overlay. The log adds every line here;
// the overlay that draws them builds on this store.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Drawn in column 0 of a message's first line; the font has a glyph for it.
constexpr char kConsoleLineMarker = 127;
// A line that begins with this character gets no marker: the later lines of
// a message of several lines.
constexpr char kConsoleContinuation = 0;

class TConsoleLines {
 public:
  using TClock = std::function<int64_t()>;  // monotonic nanoseconds

  TConsoleLines();
  virtual ~TConsoleLines() = default;

  // Adds one 8-bit text (it may end with "\n\r"); every carriage return
  // inside it starts a further line.
  void AddLine(const std::string& text);
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int i) const { return lines_[i]; }
  void SetLastLine(const std::string& line) { lines_.back() = line; }

  int MaxLines() const { return max_lines_; }
  // Index of the first line added since the overlay was last idle; -1 for
  // none.
  int NewIndex() const { return new_index_; }
  int64_t LastAddNs() const { return last_add_ns_; }

  // For tests: the clock that stamps added lines and times the fading.
  void SetClock(TClock clock) { clock_ = std::move(clock); }

 protected:
  int64_t Now() const { return clock_(); }

  std::vector<std::string> lines_;
  int max_lines_ = 1000;
  int new_index_ = -1;
  int64_t last_add_ns_ = 0;

 private:
  void AppendOneLine(std::string line);

  TClock clock_;
};
