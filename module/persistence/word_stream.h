// The basket's word stream: everything the persistence system stores is a
// sequence of 32-bit words, written into and read from the chunks of a
// zok-file. Strings are a length word followed by their bytes, padded with
// zeroes to whole words.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised for basket data that cannot be read, where nothing else reports it.
class EBasketData : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the stream needs from outside: the zok-file chunk functions and a
// fatal report. The host's functions in the module, memory in tests.
class TBasketIo {
 public:
  virtual ~TBasketIo() = default;

  virtual void BeginWrite(const std::string& name, int32_t kind) = 0;
  // A buffer to fill and its size in bytes.
  virtual void* WriteBuffer(int32_t& bytes) = 0;
  // Appends the first bytes of the buffer last given by WriteBuffer.
  virtual void Write(int32_t bytes) = 0;
  virtual void BeginRead(const std::string& name) = 0;
  // The next chunk and its size in bytes; null or a size of 0 at the end.
  virtual const void* Read(int32_t& bytes) = 0;
  virtual void End() = 0;
  // The bytes after the chunk last read, where they are known; -1 when not.
  virtual int64_t BytesAfterChunk() const { return -1; }
  // Ends the load or save in progress with the text of the configured
  // language.
  [[noreturn]] virtual void Fail(std::u16string_view russian, std::u16string_view english) = 0;
};

class TWordStream {
 public:
  explicit TWordStream(TBasketIo& io) : io_(io) {}
  TWordStream(const TWordStream&) = delete;
  TWordStream& operator=(const TWordStream&) = delete;

  void BeginWriting(const std::string& name, int32_t kind);
  void WriteWord(uint32_t word);
  // Hands the last, partly filled chunk over; Close finishes the file.
  void FinishWriting();

  void BeginReading(const std::string& name);
  uint32_t ReadWord();
  // The next word, left in place.
  uint32_t PeekWord();
  void SkipWords(int64_t count);
  // Block copies of whole words between memory and the basket.
  void WriteWords(const void* words, int32_t count);
  void ReadWords(void* words, int32_t count);
  // The words not yet read, where the basket tells; -1 when it does not.
  int64_t WordsLeft() const;

  void Close();

  void WriteString(std::string_view text);
  void WriteWideString(std::u16string_view text);
  // A negative stored length reads as an empty string with nothing after it.
  std::string ReadString();
  std::u16string ReadWideString();
  void SkipString();
  void SkipWideString();

  const std::string& FileName() const { return name_; }

 private:
  void TakeWriteBuffer();
  void Fetch();
  void FetchIfChunkDone() {
    if (position_ == capacity_) Fetch();
  }
  uint32_t WordAt(int32_t index) const;
  // The byte count of a stored string: its length word times unit bytes,
  // checked against the data left; 0 for a negative length.
  int64_t StoredByteCount(int64_t unit);
  std::string ReadPadded(int64_t bytes);
  // The count word, then bytes of data padded with zeroes to whole words.
  void WriteCounted(int64_t count, const void* data, int64_t bytes);

  TBasketIo& io_;
  uint8_t* buffer_ = nullptr;       // the write buffer
  const uint8_t* chunk_ = nullptr;  // the chunk being read
  int32_t capacity_ = 0;            // words in the chunk
  int32_t position_ = 0;            // next word in the chunk
  std::string name_;
};
