#include "host/platform/os_info.h"

#include <sys/utsname.h>

#include <system_error>

namespace platform {

std::string OsName() {
  utsname info{};
  if (uname(&info) != 0) return "Linux";
  return std::string("Linux ") + info.release;
}

std::string SystemErrorText(int code) {
  return std::system_category().message(code);
}

}  // namespace platform
