#include "host/platform/replacing_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {

namespace {

std::function<int()>& FaultHook() {
  static std::function<int()> hook;
  return hook;
}

// 0 to go ahead, else the errno value a test wants this call to fail with.
int InjectedFault() {
  return FaultHook() ? FaultHook()() : 0;
}

// Renaming over a symbolic link would turn the link into a plain file.
int ResolveTarget(const std::string& path, std::string& target) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    target = path;
    return 0;
  }
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return errno;
  target = resolved;
  return 0;
}

// The old file's bits, or for a new file what the umask allows.
mode_t ModeFor(const std::string& target) {
  struct stat st;
  if (stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string DirectoryOf(const std::string& path) {
  const size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

// Makes the rename itself durable; a failure here cannot undo the rename,
// so it is not reported.
void SyncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Temporary files of earlier writes of target that were killed before they
// could clean up: target's name, ".tmp" and mkostemp's six characters.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string dir = DirectoryOf(target);
  const size_t cut = target.find_last_of('/');
  const std::string prefix = (cut == std::string::npos ? target : target.substr(cut + 1)) + ".tmp";
  DIR* listing = opendir(dir.c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = readdir(listing)) {
    const std::string name = entry->d_name;
    if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
      unlinkat(dirfd(listing), name.c_str(), 0);
    }
  }
  closedir(listing);
}

}  // namespace

void SetReplacingFileFaultHook(std::function<int()> hook) {
  FaultHook() = std::move(hook);
}

int TReplacingFile::Create(const std::string& path) {
  Abandon();
  std::string target;
  if (int err = ResolveTarget(path, target)) return err;
  if (int err = InjectedFault()) return err;
  std::string temp = target + ".tmpXXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  fd_ = fd;
  temp_path_ = std::move(temp);
  target_path_ = std::move(target);
  length_ = 0;
  gathered_ = 0;
  replaced_left_ = -1;
  replaced_at_ = 0;
  // mkostemp makes the file private.
  if (int err = InjectedFault()) return err;
  if (fchmod(fd_, ModeFor(target_path_)) != 0) return errno;
  return 0;
}

int TReplacingFile::WriteOut(const char* data, size_t n) {
  while (n > 0) {
    if (int err = InjectedFault()) return err;
    const ssize_t written = write(fd_, data, n);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    n -= static_cast<size_t>(written);
  }
  return 0;
}

int TReplacingFile::Flush() {
  if (gathered_ == 0) return 0;
  const int err = WriteOut(gather_.get(), gathered_);
  gathered_ = 0;
  if (err == 0) {
    // Start putting the data on the disk now, so that the sync at the end
    // has little left to wait for.
    sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
  return err;
}

char* TReplacingFile::Space(size_t n) {
  if (!gather_) gather_ = std::make_unique_for_overwrite<char[]>(kGatherBytes);
  return kGatherBytes - gathered_ >= n ? gather_.get() + gathered_ : nullptr;
}

void TReplacingFile::AppendInPlace(size_t n) {
  gathered_ += n;
  length_ += static_cast<int64_t>(n);
}

int TReplacingFile::Append(const void* data, size_t n) {
  if (n == 0) return 0;  // an empty piece may come without any buffer
  if (Space(n) == nullptr) {
    if (int err = Flush()) return err;
    if (n > kGatherBytes) {
      length_ += static_cast<int64_t>(n);
      return WriteOut(static_cast<const char*>(data), n);
    }
  }
  std::memcpy(Space(n), data, n);
  AppendInPlace(n);
  return 0;
}

int TReplacingFile::Overwrite(int64_t offset, const void* data, size_t n) {
  if (int err = Flush()) return err;
  const char* bytes = static_cast<const char*>(data);
  while (n > 0) {
    if (int err = InjectedFault()) return err;
    const ssize_t written = pwrite(fd_, bytes, n, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes += written;
    n -= static_cast<size_t>(written);
    offset += written;
  }
  return 0;
}

int TReplacingFile::Commit(TDurability durability) {
  if (int err = Flush()) return err;
  if (int err = InjectedFault()) return err;
  if (durability == TDurability::Flushed && fsync(fd_) != 0) return errno;
  if (int err = InjectedFault()) return err;
  CloseReplaced();
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0) return errno;
  if (int err = InjectedFault()) return err;
  if (rename(temp_path_.c_str(), target_path_.c_str()) != 0) return errno;
  temp_path_.clear();
  // Only this process writes here (the instance lock), and only one writer
  // at a time replaces a file: what is left under its temporary names now
  // belongs to a writer that was killed.
  RemoveStaleTemporaries(target_path_);
  if (durability == TDurability::Flushed) SyncDirectory(DirectoryOf(target_path_));
  return 0;
}

bool TReplacingFile::ShedReplaced(size_t n) {
  if (fd_ < 0 || replaced_left_ == 0) return false;
  if (replaced_left_ < 0) {
    // Non-blocking: whatever sits under the name, opening it must not wait.
    replaced_fd_ = open(target_path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (replaced_fd_ < 0 || fstat(replaced_fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
      CloseReplaced();
      replaced_left_ = 0;
      return false;
    }
    replaced_left_ = st.st_size;
  }
  const int64_t piece = std::min<int64_t>(replaced_left_, static_cast<int64_t>(n));
  // Only advice: whatever it does not drop, the rename still will.
  if (piece > 0) posix_fadvise(replaced_fd_, replaced_at_, piece, POSIX_FADV_DONTNEED);
  replaced_at_ += piece;
  replaced_left_ -= piece;
  if (replaced_left_ == 0) CloseReplaced();
  return replaced_left_ > 0;
}

void TReplacingFile::CloseReplaced() {
  if (replaced_fd_ >= 0) close(replaced_fd_);
  replaced_fd_ = -1;
}

void TReplacingFile::Abandon() {
  CloseReplaced();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
  temp_path_.clear();
  length_ = 0;
  gathered_ = 0;
}

}  // namespace platform
