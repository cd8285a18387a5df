#include "host/config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

// Cases print by name; gtest's fallback would dump their padding bytes.
template <typename Case>
requires requires(const Case& c) {
  c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

constexpr const char* kAbsent = "<absent>";

class IniFileTest : public testing::Test {
 protected:
  std::string Path() const { return dir_ / "test.ini"; }
  TIniFile Load(const std::string& content) const {
    dir_.Write("test.ini", content);
    return TIniFile(Path());
  }
  std::vector<std::string> DirectoryEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempDir dir_;
};

struct ReadCase {
  const char* name;
  const char* content;
  const char* section;
  const char* key;
  const char* expected;
};

class IniFileRead : public IniFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(IniFileRead, FindsTheValue) {
  const ReadCase& c = GetParam();
  const TIniFile ini = Load(c.content);
  EXPECT_EQ(ini.ReadString(c.section, c.key, kAbsent), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    IniFileSyntax, IniFileRead,
    testing::Values(ReadCase{"NamesIgnoreCase", "[Video]\nWidth=800\n", "vIDEO", "WIDTH", "800"},
                    ReadCase{"BlanksAroundEverything", "  [ video ]  \n\t width \t=  800 \t\n",
                             "video", "width", "800"},
                    ReadCase{"CrLfLines", "[a]\r\nk=v\r\n", "a", "k", "v"},
                    ReadCase{"LastLineWithoutBreak", "[a]\nk=v", "a", "k", "v"},
                    ReadCase{"PresentButEmptyIsNotTheDefault", "[a]\nk=\n", "a", "k", ""},
                    ReadCase{"AbsentKey", "[a]\nk=v\n", "a", "other", kAbsent},
                    ReadCase{"AbsentSection", "[a]\nk=v\n", "b", "k", kAbsent},
                    ReadCase{"KeyOfAnotherSection", "[a]\nx=1\n[b]\nk=2\n", "a", "k", kAbsent},
                    ReadCase{"SemicolonComment", "[a]\n;k=1\nk=2\n", "a", "k", "2"},
                    ReadCase{"HashComment", "[a]\n  # k=1\nk=2\n", "a", "k", "2"},
                    ReadCase{"EqualsSignInValue", "[a]\nk=x=y\n", "a", "k", "x=y"},
                    ReadCase{"SemicolonInsideValueIsKept", "[a]\nk=x ; y\n", "a", "k", "x ; y"},
                    ReadCase{"FirstOfRepeatedKeysWins", "[a]\nk=1\nk=2\n", "a", "k", "1"},
                    ReadCase{"RepeatedSectionContinues", "[a]\nx=1\n[b]\ny=0\n[A]\ny=2\n", "a", "y",
                             "2"},
                    ReadCase{"LineWithoutEqualsIsIgnored", "[a]\njunk\nk=v\n", "a", "k", "v"},
                    ReadCase{"KeysBeforeAnyHeader", "k=v\n[a]\n", "", "k", "v"},
                    ReadCase{"Utf8MarkBeforeHeader", "\xEF\xBB\xBF[a]\nk=v\n", "a", "k", "v"},
                    ReadCase{"EightBitTextAsItIs", "[a]\nk=\xC0\xE1\n", "a", "k", "\xC0\xE1"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST_F(IniFileTest, MissingFileIsEmptyAndIsNotCreatedWithoutWrites) {
  TIniFile ini(Path());
  EXPECT_EQ(ini.ReadString("a", "k", "d"), "d");
  ini.UpdateFile();
  EXPECT_TRUE(DirectoryEntries().empty());
}

TEST_F(IniFileTest, UnreadableFileThrowsTheSystemText) {
  std::filesystem::create_directory(Path());
  try {
    TIniFile ini(Path());
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Is a directory");
  }
}

struct Write {
  const char* section;
  const char* key;
  const char* value;
};

struct WriteBackCase {
  const char* name;
  const char* before;
  std::vector<Write> writes;
  const char* after;
};

class IniFileWriteBack : public IniFileTest, public testing::WithParamInterface<WriteBackCase> {};

TEST_P(IniFileWriteBack, ChangesOnlyTheWrittenLines) {
  const WriteBackCase& c = GetParam();
  TIniFile ini = Load(c.before);
  for (const Write& w : c.writes) ini.WriteString(w.section, w.key, w.value);
  ini.UpdateFile();
  EXPECT_EQ(dir_.Read("test.ini"), c.after);
  EXPECT_FALSE(ini.Modified());
  // What was written reads back, from memory and from a fresh load.
  const TIniFile reloaded(Path());
  for (const Write& w : c.writes) {
    EXPECT_EQ(ini.ReadString(w.section, w.key, kAbsent), w.value);
    EXPECT_EQ(reloaded.ReadString(w.section, w.key, kAbsent), w.value);
  }
}

constexpr const char* kCommented =
    "; written by hand\n"
    "[Video]\n"
    "# pixels\n"
    "  Width = 800\n"
    "Height=600\n"
    "\n"
    "; sound\n"
    "[Audio]\n"
    "Volume=5\n";

INSTANTIATE_TEST_SUITE_P(
    IniFileLayout, IniFileWriteBack,
    testing::Values(
        WriteBackCase{"ChangedValueKeepsKeySpellingAndSpacing",
                      kCommented,
                      {{"VIDEO", "width", "1024"}},
                      "; written by hand\n[Video]\n# pixels\n  Width = 1024\nHeight=600\n\n"
                      "; sound\n[Audio]\nVolume=5\n"},
        WriteBackCase{"NewKeyFollowsTheLastKeyOfItsSection",
                      kCommented,
                      {{"video", "Depth", "32"}},
                      "; written by hand\n[Video]\n# pixels\n  Width = 800\nHeight=600\nDepth=32\n"
                      "\n; sound\n[Audio]\nVolume=5\n"},
        WriteBackCase{"NewSectionGoesToTheEnd",
                      kCommented,
                      {{"Controls", "Jump", "space"}, {"Controls", "Fire", "ctrl"}},
                      "; written by hand\n[Video]\n# pixels\n  Width = 800\nHeight=600\n\n"
                      "; sound\n[Audio]\nVolume=5\n\n[Controls]\nJump=space\nFire=ctrl\n"},
        WriteBackCase{"NewKeyInEmptySectionFollowsItsHeader",
                      "[a]\n[b]\nx=1\n",
                      {{"a", "k", "v"}},
                      "[a]\nk=v\n[b]\nx=1\n"},
        WriteBackCase{"EmptyValueFilled", "[a]\nk=\n", {{"a", "k", "5"}}, "[a]\nk=5\n"},
        WriteBackCase{"ValueEmptied", "[a]\nk = 5\n", {{"a", "k", ""}}, "[a]\nk = \n"},
        WriteBackCase{"CrLfKept",
                      "[a]\r\nk=1\r\n",
                      {{"a", "k", "2"}, {"b", "x", "3"}},
                      "[a]\r\nk=2\r\n\r\n[b]\r\nx=3\r\n"},
        WriteBackCase{
            "Utf8MarkKept", "\xEF\xBB\xBF[a]\nk=1\n", {{"a", "k", "2"}}, "\xEF\xBB\xBF[a]\nk=2\n"},
        WriteBackCase{
            "LastLineGetsItsBreak", "[a]\nk=1", {{"b", "x", "2"}}, "[a]\nk=1\n\n[b]\nx=2\n"},
        WriteBackCase{"OnlyTheFirstOfRepeatedKeysChanges",
                      "[a]\nk=1\nk=2\n",
                      {{"a", "k", "3"}},
                      "[a]\nk=3\nk=2\n"},
        WriteBackCase{"NewFile", "", {{"a", "k", "v"}}, "[a]\nk=v\n"}),
    [](const testing::TestParamInfo<WriteBackCase>& info) { return info.param.name; });

TEST_F(IniFileTest, SecondUpdateBuildsOnTheFirst) {
  TIniFile ini = Load("[a]\nk=1\n");
  ini.WriteString("a", "n", "2");
  ini.UpdateFile();
  ini.WriteString("a", "k", "3");
  ini.WriteString("a", "m", "4");
  ini.UpdateFile();
  EXPECT_EQ(dir_.Read("test.ini"), "[a]\nk=3\nn=2\nm=4\n");
}

TEST_F(IniFileTest, UnchangedValuesWriteNothing) {
  TIniFile ini = Load("[a]\nk=1\n");
  ini.WriteString("A", "K", "1");
  EXPECT_FALSE(ini.Modified());
  // Had it written, the file would be back.
  std::filesystem::remove(Path());
  ini.UpdateFile();
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(IniFileTest, RefusesWhatOneLineCannotHold) {
  TIniFile ini = Load("[a]\nk=1\n");
  const std::vector<Write> refused = {
      {"a", "k", "1\n[main]"}, {"a", "k", "x\ry"}, {"a", "k=x", "1"},
      {"a", "", "1"},          {"a]", "k", "1"},   {"", "k", "1"},
      {"a\nb", "k", "1"},      {"a", ";k", "1"},   {"a", "[k]", "1"},
  };
  for (const Write& w : refused) {
    EXPECT_THROW(ini.WriteString(w.section, w.key, w.value), std::invalid_argument)
        << w.section << " / " << w.key << " / " << w.value;
  }
  EXPECT_FALSE(ini.Modified());
}

TEST_F(IniFileTest, WriteBackKeepsPermissions) {
  TIniFile ini = Load("[a]\nk=1\n");
  ASSERT_EQ(chmod(Path().c_str(), 0640), 0);
  ini.WriteString("a", "k", "2");
  ini.UpdateFile();
  struct stat st;
  ASSERT_EQ(stat(Path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileTest, WriteBackThroughSymlinkReplacesItsTarget) {
  dir_.Write("real.ini", "[a]\nk=1\n");
  std::filesystem::create_symlink(dir_ / "real.ini", Path());
  TIniFile ini(Path());
  ini.WriteString("a", "k", "2");
  ini.UpdateFile();
  EXPECT_TRUE(std::filesystem::is_symlink(Path()));
  EXPECT_EQ(dir_.Read("real.ini"), "[a]\nk=2\n");
}

TEST_F(IniFileTest, FailedWriteBackLeavesNoTemporaryFileAndStaysModified) {
  TIniFile ini(Path());
  ini.WriteString("a", "k", "1");
  // Something that cannot be renamed over takes the file's place.
  std::filesystem::create_directory(Path());
  EXPECT_THROW(ini.UpdateFile(), std::runtime_error);
  EXPECT_TRUE(ini.Modified());
  EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"test.ini"});
}

}  // namespace
