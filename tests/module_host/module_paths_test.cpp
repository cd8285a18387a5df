// Which library the module manager loads, and what it does without one.
#include "host/platform/dynamic_library.h"
#include "module_host/module_host_fixture.h"

namespace {

using ModulePaths = ModuleHostTest;

TEST_F(ModulePaths, MissingConfiguredModuleIsStillTheMostRecentOne) {
  tree_.Write("config.ini", "[session]\nMostRecentUsedModule=3\n");
  TModule& module = Start();
  EXPECT_FALSE(module.InService());
  EXPECT_TRUE(ConsoleHas(MI_ERROR_MODULE_MISSING, {tree_ / "modules/not_there.so"})) << Console();
  EXPECT_TRUE(ConsoleHas(MI_ERROR_CANNOT_LOAD_MODULE, {std::string("not_there.so")}));
  EXPECT_EQ(g_config->ReadInt("session", "MostRecentUsedModule"), 3);
}

TEST_F(ModulePaths, SlashesDotDotAndDllNames) {
  struct Case {
    const char* configured;
  };
  for (const Case& c :
       {Case{"modules/../modules/zok_test_module.so"}, Case{"modules\\zok_test_module.dll"},
        Case{"./modules//zok_test_module.so"}}) {
    SCOPED_TRACE(c.configured);
    WriteIni(std::string("[modules]\n1=") + c.configured +
             "\nPutRecompiledModulesTo_linux=copies/\nCheckIfModulesAreRecompiledPeriod=500\n");
    TModule& module = Start();
    EXPECT_TRUE(module.InService()) << Console();
    EXPECT_EQ(module.ModuleDirectory(), tree_ / "modules/");
    EXPECT_EQ(module.LibraryFileName(), "zok_test_module.so");
  }
}

TEST_F(ModulePaths, AbsoluteBasePathAndCommandLine) {
  WriteIni("[modules]\n1=" + tree_ / "modules/zok_test_module.so" +
           "\nPutRecompiledModulesTo_linux=copies/\nCheckIfModulesAreRecompiledPeriod=500\n");
  EXPECT_TRUE(Start().InService()) << Console();

  tree_.Write("config.ini", "[session]\nMostRecentUsedModule=2\n");
  TModule& module = Start({"modules/zok_test_module.so"});
  EXPECT_TRUE(module.InService()) << Console();
  EXPECT_EQ(g_config->ReadInt("session", "MostRecentUsedModule"), 2);
}

TEST_F(ModulePaths, ALibraryTheLoaderRefusesIsReportedWithTheLoadersReason) {
  tree_.Write("modules/not_there.so", "this is no shared library");
  tree_.Write("config.ini", "[session]\nMostRecentUsedModule=3\n");
  TModule& module = Start();
  EXPECT_FALSE(module.InService());
  const std::string console = Console();
  const size_t zero = console.find("LoadLibrary() returned zero.");
  ASSERT_NE(zero, std::string::npos) << console;
  // The loader's own words follow.
  EXPECT_NE(console.find("not_there.so", zero), std::string::npos) << console;
  EXPECT_TRUE(ConsoleHas(MI_ERROR_CANNOT_LOAD_MODULE, {std::string("not_there.so")}));
}

TEST_F(ModulePaths, UnwritableCopyDirectory) {
  tree_.Write("copies", "a file where the folder should be");
  TModule& module = Start();
  EXPECT_FALSE(module.InService());
  EXPECT_TRUE(ConsoleHas(MI_CANNOT_COPY_MODULE_DLL, {tree_ / "modules/zok_test_module.so",
                                                     tree_ / "copies/zok_test_module.so"}))
      << Console();
}

TEST_F(ModulePaths, WithoutAModuleOnlySpaceAndEscapeMeanSomething) {
  tree_.Write("config.ini", "[session]\nMostRecentUsedModule=3\n");
  TModule& module = Start();
  ASSERT_FALSE(module.InService());
  for (int32_t key : {keys::kEnter, keys::kTilde, 30}) {
    EXPECT_EQ(module.Dispatch(Re_OnPress, key, 0, 0), 0);
  }
  EXPECT_FALSE(QuitRequested());

  // Space retries: once the library is there, it loads.
  std::filesystem::copy_file(tree_ / "modules/zok_test_module.so", tree_ / "modules/not_there.so");
  EXPECT_EQ(module.Dispatch(Re_OnPress, keys::kSpace, 0, 0), 0);
  EXPECT_TRUE(module.InService()) << Console();

  module.Unload();
  EXPECT_EQ(module.Dispatch(Re_OnPress, keys::kEscape, 0, 0), 0);
  EXPECT_TRUE(QuitRequested());
}

TEST_F(ModulePaths, ShutdownDeliversDestroyOnlyToAModuleInService) {
  TModule& module = Start();
  module.Destroy();
  const std::vector<std::string> record = Record();
  EXPECT_EQ(record.back(), "event Re_OnDestroy 0 0 0");
  EXPECT_FALSE(platform::DynamicLibrary::IsMapped(tree_ / "copies/zok_test_module.so"));
}

}  // namespace
