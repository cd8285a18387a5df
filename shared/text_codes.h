// Conversions between the engine's 8-bit text (ASCII plus the Cyrillic
// letters of Windows-1251) and UTF-16, plus UTF-8 for the outside world.
#pragma once

#include <string>
#include <string_view>

// Table-driven: bytes 0-127 as they are, 192-255 to U+0410-U+044F, 168 to
// U+0401, 184 to U+0451, every other byte to '?'.
std::u16string Cp1251ToWide(std::string_view text);
// The inverse table; every code unit it does not cover becomes '?'.
std::string WideToCp1251(std::u16string_view text);

// UTF-16 <-> UTF-8 for files, terminals and SDL. Unpaired surrogates and
// malformed UTF-8 become U+FFFD.
std::string WideToUtf8(std::u16string_view text);
std::u16string Utf8ToWide(std::string_view text);

// Upper case of the ASCII letters only, as the engine compares names.
std::string AsciiUpper(std::string_view text);
