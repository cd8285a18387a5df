// A test whose host configuration is one own INI in a temporary working
// directory, with the shipped English texts, so that fatal errors read as
// the user would see them. The host's globals are restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "support/temp_dir.h"

class OwnIniTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    ResetLogStateForTests();
    Host().working_directory = dir_.Path();
    Host().program_directory = dir_.Path();
    Host().base_path = dir_.Path();
    Host().container_ready = true;
    Host().debug_mode = true;
    Host().second_instance = true;  // no LOG file in the working directory
    g_messages = &texts_;
    g_console = &console_;
  }
  void TearDown() override {
    g_config = nullptr;
    config_.reset();
    g_console = nullptr;
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  void UseOwnIni(const std::string& text) {
    g_config = nullptr;
    dir_.Write("zokhost.ini", text);
    config_ = std::make_unique<TConfigManager>(dir_ / "zokhost.ini");
    g_config = config_.get();
  }

  // Runs action, which must end in a fatal error, and returns the error
  // list's text.
  template <typename F>
  std::u16string FatalText(F&& action) {
    EXPECT_THROW(action(), EDying);
    return JoinErrors();
  }

  bool Logged(const std::string& prefix) const {
    for (int i = 0; i < console_.LineCount(); ++i) {
      if (console_.Line(i).starts_with(kConsoleLineMarker + prefix)) return true;
    }
    return false;
  }

  TempDir dir_;
  TConsole console_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  std::unique_ptr<TConfigManager> config_;
  THostGlobals saved_;
};
