// The host's side of hot reload with real module libraries: a rebuilt file
// is taken once it is complete and stable, a broken one is not retried
// until it changes, and Space forces a retry.
#include <algorithm>
#include <chrono>
#include <thread>

#include "host/platform/file_system.h"
#include "module_host/module_host_fixture.h"

namespace {

class HotReload : public ModuleHostTest {
 protected:
  void SetUp() override {
    ModuleHostTest::SetUp();
    WriteIni(
        "[modules]\n1=modules/zok_test_module.so\nPutRecompiledModulesTo_linux=copies/\n"
        "CheckIfModulesAreRecompiledPeriod=100\n");
  }

  // What a build does: the library file gets new content and a new time.
  void Rebuild(const std::string& variant) {
    const std::string target = tree_ / "modules/zok_test_module.so";
    std::filesystem::copy_file(tree_ / ("modules/" + variant), target + ".new",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::rename(target + ".new", target);
    Touch(target);
  }
  void Touch(const std::string& path) {
    const auto later = std::filesystem::last_write_time(path) + std::chrono::seconds(++touches_);
    std::filesystem::last_write_time(path, later);
  }
  // Two checks one period apart: a file is taken once it has held still.
  void CheckTwice(TModule& module) {
    for (int i = 0; i < 2; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(120));
      module.CheckRecompiled();
    }
  }
  long Count(const std::string& line) const {
    const std::vector<std::string> record = Record();
    return std::count(record.begin(), record.end(), line);
  }

  int touches_ = 0;
};

TEST_F(HotReload, ARebuiltLibraryReplacesTheRunningOneAndKeepsABackup) {
  TModule& module = Start();
  ASSERT_TRUE(module.InService()) << Console();
  Rebuild("zok_test_module_host_0_13_9999.so");
  CheckTwice(module);
  EXPECT_TRUE(module.InService()) << Console();
  EXPECT_EQ(Count("event Re_OnUnload 0 0 0"), 1);
  EXPECT_EQ(Count("init"), 2);
  EXPECT_EQ(Record().back(), "event Re_OnLoad 0 0 0");
  EXPECT_TRUE(platform::IsRegularFile(tree_ / "copies/zok_test_module.back"));
  EXPECT_EQ(platform::FileSize(tree_ / "copies/zok_test_module.so"),
            platform::FileSize(tree_ / "modules/zok_test_module.so"));

  // The same file again is not a rebuild.
  CheckTwice(module);
  EXPECT_EQ(Count("init"), 2);
}

TEST_F(HotReload, AFileStillBeingWrittenIsRetriedUntilComplete) {
  TModule& module = Start();
  const std::string library = tree_.Read("modules/zok_test_module.so");
  tree_.Write("modules/zok_test_module.so", "");
  Touch(tree_ / "modules/zok_test_module.so");
  CheckTwice(module);
  EXPECT_EQ(module.ReloadAttempts(), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  module.CheckRecompiled();
  EXPECT_EQ(module.ReloadAttempts(), 2);
  EXPECT_TRUE(module.InService());  // the old module was not disturbed
  EXPECT_NE(Console().find("Zero DLL file size"), std::string::npos) << Console();

  tree_.Write("modules/zok_test_module.so", library.substr(0, 10));  // cut short
  Touch(tree_ / "modules/zok_test_module.so");
  CheckTwice(module);
  EXPECT_EQ(module.ReloadAttempts(), 3);

  tree_.Write("modules/zok_test_module.so", library);
  Touch(tree_ / "modules/zok_test_module.so");
  CheckTwice(module);
  EXPECT_TRUE(module.InService()) << Console();
  EXPECT_EQ(Count("init"), 2);
}

TEST_F(HotReload, ABrokenBuildIsNotRetriedUntilItChangesButSpaceRetries) {
  TModule& module = Start();
  Rebuild("zok_test_module_no_callback.so");
  CheckTwice(module);
  EXPECT_FALSE(module.InService());
  const std::string failed = WideToCp1251(u"Attempt failed. ");
  auto failures = [&] {
    size_t n = 0;
    for (size_t at = 0; (at = Console().find(failed, at)) != std::string::npos; ++at) ++n;
    return n;
  };
  EXPECT_EQ(failures(), 1u) << Console();
  EXPECT_TRUE(ConsoleHas(MI_ERROR_CANNOT_LOAD_MODULE, {std::string("zok_test_module.so")}));

  CheckTwice(module);
  EXPECT_EQ(failures(), 1u);  // same file, same time: left alone

  module.Dispatch(Re_OnPress, keys::kSpace, 0, 0);
  EXPECT_EQ(failures(), 2u);  // Space tries again

  Rebuild("zok_test_module.so.orig");
  CheckTwice(module);
  EXPECT_TRUE(module.InService()) << Console();
}

TEST_F(HotReload, ACrashedModuleComesBackByRebuildingIt) {
  TModule& module = Start();
  setenv("ZOK_TEST_CRASH_AT", "Re_OnCycle", 1);
  setenv("ZOK_TEST_CRASH_KIND", "null", 1);
  module.Dispatch(Re_OnCycle, 0, 0, 0);
  ASSERT_FALSE(module.InService());
  unsetenv("ZOK_TEST_CRASH_AT");
  const long unloads = Count("event Re_OnUnload 0 0 0");

  Rebuild("zok_test_module.so.orig");
  CheckTwice(module);
  EXPECT_TRUE(module.InService()) << Console();
  EXPECT_EQ(Count("event Re_OnUnload 0 0 0"), unloads);  // nobody to unload
  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 1);
}

}  // namespace
