#include "host/files/file_source.h"

#include <stdexcept>
#include <utility>

namespace {

[[noreturn]] void CannotRead(const std::string& path, const std::string& reason) {
  throw std::runtime_error("Cannot read \"" + path + "\": " + reason);
}

}  // namespace

TFileSource::TFileSource(std::unique_ptr<platform::ReadableFile> file, std::string path)
    : file_(std::move(file)), path_(std::move(path)) {}

std::unique_ptr<TFileSource> TFileSource::OpenExisting(const std::string& path) {
  bool missing = false;
  std::string error;
  std::unique_ptr<platform::ReadableFile> file = platform::ReadableFile::Open(path, missing, error);
  if (missing) return nullptr;
  if (!file) CannotRead(path, error);
  return std::unique_ptr<TFileSource>(new TFileSource(std::move(file), path));
}

int64_t TFileSource::Read(void* target, int64_t n) {
  std::string error;
  const int64_t got = file_->Read(target, n, error);
  if (got < 0) CannotRead(path_, error);
  return got;
}
