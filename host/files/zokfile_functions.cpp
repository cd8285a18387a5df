#include "host/files/zokfile_functions.h"

#include <string>

#include "host/files/cl_file_io.h"

namespace zokfile_entry {

namespace {

// A module passes no name as a null pointer.
std::string Text(const char* text) {
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace

void ZokFileBeginWrite(const char* file_name, int32_t format) {
  // The format travels as a 32-bit argument; only its low byte is the
  // variant character.
  ::ZokFileBeginWrite(Text(file_name), static_cast<char>(format & 0xFF));
}

void ZokFileBeginRead(const char* file_name, uint8_t* format) {
  const char variant = ::ZokFileBeginRead(Text(file_name));
  if (format != nullptr) *format = static_cast<uint8_t>(variant);
}

void* ZokFileRead(int32_t* size) {
  int32_t got = 0;
  // The module only reads the chunk; the table's type has no const.
  void* chunk = const_cast<uint8_t*>(::ZokFileRead(got));
  if (size != nullptr) *size = got;
  return chunk;
}

void ZokFileWrite(int32_t size) {
  ::ZokFileWrite(size);
}

void ZokFileEnd(int32_t flag, const char* file_name) {
  ::ZokFileEnd(flag != 0, Text(file_name));
}

void* ZokFileWriteBuffer(int32_t* size) {
  int32_t capacity = 0;
  uint8_t* buffer = ::ZokFileWriteBuffer(capacity);
  if (size != nullptr) *size = capacity;
  return buffer;
}

uint64_t ZokFileReadStamp() {
  return ::ZokFileReadStamp();
}

}  // namespace zokfile_entry
