#include "host/files/file_list.h"

#include <algorithm>
#include <ctime>

#include "host/core/paths.h"
#include "host/platform/file_system.h"

namespace {

constexpr int64_t kNsPerSecond = 1000000000;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kUnixEpochDays = 25569.0;  // 1970-01-01 counted from 1899-12-30

char FoldCase(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Case-insensitive first so the order does not depend on how a name was
// typed; bytes decide between names that differ only in case.
bool NameLess(const std::string& a, const std::string& b) {
  const auto folded_less = [](char x, char y) { return FoldCase(x) < FoldCase(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded_less)) {
    return true;
  }
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded_less)) {
    return false;
  }
  return a < b;
}

bool LocalTime(int64_t time_ns, std::tm& local) {
  const std::time_t seconds = static_cast<std::time_t>(time_ns / kNsPerSecond);
  return localtime_r(&seconds, &local) != nullptr;
}

double LocalDays(int64_t time_ns) {
  std::tm local{};
  if (!LocalTime(time_ns, local)) return 0;
  const int64_t local_seconds = time_ns / kNsPerSecond + local.tm_gmtoff;
  const double fraction = static_cast<double>(time_ns % kNsPerSecond) / kNsPerSecond;
  return kUnixEpochDays + (static_cast<double>(local_seconds) + fraction) / kSecondsPerDay;
}

uint32_t EntryAttributes(const std::string& name, const std::string& full_name) {
  uint32_t attr = platform::IsDirectory(full_name) ? kFileAttrDirectory : kFileAttrArchive;
  if (!name.empty() && name.front() == '.') attr |= kFileAttrHidden;
  return attr;
}

}  // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  // Where the last '*' stood and how much of the name it has swallowed:
  // on a mismatch it swallows one character more and matching resumes.
  size_t star = std::string_view::npos;
  size_t star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_name = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

uint32_t PackedFileTime(int64_t time_ns) {
  constexpr uint32_t kFirst = (1u << 21) | (1u << 16);  // 1980-01-01 00:00:00
  constexpr uint32_t kLast =
      (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
  std::tm local{};
  if (!LocalTime(time_ns, local)) return kFirst;
  const int year = local.tm_year + 1900;
  if (year < 1980) return kFirst;
  if (year > 2107) return kLast;
  const uint32_t date = (static_cast<uint32_t>(year - 1980) << 9) |
                        (static_cast<uint32_t>(local.tm_mon + 1) << 5) |
                        static_cast<uint32_t>(local.tm_mday);
  // tm_sec may be 60 on a leap second; the packed form stops at 58.
  const uint32_t seconds = static_cast<uint32_t>(std::min(local.tm_sec, 59));
  const uint32_t time = (static_cast<uint32_t>(local.tm_hour) << 11) |
                        (static_cast<uint32_t>(local.tm_min) << 5) | (seconds / 2);
  return (date << 16) | time;
}

TFileList::TFileList(const std::string& path, TFileListEntries entries) {
  const std::string pattern = FileNamePart(path);
  const std::string directory = path.substr(0, path.size() - pattern.size());
  std::vector<std::string> names;
  if (!platform::ListDirectory(directory.empty() ? "." : directory, names)) return;

  for (const std::string& name : names) {
    if (!MatchesWildcard(pattern, name)) continue;
    TFileRecord record;
    record.name = name;
    record.full_name = directory + name;
    if (entries == TFileListEntries::kRegularFilesOnly &&
        !platform::IsRegularFile(record.full_name)) {
      continue;
    }
    record.time_ns = platform::FileTimeNs(record.full_name);
    // -1 is also a valid time (just before 1970); only a vanished entry is dropped.
    if (record.time_ns == -1 && !platform::FileExists(record.full_name)) continue;
    record.date_time = LocalDays(record.time_ns);
    record.time = PackedFileTime(record.time_ns);
    record.size = std::max<int64_t>(platform::FileSize(record.full_name), 0);
    record.attr = EntryAttributes(name, record.full_name);
    records_.push_back(std::move(record));
  }
  SortByTime();
}

void TFileList::SortByTime() {
  std::sort(records_.begin(), records_.end(), [](const TFileRecord& a, const TFileRecord& b) {
    if (a.time_ns != b.time_ns) return a.time_ns < b.time_ns;
    return NameLess(a.name, b.name);
  });
  sorted_ = true;
}
