// The module manager with real module libraries: loading, refusing,
// dispatching, and surviving modules that crash.
#include <fenv.h>

#include <algorithm>

#include "host/modules/host_functions.h"
#include "host/platform/dynamic_library.h"
#include "module_host/module_host_fixture.h"
#include "shared/host_function_table.h"

namespace {

std::vector<std::string> ExpectedLookups() {
  std::vector<std::string> lines;
  for (int32_t index : kHostFunctionBindingOrder)
    lines.push_back("lookup " + std::to_string(index));
  return lines;
}

using ModuleManager = ModuleHostTest;

TEST_F(ModuleManager, BindsAllFunctionsInOrderBeforeAnythingElseAndAgainOnReload) {
  TModule& module = Start();
  ASSERT_TRUE(module.InService()) << Console();
  std::vector<std::string> record = Record();
  ASSERT_GE(record.size(), 60u);
  EXPECT_EQ(record[0], "init");
  const std::vector<std::string> lookups(record.begin() + 1, record.begin() + 59);
  EXPECT_EQ(lookups, ExpectedLookups());
  EXPECT_EQ(record[59],
            "start modules/zok_test_module.so " + tree_ / "sessions/ " + tree_ / "saves/");

  module.Switch(1);
  ASSERT_TRUE(module.InService());
  record = Record();
  const auto second = std::find(record.begin() + 60, record.end(), "init");
  ASSERT_NE(second, record.end());
  EXPECT_EQ(std::vector<std::string>(second + 1, second + 59), ExpectedLookups());
  EXPECT_NE(std::find(record.begin(), second, "event Re_OnUnload 0 0 0"), second);

  size_t version_lines = 0;
  for (size_t at = 0; (at = Console().find("DEMO #1", at)) != std::string::npos; ++at)
    ++version_lines;
  EXPECT_EQ(version_lines, 2u);
}

TEST_F(ModuleManager, DispatchForwardsEventsAndDropsFocusAndCreate) {
  TModule& module = Start();
  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 1);
  EXPECT_EQ(module.Dispatch(Re_OnPress, 57, 0, 0), 1);
  EXPECT_EQ(module.Dispatch(Re_OnMouseMove, 10, 20, 0), 1);
  for (int32_t dropped : {Re_OnGetFocus, Re_OnLoseFocus, Re_OnCreate}) {
    EXPECT_EQ(module.Dispatch(dropped, 0, 0, 0), 0);
  }
  EXPECT_EQ(module.Send(Re_OnCreate, 0, 0, 0), 0);
  const std::vector<std::string> record = Record();
  const std::vector<std::string> events(record.end() - 3, record.end());
  EXPECT_EQ(events, (std::vector<std::string>{"event Re_OnCycle 0 0 0", "event Re_OnPress 57 0 0",
                                              "event Re_OnMouseMove 10 20 0"}));
}

struct RefusedCase {
  const char* name;
  const char* library;
  TMessageID first_error;
  std::vector<std::string> first_arguments;
};

class ModuleManagerRefuses : public ModuleHostTest,
                             public testing::WithParamInterface<RefusedCase> {};

TEST_P(ModuleManagerRefuses, WithItsMessageAndStaysOutOfService) {
  const RefusedCase& c = GetParam();
  WriteIni(std::string("[modules]\n1=modules/") + c.library +
           "\nPutRecompiledModulesTo_linux=copies/\nCheckIfModulesAreRecompiledPeriod=500\n");
  TModule& module = Start();
  EXPECT_FALSE(module.InService());
  std::vector<std::string> arguments = c.first_arguments;
  for (std::string& a : arguments) {
    if (a.rfind("@TREE@", 0) == 0) a = tree_.Path() + a.substr(6);
  }
  const std::vector<TMsgArg> args(arguments.begin(), arguments.end());
  const std::u16string first =
      Format(GetMessageText(c.first_error), args.data(), static_cast<int32_t>(args.size()) - 1);
  EXPECT_NE(Console().find(WideToCp1251(first)), std::string::npos) << Console();
  EXPECT_TRUE(ConsoleHasStartOf(MI_ERROR_CANNOT_LOAD_MODULE) ||
              ConsoleHasStartOf(MI_ERROR_MODULE_CRASHED_AT_LOADING))
      << Console();
  EXPECT_TRUE(ConsoleHasStartOf(MI_DEVMODE_MODULE_UNLOADED)) << Console();
  EXPECT_EQ(module.Dispatch(Re_OnCycle, 0, 0, 0), 0);
  EXPECT_FALSE(platform::DynamicLibrary::IsMapped(tree_ / "copies/" + c.library));
}

INSTANTIATE_TEST_SUITE_P(Cases, ModuleManagerRefuses,
                         testing::Values(RefusedCase{"missing",
                                                     "not_there.so",
                                                     MI_ERROR_MODULE_MISSING,
                                                     {"@TREE@modules/not_there.so"}},
                                         RefusedCase{"no_setcallback",
                                                     "zok_test_module_no_callback.so",
                                                     MI_ERROR_INVALID_MODULE,
                                                     {"zok_test_module_no_callback.so"}},
                                         RefusedCase{"host_0_14",
                                                     "zok_test_module_host_0_14.so",
                                                     MI_VERSIONS_MISMATCH,
                                                     {"0.14.0000", "0.13.0071"}},
                                         RefusedCase{"messages_95",
                                                     "zok_test_module_95_messages.so",
                                                     MI_ERROR_TYPESETS_MISMATCH,
                                                     {"TMessageId"}}),
                         [](const testing::TestParamInfo<RefusedCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
