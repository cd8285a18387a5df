// Line lists from UTF-16 text files (little-endian, with byte-order mark),
// the format of the language texts.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A text file that could not be read; the message is the plain English
// report used before the message texts exist.
class EUtf16TextFile : public std::runtime_error {
 public:
  enum class TReason { kMissing, kNotUtf16, kUnreadable };

  EUtf16TextFile(TReason reason, const std::string& file_name);
  TReason reason() const { return reason_; }
  const std::string& file_name() const { return file_name_; }

 private:
  TReason reason_;
  std::string file_name_;
};

// Lines end at each carriage return. Every code unit below U+0020 is
// dropped, and so is a space while the line is still empty; empty lines
// stay, except a last unterminated one.
std::vector<std::u16string> SplitUtf16Lines(std::u16string_view units);

// Throws EUtf16TextFile on any failure.
std::vector<std::u16string> ReadUtf16TextLines(const std::string& file_name);

// Once the message texts exist a failure is a fatal error (EDying);
// before, it ends the process with the plain report.
[[noreturn]] void ReportUtf16TextFileFailure(const EUtf16TextFile& failure);

// ReadUtf16TextLines with its failures reported as above.
std::vector<std::u16string> ReadUtf16TextFile(const std::string& file_name);
