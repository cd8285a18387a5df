#include "module/persistence/word_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int64_t kWordBytes = 4;

int64_t WordCount(int64_t bytes) {
  return bytes > 0 ? (bytes - 1) / kWordBytes + 1 : 0;
}

}  // namespace

void TWordStream::BeginWriting(const std::string& name, int32_t kind) {
  position_ = 0;
  name_ = name;
  io_.BeginWrite(name, kind);
  TakeWriteBuffer();
}

void TWordStream::TakeWriteBuffer() {
  int32_t bytes = 0;
  buffer_ = static_cast<uint8_t*>(io_.WriteBuffer(bytes));
  capacity_ = bytes / kWordBytes;
  if (buffer_ == nullptr || capacity_ <= 0) {
    io_.Fail(u"Хост не выдал буфер для записи.", u"The host gave no write buffer.");
  }
}

void TWordStream::WriteWord(uint32_t word) {
  if (position_ == capacity_) {
    position_ = 0;
    io_.Write(capacity_ * kWordBytes);
    TakeWriteBuffer();
  }
  std::memcpy(buffer_ + position_ * kWordBytes, &word, kWordBytes);
  ++position_;
}

void TWordStream::FinishWriting() {
  io_.Write(std::min(position_, capacity_) * kWordBytes);
  position_ = 0;
  TakeWriteBuffer();
}

void TWordStream::BeginReading(const std::string& name) {
  name_ = name;
  io_.BeginRead(name);
  // The first chunk is fetched by the first read, so an empty basket fails
  // there.
  chunk_ = nullptr;
  capacity_ = 0;
  position_ = 0;
}

void TWordStream::Fetch() {
  int32_t bytes = 0;
  const void* chunk = io_.Read(bytes);
  // A chunk shorter than a word holds nothing to read.
  if (chunk == nullptr || bytes < kWordBytes) {
    io_.Fail(u"Попытка чтения за концом буфера.", u"Attempt to read beyond the buffer boundary.");
  }
  chunk_ = static_cast<const uint8_t*>(chunk);
  capacity_ = bytes / kWordBytes;
  position_ = 0;
}

uint32_t TWordStream::WordAt(int32_t index) const {
  uint32_t word;
  std::memcpy(&word, chunk_ + index * kWordBytes, kWordBytes);
  return word;
}

uint32_t TWordStream::ReadWord() {
  FetchIfChunkDone();
  return WordAt(position_++);
}

uint32_t TWordStream::PeekWord() {
  FetchIfChunkDone();
  return WordAt(position_);
}

void TWordStream::SkipWords(int64_t count) {
  while (count > 0) {
    FetchIfChunkDone();
    const int32_t step = static_cast<int32_t>(std::min<int64_t>(count, capacity_ - position_));
    position_ += step;
    count -= step;
  }
}

void TWordStream::WriteWords(const void* words, int32_t count) {
  const auto* next = static_cast<const uint8_t*>(words);
  while (count > 0) {
    if (position_ == capacity_) {
      position_ = 0;
      io_.Write(capacity_ * kWordBytes);
      TakeWriteBuffer();
    }
    const int32_t step = std::min(count, capacity_ - position_);
    std::memcpy(buffer_ + position_ * kWordBytes, next, static_cast<size_t>(step) * kWordBytes);
    position_ += step;
    next += static_cast<size_t>(step) * kWordBytes;
    count -= step;
  }
}

void TWordStream::ReadWords(void* words, int32_t count) {
  auto* next = static_cast<uint8_t*>(words);
  while (count > 0) {
    FetchIfChunkDone();
    const int32_t step = std::min(count, capacity_ - position_);
    std::memcpy(next, chunk_ + position_ * kWordBytes, static_cast<size_t>(step) * kWordBytes);
    position_ += step;
    next += static_cast<size_t>(step) * kWordBytes;
    count -= step;
  }
}

int64_t TWordStream::WordsLeft() const {
  const int64_t after = io_.BytesAfterChunk();
  return after < 0 ? -1 : capacity_ - position_ + after / kWordBytes;
}

void TWordStream::Close() {
  io_.End();
  buffer_ = nullptr;
  chunk_ = nullptr;
  capacity_ = 0;
  position_ = 0;
}

void TWordStream::WriteCounted(int64_t count, const void* data, int64_t bytes) {
  if (count > INT32_MAX) {
    io_.Fail(u"Строка слишком длинная для сохранения.", u"A string is too long to be stored.");
  }
  WriteWord(static_cast<uint32_t>(count));
  const uint8_t* next = static_cast<const uint8_t*>(data);
  for (int64_t left = bytes; left > 0; left -= kWordBytes, next += kWordBytes) {
    // Padding bytes are zero, so the same string always gives the same words.
    uint32_t word = 0;
    std::memcpy(&word, next, static_cast<size_t>(std::min(left, kWordBytes)));
    WriteWord(word);
  }
}

void TWordStream::WriteString(std::string_view text) {
  const auto length = static_cast<int64_t>(text.size());
  WriteCounted(length, text.data(), length);
}

void TWordStream::WriteWideString(std::u16string_view text) {
  // The length word counts code units, the data holds their bytes.
  const auto length = static_cast<int64_t>(text.size());
  WriteCounted(length, text.data(), length * 2);
}

int64_t TWordStream::StoredByteCount(int64_t unit) {
  const int32_t length = static_cast<int32_t>(ReadWord());
  if (length <= 0) return 0;
  const int64_t bytes = length * unit;
  const int64_t after = io_.BytesAfterChunk();
  if (after >= 0 && WordCount(bytes) > capacity_ - position_ + after / kWordBytes) {
    io_.Fail(u"Длина сохранённой строки больше оставшихся данных.",
             u"A stored string is longer than the data left.");
  }
  return bytes;
}

std::string TWordStream::ReadPadded(int64_t bytes) {
  std::string data;
  // Where the data left is known (and the length was checked against it)
  // the string takes its size at once; elsewhere it grows only with words
  // that really arrive, so a damaged length fails at the end of the data
  // instead of asking for a huge block first.
  const bool known = io_.BytesAfterChunk() >= 0;
  if (known) data.reserve(static_cast<size_t>(bytes));
  for (int64_t left = bytes; left > 0;) {
    FetchIfChunkDone();
    const int64_t available = int64_t{capacity_ - position_} * kWordBytes;
    const int64_t take = std::min(left, available);
    data.append(reinterpret_cast<const char*>(chunk_ + position_ * kWordBytes),
                static_cast<size_t>(take));
    // The padding of the last word is skipped with it.
    position_ += static_cast<int32_t>(WordCount(take));
    left -= take;
  }
  return data;
}

std::string TWordStream::ReadString() {
  return ReadPadded(StoredByteCount(1));
}

std::u16string TWordStream::ReadWideString() {
  const std::string bytes = ReadPadded(StoredByteCount(2));
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), bytes.size());
  return text;
}

void TWordStream::SkipString() {
  SkipWords(WordCount(StoredByteCount(1)));
}

void TWordStream::SkipWideString() {
  SkipWords(WordCount(StoredByteCount(2)));
}
