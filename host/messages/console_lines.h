// The in-memory lines of the console overlay. The log adds every line here;
// the overlay that draws them builds on this store.
#pragma once

#include <string>
#include <vector>

class TConsole {
 public:
  virtual ~TConsole() = default;

  // Adds one 8-bit line (it may end with "\n\r").
  virtual void AddLine(const std::string& line) { lines_.push_back(line); }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int i) const { return lines_[i]; }
  void SetLastLine(const std::string& line) { lines_.back() = line; }

 protected:
  std::vector<std::string> lines_;
};
