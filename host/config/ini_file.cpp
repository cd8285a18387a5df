#include "host/config/ini_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "host/platform/atomic_file.h"
#include "shared/text_codes.h"

namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(kBlanks) - begin + 1);
}

// False for a missing file; throws with the system's text when the file is
// there but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  errno = 0;
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    const int err = errno;
    if (err == ENOENT) return false;
    throw std::runtime_error(std::system_category().message(err));
  }
  char buffer[16 * 1024];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
  if (std::ferror(file.get())) throw std::runtime_error(std::system_category().message(errno));
  return true;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

// Names and values that would not read back as written, or would break the
// file's structure, are refused instead of being stored.
void CheckWritable(std::string_view section, std::string_view key, std::string_view value) {
  const bool bad_section =
      section.empty() || HasLineBreak(section) || section.find(']') != section.npos;
  const bool bad_key = key.empty() || HasLineBreak(key) || key.find('=') != key.npos ||
                       key.find_first_of(";#[") == 0;
  if (bad_section || bad_key || HasLineBreak(value)) {
    throw std::invalid_argument("An INI file cannot hold the value of \"" + std::string(key) +
                                "\" in section \"" + std::string(section) + "\".");
  }
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
  std::string text;
  if (ReadWholeFile(path_, text)) Parse(text);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view default_value) const {
  if (const Section* s = FindSection(AsciiUpper(section))) {
    const std::string upper_key = AsciiUpper(key);
    for (const Entry& e : s->entries) {
      if (e.upper_key == upper_key) return e.value;
    }
  }
  return std::string(default_value);
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  CheckWritable(section, key, value);
  Section& s = SectionForWrite(section);
  const std::string upper_key = AsciiUpper(key);
  for (Entry& e : s.entries) {
    if (e.upper_key != upper_key) continue;
    if (e.value == value) return;
    e.value = value;
    e.changed = true;
    modified_ = true;
    return;
  }
  Entry added;
  added.key = key;
  added.upper_key = upper_key;
  added.value = value;
  added.changed = true;
  s.entries.push_back(std::move(added));
  modified_ = true;
}

void TIniFile::UpdateFile() {
  if (!modified_) return;
  const std::string text = Render();
  std::string error;
  if (!platform::WriteFileAtomically(path_, text, error)) {
    throw std::runtime_error("Cannot write \"" + path_ + "\": " + error);
  }
  // The written text is now the file: take its line numbers afresh.
  Parse(text);
}

void TIniFile::Parse(std::string_view text) {
  lines_.clear();
  sections_.clear();
  modified_ = false;
  byte_order_mark_ = text.starts_with(kUtf8Mark);
  if (byte_order_mark_) text.remove_prefix(kUtf8Mark.size());
  const size_t first_break = text.find('\n');
  crlf_ = first_break != text.npos && first_break > 0 && text[first_break - 1] == '\r';

  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines_.emplace_back(line);
    text.remove_prefix(end == text.npos ? text.size() : end + 1);
  }

  Section* current = nullptr;
  for (size_t i = 0; i < lines_.size(); ++i) ParseLine(i, current);
}

// Keys before the first section header go to a section with an empty name.
// A repeated section continues the first one; a repeated key is ignored, as
// the first value is the one read.
void TIniFile::ParseLine(size_t index, Section*& current) {
  const std::string_view line = lines_[index];
  const size_t begin = line.find_first_not_of(kBlanks);
  if (begin == line.npos || line[begin] == ';' || line[begin] == '#') return;

  if (line[begin] == '[') {
    const size_t close = line.find(']', begin);
    if (close == line.npos) return;
    current = &SectionForWrite(Trim(line.substr(begin + 1, close - begin - 1)));
    current->last_line = index;
    return;
  }

  const size_t equals = line.find('=', begin);
  if (equals == line.npos) return;
  const std::string_view key = Trim(line.substr(begin, equals - begin));
  if (key.empty()) return;
  if (current == nullptr) current = &SectionForWrite("");
  current->last_line = index;

  const std::string upper_key = AsciiUpper(key);
  for (const Entry& e : current->entries) {
    if (e.upper_key == upper_key) return;
  }
  Entry entry;
  entry.key = key;
  entry.upper_key = upper_key;
  const size_t after_equals = line.find_first_not_of(" \t", equals + 1);
  entry.value_column = after_equals == line.npos ? line.size() : after_equals;
  entry.value = Trim(line.substr(entry.value_column));
  entry.line = index;
  current->entries.push_back(std::move(entry));
}

std::string TIniFile::Render() const {
  std::vector<std::string> lines = lines_;
  std::vector<std::vector<std::string>> inserted_after(lines_.size());
  std::vector<std::string> appended;

  for (const Section& s : sections_) {
    const bool new_section = s.last_line == kNoLine;
    if (new_section) {
      if (!appended.empty() || (!lines.empty() && !Trim(lines.back()).empty())) {
        appended.emplace_back();
      }
      appended.push_back("[" + s.name + "]");
    }
    for (const Entry& e : s.entries) {
      if (!e.changed) continue;
      if (e.line != kNoLine) {
        lines[e.line] = lines_[e.line].substr(0, e.value_column) + e.value;
      } else if (new_section) {
        appended.push_back(e.key + "=" + e.value);
      } else {
        inserted_after[s.last_line].push_back(e.key + "=" + e.value);
      }
    }
  }

  const std::string_view line_break = crlf_ ? "\r\n" : "\n";
  std::string text(byte_order_mark_ ? kUtf8Mark : "");
  auto put = [&](const std::string& line) {
    text += line;
    text += line_break;
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    put(lines[i]);
    for (const std::string& line : inserted_after[i]) put(line);
  }
  for (const std::string& line : appended) put(line);
  return text;
}

const TIniFile::Section* TIniFile::FindSection(std::string_view upper_name) const {
  for (const Section& s : sections_) {
    if (s.upper_name == upper_name) return &s;
  }
  return nullptr;
}

TIniFile::Section* TIniFile::FindSection(std::string_view upper_name) {
  return const_cast<Section*>(std::as_const(*this).FindSection(upper_name));
}

TIniFile::Section& TIniFile::SectionForWrite(std::string_view name) {
  const std::string upper_name = AsciiUpper(name);
  if (Section* s = FindSection(upper_name)) return *s;
  Section added;
  added.name = name;
  added.upper_name = upper_name;
  sections_.push_back(std::move(added));
  return sections_.back();
}
