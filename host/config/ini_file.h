// One INI file held in memory: read once when created, written back on
// request. Section and key names compare case-insensitively (ASCII).
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "shared/zok_object.h"

class TIniFile : public TObject {
 public:
  // Reads the whole file; a missing file gives an empty object. Throws
  // std::runtime_error with the system's text when the file exists but
  // cannot be read.
  explicit TIniFile(std::string path);

  const char* ClassName() const override { return "TIniFile"; }
  const std::string& FileName() const { return path_; }

  // The value of key in section, or default_value when either is absent. A
  // key that is present with an empty value gives the empty value.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;

  // Changes the value in memory only. Throws std::invalid_argument for names
  // and values that one INI line cannot hold (line breaks, '=' in a key,
  // ']' in a section name, an empty section or key name).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

  // True while written values have not reached the disk.
  bool Modified() const { return modified_; }

  // Writes the file back when something changed, keeping every line that
  // was not written to, comments included. The old file is replaced only
  // by a complete new one. Throws std::runtime_error on failure.
  void UpdateFile();

 private:
  static constexpr size_t kNoLine = static_cast<size_t>(-1);

  struct Entry {
    std::string key;  // as spelt where it was first seen
    std::string upper_key;
    std::string value;
    size_t line = kNoLine;    // kNoLine: not in the file yet
    size_t value_column = 0;  // where the value starts in that line
    bool changed = false;
  };
  struct Section {
    std::string name;
    std::string upper_name;
    size_t last_line = kNoLine;  // header or last key; kNoLine: not in the file yet
    std::vector<Entry> entries;
  };

  void Parse(std::string_view text);
  void ParseLine(size_t index, Section*& current);
  std::string Render() const;
  Section* FindSection(std::string_view upper_name);
  const Section* FindSection(std::string_view upper_name) const;
  Section& SectionForWrite(std::string_view name);

  std::string path_;
  std::vector<std::string> lines_;  // without their line breaks
  std::deque<Section> sections_;    // in the order they first appear; grows without moving
  bool byte_order_mark_ = false;    // UTF-8 mark before the first line
  bool crlf_ = false;               // the file breaks its lines with "\r\n"
  bool modified_ = false;
};
