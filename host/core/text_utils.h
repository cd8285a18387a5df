// Small 8-bit text operations.
#pragma once

#include <string>
#include <string_view>

// Every occurrence of pattern replaced. The search continues after the
// inserted text, so a replacement that contains the pattern terminates; an
// empty pattern leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement);

// Word n (from 1) of text split by any of the delimiter characters; empty
// items between consecutive delimiters are not words. Empty when there is
// no word n.
std::string ExtractWord(std::string_view text, int n, std::string_view delimiters);

// The bytes up to the first zero; empty for null.
std::string TextFromCString(const char* buffer);
