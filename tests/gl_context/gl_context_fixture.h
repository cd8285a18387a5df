// A real OpenGL context for tests: the fixture starts its own Xvfb, opens an
// SDL window with a GL context the way the host does (library first, then
// the window), and binds the module through the host's real host functions.
// Without Xvfb the tests are skipped.
#pragma once

#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/display/gl_host.h"
#include "host/modules/host_functions.h"
#include "host/platform/gl_library.h"
#include "module/gl/gl_binding.h"
#include "module/gl/gl_functions.h"
#include "module/runtime/host_functions.h"
#include "support/temp_dir.h"

extern char** environ;

namespace gl_context_testing {

inline std::string FindOnPath(const std::string& program) {
  const char* path = getenv("PATH");
  std::stringstream directories(path != nullptr ? path : "");
  for (std::string directory; std::getline(directories, directory, ':');) {
    const std::string candidate = directory + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// An Xvfb on a display of its own. -displayfd makes the server write the
// display number once it accepts connections, or close the pipe when it
// gives up (the number is taken, say).
class XvfbServer {
 public:
  ~XvfbServer() { Stop(); }

  bool Start(std::string& why) {
    const std::string xvfb = FindOnPath("Xvfb");
    if (xvfb.empty()) {
      why = "Xvfb is not installed";
      return false;
    }
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 8; ++attempt) {
      const int display = std::uniform_int_distribution<int>(100, 30000)(random);
      if (TryDisplay(xvfb, display)) {
        display_ = ":" + std::to_string(display);
        return true;
      }
    }
    why = "Xvfb would not start";
    return false;
  }

  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
    if (ready_fd_ >= 0) close(ready_fd_);
    ready_fd_ = -1;
  }

  const std::string& Display() const { return display_; }

 private:
  bool TryDisplay(const std::string& xvfb, int display) {
    int ready[2];
    if (pipe(ready) != 0) return false;
    const std::string number = ":" + std::to_string(display);
    const std::string fd = std::to_string(ready[1]);
    std::vector<std::string> args = {"Xvfb",      number, "-screen",    "0", "512x512x24",
                                     "-nolisten", "tcp",  "-displayfd", fd};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, xvfb.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
      close(ready[0]);
      return false;
    }
    pid_ = pid;
    // The pipe stays open while the server runs: it may write to it again,
    // and a closed pipe would kill it.
    ready_fd_ = ready[0];
    const bool started = WaitForReady(ready_fd_);
    if (!started) Stop();
    return started;
  }

  static bool WaitForReady(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    if (poll(&waiting, 1, 15000) <= 0) return false;
    char text[16];
    return read(fd, text, sizeof text) > 0;  // end of file: the server gave up
  }

  pid_t pid_ = -1;
  int ready_fd_ = -1;
  std::string display_;
};

// One context per test suite, in a window of Size x Size pixels.
template <int Size>
class GlContextFixture : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    saved_ = Host();
    Host().working_directory = log_dir_.Path();
    if (!xvfb_.Start(skip_reason_)) return;
    setenv("DISPLAY", xvfb_.Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);  // llvmpipe, whatever the machine has
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      skip_reason_ = std::string("SDL video: ") + SDL_GetError();
      return;
    }
    // The library comes first: SDL's GL window needs it loaded.
    try {
      LoadGLLibrary("libGL.so.1");
    } catch (const EDying&) {
      skip_reason_ = "libGL.so.1 did not load";
      return;
    }
    window_ = SDL_CreateWindow("gl", 0, 0, kSize, kSize, SDL_WINDOW_OPENGL);
    context_ = window_ != nullptr ? SDL_GL_CreateContext(window_) : nullptr;
    if (context_ == nullptr) {
      skip_reason_ = std::string("no GL context: ") + SDL_GetError();
      return;
    }
    host::BindAll(&HostLookup);
  }

  static void TearDownTestSuite() {
    gl::ClearGL();
    host::UnbindAll();
    if (context_ != nullptr) SDL_GL_DeleteContext(context_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    context_ = nullptr;
    window_ = nullptr;
    UnloadGLLibrary();
    SDL_Quit();
    xvfb_.Stop();
    Host() = saved_;
  }

  void SetUp() override {
    if (context_ == nullptr) GTEST_SKIP() << skip_reason_;
    gl::ClearGL();
    gl::BindGL();
  }

  static constexpr int kSize = Size;
  static inline XvfbServer xvfb_;
  static inline std::string skip_reason_;
  static inline TempDir log_dir_;
  static inline THostGlobals saved_;
  static inline SDL_Window* window_ = nullptr;
  static inline SDL_GLContext context_ = nullptr;
};

}  // namespace gl_context_testing
