#include "host/display/hotkeys.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/core/quit_request.h"
#include "host/core/text_utils.h"
#include "host/display/cl_window.h"
#include "host/display/console_control.h"
#include "host/messages/log.h"
#include "host/modules/cl_module.h"
#include "shared/zok_protocol.h"

namespace {

constexpr const char* kSection = "main";
// The key-down table's range: a code outside it could never be held.
constexpr int32_t kLowestKeyCode = -5;
constexpr int32_t kHighestKeyCode = 255;

THotkeyTable& Table() {
  static THotkeyTable table;
  return table;
}

// A decimal key code with optional blanks around it.
bool ParseKeyCode(std::string_view item, int32_t& code) {
  const size_t begin = item.find_first_not_of(" \t");
  if (begin == item.npos) return false;
  item = item.substr(begin, item.find_last_not_of(" \t") - begin + 1);
  const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), code);
  return error == std::errc() && end == item.data() + item.size() && code >= kLowestKeyCode &&
         code <= kHighestKeyCode;
}

}  // namespace

std::string ModuleHotkeyName(int32_t n) {
  return "Module_" + std::to_string(n) + "_Hotkey";
}

THotkey ReadHotkey(const std::string& key_name) {
  const std::string value = g_config->ReadString(kSection, key_name);
  THotkey codes;
  for (int n = 1;; ++n) {
    const std::string item = ExtractWord(value, n, ",");
    if (item.empty()) break;
    int32_t code = 0;
    if (!ParseKeyCode(item, code)) {
      FatalError(MI_INVALID_HOST_HOTKEY_RECORD, {kSection, key_name, value});
    }
    codes.push_back(code);
  }
  return codes;
}

void ReadHotkeys() {
  THotkeyTable table;
  table.abort = ReadHotkey("Abort_Hotkey");
  table.console_toggle = ReadHotkey("Console_Toggle_Hotkey");
  table.console_scroll_up = ReadHotkey("Console_Scroll_Up_Hotkey");
  table.console_scroll_down = ReadHotkey("Console_Scroll_Down_Hotkey");
  for (int32_t n = 1; n <= kModuleHotkeyCount; ++n) {
    table.modules[n - 1] = ReadHotkey(ModuleHotkeyName(n));
  }
  Table() = std::move(table);
}

const THotkeyTable& Hotkeys() {
  return Table();
}

void SetHotkeysForTests(const THotkeyTable& table) {
  Table() = table;
}

bool HotkeyMatches(const TCLWindow& window, int32_t key, const THotkey& codes) {
  if (codes.empty()) return false;
  for (size_t i = 0; i + 1 < codes.size(); ++i) {
    if (!window.IsKeyDown(codes[i])) return false;
  }
  return codes.back() == key;
}

THotkeyAction FindHotkeyAction(const THotkeyTable& table, const TCLWindow& window, int32_t key,
                               bool console_open) {
  using Kind = THotkeyAction::Kind;
  const auto matches = [&](const THotkey& codes) { return HotkeyMatches(window, key, codes); };
  if (matches(table.abort)) return {Kind::Abort};
  for (int32_t n = 1; n <= kModuleHotkeyCount; ++n) {
    if (matches(table.modules[n - 1])) return {Kind::SwitchModule, n};
  }
  if (matches(table.console_toggle)) return {Kind::ToggleConsole};
  if (console_open) {
    if (matches(table.console_scroll_up)) return {Kind::ScrollConsoleUp};
    if (matches(table.console_scroll_down)) return {Kind::ScrollConsoleDown};
  }
  return {Kind::PassToModule};
}

void HandleHotkeys(const TCLWindow& window, int32_t key, TConsoleControl* console) {
  const THotkeyAction action =
      FindHotkeyAction(Table(), window, key, console != nullptr && console->IsOpen());
  switch (action.kind) {
    case THotkeyAction::Kind::Abort:
      RequestQuit();
      VerboseLog("Hot keys pressed - exit requested.");
      return;
    case THotkeyAction::Kind::SwitchModule:
      if (g_module) g_module->Switch(action.module);
      return;
    case THotkeyAction::Kind::ToggleConsole:
      if (console) console->SetOpen(!console->IsOpen());
      return;
    case THotkeyAction::Kind::ScrollConsoleUp:  // only found with an open console
      console->ScrollBy(1);
      return;
    case THotkeyAction::Kind::ScrollConsoleDown:
      console->ScrollBy(-1);
      return;
    case THotkeyAction::Kind::PassToModule:
      if (g_module) g_module->Dispatch(Re_OnPress, key, 0, 0);
      return;
  }
}
