// What the log says about the machine and about failed system calls.
#pragma once

#include <string>

namespace platform {

// "Linux" and the kernel release, e.g. "Linux 6.1.0-18-amd64".
std::string OsName();

// The system's text for an errno value.
std::string SystemErrorText(int code);

}  // namespace platform
