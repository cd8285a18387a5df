#include "host/core/text_utils.h"

#include <algorithm>

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement) {
  std::string result(text);
  if (pattern.empty()) return result;
  size_t from = 0;
  while ((from = result.find(pattern, from)) != std::string::npos) {
    result.replace(from, pattern.size(), replacement);
    from += replacement.size();
  }
  return result;
}

std::string ExtractWord(std::string_view text, int n, std::string_view delimiters) {
  auto is_delimiter = [&](char c) { return delimiters.find(c) != std::string_view::npos; };
  int count = 0;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && is_delimiter(text[i])) ++i;
    if (i == text.size()) break;
    const size_t start = i;
    while (i < text.size() && !is_delimiter(text[i])) ++i;
    if (++count == n) return std::string(text.substr(start, i - start));
  }
  return {};
}

std::string TextFromCString(const char* buffer) {
  return buffer ? std::string(buffer) : std::string();
}
