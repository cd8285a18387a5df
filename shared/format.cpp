#include "shared/format.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>

#include "shared/text_codes.h"
#include "shared/zok_object.h"

namespace {
constexpr char16_t kUnknownArgText[] = u"?unknown VarRec type?";
constexpr char16_t kNilText[] = u"NIL";
constexpr char16_t kFormatErrorMarker[] = u" +FORMAT ERROR!! ";

// C strings are engine text (Windows-1251 Cyrillic); a null one reads as
// empty rather than crashing a log line.
std::u16string WidenCString(const char* text) {
  return text != nullptr ? Cp1251ToWide(text) : std::u16string();
}

// Digits are ASCII, which the code table leaves as they are.
template <typename Integer>
std::u16string DecimalText(Integer value) {
  return Cp1251ToWide(std::to_string(value));
}

// "%.15Lg", but free of the process locale's decimal separator.
std::u16string FloatText(long double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return Cp1251ToWide(std::string_view(buffer, result.ptr - buffer));
}

std::u16string PointerText(const void* pointer) {
  if (pointer == nullptr) return kNilText;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*" PRIXPTR "h", static_cast<int>(sizeof(void*) * 2),
                reinterpret_cast<uintptr_t>(pointer));
  return Cp1251ToWide(buffer);
}

std::u16string ClassNameText(const char* name) {
  return name != nullptr ? WidenCString(name) : kNilText;
}

// Counted 8-bit strings carry raw bytes, so each byte becomes the code unit
// of the same value; only C strings go through the Cyrillic table.
std::u16string WidenBytes(const std::string* text) {
  if (text == nullptr) return {};
  std::u16string wide(text->size(), u'\0');
  for (size_t i = 0; i < text->size(); ++i) wide[i] = static_cast<uint8_t>((*text)[i]);
  return wide;
}

std::u16string PlaceholderFor(int32_t index) {
  return u"%" + DecimalText(index);
}

// Continuing after the inserted value keeps a value that contains its own
// placeholder from being replaced forever.
bool ReplaceEveryPlaceholder(std::u16string& text, std::u16string_view placeholder,
                             std::u16string_view value) {
  size_t at = text.find(placeholder);
  if (at == std::u16string::npos) return false;
  while (at != std::u16string::npos) {
    text.replace(at, placeholder.size(), value);
    at = text.find(placeholder, at + value.size());
  }
  return true;
}
}  // namespace

std::u16string ArgToText(const TMsgArg& arg) {
  switch (arg.tag) {
    case TMsgArg::kInteger:
      return DecimalText(arg.integer);
    case TMsgArg::kBoolean:
      return arg.boolean != 0 ? u"true" : u"false";
    case TMsgArg::kChar:
      return Cp1251ToWide(std::string_view(&arg.character, 1));
    case TMsgArg::kExtended:
      return FloatText(arg.extended);
    case TMsgArg::kPointer:
      return PointerText(arg.pointer);
    case TMsgArg::kPChar:
      return WidenCString(arg.pchar);
    case TMsgArg::kObject:
      return arg.object != nullptr ? ClassNameText(arg.object->ClassName()) : kNilText;
    case TMsgArg::kClass:
      return ClassNameText(arg.class_name);
    case TMsgArg::kWideChar:
      return std::u16string(1, arg.wide_char);
    case TMsgArg::kPWideChar:
      return arg.pwide_char != nullptr ? std::u16string(arg.pwide_char) : std::u16string();
    case TMsgArg::kAnsiString:
      return WidenBytes(arg.ansi_string);
    case TMsgArg::kUnicodeString:
      return arg.unicode_string != nullptr ? *arg.unicode_string : std::u16string();
    case TMsgArg::kInt64:
      return DecimalText(arg.int64);
    // The module's currency and variant forms need payloads TMsgArg cannot
    // carry yet, so both builds report them as unknown for now.
    case TMsgArg::kCurrency:
    case TMsgArg::kVariant:
    case TMsgArg::kShortString:
    case TMsgArg::kInterface:
      break;
  }
  return kUnknownArgText;
}

std::u16string Format(std::u16string_view templ, const TMsgArg* args, int32_t highest_index) {
  std::u16string text(templ);
  if (args == nullptr) return text;
  std::u16string errors;
  for (int32_t k = 0; k <= highest_index; ++k) {
    const std::u16string value = ArgToText(args[k]);
    if (!ReplaceEveryPlaceholder(text, PlaceholderFor(k), value)) {
      errors += u"  [" + value + u"]  ";
    }
  }
  if (!errors.empty()) text += kFormatErrorMarker + errors;
  return text;
}

std::u16string Format(std::u16string_view templ, TMsgArgs args) {
  return Format(templ, args.begin(), static_cast<int32_t>(args.size()) - 1);
}

std::u16string FormatMessage(TMessageID id, TMsgArgs args) {
  return Format(GetMessageText(id), args);
}

std::string FormatVersion(int32_t major, int32_t minor, int32_t build) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%d.%.2d.%.4d", major, minor, build);
  return buffer;
}

std::string FormatElapsedSeconds(double days) {
  constexpr double kMillisecondsPerDay = 86400.0 * 1000.0;
  constexpr double kMillisecondsPerMinute = 60.0 * 1000.0;
  if (!std::isfinite(days)) return "??.???";
  // Rounding to whole milliseconds first keeps 2.5 s (inexact in days) at
  // 500 ms instead of truncating it to 499.
  const double total_ms = std::round(std::fabs(days) * kMillisecondsPerDay);
  const auto ms_in_minute = static_cast<int32_t>(std::fmod(total_ms, kMillisecondsPerMinute));
  char buffer[32];
  const bool negative = days < 0 && total_ms > 0;
  std::snprintf(buffer, sizeof buffer, "%s%.2d.%.3d", negative ? "-" : "", ms_in_minute / 1000,
                ms_in_minute % 1000);
  return buffer;
}
