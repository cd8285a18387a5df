#include "host/platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>

#include "host/platform/os_info.h"

namespace platform {

namespace {

bool Fail(int errnum, std::string& error) {
  error = SystemErrorText(errnum);
  return false;
}

// The file that really gets replaced: renaming over a symbolic link would
// turn the link into a plain file.
bool ResolveTarget(const std::string& path, std::string& target, int& errnum) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path;
    return true;
  }
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) {
    errnum = errno;
    return false;
  }
  target = resolved;
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Makes the rename itself durable; a failure here cannot undo the rename,
// so it is not reported.
void SyncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
  std::string target;
  int errnum = 0;
  if (!ResolveTarget(path, target, errnum)) return Fail(errnum, error);

  std::string temp = target + ".tmpXXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Fail(errno, error);

  // mkostemp makes the file private; give it the old file's bits, or for a
  // new file what the umask allows.
  struct stat old_state;
  mode_t mode;
  if (stat(target.c_str(), &old_state) == 0) {
    mode = old_state.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }

  int err = 0;
  if (fchmod(fd, mode) != 0) err = errno;
  if (err == 0 && !WriteAll(fd, bytes)) err = errno;
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(temp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(temp.c_str());
    return Fail(err, error);
  }
  SyncDirectory(DirectoryOf(target));
  return true;
}

}  // namespace platform
