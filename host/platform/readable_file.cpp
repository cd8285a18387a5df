#include "host/platform/readable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/platform/os_info.h"

namespace platform {

std::unique_ptr<ReadableFile> ReadableFile::Open(const std::string& path, bool& missing,
                                                 std::string& error) {
  missing = false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    missing = err == ENOENT || err == ENOTDIR;
    if (!missing) error = SystemErrorText(err);
    return nullptr;
  }
  struct stat st;
  int err = 0;
  if (fstat(fd, &st) != 0) {
    err = errno;
  } else if (S_ISDIR(st.st_mode)) {
    err = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    err = EINVAL;
  }
  if (err != 0) {
    close(fd);
    error = SystemErrorText(err);
    return nullptr;
  }
  return std::unique_ptr<ReadableFile>(new ReadableFile(fd, static_cast<int64_t>(st.st_size)));
}

ReadableFile::~ReadableFile() {
  close(fd_);
}

int64_t ReadableFile::Read(void* target, int64_t n, std::string& error) {
  char* next = static_cast<char*>(target);
  int64_t total = 0;
  while (total < n) {
    const ssize_t got = read(fd_, next + total, static_cast<size_t>(n - total));
    if (got < 0) {
      if (errno == EINTR) continue;
      error = SystemErrorText(errno);
      return -1;
    }
    if (got == 0) break;
    total += got;
  }
  position_ += total;
  return total;
}

}  // namespace platform
