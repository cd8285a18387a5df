// A module for the tests. It records what it receives into the file named
// by ZOK_TEST_RECORD_FILE and crashes on request: ZOK_TEST_CRASH_AT names
// the point ("init" or an event such as "Re_OnCycle"), ZOK_TEST_CRASH_KIND
// the way (exception, null, divzero, abort, recursion, hostfatal).
// ZOK_TEST_SWITCH_MODE="W H R" asks the host for that video mode at the
// first frame; ZOK_TEST_CLEAR_COLOUR="R G B" clears every frame to that
// colour (0 to 255), so that tests know what the module draws.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "module/runtime/host_functions.h"
#include "module/runtime/module_entry.h"
#include "module/runtime/module_hooks.h"

#define ZOK_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

THostLookup g_real_lookup = nullptr;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

void Record(const std::string& line) {
  const std::string file = Environment("ZOK_TEST_RECORD_FILE");
  if (file.empty()) return;
  if (FILE* out = std::fopen(file.c_str(), "a")) {
    std::fputs((line + "\n").c_str(), out);
    std::fclose(out);
  }
}

[[maybe_unused]] int32_t RecordingLookup(int32_t index, void** slot) {
  Record("lookup " + std::to_string(index));
  return g_real_lookup(index, slot);
}

// Recursion without end, on purpose: the stack overflow is the test.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + frame[0];
}
#pragma GCC diagnostic pop

void CrashIfAskedAt(const std::string& point) {
  if (Environment("ZOK_TEST_CRASH_AT") != point) return;
  const std::string kind = Environment("ZOK_TEST_CRASH_KIND");
  Record("crash " + kind);
  if (kind == "exception") throw std::runtime_error("the test module failed on purpose");
  if (kind == "null") *static_cast<volatile int*>(nullptr) = 1;
  if (kind == "divzero") {
    // Both operands volatile: g++ turns 1 / x into a comparison otherwise.
    volatile int one = 1;
    volatile int zero = 0;
    volatile int result = one / zero;
    (void)result;
  }
  if (kind == "abort") std::abort();
  if (kind == "recursion") Recurse(0);
  if (kind == "hostfatal") host::FatalErrorText(u"The test module gave up.");
}

}  // namespace

#ifndef ZOK_TEST_NO_SETCALLBACK
ZOK_EXPORT void setcallback(THostLookup lookup) {
  g_real_lookup = lookup;
  ModuleSetCallback(&RecordingLookup);
}
#endif

ZOK_EXPORT void zokmoduleinit(const char* module_path, const char* session_path,
                              const char* save_path) {
  Record("init");
  ModuleInit(module_path, session_path, save_path);
}

ZOK_EXPORT int32_t sendmsg(int32_t code, int32_t a, int32_t b, int32_t c) {
  return ModuleSendMessage(code, a, b, c);
}

void ModuleStart(const std::string& module_path, const std::string& session_path,
                 const std::string& save_path) {
  Record("start " + module_path + " " + session_path + " " + save_path);
  CrashIfAskedAt("init");
}

void SwitchModeOnceIfAsked() {
  static bool done = false;
  const std::string mode = Environment("ZOK_TEST_SWITCH_MODE");
  if (done || mode.empty()) return;
  done = true;
  int width = 0, height = 0, rate = 0;
  if (std::sscanf(mode.c_str(), "%d %d %d", &width, &height, &rate) == 3) {
    host::SwitchVideoMode(width, height, rate);
    Record("switched " + std::to_string(host::IsFullscreen()) + " " +
           std::to_string(host::ScreenWidth()) + "x" + std::to_string(host::ScreenHeight()));
  }
}

void ClearIfAsked() {
  static int red = -1, green = 0, blue = 0;
  static void (*clear_colour)(float, float, float, float) = nullptr;
  static void (*clear)(uint32_t) = nullptr;
  if (red < 0) {
    const std::string colour = Environment("ZOK_TEST_CLEAR_COLOUR");
    if (colour.empty() || std::sscanf(colour.c_str(), "%d %d %d", &red, &green, &blue) != 3) {
      return;
    }
    clear_colour = reinterpret_cast<void (*)(float, float, float, float)>(
        host::GetGLProcAddress("glClearColor"));
    clear = reinterpret_cast<void (*)(uint32_t)>(host::GetGLProcAddress("glClear"));
  }
  if (clear_colour == nullptr || clear == nullptr) return;
  clear_colour(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
  clear(0x4100);  // colour and depth
}

int32_t ModuleMessageHandler(int32_t code, int32_t a, int32_t b, int32_t c) {
  const std::string name = CbMessageName(code);
  if (code == Re_OnCycle) {
    SwitchModeOnceIfAsked();
    ClearIfAsked();
  }
  Record("event " + name + " " + std::to_string(a) + " " + std::to_string(b) + " " +
         std::to_string(c));
  CrashIfAskedAt(name);
  return code == Re_OnResize || code == Re_OnType || code == Re_OnCreate ? 0 : 1;
}
