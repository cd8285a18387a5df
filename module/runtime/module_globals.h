// Module-wide values, copied from the host when the module starts. A
// freshly loaded library starts with all of them empty.
#pragma once

#include <string>

struct TModuleGlobals {
  std::string module_path;
  std::string session_path;
  std::string save_path;
  std::string program_directory;
  bool developer_mode = false;
  bool debug_mode = false;  // gates the module's own verbose lines
  bool russian = false;     // selects the module's Russian literal texts
};

TModuleGlobals& Module();
