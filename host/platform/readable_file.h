// A regular file read from its start to its end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class ReadableFile {
 public:
  // Opens the regular file at path. Returns null when it cannot: missing
  // is set when nothing has that name; otherwise error holds the system's
  // reason (a directory or another non-regular file is refused, since its
  // size says nothing about what a read gives).
  static std::unique_ptr<ReadableFile> Open(const std::string& path, bool& missing,
                                            std::string& error);

  ~ReadableFile();
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;

  // The size when the file was opened.
  int64_t Size() const { return size_; }
  int64_t Position() const { return position_; }

  // Up to n bytes into target; fewer only where the file ends. Returns -1
  // with error set when reading fails.
  int64_t Read(void* target, int64_t n, std::string& error);

 private:
  ReadableFile(int fd, int64_t size) : fd_(fd), size_(size) {}
  int fd_;
  int64_t size_;
  int64_t position_ = 0;
};

}  // namespace platform
