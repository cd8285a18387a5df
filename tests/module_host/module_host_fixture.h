// A host brought up in-process around a temporary tree: configuration,
// the shipped English texts, a console that catches every log line, and
// the test modules copied into <tree>/modules/.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/core/quit_request.h"
#include "host/messages/cl_console.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_module.h"
#include "host/platform/fault_guard.h"
#include "shared/text_codes.h"
#include "support/temp_dir.h"

class ModuleHostTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::InstallFaultHandlers(nullptr);
    saved_ = Host();
    ResetLogStateForTests();
    ClearQuitRequestForTests();
    for (const char* name : {"ZOK_TEST_CRASH_AT", "ZOK_TEST_CRASH_KIND"}) unsetenv(name);
    setenv("ZOK_TEST_RECORD_FILE", (tree_ / "record.txt").c_str(), 1);

    std::filesystem::create_directories(tree_ / "modules");
    for (const auto& entry : std::filesystem::directory_iterator(ZOK_TEST_MODULE_DIR)) {
      if (entry.path().extension() == ".so") {
        const std::string copy = tree_ / ("modules/" + entry.path().filename().string());
        std::filesystem::copy_file(entry.path(), copy);
        // A pristine copy for tests that overwrite the library.
        std::filesystem::copy_file(entry.path(), copy + ".orig");
      }
    }
    WriteIni(
        "[modules]\n1=modules/zok_test_module.so\n3=modules/not_there.so\n"
        "PutRecompiledModulesTo_linux=copies/\nCheckIfModulesAreRecompiledPeriod=500\n");
    tree_.Write("config.ini", "[session]\nMostRecentUsedModule=1\n");

    THostGlobals& host = Host();
    host.program_directory = tree_.Path();
    host.working_directory = tree_.Path();
    host.launch_directory = tree_.Path();
    host.base_path = tree_.Path();
    host.session_path = tree_ / "sessions/";
    host.save_path = tree_ / "saves/";
    host.second_instance = false;
    host.debug_mode = true;
    host.developer_mode = false;

    g_console = &console_;
    g_messages = &texts_;
    host.container_ready = true;
  }

  void TearDown() override {
    module_.reset();
    g_module = nullptr;
    config_.reset();
    g_config = nullptr;
    g_messages = nullptr;
    g_console = nullptr;
    unsetenv("ZOK_TEST_RECORD_FILE");
    ResetLogStateForTests();
    ClearQuitRequestForTests();
    Host() = saved_;
  }

  // The own INI; [main] is added so the configuration is complete.
  void WriteIni(const std::string& sections) {
    tree_.Write("zokhost.ini", "[main]\ndebugmode=1\n" + sections);
  }

  // Creates the configuration and the module manager, which loads.
  TModule& Start(std::vector<std::string> arguments = {}) {
    config_ = std::make_unique<TConfigManager>(tree_ / "zokhost.ini");
    g_config = config_.get();
    config_->AttachConfigFiles();
    module_ = std::make_unique<TModule>(std::move(arguments));
    g_module = module_.get();
    return *module_;
  }

  // Every console line so far, as one text: the messages as they were
  // logged, without the console's line marks.
  std::string Console() const {
    std::string all;
    for (int i = 0; i < console_.LineCount(); ++i) {
      std::string line = console_.Line(i);
      if (!line.empty() && (line[0] == kConsoleLineMarker || line[0] == kConsoleContinuation)) {
        line.erase(0, 1);
      }
      // A message of several lines was split at its carriage returns.
      if (!line.empty() && line.back() == kConsoleContinuation) line.back() = '\r';
      all += line;
    }
    return all;
  }
  bool ConsoleHas(TMessageID id, TMsgArgs args) const {
    return Console().find(WideToCp1251(FormatMessage(id, args))) != std::string::npos;
  }
  // The fixed start of a message's text, up to its first placeholder.
  bool ConsoleHasStartOf(TMessageID id) const {
    const std::string text = WideToCp1251(GetMessageText(id));
    return Console().find(text.substr(0, text.find('%'))) != std::string::npos;
  }
  std::vector<std::string> Record() const {
    std::vector<std::string> lines;
    std::string text = tree_.Read("record.txt");
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }

  TempDir tree_;
  TConsole console_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  std::unique_ptr<TConfigManager> config_;
  std::unique_ptr<TModule> module_;
  THostGlobals saved_;
};
