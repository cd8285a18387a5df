// Build-time tool: turns a UTF-8 language text into the UTF-16 form the
// host reads. The texts are edited as UTF-8 so that they diff and review
// well; the host wants little-endian UTF-16 with a byte-order mark and
// lines that end at a carriage return.
//
// Usage: zok_utf16_text <input.txt> <output.txt>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

struct DecodeError {
  size_t line = 0;
  std::string what;
};

// One code point from the UTF-8 text at pos, or nullopt when the bytes there
// are not well-formed UTF-8 (overlong forms, surrogates and values above
// U+10FFFF included), so that a mangled source fails the build instead of
// shipping garbage.
std::optional<char32_t> DecodeCodePoint(const std::string& text, size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int tail = 0;
  char32_t value = 0;
  char32_t lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    tail = 1;
    value = lead & 0x1F;
    lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    tail = 2;
    value = lead & 0x0F;
    lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    tail = 3;
    value = lead & 0x07;
    lowest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (pos + tail >= text.size()) return std::nullopt;  // truncated sequence
  for (int i = 1; i <= tail; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3F);
  }
  if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  pos += tail + 1;
  return value;
}

void AppendUnit(std::string& out, char16_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x10000) {
    AppendUnit(out, static_cast<char16_t>(cp));
    return;
  }
  cp -= 0x10000;
  AppendUnit(out, static_cast<char16_t>(0xD800 + (cp >> 10)));
  AppendUnit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// The whole output file as bytes. A leading UTF-8 byte-order mark is dropped
// (the output gets its own), and "\r\n" counts as one line end so that a
// source saved with DOS line ends does not gain an empty line per line.
std::string ConvertToUtf16(const std::string& utf8, DecodeError& error) {
  std::string out;
  AppendUnit(out, u'\uFEFF');
  size_t pos = utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  size_t line = 1;
  while (pos < utf8.size()) {
    const std::optional<char32_t> cp = DecodeCodePoint(utf8, pos);
    if (!cp) {
      error = {line, "malformed UTF-8"};
      return {};
    }
    if (*cp == U'\r' && pos < utf8.size() && utf8[pos] == '\n') continue;
    if (*cp == U'\n') {
      AppendUnit(out, u'\r');
      ++line;
    }
    AppendCodePoint(out, *cp);
  }
  return out;
}

bool ReadWholeFile(const char* path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteWholeFile(const char* path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <input UTF-8 text> <output UTF-16 text>\n", argv[0]);
    return 2;
  }
  std::string utf8;
  if (!ReadWholeFile(argv[1], utf8)) {
    std::fprintf(stderr, "%s: cannot read the file\n", argv[1]);
    return 1;
  }
  DecodeError error;
  const std::string utf16 = ConvertToUtf16(utf8, error);
  if (!error.what.empty()) {
    std::fprintf(stderr, "%s:%zu: %s\n", argv[1], error.line, error.what.c_str());
    return 1;
  }
  if (!WriteWholeFile(argv[2], utf16)) {
    std::fprintf(stderr, "%s: cannot write the file\n", argv[2]);
    std::remove(argv[2]);
    return 1;
  }
  return 0;
}
