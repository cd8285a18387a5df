#include "shared/text_codes.h"

#include <array>
#include <cstdint>

namespace {
constexpr char16_t kCyrillicCapitalA = u'\u0410';
constexpr char16_t kCyrillicSmallYa = u'\u044F';
constexpr char16_t kCyrillicCapitalIo = u'\u0401';
constexpr char16_t kCyrillicSmallIo = u'\u0451';
constexpr uint8_t kByteCapitalA = 192;
constexpr uint8_t kByteCapitalIo = 168;
constexpr uint8_t kByteSmallIo = 184;
constexpr char16_t kReplacement = u'\uFFFD';

constexpr std::array<char16_t, 256> kCp1251ToWide = [] {
  std::array<char16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    if (byte < 0x80) {
      table[byte] = static_cast<char16_t>(byte);
    } else if (byte >= kByteCapitalA) {
      table[byte] = static_cast<char16_t>(kCyrillicCapitalA + (byte - kByteCapitalA));
    } else {
      table[byte] = u'?';
    }
  }
  table[kByteCapitalIo] = kCyrillicCapitalIo;
  table[kByteSmallIo] = kCyrillicSmallIo;
  return table;
}();

char WideUnitToCp1251(char16_t unit) {
  if (unit < 0x80) return static_cast<char>(unit);
  if (unit >= kCyrillicCapitalA && unit <= kCyrillicSmallYa) {
    return static_cast<char>(kByteCapitalA + (unit - kCyrillicCapitalA));
  }
  if (unit == kCyrillicCapitalIo) return static_cast<char>(kByteCapitalIo);
  if (unit == kCyrillicSmallIo) return static_cast<char>(kByteSmallIo);
  return '?';
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out += static_cast<char16_t>(code_point);
    return;
  }
  const char32_t offset = code_point - 0x10000;
  out += static_cast<char16_t>(0xD800 + (offset >> 10));
  out += static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
}

// What a UTF-8 lead byte promises: the sequence length and the allowed range
// of the second byte, which is where overlong forms, encoded surrogates and
// code points above U+10FFFF are told apart.
struct Utf8Lead {
  int length;
  uint8_t second_min;
  uint8_t second_max;
  char32_t payload;
};

bool DescribeLead(uint8_t byte, Utf8Lead& lead) {
  if (byte >= 0xC2 && byte <= 0xDF) {
    lead = {2, 0x80, 0xBF, static_cast<char32_t>(byte & 0x1F)};
  } else if (byte >= 0xE0 && byte <= 0xEF) {
    lead = {3, static_cast<uint8_t>(byte == 0xE0 ? 0xA0 : 0x80),
            static_cast<uint8_t>(byte == 0xED ? 0x9F : 0xBF), static_cast<char32_t>(byte & 0x0F)};
  } else if (byte >= 0xF0 && byte <= 0xF4) {
    lead = {4, static_cast<uint8_t>(byte == 0xF0 ? 0x90 : 0x80),
            static_cast<uint8_t>(byte == 0xF4 ? 0x8F : 0xBF), static_cast<char32_t>(byte & 0x07)};
  } else {
    return false;
  }
  return true;
}
}  // namespace

std::u16string Cp1251ToWide(std::string_view text) {
  std::u16string wide(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    wide[i] = kCp1251ToWide[static_cast<uint8_t>(text[i])];
  }
  return wide;
}

std::string WideToCp1251(std::u16string_view text) {
  std::string narrow(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) narrow[i] = WideUnitToCp1251(text[i]);
  return narrow;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t low = text[++i];
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

// A malformed sequence becomes one U+FFFD for its longest valid beginning,
// and decoding resumes at the first byte that did not fit.
std::u16string Utf8ToWide(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<uint8_t>(text[i++]);
    if (byte < 0x80) {
      out += static_cast<char16_t>(byte);
      continue;
    }
    Utf8Lead lead;
    if (!DescribeLead(byte, lead)) {
      out += kReplacement;
      continue;
    }
    char32_t code_point = lead.payload;
    int taken = 1;
    for (; taken < lead.length && i < text.size(); ++taken) {
      const auto next = static_cast<uint8_t>(text[i]);
      const uint8_t min = taken == 1 ? lead.second_min : 0x80;
      const uint8_t max = taken == 1 ? lead.second_max : 0xBF;
      if (next < min || next > max) break;
      code_point = (code_point << 6) | (next & 0x3F);
      ++i;
    }
    if (taken == lead.length) {
      AppendUtf16(out, code_point);
    } else {
      out += kReplacement;
    }
  }
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}
