#include "host/platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

bool IsUsableDirectory(const char* dir) {
  if (dir == nullptr || dir[0] == '\0') return false;
  struct stat st;
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return access(dir, W_OK | X_OK) == 0;
}

}  // namespace

std::string InstanceLock::LockFilePath(const std::string& name) {
  const char* runtime_dir = std::getenv("XDG_RUNTIME_DIR");
  std::string dir = IsUsableDirectory(runtime_dir) ? runtime_dir : "/tmp";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir != "/") dir += '/';
  return dir + name;
}

std::unique_ptr<InstanceLock> InstanceLock::TryAcquire(const std::string& name) {
  const std::string path = LockFilePath(name);
  int fd;
  do {
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  // flock locks belong to the open file description: a second open of the
  // same file, even in this process, does not get the lock, and the kernel
  // drops it when the owner dies. The file itself stays; it is never
  // unlinked, so every process always locks the same inode.
  int rc;
  do {
    rc = flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() {
  if (fd_ < 0) return;
  // Unlock explicitly: a forked child may still share the description.
  flock(fd_, LOCK_UN);
  close(fd_);
}

}  // namespace platform
