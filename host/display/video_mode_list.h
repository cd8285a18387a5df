// The video modes of one colour depth as sorted texts: width and height,
// then every refresh rate seen for that size, each number four digits
// wide ("08000600" + "0060" + "0075").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TVideoModeList {
 public:
  // Adds a size with a rate; a rate the entry lists already is not added twice.
  void Add(int32_t width, int32_t height, int32_t rate);
  void Sort();
  void Clear() { entries_.clear(); }

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  const std::string& Entry(int32_t i) const { return entries_[i]; }
  int32_t Width(int32_t i) const;
  int32_t Height(int32_t i) const;
  // Index of the entry for that size, or -1.
  int32_t Find(int32_t width, int32_t height) const;
  // Highest rate listed for entry i; 0 for i < 0 or an entry without rates.
  int32_t BestRate(int32_t i) const;

 private:
  std::vector<std::string> entries_;
};

// The three lists by depth: 16, 24 and 32 bits a pixel.
class TVideoModes {
 public:
  // Ignores depths other than 16, 24, 32, sizes outside 0..4096 and rates
  // outside 0..500.
  void AddVideoMode(int32_t bits, int32_t width, int32_t height, int32_t rate);
  void SortAll();
  void Clear();
  TVideoModeList& List(int32_t bits) { return lists_[(bits - 16) / 8]; }
  const TVideoModeList& List(int32_t bits) const { return lists_[(bits - 16) / 8]; }

 private:
  TVideoModeList lists_[3];
};
