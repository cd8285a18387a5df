#include "host/files/file_list.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

// A fresh temporary directory per test, removed afterwards.
class FileList : public testing::Test {
 protected:
  void SetUp() override { dir_ = temp_.Path(); }

  // A file of size bytes, modified at seconds + nanoseconds since the epoch.
  void Write(const std::string& name, int64_t seconds, long nanoseconds = 0,
             size_t size = 1) const {
    {
      std::ofstream out(dir_ + name, std::ios::binary | std::ios::trunc);
      out << std::string(size, 'x');
      ASSERT_TRUE(out.good());
    }
    SetTime(name, seconds, nanoseconds);
  }
  void SetTime(const std::string& name, int64_t seconds, long nanoseconds) const {
    const timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                               {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir_ + name).c_str(), times, 0), 0);
  }

  static std::vector<std::string> NamesOf(const TFileList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.Name(i));
    return names;
  }

  TempDir temp_;
  std::string dir_;
};

using NameList = std::vector<std::string>;

TEST(FileListWildcard, MatchesLikeTheFileSearch) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*.txt", "english.txt", true},
      {"*.txt", "ENGLISH.TXT", true},
      {"*.TXT", "english.txt", true},
      {"*.txt", "english.txt.bak", false},
      {"*.txt", "txt", false},
      {"*.txt", ".txt", true},
      {"*.txt", ".hidden.txt", true},
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"?.txt", ".txt", false},
      {"a*b*c", "axxbyyc", true},
      {"a*b*c", "axxbyy", false},
      {"*ab", "aab", true},  // the star has to give back what it took
      {"*a*", "bab", true},
      {"**", "x", true},
      {"*", "", true},
      {"", "", true},
      {"", "a", false},
      {"name", "NAME", true},
      {"name", "names", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
        << "pattern \"" << c.pattern << "\", name \"" << c.name << "\"";
  }
}

TEST_F(FileList, OrdersOldestFirstRegardlessOfNames) {
  Write("c.txt", 1000000000);
  Write("a.txt", 1000000300);
  Write("b.txt", 1000000200);
  const TFileList list(dir_ + "*.txt");
  EXPECT_TRUE(list.Sorted());
  EXPECT_EQ(NamesOf(list), (NameList{"c.txt", "b.txt", "a.txt"}));
}

TEST_F(FileList, EqualTimesAreOrderedByNameIgnoringCase) {
  Write("b.txt", 1000000000);
  Write("C.txt", 1000000000);
  Write("a.txt", 1000000000);
  Write("older.txt", 999999000);
  EXPECT_EQ(NamesOf(TFileList(dir_ + "*.txt")), (NameList{"older.txt", "a.txt", "b.txt", "C.txt"}));
}

// A file saved a second after another is newer, though both fall into the
// same two-second step of the packed time.
TEST_F(FileList, TimesCountBelowThePackedResolution) {
  Write("a.txt", 1000000000, 900000000);
  Write("b.txt", 1000000000, 100000000);
  const TFileList list(dir_ + "*.txt");
  EXPECT_EQ(list.Time(0), list.Time(1));
  EXPECT_EQ(NamesOf(list), (NameList{"b.txt", "a.txt"}));
}

TEST_F(FileList, PatternIsMatchedWithoutRegardToCase) {
  Write("lower.txt", 1000000000);
  Write("UPPER.TXT", 1000000001);
  Write("other.ini", 1000000002);
  EXPECT_EQ(NamesOf(TFileList(dir_ + "*.Txt")), (NameList{"lower.txt", "UPPER.TXT"}));
}

TEST_F(FileList, DirectoriesAreListedOnlyWhenAllEntriesAreAsked) {
  Write("real.txt", 1000000000);
  ASSERT_EQ(mkdir((dir_ + "folder.txt").c_str(), 0755), 0);
  SetTime("folder.txt", 1000000100, 0);

  const TFileList files(dir_ + "*.txt", TFileListEntries::kRegularFilesOnly);
  EXPECT_EQ(NamesOf(files), (NameList{"real.txt"}));

  const TFileList all(dir_ + "*.txt");
  ASSERT_EQ(NamesOf(all), (NameList{"real.txt", "folder.txt"}));
  EXPECT_EQ(all.Attr(0), kFileAttrArchive);
  EXPECT_EQ(all.Attr(1), kFileAttrDirectory);
}

TEST_F(FileList, RecordHoldsFullNameSizeAndAttributes) {
  Write(".hidden.txt", 1000000000, 0, 12);
  const TFileList list(dir_ + "*.txt");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FullName(0), dir_ + ".hidden.txt");
  EXPECT_EQ(list.Size(0), 12);
  EXPECT_EQ(list.Attr(0), kFileAttrArchive | kFileAttrHidden);
  EXPECT_EQ(list.Record(0).time_ns, 1000000000LL * 1000000000LL);
}

TEST_F(FileList, NothingToListGivesAnEmptyList) {
  Write("a.ini", 1000000000);
  EXPECT_EQ(TFileList(dir_ + "*.txt").Count(), 0);
  EXPECT_EQ(TFileList(dir_ + "missing/*.txt").Count(), 0);
}

TEST(FileListPackedTime, PacksLocalDateAndTime) {
  std::tm local{};
  local.tm_year = 2004 - 1900;
  local.tm_mon = 7 - 1;
  local.tm_mday = 15;
  local.tm_hour = 13;
  local.tm_min = 45;
  local.tm_sec = 31;
  local.tm_isdst = -1;
  const int64_t ns = static_cast<int64_t>(mktime(&local)) * 1000000000;
  const uint32_t date = (24u << 9) | (7u << 5) | 15u;
  const uint32_t time = (13u << 11) | (45u << 5) | 15u;  // seconds halved
  EXPECT_EQ(PackedFileTime(ns), (date << 16) | time);
}

TEST(FileListPackedTime, ClampsTimesOutsideTheRange) {
  const uint32_t first = ((0u << 9 | 1u << 5 | 1u) << 16);
  const uint32_t last = ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);
  EXPECT_EQ(PackedFileTime(0), first);                                // 1970
  EXPECT_EQ(PackedFileTime(int64_t{5000000000} * 1000000000), last);  // 2128
}

}  // namespace
