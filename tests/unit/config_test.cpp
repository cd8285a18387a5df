#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "host/messages/log.h"
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

// An own INI and configuration files in a temporary working directory; the
// console catches the log lines.
class ConfigTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    ResetLogStateForTests();
    Host().working_directory = dir_.Path();
    Host().container_ready = true;
    Host().debug_mode = true;
    Host().second_instance = true;  // no LOG file in the working directory
    g_console = &console_;
  }
  void TearDown() override {
    g_console = nullptr;
    Host() = saved_;
    ResetLogStateForTests();
  }

  std::string OwnPath() const { return dir_ / "zokhost.ini"; }

  // As at start-up: the own INI, then the files it lists. A null config
  // leaves config.ini missing.
  std::unique_ptr<TConfigManager> Start(const std::string& own, const char* config = nullptr) {
    dir_.Write("zokhost.ini", own);
    if (config != nullptr) dir_.Write("config.ini", config);
    auto manager = std::make_unique<TConfigManager>(OwnPath());
    manager->AttachConfigFiles();
    return manager;
  }

  bool Logged(const std::string& prefix) const {
    for (int i = 0; i < console_.LineCount(); ++i) {
      if (console_.Line(i).starts_with(kConsoleLineMarker + prefix)) return true;
    }
    return false;
  }

  // The EDying text holds the arguments whether or not message texts are
  // loaded: without a text they are appended behind a marker.
  template <typename F>
  std::string DyingText(F&& action) {
    try {
      action();
    } catch (const EDying& e) {
      return e.what();
    }
    ADD_FAILURE() << "EDying was not thrown";
    return {};
  }

  TempDir dir_;
  TConsole console_;
  THostGlobals saved_;
};

struct MergeCase {
  const char* name;
  const char* own;
  const char* config;
  const char* section;
  const char* key;
  const char* expected;
  int32_t source;
  bool refused;
};
void PrintTo(const MergeCase& c, std::ostream* os) {
  *os << c.name;
}

class ConfigMergedRead : public ConfigTest, public testing::WithParamInterface<MergeCase> {};

TEST_P(ConfigMergedRead, HonoursOverrideRights) {
  const MergeCase& c = GetParam();
  auto config = Start(c.own, c.config);
  EXPECT_EQ(config->ReadString(c.section, c.key), c.expected);
  EXPECT_EQ(config->Source(), c.source);
  EXPECT_EQ(Logged("The config file \""), c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    ConfigRights, ConfigMergedRead,
    testing::Values(MergeCase{"VideoIsOverridableByDefault", "[video]\nfullscreen=1\n",
                              "[video]\nfullscreen=0\n", "video", "fullscreen", "0", 1, false},
                    MergeCase{"OpenGLIsNot", "[opengl]\nUse_Mesa_GL=0\n",
                              "[opengl]\nUse_Mesa_GL=1\n", "opengl", "Use_Mesa_GL", "0", 0, true},
                    MergeCase{"KeyOnlyInConfigIni", "[opengl]\n", "[opengl]\nGL_MESA=libGL.so.1\n",
                              "opengl", "GL_MESA", "libGL.so.1", 1, false},
                    MergeCase{"MainOfConfigIniIgnored", "[main]\nlanguage=english\n",
                              "[main]\nlanguage=russian\n", "Main", "language", "english", 0,
                              false},
                    MergeCase{"MainOnlyInConfigIniIgnored", "", "[main]\ndebugmode=1\n", "main",
                              "debugmode", "", 0, false},
                    MergeCase{"OverrideListMatchesSubstrings", "[ideo]\nk=1\n", "[IDEO]\nk=2\n",
                              "ideo", "k", "2", 1, false},
                    MergeCase{"EmptyValueDoesNotOverride", "[video]\nwidth=800\n",
                              "[video]\nwidth=\n", "video", "width", "800", 0, false},
                    MergeCase{"NamesIgnoreCase", "[VIDEO]\nWIDTH=800\n", "[Video]\nWidth=1024\n",
                              "vIdEo", "wIDTH", "1024", 1, false},
                    MergeCase{"AbsentIsEmpty", "", "", "video", "width", "", 0, false}),
    [](const testing::TestParamInfo<MergeCase>& info) { return info.param.name; });

TEST_F(ConfigTest, RefusalIsLoggedOnlyInDebugMode) {
  auto config = Start("[opengl]\nUse_Mesa_GL=0\n", "[opengl]\nUse_Mesa_GL=1\n");
  console_ = TConsole();
  config->ReadString("opengl", "Use_Mesa_GL");
  ASSERT_EQ(console_.LineCount(), 1);
  EXPECT_EQ(console_.Line(0), "\177The config file \"" + (dir_ / "config.ini") +
                                  "\" has no rights to override \"USE_MESA_GL\" parameter of "
                                  "\"OPENGL\" section with value \"1\".\n\r");

  Host().debug_mode = false;
  console_ = TConsole();
  EXPECT_EQ(config->ReadString("opengl", "Use_Mesa_GL"), "0");
  EXPECT_EQ(console_.LineCount(), 0);
}

TEST_F(ConfigTest, LaterFilesWinWithTheirOwnRights) {
  dir_.Write("a.ini", "[net]\nport=2\nhost=a\n");
  dir_.Write("b.ini", "[net]\nport=3\nhost=b\n");
  auto config = Start(
      "[config]\nfile0=a.ini\nfile0_override_sections_allowed=net\nfile1=b.ini\n"
      "[net]\nport=1\n");
  // b.ini has no override list of its own: the defaults are only for file0.
  EXPECT_EQ(config->ReadString("net", "port"), "2");
  EXPECT_EQ(config->Source(), 1);
  EXPECT_TRUE(Logged("The config file \"" + (dir_ / "b.ini") + "\""));
  EXPECT_EQ(config->ReadString("net", "host"), "b");
  EXPECT_EQ(config->Source(), 2);
}

struct AttachCase {
  const char* name;
  const char* own;
  std::vector<std::string> files;  // relative to the working directory unless absolute
};

class ConfigAttach : public ConfigTest, public testing::WithParamInterface<AttachCase> {};

TEST_P(ConfigAttach, AttachesTheListedFiles) {
  const AttachCase& c = GetParam();
  auto config = Start(c.own);
  ASSERT_EQ(config->FileCount(), static_cast<int32_t>(c.files.size()) + 1);
  EXPECT_EQ(config->FilePath(0), OwnPath());
  for (size_t i = 0; i < c.files.size(); ++i) {
    const std::string expected = c.files[i].starts_with('/') ? c.files[i] : dir_ / c.files[i];
    EXPECT_EQ(config->FilePath(static_cast<int32_t>(i) + 1), expected);
    EXPECT_TRUE(Logged(" " + expected + " attached at pos " + std::to_string(i + 1) + "."));
  }
}

INSTANTIATE_TEST_SUITE_P(
    ConfigFileList, ConfigAttach,
    testing::Values(
        AttachCase{"ConfigIniByDefaultEvenIfMissing", "", {"config.ini"}},
        AttachCase{"EmptyFile0AttachesNothing", "[config]\nfile0=\n", {}},
        AttachCase{
            "File1AfterTheDefault", "[config]\nfile1=more.ini\n", {"config.ini", "more.ini"}},
        AttachCase{
            "GapEndsTheList", "[config]\nfile1=b.ini\nfile3=d.ini\n", {"config.ini", "b.ini"}},
        AttachCase{"PathsNormalised", "[config]\nfile0=sub/../cfg/./x.ini\n", {"cfg/x.ini"}},
        AttachCase{
            "SamePathOnce", "[config]\nfile0=config.ini\nfile1=./config.ini\n", {"config.ini"}},
        AttachCase{"AbsoluteNameKept",
                   "[config]\nfile0=/nonexistent-zok/x.ini\n",
                   {"/nonexistent-zok/x.ini"}}),
    [](const testing::TestParamInfo<AttachCase>& info) { return info.param.name; });

TEST_F(ConfigTest, AttachingAnAttachedFileAgainIsRefused) {
  auto config = Start("");
  EXPECT_FALSE(config->AttachFile(dir_ / "config.ini"));
  EXPECT_TRUE(config->AttachFile(dir_ / "other.ini"));
  EXPECT_EQ(config->FileCount(), 3);
}

TEST_F(ConfigTest, OwnIniFailuresBeforeTheContainerAreFixedTexts) {
  Host().container_ready = false;
  try {
    TConfigManager config(OwnPath());
    FAIL() << "missing own INI accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Configuration manager crashed.\n\rCannot find the main configuration file,\n\r\"" +
                  OwnPath() + "\"\n\r\n\r");
  }

  std::filesystem::create_directory(OwnPath());
  try {
    TConfigManager config(OwnPath());
    FAIL() << "unreadable own INI accepted";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Configuration manager crashed.\n\rMost probably, unable to read the main "
              "configuration file,\n\r\"" +
                  OwnPath() + "\"\n\r\n\rThe error message is \"Is a directory\".");
  }
}

TEST_F(ConfigTest, AfterTheContainerMissingFilesAreEmptyAndUnreadableOnesFatal) {
  TConfigManager config(OwnPath());
  EXPECT_EQ(config.ReadString("video", "width"), "");

  std::filesystem::create_directory(dir_ / "dir.ini");
  EXPECT_NE(DyingText([&] { config.AttachFile(dir_ / "dir.ini"); }).find(dir_ / "dir.ini"),
            std::string::npos);
  EXPECT_EQ(config.FileCount(), 1);
}

struct IntCase {
  const char* text;
  bool valid;
  int32_t value;
};
void PrintTo(const IntCase& c, std::ostream* os) {
  *os << '"' << c.text << '"';
}

// Decimal only: hexadecimal, fractions and words are refused like any other
// stray character.
class ConfigReadInt : public ConfigTest, public testing::WithParamInterface<IntCase> {};

TEST_P(ConfigReadInt, ParsesStrictly) {
  const IntCase& c = GetParam();
  auto config = Start("", ("[video]\nv=" + std::string(c.text) + "\n").c_str());
  if (c.valid) {
    EXPECT_EQ(config->ReadInt("video", "v"), c.value);
    return;
  }
  const std::string text = DyingText([&] { config->ReadInt("video", "v"); });
  for (const std::string& argument :
       {dir_ / "config.ini", std::string("video"), std::string(c.text)}) {
    EXPECT_NE(text.find(argument), std::string::npos) << argument;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ConfigIntTexts, ConfigReadInt,
    testing::Values(IntCase{"7", true, 7}, IntCase{" 7 ", true, 7}, IntCase{"+5", true, 5},
                    IntCase{"-12", true, -12}, IntCase{"007", true, 7}, IntCase{"", true, 0},
                    IntCase{"2147483647", true, INT32_MAX}, IntCase{"-2147483648", true, INT32_MIN},
                    IntCase{"2147483648", false, 0}, IntCase{"-2147483649", false, 0},
                    IntCase{"99999999999999999999", false, 0}, IntCase{"12abc", false, 0},
                    IntCase{"0x10", false, 0}, IntCase{"$10", false, 0}, IntCase{"1.5", false, 0},
                    IntCase{"1 2", false, 0}, IntCase{"-", false, 0}, IntCase{"+", false, 0},
                    IntCase{"yes", false, 0}));

TEST_F(ConfigTest, ReadIntOfAnAbsentKeyIsZero) {
  auto config = Start("", "");
  EXPECT_EQ(config->ReadInt("video", "nothing"), 0);
}

TEST_F(ConfigTest, InvalidIntegerBeforeTheContainerNamesTheSupplyingFile) {
  dir_.Write("config.ini", "[video]\nwidth=12abc\n");
  auto config = Start("[main]\ndebugmode=yes\n");
  Host().container_ready = false;
  const std::string prefix =
      "Configuration manager crashed.\n\rMost probably, unable to read the main configuration "
      "file,\n\r\"";
  const struct {
    const char* section;
    const char* key;
    std::string file;
    const char* text;
  } cases[] = {{"main", "debugmode", OwnPath(), "yes"},
               {"video", "width", dir_ / "config.ini", "12abc"}};
  for (const auto& c : cases) {
    try {
      config->ReadInt(c.section, c.key);
      ADD_FAILURE() << c.key << " accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), prefix + c.file + "\"\n\r\n\rThe error message is \"'" +
                                           c.text + "' is not a valid integer value\".");
    }
  }
}

TEST_F(ConfigTest, ReadIntLimitedChecksBothEndsAndNamesTheSupplyingFile) {
  auto config = Start("[console]\nMaxLines=149\n", "[video]\nw=1\n");
  const struct {
    const char* value;
    bool valid;
  } cases[] = {{"150", true}, {"10000", true}, {"149", false}, {"10001", false}};
  for (const auto& c : cases) {
    config->WriteString("console", "lines", c.value);
    if (c.valid) {
      EXPECT_EQ(config->ReadIntLimited("console", "lines", 150, 10000), std::stoi(c.value));
      continue;
    }
    const std::string text =
        DyingText([&] { config->ReadIntLimited("console", "lines", 150, 10000); });
    for (const std::string& argument :
         {dir_ / "config.ini", std::string("lines"), std::string(c.value), std::string("150")}) {
      EXPECT_NE(text.find(argument), std::string::npos) << argument;
    }
  }

  // A read from config.ini first must not leave its path on the own INI's value.
  config->ReadString("video", "w");
  const std::string text =
      DyingText([&] { config->ReadIntLimited("console", "MaxLines", 150, 10000); });
  EXPECT_NE(text.find(OwnPath()), std::string::npos);
  EXPECT_EQ(text.find(dir_ / "config.ini"), std::string::npos);
}

TEST_F(ConfigTest, ReadBoolIsTrueOnlyForOne) {
  auto config = Start("", "[video]\none=1\ntwo=2\nzero=0\nminus=-1\nempty=\nword=yes\n");
  EXPECT_TRUE(config->ReadBool("video", "one"));
  for (const char* key : {"two", "zero", "minus", "empty", "absent"}) {
    EXPECT_FALSE(config->ReadBool("video", key)) << key;
  }
  EXPECT_NE(DyingText([&] { config->ReadBool("video", "word"); }).find("yes"), std::string::npos);
}

struct PathCase {
  const char* name;
  const char* working_directory;
  const char* value;  // null: absent
  const char* expected;
};

class ConfigReadPath : public ConfigTest, public testing::WithParamInterface<PathCase> {};

TEST_P(ConfigReadPath, GivesAnAbsoluteNormalisedPath) {
  const PathCase& c = GetParam();
  auto config = Start(c.value == nullptr ? "" : "[modules]\np=" + std::string(c.value) + "\n", "");
  Host().working_directory = c.working_directory;
  EXPECT_EQ(config->ReadPath("modules", "p"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    ConfigPaths, ConfigReadPath,
    testing::Values(
        PathCase{"PlatformToken", "/w/", "modules/{$PLATFORM}/x.dll", "/w/modules/linux/x.dll"},
        PathCase{"TokenInAbsolutePath", "/w/", "/usr/{$PLATFORM}/", "/usr/linux/"},
        PathCase{"TokenInTheNameKept", "/w/", "lib{$PLATFORM}.so", "/w/lib{$PLATFORM}.so"},
        PathCase{"EmptyIsTheWorkingDirectory", "/w/", "", "/w/"},
        PathCase{"AbsentIsTheWorkingDirectory", "/w/", nullptr, "/w/"},
        PathCase{"AbsoluteKept", "/w/", "/opt/zok/../data/", "/opt/data/"},
        PathCase{"DotsResolved", "/w/", "a/./b/../c.txt", "/w/a/c.txt"},
        PathCase{"Backslashes", "/w/", "a\\b\\c.txt", "/w/a/b/c.txt"},
        PathCase{"WorkingDirectoryWithoutSlash", "/w", "x/y", "/w/x/y"}),
    [](const testing::TestParamInfo<PathCase>& info) { return info.param.name; });

struct KeyCase {
  const char* asked;
  const char* stored;
};

class ConfigPlatformKey : public ConfigTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(ConfigPlatformKey, ReadsAndWritesTheLinuxKey) {
  const KeyCase& c = GetParam();
  {
    auto config = Start("[main]\n" + std::string(c.stored) + "=own\n", "");
    EXPECT_EQ(config->ReadString("main", c.asked), "own");
    config->WriteString("modules", c.asked, "written");
  }
  EXPECT_EQ(TIniFile(dir_ / "config.ini").ReadString("modules", c.stored, "<absent>"), "written");
}

INSTANTIATE_TEST_SUITE_P(
    ConfigKeys, ConfigPlatformKey,
    testing::Values(KeyCase{"workingdir_win32", "workingdir_linux"},
                    KeyCase{"WORKINGDIR_WIN32", "workingdir_linux"},
                    KeyCase{"PutRecompiledModulesTo_Win32", "PutRecompiledModulesTo_linux"},
                    KeyCase{"workingdir_linux", "workingdir_linux"},
                    KeyCase{"LibPng_win32_VersionString", "LibPng_win32_VersionString"},
                    KeyCase{"win32", "win32"}));

struct TargetCase {
  const char* name;
  const char* own;
  const char* config;
  const char* extra;  // null: no second configuration file
  const char* section;
  const char* key;
  int32_t target;
};

class ConfigWriteTarget : public ConfigTest, public testing::WithParamInterface<TargetCase> {};

TEST_P(ConfigWriteTarget, WritesGoToTheTarget) {
  const TargetCase& c = GetParam();
  std::string own = c.own;
  if (c.extra != nullptr) {
    own += "\n[config]\nfile1=extra.ini\n";
    dir_.Write("extra.ini", c.extra);
  }
  auto config = Start(own, c.config);
  EXPECT_EQ(config->WriteTarget(c.section, c.key), c.target);
  if (c.target == 0) {
    const std::string text = DyingText([&] { config->WriteString(c.section, c.key, "42"); });
    for (const char* argument : {c.section, c.key, "42"}) {
      EXPECT_NE(text.find(argument), std::string::npos) << argument;
    }
    return;
  }
  config->WriteString(c.section, c.key, "42");
  const std::string path = config->FilePath(c.target);
  config.reset();
  EXPECT_EQ(TIniFile(path).ReadString(c.section, c.key, "<absent>"), "42");
}

constexpr const char* kWriteSections = "[CONFIG]\nWRITE_SECTIONS=session monitor video\n";

INSTANTIATE_TEST_SUITE_P(
    ConfigTargets, ConfigWriteTarget,
    testing::Values(
        TargetCase{"NowhereGoesToConfigIni", "", "", nullptr, "video", "width", 1},
        TargetCase{"OverridableOwnKeyGoesToConfigIni", "[video]\nwidth=800\n", "", nullptr, "video",
                   "width", 1},
        TargetCase{"OwnKeyWithoutRightsIsReadOnly", "[opengl]\nUse_Mesa_GL=0\n", "", nullptr,
                   "opengl", "Use_Mesa_GL", 0},
        TargetCase{"OwnMainKeyIsReadOnly", "[main]\nlanguage=english\n", "", nullptr, "main",
                   "language", 0},
        TargetCase{"MainKeyUnknownToOwnGoesToConfigIni", "", "", nullptr, "main", "other", 1},
        TargetCase{"OverrideListMatchesSubstrings", "[ideo]\nk=1\n", "", nullptr, "IDEO", "k", 1},
        TargetCase{"WriteSectionsNamesTheSection", "", "", kWriteSections, "Session",
                   "MostRecentUsedModule", 2},
        TargetCase{"WriteSectionsMatchesSubstrings", "", "", kWriteSections, "ideo", "k", 2},
        TargetCase{"WriteSectionsOfOtherSections", "", "", kWriteSections, "audio", "volume", 1},
        TargetCase{"KeyInALaterFile", "", "", "[audio]\nvolume=3\n", "audio", "volume", 2},
        TargetCase{"LaterFileWithoutRights", "[video]\nwidth=800\n", "", "[video]\nwidth=1\n",
                   "video", "width", 1}),
    [](const testing::TestParamInfo<TargetCase>& info) { return info.param.name; });

TEST_F(ConfigTest, DestructionWritesBackConfigFilesOnly) {
  const std::string own = "; own\n[main]\nlanguage=english\n[video]\nwidth=800\n";
  {
    auto config = Start(own, "; user settings\n[Video]\nWidth=640 \n\n[session]\n");
    config->WriteInt("video", "width", -1024);
    config->WriteBool("video", "fullscreen", true);
    config->WriteBool("video", "16_bit", false);
    config->WriteString("monitor", "refresh_1024x768", "85");
    config->WriteInt("session", "MostRecentUsedModule", 3);
  }
  EXPECT_EQ(dir_.Read("config.ini"),
            "; user settings\n[Video]\nWidth=-1024\nfullscreen=1\n16_bit=0\n\n[session]\n"
            "MostRecentUsedModule=3\n\n[monitor]\nrefresh_1024x768=85\n");
  EXPECT_EQ(dir_.Read("zokhost.ini"), own);
}

TEST_F(ConfigTest, NothingWrittenCreatesNoFile) {
  { auto config = Start("[video]\nwidth=800\n"); }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "config.ini"));
}

TEST_F(ConfigTest, FileThatCannotBeSavedIsRecordedAndTheOthersAreSaved) {
  {
    dir_.Write("b.ini", "[CONFIG]\nWRITE_SECTIONS=audio\n");
    auto config = Start("[config]\nfile1=b.ini\n");
    config->WriteInt("video", "width", 1);
    config->WriteInt("audio", "volume", 2);
    std::filesystem::create_directory(dir_ / "config.ini");
  }
  EXPECT_EQ(ErrorCount(), 1u);
  EXPECT_EQ(dir_.Read("b.ini"), "[CONFIG]\nWRITE_SECTIONS=audio\n\n[audio]\nvolume=2\n");
}

TEST_F(ConfigTest, WriteWithoutConfigFilesIsDroppedAndLogged) {
  auto config = Start("[config]\nfile0=\n[video]\nwidth=800\n[main]\nlanguage=english\n");
  config->WriteInt("video", "width", 1024);
  config->WriteString("main", "language", "russian");
  EXPECT_TRUE(Logged("No configuration file is attached"));
  EXPECT_EQ(ErrorCount(), 0u);
  EXPECT_EQ(config->ReadInt("video", "width"), 800);
}

}  // namespace
