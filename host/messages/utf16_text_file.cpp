#include "host/messages/utf16_text_file.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/platform/file_system.h"

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kCarriageReturn = 0x000D;

std::string ReportText(EUtf16TextFile::TReason reason, const std::string& file_name) {
  switch (reason) {
    case EUtf16TextFile::TReason::kMissing:
      return "File \"" + file_name + "\" does not exist.";
    case EUtf16TextFile::TReason::kNotUtf16:
      return "\"" + file_name + "\"\n\rtext is not in the UNICODE (utf-16) encoding\n\r";
    case EUtf16TextFile::TReason::kUnreadable:
      break;
  }
  return "\"" + file_name + "\"\n\rfile cannot be read.\n\r";
}

// The whole file; nullopt when it cannot be opened or read.
std::optional<std::string> ReadAllBytes(const std::string& file_name) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(file_name.c_str(), "rb"),
                                                       std::fclose);
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[64 * 1024];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

// Little-endian units; a lone trailing byte is not a unit and is ignored.
std::u16string DecodeLittleEndian(const std::string& bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    const auto low = static_cast<unsigned char>(bytes[2 * i]);
    const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(low | (high << 8));
  }
  return units;
}

}  // namespace

EUtf16TextFile::EUtf16TextFile(TReason reason, const std::string& file_name)
    : std::runtime_error(ReportText(reason, file_name)), reason_(reason), file_name_(file_name) {}

std::vector<std::u16string> SplitUtf16Lines(std::u16string_view units) {
  std::vector<std::u16string> lines;
  std::u16string line;
  for (const char16_t unit : units) {
    if (unit == kCarriageReturn) {
      lines.push_back(std::move(line));
      line.clear();
    } else if (unit < u' ' || (unit == u' ' && line.empty())) {
      continue;
    } else {
      line += unit;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::vector<std::u16string> ReadUtf16TextLines(const std::string& file_name) {
  using TReason = EUtf16TextFile::TReason;
  if (!platform::FileExists(file_name)) throw EUtf16TextFile(TReason::kMissing, file_name);
  const std::optional<std::string> bytes = ReadAllBytes(file_name);
  if (!bytes) throw EUtf16TextFile(TReason::kUnreadable, file_name);
  const std::u16string units = DecodeLittleEndian(*bytes);
  if (units.empty() || units.front() != kByteOrderMark) {
    throw EUtf16TextFile(TReason::kNotUtf16, file_name);
  }
  return SplitUtf16Lines(std::u16string_view(units).substr(1));
}

void ReportUtf16TextFileFailure(const EUtf16TextFile& failure) {
  if (!Host().container_ready) CrashedAtStartup(failure.what());
  const TMessageID id = failure.reason() == EUtf16TextFile::TReason::kMissing
                            ? MI_ERROR_FILE_NOT_FOUND
                            : MI_ERROR_INVALID_UNICODE_TEXT;
  FatalError(id, {failure.file_name()});
}

std::vector<std::u16string> ReadUtf16TextFile(const std::string& file_name) {
  std::optional<EUtf16TextFile> failure;
  try {
    return ReadUtf16TextLines(file_name);
  } catch (const EUtf16TextFile& e) {
    failure = e;
  }
  // Reported outside the handler: FatalError would otherwise add the
  // description of our own exception to the error text.
  ReportUtf16TextFileFailure(*failure);
}
