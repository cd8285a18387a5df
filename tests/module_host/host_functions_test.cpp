// The host function table and the entries that belong to the boundary.
#include "host/modules/host_functions.h"

#include <cmath>

#include "host/core/exceptions.h"
#include "host/platform/clock.h"
#include "module_host/module_host_fixture.h"

namespace {

class HostFunctions : public ModuleHostTest {
 protected:
  // The report of the fatal error that call raises.
  template <typename F>
  std::u16string FatalTextOf(F&& call) {
    ResetLogStateForTests();
    try {
      call();
    } catch (const EDying&) {
      return JoinErrors();
    }
    ADD_FAILURE() << "no fatal error";
    return {};
  }
};

TEST_F(HostFunctions, LookupKnowsExactlyTheTableEntries) {
  int known = 0;
  for (int32_t index = -1; index <= 80; ++index) {
    void* slot = nullptr;
    try {
      EXPECT_EQ(HostLookup(index, &slot), 0);
      EXPECT_NE(slot, nullptr) << index;
      ++known;
    } catch (const EDying&) {
      const std::u16string text = JoinErrors();
      EXPECT_NE(text.find(u"(there is no entry #" + Cp1251ToWide(std::to_string(index)) + u")"),
                std::u16string::npos)
          << index;
    }
  }
  EXPECT_EQ(known, kHostFunctionCount);
  for (int32_t refused : {4, 6, 15, 38, 42, 73}) {
    void* slot = nullptr;
    EXPECT_THROW(HostLookup(refused, &slot), EDying) << refused;
  }
}

TEST_F(HostFunctions, VersionAndTypeSetChecks) {
  struct VersionCase {
    int32_t major, minor, build;
    bool accepted;
  };
  for (const VersionCase& c :
       {VersionCase{0, 13, 71, true}, VersionCase{0, 13, 9999, true}, VersionCase{0, 1, 362, true},
        VersionCase{0, 14, 0, false}, VersionCase{1, 0, 0, false}}) {
    if (c.accepted) {
      EXPECT_NO_THROW(hf::CheckHostVersion(c.major, c.minor, c.build));
    } else {
      const std::string module_version = FormatVersion(c.major, c.minor, c.build);
      EXPECT_EQ(FatalTextOf([&] { hf::CheckHostVersion(c.major, c.minor, c.build); }),
                FormatMessage(MI_VERSIONS_MISMATCH, {module_version, std::string("0.13.0071")}));
    }
  }
  struct TypeSetCase {
    int32_t highest, kind;
    const char* refused_as;  // null: accepted
  };
  for (const TypeSetCase& c :
       {TypeSetCase{93, 0, nullptr}, TypeSetCase{13, 1, nullptr}, TypeSetCase{94, 0, "TMessageId"},
        TypeSetCase{12, 1, "TCbMessage"}, TypeSetCase{13, 2, "ValidateTypesets()"},
        TypeSetCase{93, -1, "ValidateTypesets()"}}) {
    if (!c.refused_as) {
      EXPECT_NO_THROW(hf::ValidateTypesets(c.highest, c.kind));
    } else {
      EXPECT_EQ(FatalTextOf([&] { hf::ValidateTypesets(c.highest, c.kind); }),
                FormatMessage(MI_ERROR_TYPESETS_MISMATCH, {c.refused_as}));
    }
  }
}

TEST_F(HostFunctions, FlagsTextsAndTime) {
  Start();
  EXPECT_EQ(hf::ReturnOne(), 1);
  EXPECT_EQ(hf::ReturnNull(this), nullptr);
  EXPECT_EQ(hf::IsDeveloperMode(), 0);  // not configured
  EXPECT_EQ(hf::IsDebugMode(), 1);
  EXPECT_EQ(hf::IsRussianLanguage(), 0);
  EXPECT_EQ(std::u16string(hf::ProgramDirectory()), Cp1251ToWide(tree_.Path()));
  EXPECT_EQ(std::u16string(hf::ProgramDirectory()), Cp1251ToWide(tree_.Path()));
  EXPECT_EQ(std::u16string(hf::GetMessageText(MI_ZOK_TITLE)), u"Zokwerk");
  EXPECT_EQ(std::u16string(hf::GetMessageText(500)), u"");

  Host().start_time = platform::LocalNowDays() - 1.5 / 86400.0;
  EXPECT_NEAR(static_cast<double>(hf::MillisecondsSinceStart()), 1500.0, 50.0);
}

TEST_F(HostFunctions, WorkingDirectoryFiles) {
  tree_.Write("old.zok", "new content");
  tree_.Write("target.zok", "previous");
  std::filesystem::create_directories(tree_ / "folder.zok");
  EXPECT_EQ(hf::FileExistsInWorkingDir("old.zok"), 1);
  EXPECT_EQ(hf::FileExistsInWorkingDir("folder.zok"), 0);
  EXPECT_EQ(hf::FileExistsInWorkingDir("none.zok"), 0);

  hf::ReplaceFileInWorkingDir("old.zok", "target.zok");
  EXPECT_EQ(tree_.Read("target.zok"), "new content");
  EXPECT_EQ(hf::FileExistsInWorkingDir("old.zok"), 0);

  tree_.Write("lonely.zok", "x");
  hf::ReplaceFileInWorkingDir("lonely.zok", "fresh.zok");
  EXPECT_EQ(tree_.Read("fresh.zok"), "x");

  // The session path modules get is absolute: such names are the files.
  EXPECT_EQ(hf::FileExistsInWorkingDir((tree_ / "fresh.zok").c_str()), 1);
  tree_.Write("session.$$$", "saved");
  hf::ReplaceFileInWorkingDir((tree_ / "session.$$$").c_str(), (tree_ / "fresh.zok").c_str());
  EXPECT_EQ(tree_.Read("fresh.zok"), "saved");

  // A directory in the way cannot be replaced by a file.
  tree_.Write("file.zok", "y");
  const std::u16string text =
      FatalTextOf([] { hf::ReplaceFileInWorkingDir("file.zok", "folder.zok"); });
  EXPECT_EQ(text.rfind(FormatMessage(MI_ERROR_CANNOT_DESTROY_FILE, {tree_ / "folder.zok"}), 0), 0u)
      << WideToUtf8(text);
}

TEST_F(HostFunctions, IntegerSettingsThroughTheTable) {
  Start();
  hf::ConfigWriteInteger("video", "WIDTH", 1024);
  EXPECT_EQ(hf::ConfigReadInteger("video", "WIDTH"), 1024);
  EXPECT_EQ(hf::ConfigReadIntegerInRange("video", "WIDTH", 640, 2048), 1024);
  EXPECT_THROW(hf::ConfigReadIntegerInRange("video", "WIDTH", 1, 10), EDying);
}

}  // namespace
