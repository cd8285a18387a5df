#include "host/platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/platform/os_info.h"

namespace platform {

namespace {

bool Fail(int errnum, std::string& error) {
  error = SystemErrorText(errnum);
  return false;
}

bool StatPath(const std::string& path, struct stat& st) {
  return stat(path.c_str(), &st) == 0;
}

int RetryOpen(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Writes all n bytes; false with errno set on failure.
bool WriteAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t written = write(fd, data, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

// Copies the bytes of in to out; 0 on success, else the errno value.
int CopyBytes(int in, int out) {
  char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(in, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return 0;
    if (!WriteAll(out, buffer, static_cast<size_t>(got))) return errno;
  }
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return StatPath(path, st);
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return StatPath(path, st) && S_ISREG(st.st_mode);
}

int64_t FileTimeNs(const std::string& path) {
  struct stat st;
  if (!StatPath(path, st)) return -1;
  return static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 +
         static_cast<int64_t>(st.st_mtim.tv_nsec);
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (!StatPath(path, st)) return -1;
  return static_cast<int64_t>(st.st_size);
}

bool DeleteFile(const std::string& path, std::string& error) {
  if (unlink(path.c_str()) != 0) return Fail(errno, error);
  return true;
}

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
  if (rename(from.c_str(), to.c_str()) != 0) return Fail(errno, error);
  return true;
}

bool CopyFile(const std::string& from, const std::string& to, std::string& error) {
  int in = RetryOpen(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return Fail(errno, error);
  struct stat st;
  if (fstat(in, &st) != 0) {
    int err = errno;
    close(in);
    return Fail(err, error);
  }
  if (S_ISDIR(st.st_mode)) {
    close(in);
    return Fail(EISDIR, error);
  }

  // The copy is built under a temporary name next to the target and renamed
  // over it only when complete, so nobody ever sees half a file under to.
  std::string temp = to + ".tmpXXXXXX";
  int out = mkostemp(temp.data(), O_CLOEXEC);
  if (out < 0) {
    int err = errno;
    close(in);
    return Fail(err, error);
  }

  int err = 0;
  if (fchmod(out, st.st_mode & 07777) != 0) err = errno;
  if (err == 0) err = CopyBytes(in, out);
  if (err == 0 && fsync(out) != 0) err = errno;
  close(in);
  if (close(out) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), to.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    return Fail(err, error);
  }
  return true;
}

bool MakeDirectories(const std::string& path, std::string& error) {
  if (path.empty()) return Fail(ENOENT, error);
  // Create every prefix that ends at a component boundary, like mkdir -p.
  for (size_t end = 1; end <= path.size(); ++end) {
    if (end != path.size() && path[end] != '/') continue;
    if (path[end - 1] == '/') continue;  // repeated or trailing '/'
    const std::string prefix = path.substr(0, end);
    if (mkdir(prefix.c_str(), 0777) == 0) continue;
    int err = errno;
    if (IsDirectory(prefix)) continue;  // existed already (EEXIST, or EACCES above it)
    // Something that is not a directory is in the way: below it nothing can
    // be created; as the last component it is simply there already.
    if (err == EEXIST && end != path.size() &&
        path.find_first_not_of('/', end) != std::string::npos) {
      err = ENOTDIR;
    }
    return Fail(err, error);
  }
  return true;
}

bool ListDirectory(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (entry == nullptr) break;
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    names.emplace_back(entry->d_name);
  }
  const bool ok = errno == 0;
  closedir(dir);
  if (!ok) {
    names.clear();
    return false;
  }
  std::sort(names.begin(), names.end());
  return true;
}

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) break;
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  if (buffer.empty() || buffer.back() != '/') buffer += '/';
  return buffer;
}

bool ChangeDirectory(const std::string& path, std::string& error) {
  if (chdir(path.c_str()) != 0) return Fail(errno, error);
  return true;
}

std::string OwnExecutablePath() {
  std::string buffer(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);  // possibly truncated: try again larger
  }
}

}  // namespace platform
