// The file-system entries that match a path with wildcards, ordered by
// modification time, oldest first. Language texts rely on the order: a
// newer file's texts win over an older one's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/zok_object.h"

// Attribute bits in the values the engine has always stored.
constexpr uint32_t kFileAttrHidden = 0x02;
constexpr uint32_t kFileAttrDirectory = 0x10;
constexpr uint32_t kFileAttrArchive = 0x20;  // an ordinary file

struct TFileRecord {
  std::string name;       // the entry's name
  std::string full_name;  // directory part of the search path + name
  int64_t time_ns = 0;    // modification time, nanoseconds since the epoch
  double date_time = 0;   // the same as days since 1899-12-30, local time
  uint32_t time = 0;      // the same packed into 32 bits, see PackedFileTime
  int64_t size = 0;       // bytes
  uint32_t attr = 0;      // kFileAttr... bits
};

enum class TFileListEntries { kAll, kRegularFilesOnly };

class TFileList : public TObject {
 public:
  // path: a directory part (may be empty: the current directory) and a
  // file-name pattern with '*' and '?', matched without regard to case.
  // A directory that cannot be read gives an empty list.
  explicit TFileList(const std::string& path, TFileListEntries entries = TFileListEntries::kAll);
  const char* ClassName() const override { return "TFileList"; }

  int Count() const { return static_cast<int>(records_.size()); }
  const TFileRecord& Record(int index) const { return records_[index]; }
  const std::string& Name(int index) const { return records_[index].name; }
  const std::string& FullName(int index) const { return records_[index].full_name; }
  double DateTime(int index) const { return records_[index].date_time; }
  uint32_t Time(int index) const { return records_[index].time; }
  int64_t Size(int index) const { return records_[index].size; }
  uint32_t Attr(int index) const { return records_[index].attr; }

  // Oldest first to the nanosecond; equal times by name.
  void SortByTime();
  bool Sorted() const { return sorted_; }

 private:
  std::vector<TFileRecord> records_;
  bool sorted_ = false;
};

// '*' matches any run of characters, '?' any one; ASCII letters match
// either case.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// The packed local date and time of a file search: year - 1980 in bits
// 25-31, month 21-24, day 16-20, hours 11-15, minutes 5-10, seconds / 2 in
// 0-4. Times outside 1980-2107 are clamped to the first or last moment
// the form holds.
uint32_t PackedFileTime(int64_t time_ns);
