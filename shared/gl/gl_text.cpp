#include "shared/gl/gl_text.h"

#include <climits>
#include <cstring>

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads the decimal digits at text, saturating instead of overflowing;
// leaves text after them.
int ReadNumber(const char*& text) {
  int value = 0;
  for (; IsDigit(*text); ++text) {
    const int digit = *text - '0';
    value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
  }
  return value;
}

}  // namespace

bool ExtensionListed(std::string_view name, const char* text) {
  if (name.empty() || name.find(' ') != std::string_view::npos || text == nullptr) return false;
  const std::string_view list(text, std::strlen(text));
  for (size_t at = list.find(name); at != std::string_view::npos;
       at = list.find(name, at + name.size())) {
    const size_t end = at + name.size();
    const bool starts_word = at == 0 || list[at - 1] == ' ';
    const bool ends_word = end == list.size() || list[end] == ' ';
    if (starts_word && ends_word) return true;
  }
  return false;
}

TGLVersion ParseGLVersion(const char* text) {
  TGLVersion version;
  if (text == nullptr) return version;
  version.major = ReadNumber(text);
  if (*text != '\0') ++text;  // the separator, whatever it is
  version.minor = ReadNumber(text);
  return version;
}
