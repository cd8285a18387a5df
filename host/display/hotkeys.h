// Hot keys: key combinations the host acts on itself before a press
// reaches the module. They are read once, at start-up, from section main of
// the own INI, the value being key codes separated by commas.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TCLWindow;
class TConsoleControl;

// Codes of the window's key-down table (-5 ... 255): all but the last are
// held, the last is the key whose press fires. An empty list never fires.
using THotkey = std::vector<int32_t>;

constexpr int32_t kModuleHotkeyCount = 10;

struct THotkeyTable {
  THotkey abort;
  std::array<THotkey, kModuleHotkeyCount> modules;  // module 1 first
  THotkey console_toggle;
  THotkey console_scroll_up;
  THotkey console_scroll_down;
};

// What one press does.
struct THotkeyAction {
  enum class Kind {
    PassToModule,
    Abort,
    SwitchModule,
    ToggleConsole,
    ScrollConsoleUp,
    ScrollConsoleDown
  };
  Kind kind = Kind::PassToModule;
  int32_t module = 0;  // 1 ... 10, for SwitchModule
};

// "Module_" + n + "_Hotkey".
std::string ModuleHotkeyName(int32_t n);

// The codes of the key in section main; none when it is absent or empty.
// An item that is not a code of the key-down table is fatal
// (MI_INVALID_HOST_HOTKEY_RECORD).
THotkey ReadHotkey(const std::string& key_name);
// Reads all fourteen into the table the window's presses go through.
void ReadHotkeys();
const THotkeyTable& Hotkeys();
void SetHotkeysForTests(const THotkeyTable& table);

bool HotkeyMatches(const TCLWindow& window, int32_t key, const THotkey& codes);

// The first matching hot key decides; the scroll keys count only while
// the console is open.
THotkeyAction FindHotkeyAction(const THotkeyTable& table, const TCLWindow& window, int32_t key,
                               bool console_open);

// The window's press: the hot key's action, or the key goes to the module.
// Without a console the console hot keys do nothing.
void HandleHotkeys(const TCLWindow& window, int32_t key, TConsoleControl* console);
