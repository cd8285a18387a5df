// Message formatting: numbered placeholders %0, %1, ... filled from typed
// arguments. The formatter never fails; surplus arguments are appended
// behind a visible marker so a text/code mismatch shows up in the log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "shared/message_ids.h"

class TObject;

// A tagged message argument. The tag numbers are fixed.
struct TMsgArg {
  enum Tag : int32_t {
    kInteger = 0,
    kBoolean = 1,
    kChar = 2,
    kExtended = 3,
    kShortString = 4,
    kPointer = 5,
    kPChar = 6,
    kObject = 7,
    kClass = 8,
    kWideChar = 9,
    kPWideChar = 10,
    kAnsiString = 11,
    kCurrency = 12,
    kVariant = 13,
    kInterface = 14,
    kUnicodeString = 15,
    kInt64 = 16,
  };

  Tag tag;
  union {
    int32_t integer;
    uint8_t boolean;
    char character;
    long double extended;
    const void* pointer;
    const char* pchar;
    const TObject* object;
    const char* class_name;  // kClass carries the class's name
    char16_t wide_char;
    const char16_t* pwide_char;
    const std::string* ansi_string;
    const std::u16string* unicode_string;
    int64_t int64;
  };

  TMsgArg(int32_t v) : tag(kInteger), integer(v) {}
  // Unsigned 32-bit values travel as 64-bit so large ones keep their value
  // (and the call is not ambiguous between the signed forms).
  TMsgArg(uint32_t v) : tag(kInt64), int64(v) {}
  TMsgArg(bool v) : tag(kBoolean), boolean(v ? 1 : 0) {}
  TMsgArg(char v) : tag(kChar), character(v) {}
  TMsgArg(double v) : tag(kExtended), extended(v) {}
  TMsgArg(long double v) : tag(kExtended), extended(v) {}
  TMsgArg(const void* v) : tag(kPointer), pointer(v) {}
  // A bare nullptr fits every pointer form; it is a null address.
  TMsgArg(std::nullptr_t) : tag(kPointer), pointer(nullptr) {}
  TMsgArg(const char* v) : tag(kPChar), pchar(v) {}
  TMsgArg(const TObject* v) : tag(kObject), object(v) {}
  TMsgArg(char16_t v) : tag(kWideChar), wide_char(v) {}
  TMsgArg(const char16_t* v) : tag(kPWideChar), pwide_char(v) {}
  // Counted strings are referenced, not copied: arguments live only for the
  // duration of the call that formats them.
  TMsgArg(const std::string& v) : tag(kAnsiString), ansi_string(&v) {}
  TMsgArg(const std::u16string& v) : tag(kUnicodeString), unicode_string(&v) {}
  TMsgArg(int64_t v) : tag(kInt64), int64(v) {}

  static TMsgArg Boolean(uint8_t raw) {
    TMsgArg a(false);
    a.boolean = raw;
    return a;
  }
  static TMsgArg Class(const char* name) {
    TMsgArg a(static_cast<const void*>(nullptr));
    a.tag = kClass;
    a.class_name = name;
    return a;
  }
  static TMsgArg Unsupported(Tag tag) {
    TMsgArg a(static_cast<const void*>(nullptr));
    a.tag = tag;
    return a;
  }
};

using TMsgArgs = std::initializer_list<TMsgArg>;

std::u16string ArgToText(const TMsgArg& arg);
std::u16string Format(std::u16string_view templ, const TMsgArg* args, int32_t highest_index);
std::u16string Format(std::u16string_view templ, TMsgArgs args);

// The text of a message identifier; each deliverable supplies its own.
std::u16string GetMessageText(TMessageID id);
std::u16string FormatMessage(TMessageID id, TMsgArgs args);

// "%d.%.2d.%.4d": 0, 13, 71 give "0.13.0071".
std::string FormatVersion(int32_t major, int32_t minor, int32_t build);
// "%.2d.%.3d": seconds within the minute and milliseconds of a duration in days.
std::string FormatElapsedSeconds(double days);
