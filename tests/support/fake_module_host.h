// A stand-in for the host functions a module object uses: zok-files and
// the working directory in memory, configuration values, frame times, and
// a record of the calls whose order matters (texture sweeps, file writes
// and renames). Failures the host would report are thrown.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "module/runtime/host_functions.h"
#include "module/runtime/module_report.h"
#include "support/persistence_harness.h"

namespace module_test {

struct TFakeFile {
  std::string data;
  int32_t kind = 0;
  uint64_t stamp = 0;
};

struct TFakeModuleHost {
  std::map<std::string, TFakeFile> files;
  std::map<std::string, int32_t> config;  // "section/key"
  std::deque<float> frame_times;
  std::vector<std::string> calls;
  uint64_t run_stamp = 7;
  bool fail_replace = false;
  bool fail_write = false;  // the host fails a write and closes the file, as on a full disk
  bool open = false;

  std::string writing_name;
  TFakeFile writing;
  std::vector<uint8_t> buffer = std::vector<uint8_t>(256);
  const TFakeFile* reading = nullptr;
  size_t read_offset = 0;

  static TFakeModuleHost& Get() {
    static TFakeModuleHost host;
    return host;
  }
  void Reset() { *this = TFakeModuleHost(); }
  // Every option has a valid value; tests change single ones.
  void SetDefaultConfig() { config["general/tumbnail_is_powers_of_2_smaller"] = 1; }

  static void Bind();
};

inline void TFakeModuleHost::Bind() {
  host::AddLogSuccess = [] { persistence_test::LogLines().push_back(u"SUCCESS"); };
  host::FileExistsInWorkingDir = [](const char* name) -> int32_t {
    return Get().files.count(name) != 0 ? 1 : 0;
  };
  host::ReplaceFileInWorkingDir = [](const char* from, const char* to) {
    TFakeModuleHost& h = Get();
    h.calls.push_back(std::string("replace ") + from + " " + to);
    const auto found = h.files.find(from);
    if (h.fail_replace || found == h.files.end()) throw std::runtime_error("rename failed");
    h.files[to] = found->second;
    h.files.erase(std::string(from));
  };
  host::ZokFileBeginWrite = [](const char* name, int32_t kind) {
    TFakeModuleHost& h = Get();
    h.calls.push_back(std::string("write ") + name);
    h.writing_name = name;
    h.writing = TFakeFile{{}, kind, h.run_stamp};
    h.open = true;
  };
  host::ZokFileWriteBuffer = [](int32_t* size) -> void* {
    *size = static_cast<int32_t>(Get().buffer.size());
    return Get().buffer.data();
  };
  host::ZokFileWrite = [](int32_t size) {
    TFakeModuleHost& h = Get();
    if (h.fail_write) {
      h.writing_name.clear();
      h.open = false;
      throw std::runtime_error("No space left on device");
    }
    h.writing.data.append(reinterpret_cast<const char*>(h.buffer.data()),
                          static_cast<size_t>(size));
  };
  host::ZokFileBeginRead = [](const char* name, uint8_t* kind) {
    TFakeModuleHost& h = Get();
    const auto found = h.files.find(name);
    if (found == h.files.end()) throw std::runtime_error("no such zok-file");
    h.reading = &found->second;
    h.read_offset = 0;
    h.open = true;
    if (kind != nullptr) *kind = static_cast<uint8_t>(found->second.kind);
  };
  host::ZokFileRead = [](int32_t* size) -> void* {
    TFakeModuleHost& h = Get();
    const size_t left = h.reading->data.size() - h.read_offset;
    *size = static_cast<int32_t>(left);
    if (left == 0) return nullptr;
    void* chunk = const_cast<char*>(h.reading->data.data() + h.read_offset);
    h.read_offset += left;
    return chunk;
  };
  host::ZokFileEnd = [](int32_t, const char*) {
    TFakeModuleHost& h = Get();
    if (!h.open) throw std::logic_error("Attempt to close the already closed zok-file.");
    h.open = false;
    if (!h.writing_name.empty()) h.files[h.writing_name] = h.writing;
    h.writing_name.clear();
    h.reading = nullptr;
  };
  host::ZokFileReadStamp = []() -> uint64_t {
    return Get().reading != nullptr ? Get().reading->stamp : 0;
  };
  host::RunStamp = []() -> uint64_t { return Get().run_stamp; };
  host::ClearTextureMarks = [] { Get().calls.push_back("ClearTextureMarks"); };
  host::DeleteMarkedTextures = [] { Get().calls.push_back("DeleteMarkedTextures"); };
  host::FrameTime = []() -> float {
    TFakeModuleHost& h = Get();
    if (h.frame_times.empty()) return 0.0f;
    const float time = h.frame_times.front();
    h.frame_times.pop_front();
    return time;
  };
  host::ConfigReadIntegerInRange = [](const char* section, const char* key, int32_t lowest,
                                      int32_t highest) -> int32_t {
    const std::string name = std::string(section) + "/" + key;
    const auto found = Get().config.find(name);
    const int32_t value = found != Get().config.end() ? found->second : 0;
    if (value < lowest || value > highest) {
      ModuleFatalErrorText(WideText("MI_ERROR_INVALID_CONFIG_PARAMETER(" + name + ")"));
    }
    return value;
  };
}

}  // namespace module_test
