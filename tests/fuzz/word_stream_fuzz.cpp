// Drives the word stream over arbitrary basket data. Input: a control
// byte (bits 0-2: read chunk size in words minus one; bit 3: the data left
// is known, as in memory, or not, as over the host), a count of operation
// bytes, the operations, then the basket data. Data that the stream
// refuses must end in EBasketData, never in a crash or a huge allocation.
// Afterwards the data is written back as strings and must read back equal.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "module/persistence/word_stream.h"
#include "support/memory_basket_io.h"

namespace {

void RunOperations(TWordStream& stream, const uint8_t* ops, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    switch (ops[i] & 7) {
      case 0:
        stream.ReadWord();
        break;
      case 1:
        stream.PeekWord();
        break;
      case 2:
        stream.SkipWords(ops[i] >> 3);
        break;
      case 3:
        stream.ReadString();
        break;
      case 4:
        stream.ReadWideString();
        break;
      case 5:
        stream.SkipString();
        break;
      default:
        stream.SkipWideString();
        break;
    }
  }
}

void CheckRoundTrip(const std::string& bytes) {
  TMemoryBasketIo io;
  TWordStream stream(io);
  std::u16string wide(bytes.size() / 2, u'\0');
  std::memcpy(wide.data(), bytes.data(), wide.size() * 2);
  stream.BeginWriting("", 0);
  stream.WriteString(bytes);
  stream.WriteWideString(wide);
  stream.FinishWriting();
  stream.Close();
  io.read_chunk_bytes = 4 * (1 + static_cast<int32_t>(bytes.size() % 7));
  stream.BeginReading("");
  if (stream.ReadString() != bytes || stream.ReadWideString() != wide) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 2) return 0;
  const uint8_t control = input[0];
  const size_t op_count = std::min<size_t>(input[1], size - 2);
  const uint8_t* ops = input + 2;
  const std::string data(reinterpret_cast<const char*>(ops + op_count), size - 2 - op_count);

  TMemoryBasketIo io;
  io.data = data;
  io.read_chunk_bytes = 4 * (1 + (control & 7));
  io.size_known = (control & 8) != 0;
  TWordStream stream(io);
  stream.BeginReading("fuzz");
  try {
    RunOperations(stream, ops, op_count);
  } catch (const EBasketData&) {
  }
  CheckRoundTrip(data);
  return 0;
}
