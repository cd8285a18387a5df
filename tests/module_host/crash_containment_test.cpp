// A module that crashes in any way leaves the host running with the module
// out of service; a fixed library then loads and runs.
#include <fenv.h>

#include <algorithm>
#include <cmath>

#include "host/platform/dynamic_library.h"
#include "module_host/module_host_fixture.h"

namespace {

struct CrashCase {
  const char* kind;
};

class CrashContainment : public ModuleHostTest, public testing::WithParamInterface<CrashCase> {};

TEST_P(CrashContainment, InCycleTheModuleGoesOutOfServiceAndComesBack) {
  TModule& module = Start();
  ASSERT_TRUE(module.InService()) << Console();
  setenv("ZOK_TEST_CRASH_AT", "Re_OnCycle", 1);
  setenv("ZOK_TEST_CRASH_KIND", GetParam().kind, 1);

  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 0);
  EXPECT_FALSE(module.InService());
  EXPECT_TRUE(ConsoleHas(MI_ERROR_MODULE_CRASHED,
                         {std::string("zok_test_module.so"), std::string("Re_OnCycle")}))
      << Console();
  EXPECT_TRUE(ConsoleHasStartOf(MI_DEVMODE_MODULE_UNLOADED)) << Console();
  EXPECT_FALSE(platform::DynamicLibrary::IsMapped(tree_ / "copies/zok_test_module.so"));
  EXPECT_EQ(ErrorCount(), 0u);                         // the report took the texts
  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 0);  // the fallback screen from now on

  unsetenv("ZOK_TEST_CRASH_AT");
  module.Dispatch(Re_OnPress, keys::kSpace, 0, 0);  // no module: Space retries
  ASSERT_TRUE(module.InService()) << Console();
  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 1);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CrashContainment,
                         testing::Values(CrashCase{"exception"}, CrashCase{"null"},
                                         CrashCase{"divzero"}, CrashCase{"abort"},
                                         CrashCase{"recursion"}, CrashCase{"hostfatal"}),
                         [](const testing::TestParamInfo<CrashCase>& info) {
                           return std::string(info.param.kind);
                         });

TEST_F(ModuleHostTest, CrashWhileStartingIsReportedAsCrashedAtLoading) {
  setenv("ZOK_TEST_CRASH_AT", "init", 1);
  for (const char* kind : {"exception", "null"}) {
    SCOPED_TRACE(kind);
    setenv("ZOK_TEST_CRASH_KIND", kind, 1);
    TModule& module = Start();
    EXPECT_FALSE(module.InService());
    EXPECT_TRUE(ConsoleHas(MI_ERROR_MODULE_CRASHED_AT_LOADING, {std::string("zok_test_module.so")}))
        << Console();
    EXPECT_FALSE(platform::DynamicLibrary::IsMapped(tree_ / "copies/zok_test_module.so"));
  }
}

TEST_F(ModuleHostTest, CrashWhileUnloadingForASwitchLoadsNothingNew) {
  TModule& module = Start();
  setenv("ZOK_TEST_CRASH_AT", "Re_OnUnload", 1);
  setenv("ZOK_TEST_CRASH_KIND", "exception", 1);
  const std::vector<std::string> before = Record();
  const auto inits_before = std::count(before.begin(), before.end(), "init");
  module.Switch(1);
  EXPECT_FALSE(module.InService());
  const std::vector<std::string> record = Record();
  EXPECT_EQ(std::count(record.begin(), record.end(), "init"), inits_before);
}

TEST_F(ModuleHostTest, FloatingPointExceptionsAreMaskedOnceAModuleStarted) {
  feenableexcept(FE_DIVBYZERO);
  Start();
  volatile double zero = 0.0;
  volatile double result = 1.0 / zero;  // would raise SIGFPE while unmasked
  EXPECT_TRUE(std::isinf(result));
  EXPECT_EQ(fegetexcept() & FE_DIVBYZERO, 0);
}

}  // namespace
