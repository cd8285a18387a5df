#include "host/files/cl_file_io.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/files/byte_stream.h"
#include "host/files/file_source.h"
#include "host/files/md5_digest.h"
#include "host/files/md5_thread.h"
#include "host/files/zok_header.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_container.h"
#include "host/modules/container_registry.h"
#include "host/platform/os_info.h"
#include "host/platform/replacing_file.h"

namespace {

constexpr int32_t kHeaderSize = static_cast<int32_t>(sizeof(TZokHeader));
// Signed disk files are checked whole before the first chunk is handed out.
constexpr const char* kScratchContainer = "$$ZOKFILE";
// A signed disk file longer than this is digested on a thread of its own
// while the rest of it is written; a short one is not worth the thread.
constexpr int64_t kDigestHereBytes = 64 * 1024;
// Buffers a signed disk file cycles through while the thread digests them:
// when all are waiting for the digest, the writer waits for half of them,
// so that the thread always has work and is woken seldom.
constexpr size_t kDigestedBuffers = 128;
// While it waits for the digest, the writer takes this much of the file it
// replaces out of the page cache, which the rename would do at the end.
constexpr size_t kShedBytes = 1 << 20;

// Reasons of MI_ZOKFILE_CORRUPT in the configured language. They are wide:
// 8-bit string arguments are formatted as raw bytes, not as Cyrillic.
std::u16string Reason(std::u16string_view russian, std::u16string_view english) {
  return std::u16string(IsRussianLanguage() ? russian : english);
}
std::u16string WrongSignatureText() {
  return Reason(u"Неверная сигнатура", u"Wrong signature");
}
std::u16string SizeMismatchText() {
  return Reason(u"Не совпадает размер", u"Size mismatch");
}
std::u16string DigestMismatchText() {
  return Reason(u"Не совпадает контрольная сумма MD5", u"MD5 sum mismatch");
}
std::u16string ChunkSizeText() {
  const std::u16string four = u"4";
  return Reason(u"Размер куска данных не кратен " + four + u" байтам",
                u"Data chunk size is not divisible by " + four + u" bytes");
}
std::u16string HeaderChunkText() {
  return Reason(u"Неверный размер куска заголовка в контейнере",
                u"Container's header chunk size mismatch");
}

[[noreturn]] void ProgrammingError(const char* what) {
  FatalError(MI_ERROR_PROGRAMMER_NO_BAKA, {what});
}

// A container a picture decode works through cannot take a zok-file too.
void RefuseIfPinned(const TContainer& container, const std::string& name) {
  if (container.IsPinned()) RefuseContainerInUse(name);
}

bool IsContainerName(const std::string& name) {
  return !name.empty() && name[0] == '$';
}

// Disk zok-files named relatively live next to the program; the session
// path the modules get is absolute.
std::string DiskPath(const std::string& name) {
  return PathUnder(Host().program_directory, name);
}

[[noreturn]] void CannotWrite(const std::string& path, int errnum) {
  throw std::runtime_error("Cannot write \"" + path + "\": " + platform::SystemErrorText(errnum));
}

// A replacing file as a container's sink.
class TReplacingFileSink : public TByteSink {
 public:
  TReplacingFileSink(platform::TReplacingFile& file, std::string path)
      : file_(file), path_(std::move(path)) {}
  void Write(const void* source, int64_t n) override {
    if (int err = file_.Append(source, static_cast<size_t>(n))) CannotWrite(path_, err);
  }

 private:
  platform::TReplacingFile& file_;
  std::string path_;
};

// Digests what passes through, so a signed file is checked while it loads.
class TDigestingSource : public TByteSource {
 public:
  TDigestingSource(TByteSource& source, TMd5& md5) : source_(source), md5_(md5) {}
  int64_t Size() override { return source_.Size(); }
  int64_t Position() override { return source_.Position(); }
  int64_t Read(void* target, int64_t n) override {
    const int64_t got = source_.Read(target, n);
    md5_.Update(target, static_cast<size_t>(got));
    return got;
  }

 private:
  TByteSource& source_;
  TMd5& md5_;
};

// Writes a container whole to a disk file, replacing it only when complete.
// Failures are the file system's, not the zok-file's.
void SaveContainerFile(TContainer& container, const std::string& name) {
  const std::string path = DiskPath(name);
  platform::TReplacingFile file;
  if (int err = file.Create(path)) CannotWrite(path, err);
  TReplacingFileSink sink(file, path);
  container.SaveToStream(sink);
  if (int err = file.Commit()) CannotWrite(path, err);
}

class TZokFile {
 public:
  void BeginWrite(const std::string& name, char variant);
  uint8_t* WriteBuffer(int32_t& size);
  void Write(int32_t n);
  char BeginRead(const std::string& name);
  const uint8_t* Read(int32_t& size);
  void End(bool save, const std::string& disk_name);
  uint64_t StampRead() const { return stamp_read_; }
  void SetStampSource(std::function<uint64_t()> source) { stamp_source_ = std::move(source); }

 private:
  // Runs body; whatever escapes it leaves the file closed.
  template <class F>
  auto ClosingOnFailure(F&& body) {
    try {
      return body();
    } catch (...) {
      Close();
      throw;
    }
  }

  void StartDigest(const std::string& name, char variant);
  void OpenTargetForWriting(const std::string& name);
  void ReadHeader(const std::string& name);
  void CheckWholeDiskFile(const std::string& name);
  int32_t ReadDiskChunk();
  void FinishReading();
  void FinishWriting(bool save, const std::string& disk_name);
  // A signed disk file whose digest runs on its own thread: each piece
  // goes to the file at once, and its buffer is used again once digested.
  void StartDigestThread();
  void WriteAndDigest(int32_t n);
  void ReuseDigestedBuffers(int64_t count);
  // Frees everything of the open file; an unfinished disk file is dropped.
  void Close();

  std::string name_;
  bool opened_ = false;
  bool reading_ = false;
  TZokHeader header_{};
  TContainer* container_ = nullptr;  // a named target
  // A signed disk file is read from the scratch container, checked.
  bool through_scratch_ = false;
  const uint8_t* scratch_next_ = nullptr;
  int64_t scratch_left_ = 0;
  platform::TReplacingFile out_;
  std::unique_ptr<TFileSource> in_;
  bool digesting_ = false;
  TMd5 md5_;
  std::unique_ptr<TMd5Thread> md5_thread_;  // while it runs, md5_ is its own
  struct TPiece {
    uint8_t* block;
    int32_t n;
  };
  std::deque<TPiece> undigested_;  // written, and queued for the digest
  bool shedding_ = false;
  int64_t pieces_queued_ = 0;
  std::vector<uint8_t*> spare_buffers_;
  size_t digest_buffers_ = 0;  // allocated: spare, queued or handed out
  // A container block, handed over when full, or one of the digest's.
  uint8_t* write_buffer_ = nullptr;
  uint8_t* in_place_ = nullptr;    // or room in the disk file's gathered output
  bool write_buffer_out_ = false;  // given to the caller and not yet written
  alignas(16) std::array<uint8_t, kZokChunkSize> read_buffer_;
  uint64_t stamp_read_ = 0;
  std::function<uint64_t()> stamp_source_;
};

void TZokFile::StartDigest(const std::string& name, char variant) {
  if (variant == kZokPlain) {
    digesting_ = false;
  } else if (variant == kZokSigned) {
    md5_.Start();
    digesting_ = true;
  } else {
    FatalError(MI_ZOKFILE_UNSUPPORTED, {name, std::string("ZOK") + variant});
  }
}

void TZokFile::BeginWrite(const std::string& name, char variant) {
  Close();
  ClosingOnFailure([&] {
    header_ = zok_header::Make(variant, stamp_source_ ? stamp_source_() : 0);
    StartDigest(name, variant);
    try {
      OpenTargetForWriting(name);
    } catch (...) {
      Close();
      FatalError(MI_ZOKFILE_ERROR_WRITE, {name});
    }
    name_ = name;
    opened_ = true;
    reading_ = false;
  });
}

void TZokFile::OpenTargetForWriting(const std::string& name) {
  if (IsContainerName(name)) {
    TContainer& container = GetOrCreateContainer(name);
    RefuseIfPinned(container, name);
    container.Clear();
    container_ = &container;
    container.Pin();
    container.AppendCopy(header_.data(), kHeaderSize);
    return;
  }
  const std::string path = DiskPath(name);
  if (int err = out_.Create(path)) CannotWrite(path, err);
  if (int err = out_.Append(header_.data(), header_.size())) CannotWrite(path, err);
}

uint8_t* TZokFile::WriteBuffer(int32_t& size) {
  size = kZokChunkSize;
  if (!write_buffer_out_ && opened_ && !reading_ && container_ == nullptr) {
    if (md5_thread_ == nullptr) {
      // A disk file takes the bytes straight into its gathered output.
      in_place_ = reinterpret_cast<uint8_t*>(out_.Space(kZokChunkSize));
    } else if (write_buffer_ == nullptr && !spare_buffers_.empty()) {
      write_buffer_ = spare_buffers_.back();
      spare_buffers_.pop_back();
    }
  }
  write_buffer_out_ = true;
  if (in_place_ != nullptr) return in_place_;
  if (write_buffer_ == nullptr) {
    write_buffer_ = static_cast<uint8_t*>(TContainer::NewBlock(kZokChunkSize));
    if (md5_thread_ != nullptr) ++digest_buffers_;
  }
  return write_buffer_;
}

void TZokFile::StartDigestThread() {
  try {
    spare_buffers_.reserve(kDigestedBuffers + 1);
    md5_thread_ = std::make_unique<TMd5Thread>(md5_);
    shedding_ = true;
  } catch (const std::system_error&) {
    // No thread to be had: the digest goes on here, only slower.
  }
}

// The piece in write_buffer_ goes to the file and to the digest; once all
// buffers wait for the digest, the writer waits until half of them are free.
void TZokFile::WriteAndDigest(int32_t n) {
  if (int err = out_.Append(write_buffer_, static_cast<size_t>(n)))
    CannotWrite(DiskPath(name_), err);
  undigested_.push_back({write_buffer_, n});
  write_buffer_ = nullptr;
  md5_thread_->Add(undigested_.back().block, static_cast<size_t>(n));
  ++pieces_queued_;
  if (spare_buffers_.empty() && digest_buffers_ >= kDigestedBuffers) {
    const int64_t first = pieces_queued_ - static_cast<int64_t>(undigested_.size());
    if (shedding_) shedding_ = out_.ShedReplaced(kShedBytes);
    ReuseDigestedBuffers(first + static_cast<int64_t>(kDigestedBuffers / 2));
  }
}

// Takes back the buffers of the first count pieces queued.
void TZokFile::ReuseDigestedBuffers(int64_t count) {
  md5_thread_->WaitDigested(count);
  while (!undigested_.empty() &&
         pieces_queued_ - static_cast<int64_t>(undigested_.size()) < count) {
    spare_buffers_.push_back(undigested_.front().block);
    undigested_.pop_front();
  }
}

void TZokFile::Write(int32_t n) {
  ClosingOnFailure([&] {
    if (!opened_) ProgrammingError("Attempt to write to zok-file while it wasn't opened yet.");
    if (reading_) ProgrammingError("Attempt to write to zok-file while it is open for reading.");
    if (!write_buffer_out_) {
      ProgrammingError("Attempt to write to zok-file without taking a write buffer first.");
    }
    if (n < 0 || n > kZokChunkSize) {
      ProgrammingError("Attempt to write to zok-file more bytes than the write buffer holds.");
    }
    write_buffer_out_ = false;
    const uint8_t* piece = in_place_ != nullptr ? in_place_ : write_buffer_;
    if (digesting_ && md5_thread_ == nullptr) md5_.Update(piece, static_cast<size_t>(n));
    try {
      if (in_place_ != nullptr) {
        in_place_ = nullptr;
        out_.AppendInPlace(static_cast<size_t>(n));
      } else if (md5_thread_ != nullptr) {
        WriteAndDigest(n);
      } else if (container_ == nullptr) {
        if (int err = out_.Append(piece, static_cast<size_t>(n))) CannotWrite(DiskPath(name_), err);
      } else if (n == kZokChunkSize) {
        // A full buffer becomes the chunk itself.
        container_->AppendBlock(std::exchange(write_buffer_, nullptr), n);
      } else {
        container_->AppendCopy(write_buffer_, n);
      }
      const int64_t written = out_.Length() - kHeaderSize;
      if (digesting_ && md5_thread_ == nullptr && container_ == nullptr &&
          written >= kDigestHereBytes && written - n < kDigestHereBytes) {
        StartDigestThread();
      }
    } catch (...) {
      const std::string name = name_;
      Close();
      FatalError(MI_ZOKFILE_ERROR_WRITE, {name});
    }
  });
}

char TZokFile::BeginRead(const std::string& name) {
  Close();
  stamp_read_ = 0;
  return ClosingOnFailure([&] {
    try {
      ReadHeader(name);
      const char variant = static_cast<char>(header_[zok_header::kVariant]);
      StartDigest(name, variant);
      stamp_read_ = zok_header::Field<uint64_t>(header_.data(), zok_header::kStamp);
      const int64_t length = in_ ? in_->Size() : container_->Size();
      if (length - kHeaderSize !=
          zok_header::Field<int64_t>(header_.data(), zok_header::kDataSize)) {
        FatalError(MI_ZOKFILE_CORRUPT, {name, SizeMismatchText()});
      }
      if (digesting_ && in_) CheckWholeDiskFile(name);
    } catch (...) {
      Close();
      FatalError(MI_ZOKFILE_ERROR_READ, {name});
    }
    name_ = name;
    opened_ = true;
    reading_ = true;
    return static_cast<char>(header_[zok_header::kVariant]);
  });
}

void TZokFile::ReadHeader(const std::string& name) {
  if (IsContainerName(name)) {
    container_ = FindContainer(name);
    if (container_ == nullptr) FatalError(MI_CONTAINER_DOESNT_EXIST, {name});
    RefuseIfPinned(*container_, name);
    container_->Pin();
    container_->Rewind();
    int32_t size = 0;
    const void* first = container_->NextChunk(size);
    if (size != kHeaderSize) FatalError(MI_ZOKFILE_CORRUPT, {name, HeaderChunkText()});
    std::memcpy(header_.data(), first, header_.size());
  } else {
    in_ = TFileSource::OpenExisting(DiskPath(name));
    if (!in_) FatalError(MI_ERROR_FILE_NOT_FOUND, {name});
    if (in_->Read(header_.data(), kHeaderSize) != kHeaderSize) {
      FatalError(MI_ZOKFILE_CORRUPT, {name, SizeMismatchText()});
    }
  }
  if (!zok_header::HasSignature(header_.data())) {
    FatalError(MI_ZOKFILE_CORRUPT, {name, WrongSignatureText()});
  }
}

// Loads the data into the scratch container while digesting it, so that a
// damaged file is refused before the caller sees any of it. The data stays
// one block, handed out in pieces: thousands of small chunks would cost far
// more than the digest itself.
void TZokFile::CheckWholeDiskFile(const std::string& name) {
  TContainer& scratch = GetOrCreateContainer(kScratchContainer);
  RefuseIfPinned(scratch, kScratchContainer);
  scratch.Clear();
  through_scratch_ = true;
  scratch.Pin();
  TDigestingSource source(*in_, md5_);
  scratch.LoadFromStream(source, 0);
  if (scratch.Size() != in_->Size() - kHeaderSize) {
    throw std::runtime_error("The file \"" + DiskPath(name) + "\" became shorter while read.");
  }
  in_.reset();
  digesting_ = false;
  if (md5_.Finish() != zok_header::Field<TMd5Digest>(header_.data(), zok_header::kDigest)) {
    FatalError(MI_ZOKFILE_CORRUPT, {name, DigestMismatchText()});
  }
  scratch_next_ = static_cast<const uint8_t*>(scratch.Data());
  scratch_left_ = scratch.Size();
}

int32_t TZokFile::ReadDiskChunk() {
  const int32_t size =
      static_cast<int32_t>(std::min<int64_t>(in_->Size() - in_->Position(), kZokChunkSize));
  if (size > 0 && in_->Read(read_buffer_.data(), size) != size) {
    throw std::runtime_error("The file \"" + DiskPath(name_) + "\" became shorter while read.");
  }
  return size;
}

const uint8_t* TZokFile::Read(int32_t& size) {
  return ClosingOnFailure([&] {
    if (!opened_) ProgrammingError("Attempt to read from zok-file while it wasn't opened yet.");
    if (!reading_) ProgrammingError("Attempt to read from zok-file while it is open for writing.");
    const uint8_t* chunk = nullptr;
    int32_t got = 0;
    if (through_scratch_) {
      got = static_cast<int32_t>(std::min<int64_t>(scratch_left_, kZokChunkSize));
      if (got > 0) chunk = scratch_next_;
      scratch_next_ += got;
      scratch_left_ -= got;
    } else if (container_ != nullptr) {
      chunk = static_cast<const uint8_t*>(container_->NextChunk(got));
    } else {
      try {
        got = ReadDiskChunk();
      } catch (...) {
        const std::string name = name_;
        Close();
        FatalError(MI_ZOKFILE_ERROR_READ, {name});
      }
      if (got > 0) chunk = read_buffer_.data();
    }
    if (got % 4 != 0) FatalError(MI_ZOKFILE_CORRUPT, {name_, ChunkSizeText()});
    if (digesting_) md5_.Update(chunk, static_cast<size_t>(got));
    size = got;
    return chunk;
  });
}

void TZokFile::FinishReading() {
  if (!digesting_) return;
  // A caller may stop before the end; the digest covers all the data.
  int32_t size = 0;
  while (const void* chunk = container_->NextChunk(size)) md5_.Update(chunk, size);
  digesting_ = false;
  if (md5_.Finish() != zok_header::Field<TMd5Digest>(header_.data(), zok_header::kDigest)) {
    FatalError(MI_ZOKFILE_CORRUPT, {name_, DigestMismatchText()});
  }
}

void TZokFile::FinishWriting(bool save, const std::string& disk_name) {
  if (md5_thread_ != nullptr) {
    try {
      md5_thread_->Finish();
      md5_thread_.reset();
    } catch (...) {
      const std::string name = name_;
      Close();
      FatalError(MI_ZOKFILE_ERROR_WRITE, {name});
    }
  }
  if (digesting_) {
    zok_header::SetField(header_.data(), zok_header::kDigest, md5_.Finish());
    digesting_ = false;
  }
  if (container_ != nullptr) {
    // The header chunk is looked up afresh: a merge may have moved it.
    container_->Rewind();
    int32_t size = 0;
    uint8_t* stored = static_cast<uint8_t*>(container_->NextChunk(size));
    if (size < kHeaderSize) {
      FatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                 {"The container of the zok-file being written lost its header."});
    }
    zok_header::SetField<int64_t>(header_.data(), zok_header::kDataSize,
                                  container_->Size() - kHeaderSize);
    std::memcpy(stored, header_.data(), header_.size());
    container_->Rewind();
    if (save) SaveContainerFile(*container_, disk_name);
    return;
  }
  try {
    const std::string path = DiskPath(name_);
    zok_header::SetField<int64_t>(header_.data(), zok_header::kDataSize,
                                  out_.Length() - kHeaderSize);
    if (int err = out_.Overwrite(0, header_.data(), header_.size())) CannotWrite(path, err);
    if (int err = out_.Commit()) CannotWrite(path, err);
  } catch (...) {
    const std::string name = name_;
    Close();
    FatalError(MI_ZOKFILE_ERROR_WRITE, {name});
  }
}

void TZokFile::End(bool save, const std::string& disk_name) {
  if (!opened_) ProgrammingError("Attempt to close the already closed zok-file.");
  ClosingOnFailure([&] {
    if (reading_) {
      FinishReading();
    } else {
      FinishWriting(save, disk_name);
    }
  });
  Close();
}

void TZokFile::Close() {
  // The digest thread may still read the queued buffers.
  md5_thread_.reset();
  for (const TPiece& piece : undigested_) TContainer::FreeBlock(piece.block);
  undigested_.clear();
  pieces_queued_ = 0;
  shedding_ = false;
  for (uint8_t* buffer : spare_buffers_) TContainer::FreeBlock(buffer);
  spare_buffers_.clear();
  spare_buffers_.shrink_to_fit();
  digest_buffers_ = 0;
  out_.Abandon();
  in_.reset();
  if (through_scratch_) {
    TContainer& scratch = GetOrCreateContainer(kScratchContainer);
    scratch.Clear();
    scratch.Unpin();
  }
  through_scratch_ = false;
  scratch_next_ = nullptr;
  scratch_left_ = 0;
  if (container_ != nullptr) container_->Unpin();
  container_ = nullptr;
  TContainer::FreeBlock(std::exchange(write_buffer_, nullptr));
  in_place_ = nullptr;
  write_buffer_out_ = false;
  digesting_ = false;
  opened_ = false;
  reading_ = false;
}

TZokFile& OpenZokFile() {
  static TZokFile file;
  return file;
}

}  // namespace

void ZokFileBeginWrite(const std::string& name, char variant) {
  OpenZokFile().BeginWrite(name, variant);
}

uint8_t* ZokFileWriteBuffer(int32_t& size) {
  return OpenZokFile().WriteBuffer(size);
}

void ZokFileWrite(int32_t n) {
  OpenZokFile().Write(n);
}

char ZokFileBeginRead(const std::string& name) {
  return OpenZokFile().BeginRead(name);
}

const uint8_t* ZokFileRead(int32_t& size) {
  return OpenZokFile().Read(size);
}

uint64_t ZokFileReadStamp() {
  return OpenZokFile().StampRead();
}

void ZokFileEnd(bool save, const std::string& disk_name) {
  OpenZokFile().End(save, disk_name);
}

void SetZokFileStampSource(std::function<uint64_t()> source) {
  OpenZokFile().SetStampSource(std::move(source));
}
