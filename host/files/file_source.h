// A disk file as a byte source.
#pragma once

#include <memory>
#include <string>

#include "host/files/byte_stream.h"
#include "host/platform/readable_file.h"

class TFileSource : public TByteSource {
 public:
  // Null when nothing has that name. Any other failure throws
  // std::runtime_error naming the file and the system's reason.
  static std::unique_ptr<TFileSource> OpenExisting(const std::string& path);

  int64_t Size() override { return file_->Size(); }
  int64_t Position() override { return file_->Position(); }
  int64_t Read(void* target, int64_t n) override;

 private:
  TFileSource(std::unique_ptr<platform::ReadableFile> file, std::string path);
  std::unique_ptr<platform::ReadableFile> file_;
  std::string path_;
};
