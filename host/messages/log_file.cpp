#include "host/messages/log_file.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "host/platform/file_system.h"

void WriteLogEntry(const std::string& path, const std::u16string& text, LogWrite kind) {
  const int64_t bytes = platform::FileSize(path);
  std::fstream file;
  int64_t position_units = 1;  // right after the byte-order mark
  if (bytes < 2) {
    // Missing, or too short to hold the mark: start the file afresh.
    file.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
    const char bom[2] = {'\xFF', '\xFE'};
    file.write(bom, 2);
  } else {
    file.open(path, std::ios::in | std::ios::out | std::ios::binary);
    const int64_t back = kind == LogWrite::NewEntry ? 1 : 2;
    // A BOM-only file gets its entry right after the mark, never before it.
    position_units = std::max<int64_t>(1, bytes / 2 - back);
    file.seekp(position_units * 2);
  }
  if (!file) throw std::runtime_error("Cannot write the log file \"" + path + "\".");

  std::string raw;
  raw.reserve(text.size() * 2);
  for (char16_t unit : text) {
    raw.push_back(static_cast<char>(unit & 0xFF));
    raw.push_back(static_cast<char>(unit >> 8));
  }
  file.write(raw.data(), static_cast<std::streamsize>(raw.size()));
  file.close();
  if (!file) throw std::runtime_error("Cannot write the log file \"" + path + "\".");
}
