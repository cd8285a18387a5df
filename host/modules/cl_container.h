// TContainer: a block of bytes the host keeps for itself and for modules,
// stored as a list of chunks so that it grows by appending without copying.
// It becomes one block only when someone asks for all of its bytes at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/files/byte_stream.h"
#include "shared/zok_object.h"

class TContainer : public TObject {
 public:
  // Sizes are 32-bit, as they cross the module boundary: a container never
  // grows beyond this.
  static constexpr int32_t kMaxSize = INT32_MAX;

  // Blocks a container owns come from NewBlock and go back through
  // FreeBlock; AppendBlock expects one of these. NewBlock throws
  // std::bad_alloc when memory runs out.
  static void* NewBlock(int32_t n);
  static void FreeBlock(void* block);

  // One uninitialised chunk of size bytes, or none for size <= 0.
  explicit TContainer(int32_t size = 0);
  ~TContainer() override;
  TContainer(const TContainer&) = delete;
  TContainer& operator=(const TContainer&) = delete;
  const char* ClassName() const override { return "TContainer"; }

  // Frees every chunk and resets both cursors: an empty container has
  // nothing left to have been read.
  void Clear();
  int32_t Size() const { return size_; }
  int32_t ChunkCount() const { return static_cast<int32_t>(chunks_.size()); }
  // Clear, then one uninitialised chunk of n bytes (none for n <= 0).
  void SetSize(int32_t n);

  // Takes ownership of block (from NewBlock) as a new last chunk of n
  // bytes. An empty chunk would read as the end of the data, so n == 0
  // frees the block instead. Growth past kMaxSize throws
  // std::length_error, having freed the block.
  void AppendBlock(void* block, int32_t n);
  // A new last chunk holding a copy of n bytes at source; same limits.
  void AppendCopy(const void* source, int32_t n);

  // The chunk cursor.
  void Rewind();
  bool AtEnd() const;
  // The next chunk and its size, or null and 0 after the last one.
  void* NextChunk(int32_t& size);
  // NextChunk, then up to n of its bytes into target. Returns how many
  // were copied: never more than the chunk holds, 0 at the end.
  int32_t ReadNext(void* target, int32_t n);

  // All bytes as one block, null when empty. Merges the chunks on first
  // use, which invalidates pointers from earlier NextChunk or Data calls.
  void* Data();

  // The byte cursor over Data: up to n bytes into target. Returns how many
  // were copied; fewer than n (0 at the end) tells a reader that the data
  // ran out.
  int32_t ReadBytes(void* target, int32_t n);
  int32_t ReadOffset() const { return read_offset_; }

  // Every chunk, in order.
  void SaveToStream(TByteSink& sink);
  // Appends the rest of source as chunks of at most limit bytes (one chunk
  // for limit <= 0). Stops where the source runs short of its size.
  void LoadFromStream(TByteSource& source, int32_t limit);

  // Pinned while a zok-file or a picture decode works through the chunks:
  // the host functions that would free, replace or merge them refuse to.
  void Pin() { ++pins_; }
  void Unpin() { --pins_; }
  bool IsPinned() const { return pins_ > 0; }

  // The file the container was last loaded from.
  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string name) { file_name_ = std::move(name); }

 private:
  // Throws std::length_error unless n more bytes fit.
  void CheckRoomFor(int64_t n) const;

  int32_t pins_ = 0;

  struct TChunk {
    void* block;
    int32_t size;
  };
  // A zok-file of some megabytes is thousands of chunks: the list grows
  // geometrically and the total is kept, so appending stays cheap.
  std::vector<TChunk> chunks_;
  int32_t size_ = 0;
  std::string file_name_;
  int32_t read_chunk_ = 0;
  int32_t read_offset_ = 0;
};
