#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "host/platform/message_box.h"
#include "support/scoped_env.h"

namespace {

using platform::BoxIcon;

TEST(PlatformMessageBox, WithoutDialogsWritesCaptionAndTextToStderr) {
  ScopedEnv no_dialogs("ZOK_NO_DIALOGS", "1");
  struct Case {
    BoxIcon icon;
    std::string caption, text, shown;
  };
  const Case cases[] = {
      {BoxIcon::Error, "Zokwerk crashed at startup!", "Cannot open the INI file",
       "Cannot open the INI file"},
      // The engine's "\n\r" line breaks reach the terminal as plain "\n".
      {BoxIcon::Information, "Info", "two\n\rlines\n\r\n\rend", "two\nlines\n\nend"},
      {BoxIcon::Warning, "Warnung \xc3\xbc", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    testing::internal::CaptureStderr();
    platform::ShowMessageBox(c.icon, c.caption, c.text);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.caption + "\n" + c.shown + "\n");
  }
}

TEST(PlatformMessageBox, DialogsEnabled) {
  struct Case {
    const char* no_dialogs;  // null: unset
    const char* display;
    const char* wayland;
    bool enabled;
  };
  const Case cases[] = {
      {"1", ":0", "wayland-0", false},       {"1", nullptr, nullptr, false},
      {nullptr, nullptr, nullptr, false},    {nullptr, "", "", false},
      {"0", nullptr, nullptr, false},        {nullptr, ":0", nullptr, true},
      {nullptr, nullptr, "wayland-0", true}, {"0", ":0", nullptr, true},
      {"", "", "wayland-0", true},
  };
  for (const Case& c : cases) {
    ScopedEnv a("ZOK_NO_DIALOGS", c.no_dialogs);
    ScopedEnv b("DISPLAY", c.display);
    ScopedEnv d("WAYLAND_DISPLAY", c.wayland);
    EXPECT_EQ(platform::DialogsEnabled(), c.enabled)
        << "ZOK_NO_DIALOGS=" << (c.no_dialogs ? c.no_dialogs : "(unset)")
        << " DISPLAY=" << (c.display ? c.display : "(unset)")
        << " WAYLAND_DISPLAY=" << (c.wayland ? c.wayland : "(unset)");
  }
}

TEST(PlatformMessageBox, BeepIsSilentWithoutDialogs) {
  ScopedEnv no_dialogs("ZOK_NO_DIALOGS", "1");
  testing::internal::CaptureStderr();
  platform::Beep();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
