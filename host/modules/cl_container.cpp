#include "host/modules/cl_container.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

struct TBlockFree {
  void operator()(void* block) const { TContainer::FreeBlock(block); }
};
using TOwnedBlock = std::unique_ptr<void, TBlockFree>;

}  // namespace

void* TContainer::NewBlock(int32_t n) {
  if (n <= 0) return nullptr;
  void* block = std::malloc(static_cast<size_t>(n));
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void TContainer::FreeBlock(void* block) {
  std::free(block);
}

TContainer::TContainer(int32_t size) {
  SetSize(size);
}

TContainer::~TContainer() {
  Clear();
}

void TContainer::Clear() {
  for (const TChunk& chunk : chunks_) FreeBlock(chunk.block);
  chunks_.clear();
  size_ = 0;
  Rewind();
}

void TContainer::SetSize(int32_t n) {
  Clear();
  if (n > 0) AppendBlock(NewBlock(n), n);
}

void TContainer::CheckRoomFor(int64_t n) const {
  if (n < 0) throw std::invalid_argument("A container chunk cannot have a negative size.");
  if (n > kMaxSize - Size()) {
    throw std::length_error("A container cannot hold more than 2147483647 bytes.");
  }
}

void TContainer::AppendBlock(void* block, int32_t n) {
  TOwnedBlock owned(block);
  CheckRoomFor(n);
  if (n == 0) return;
  chunks_.push_back({block, n});
  owned.release();
  size_ += n;
}

void TContainer::AppendCopy(const void* source, int32_t n) {
  CheckRoomFor(n);
  if (n == 0) return;
  void* block = NewBlock(n);
  std::memcpy(block, source, static_cast<size_t>(n));
  AppendBlock(block, n);
}

void TContainer::Rewind() {
  read_chunk_ = 0;
  read_offset_ = 0;
}

bool TContainer::AtEnd() const {
  return read_chunk_ >= ChunkCount();
}

void* TContainer::NextChunk(int32_t& size) {
  if (AtEnd()) {
    size = 0;
    return nullptr;
  }
  const TChunk& chunk = chunks_[static_cast<size_t>(read_chunk_++)];
  size = chunk.size;
  return chunk.block;
}

int32_t TContainer::ReadNext(void* target, int32_t n) {
  int32_t size = 0;
  const void* chunk = NextChunk(size);
  const int32_t count = std::clamp(n, 0, size);
  if (count > 0) std::memcpy(target, chunk, static_cast<size_t>(count));
  return count;
}

void* TContainer::Data() {
  const int32_t chunks = ChunkCount();
  if (chunks == 0) return nullptr;
  if (chunks == 1) return chunks_[0].block;

  char* merged = static_cast<char*>(NewBlock(size_));
  int32_t at = 0;
  for (const TChunk& chunk : chunks_) {
    std::memcpy(merged + at, chunk.block, static_cast<size_t>(chunk.size));
    at += chunk.size;
    FreeBlock(chunk.block);
  }
  // The bytes keep their places, so the byte cursor stays where it was.
  chunks_.resize(1);
  chunks_[0] = {merged, size_};
  return merged;
}

int32_t TContainer::ReadBytes(void* target, int32_t n) {
  const int32_t count = std::clamp(n, 0, Size() - read_offset_);
  if (count > 0) {
    std::memcpy(target, static_cast<const char*>(Data()) + read_offset_,
                static_cast<size_t>(count));
  }
  read_offset_ += count;
  return count;
}

void TContainer::SaveToStream(TByteSink& sink) {
  for (const TChunk& chunk : chunks_) sink.Write(chunk.block, chunk.size);
}

void TContainer::LoadFromStream(TByteSource& source, int32_t limit) {
  for (;;) {
    const int64_t left = source.Size() - source.Position();
    if (left <= 0) return;
    const int64_t n = limit > 0 ? std::min<int64_t>(left, limit) : left;
    CheckRoomFor(n);
    TOwnedBlock block(NewBlock(static_cast<int32_t>(n)));
    const int64_t got = source.Read(block.get(), n);
    if (got < n) {
      // The source held less than it claimed (a file cut short while we
      // read it): keep what came and stop rather than ask again forever.
      AppendCopy(block.get(), static_cast<int32_t>(got));
      return;
    }
    AppendBlock(block.release(), static_cast<int32_t>(n));
  }
}
