#include "host/platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

bool OpenWithShell(const std::string& target) {
  std::string program = "xdg-open";
  std::string argument = target;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  // Reaped at once when it is quick; otherwise it finishes on its own.
  waitpid(child, nullptr, WNOHANG);
  return true;
}

}  // namespace platform
