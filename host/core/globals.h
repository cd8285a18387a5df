// Process-wide values of the host, set during start-up and read by many
// subsystems. One thread uses them; nothing here is synchronised.
#pragma once

#include <cstdint>
#include <string>

class TConfigManager;
class TMessageContainer;
class TConsole;

struct THostGlobals {
  double start_time = 0;      // days since 1899-12-30, local time
  uint32_t start_tick = 0;    // milliseconds
  int64_t start_mono_ns = 0;  // monotonic, for elapsed times

  std::string program_directory;  // absolute, ends with '/'
  std::string program_name;       // file name without extension, upper case
  std::string program_file_stem;  // file name without extension, case as on disk
  std::string working_directory;  // absolute, ends with '/'
  std::string launch_directory;   // the current directory the host was started in
  std::string base_path;          // absolute directories, end with '/'
  std::string session_path;
  std::string save_path;

  bool debug_mode = false;
  bool developer_mode = false;
  bool alive = true;
  bool second_instance = false;
  bool owns_instance_lock = false;
  bool container_ready = false;
};

THostGlobals& Host();

// Process-wide objects; null while they do not exist.
extern TConfigManager* g_config;
extern TMessageContainer* g_messages;
extern TConsole* g_console;
