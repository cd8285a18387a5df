// A file written piece by piece under a temporary name and put in place
// only when complete: a write that fails or is cut short by a crash leaves
// the file it replaces as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Whether a replaced file must be on the disk before it takes the old
// one's place. Files the program can make again from another (a copy of a
// library, say) need not wait for the disk.
enum class TDurability { Flushed, Unflushed };

class TReplacingFile {
 public:
  TReplacingFile() = default;
  ~TReplacingFile() { Abandon(); }
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  // Each returns 0 or the errno value of the failed call; since small
  // appends are gathered, a write failure may show at a later call. After
  // a failure the temporary file is still there until Abandon or the
  // destructor.

  // Starts a temporary file next to path. An existing file keeps its
  // permission bits; a symbolic link stays a link and its target is
  // replaced.
  int Create(const std::string& path);
  int Append(const void* data, size_t n);
  // Room for n bytes at the end of the gathered appends, to be filled in
  // place; null when less is left.
  char* Space(size_t n);
  // Appends the first n bytes of the room Space gave.
  void AppendInPlace(size_t n);
  // Rewrites bytes already written.
  int Overwrite(int64_t offset, const void* data, size_t n);
  // Flushes the data to the disk (unless told otherwise) and renames the
  // file over path.
  int Commit(TDurability durability = TDurability::Flushed);
  // Closes and removes the temporary file; nothing happens to path.
  void Abandon();

  // Drops up to n more bytes of the file being replaced from the page
  // cache, leaving the file itself as it is; false once there is nothing
  // more to drop. The rename frees the old file's cached pages, which for
  // a large file takes milliseconds: a writer that waits for something
  // else can do that part earlier.
  bool ShedReplaced(size_t n);

  bool IsOpen() const { return fd_ >= 0; }
  int64_t Length() const { return length_; }

 private:
  // Small appends are gathered, so that a file written in 4 KiB pieces
  // costs a few system calls, not one per piece.
  static constexpr size_t kGatherBytes = 256 * 1024;

  int Flush();
  int WriteOut(const char* data, size_t n);
  void CloseReplaced();

  int fd_ = -1;
  std::string temp_path_;
  std::string target_path_;
  int64_t length_ = 0;  // bytes appended, gathered ones included
  std::unique_ptr<char[]> gather_;
  size_t gathered_ = 0;
  // The file being replaced, while ShedReplaced works through it.
  int replaced_fd_ = -1;
  int64_t replaced_left_ = -1;  // not opened yet
  int64_t replaced_at_ = 0;
};

// Fault injection for tests: while set, the hook runs before every system
// call that changes a replacing file; a non-zero result makes that call
// fail with this errno value. An empty function removes the hook.
void SetReplacingFileFaultHook(std::function<int()> hook);

}  // namespace platform
