// The host as the PNG tests need it: libpng loaded, message texts, the
// program folder in a fresh temporary directory, an empty error list.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/core/globals.h"
#include "host/images/cl_libpng.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "support/temp_dir.h"

class PngFixture : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().program_directory = dir_.Path();
    Host().working_directory = dir_.Path();
    ResetLogStateForTests();
    g_messages = &texts_;
    libpng::Load("libpng16.so.16", PNG_LIBPNG_VER_STRING);
  }
  void TearDown() override {
    libpng::Unload();
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  static std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
  }
  // The error list as one text; empties it.
  static std::string Errors() {
    const std::u16string wide = JoinErrors();
    return std::string(wide.begin(), wide.end());
  }

  TempDir dir_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  THostGlobals saved_;
};
