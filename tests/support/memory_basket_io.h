// A basket file in memory for the word stream's tests: it records every
// write and hands the data back in chunks of a chosen size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "module/persistence/word_stream.h"

class TMemoryBasketIo : public TBasketIo {
 public:
  explicit TMemoryBasketIo(int32_t buffer_bytes = 4096) : buffer_(buffer_bytes) {}

  void BeginWrite(const std::string& name, int32_t kind) override {
    opened_name = name;
    opened_kind = kind;
    data.clear();
    writes.clear();
  }
  void* WriteBuffer(int32_t& bytes) override {
    // Stale contents would show up where the stream forgets to pad.
    std::fill(buffer_.begin(), buffer_.end(), 0xCD);
    bytes = static_cast<int32_t>(buffer_.size());
    return buffer_.data();
  }
  void Write(int32_t bytes) override {
    writes.push_back(bytes);
    data.append(reinterpret_cast<const char*>(buffer_.data()), static_cast<size_t>(bytes));
  }
  void BeginRead(const std::string& name) override {
    opened_name = name;
    read_offset_ = 0;
  }
  const void* Read(int32_t& bytes) override {
    const size_t n = std::min(data.size() - read_offset_, static_cast<size_t>(read_chunk_bytes));
    bytes = static_cast<int32_t>(n);
    if (n == 0) return nullptr;
    const char* chunk = data.data() + read_offset_;
    read_offset_ += n;
    return chunk;
  }
  void End() override { ++ends; }
  int64_t BytesAfterChunk() const override {
    return size_known ? static_cast<int64_t>(data.size() - read_offset_) : -1;
  }
  [[noreturn]] void Fail(std::u16string_view, std::u16string_view english) override {
    throw EBasketData(std::string(english.begin(), english.end()));
  }

  // The words of data, for comparing with what a test expects.
  std::vector<uint32_t> Words() const {
    std::vector<uint32_t> words(data.size() / 4);
    std::copy_n(data.data(), words.size() * 4, reinterpret_cast<char*>(words.data()));
    return words;
  }
  void SetWords(const std::vector<uint32_t>& words) {
    data.assign(reinterpret_cast<const char*>(words.data()), words.size() * 4);
  }

  std::string data;             // all bytes written, and the bytes read
  std::vector<int32_t> writes;  // the size of every Write
  int32_t read_chunk_bytes = 4096;
  bool size_known = true;  // the host's stream does not tell what is left
  std::string opened_name;
  int32_t opened_kind = -1;
  int ends = 0;

 private:
  std::vector<uint8_t> buffer_;
  size_t read_offset_ = 0;
};
