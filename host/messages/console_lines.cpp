#include "host/messages/console_lines.h"

#include "host/platform/clock.h"

TConsoleLines::TConsoleLines() : clock_(platform::MonotonicNs) {}

void TConsoleLines::AddLine(const std::string& text) {
  // Each carriage return before the last character ends a line: it becomes
  // the mark that ends the line before it (the last two characters are never
  // drawn) and the mark that starts the next, which so gets no marker. One in
  // the first two characters ends nothing and is dropped.
  std::string rest = text;
  for (;;) {
    const size_t cr = rest.find('\r');
    if (cr == std::string::npos || cr + 1 >= rest.size()) break;
    if (cr < 2) {
      rest.erase(0, cr + 1);
      break;
    }
    rest[cr] = kConsoleContinuation;
    AppendOneLine(rest.substr(0, cr + 1));
    rest.erase(0, cr);
  }
  AppendOneLine(std::move(rest));
}

void TConsoleLines::AppendOneLine(std::string line) {
  if (!line.empty() && line[0] != kConsoleContinuation)
    line.insert(line.begin(), kConsoleLineMarker);
  lines_.push_back(std::move(line));
  if (new_index_ == -1) new_index_ = LineCount() - 1;
  if (LineCount() > max_lines_) {
    lines_.erase(lines_.begin());
    if (new_index_ > 0) --new_index_;
  }
  last_add_ns_ = Now();
}
