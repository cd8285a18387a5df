// What containers are loaded from and saved to: files, and in tests
// memory.
#pragma once

#include <cstdint>

// Bytes read in order from a source of known size.
class TByteSource {
 public:
  virtual ~TByteSource() = default;
  virtual int64_t Size() = 0;
  virtual int64_t Position() = 0;
  // Up to n bytes into target; fewer only where the data ends. Throws when
  // the data cannot be read.
  virtual int64_t Read(void* target, int64_t n) = 0;
};

// Bytes written in order.
class TByteSink {
 public:
  virtual ~TByteSink() = default;
  // All n bytes, or throws.
  virtual void Write(const void* source, int64_t n) = 0;
};
