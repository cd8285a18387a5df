#include "host/display/video_mode_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

std::string FourDigits(int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%.4d", value);
  return text;
}

int32_t NumberAt(const std::string& entry, size_t position) {
  return std::atoi(entry.substr(position, 4).c_str());
}

}  // namespace

void TVideoModeList::Add(int32_t width, int32_t height, int32_t rate) {
  const std::string size = FourDigits(width) + FourDigits(height);
  auto entry = std::find_if(entries_.begin(), entries_.end(),
                            [&](const std::string& e) { return e.compare(0, 8, size) == 0; });
  if (entry == entries_.end()) {
    entries_.push_back(size);
    entry = entries_.end() - 1;
  }
  const std::string rate_text = FourDigits(rate);
  for (size_t at = 8; at + 4 <= entry->size(); at += 4) {
    if (entry->compare(at, 4, rate_text) == 0) return;
  }
  *entry += rate_text;
}

void TVideoModeList::Sort() {
  std::sort(entries_.begin(), entries_.end());
}

int32_t TVideoModeList::Width(int32_t i) const {
  return NumberAt(entries_[i], 0);
}

int32_t TVideoModeList::Height(int32_t i) const {
  return NumberAt(entries_[i], 4);
}

int32_t TVideoModeList::Find(int32_t width, int32_t height) const {
  for (int32_t i = 0; i < Count(); ++i) {
    if (Width(i) == width && Height(i) == height) return i;
  }
  return -1;
}

int32_t TVideoModeList::BestRate(int32_t i) const {
  if (i < 0 || i >= Count()) return 0;
  int32_t best = 0;
  const std::string& entry = entries_[i];
  for (size_t at = 8; at + 4 <= entry.size(); at += 4) best = std::max(best, NumberAt(entry, at));
  return best;
}

void TVideoModes::AddVideoMode(int32_t bits, int32_t width, int32_t height, int32_t rate) {
  if (bits != 16 && bits != 24 && bits != 32) return;
  if (width < 0 || width > 4096 || height < 0 || height > 4096) return;
  if (rate < 0 || rate > 500) return;
  List(bits).Add(width, height, rate);
}

void TVideoModes::SortAll() {
  for (TVideoModeList& list : lists_) list.Sort();
}

void TVideoModes::Clear() {
  for (TVideoModeList& list : lists_) list.Clear();
}
