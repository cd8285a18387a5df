// The basket word stream: chunking, the three primitives, both string
// encodings and what damaged data does.
#include "module/persistence/word_stream.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "module/persistence/host_basket_io.h"
#include "module/runtime/host_functions.h"
#include "support/memory_basket_io.h"

namespace {

using Words = std::vector<uint32_t>;

constexpr const char* kPastEnd = "Attempt to read beyond the buffer boundary.";
constexpr const char16_t* kPastEnd16 = u"Attempt to read beyond the buffer boundary.";
constexpr const char* kTooLong = "A stored string is longer than the data left.";

uint32_t Le(const char (&four)[5]) {
  uint32_t word;
  std::memcpy(&word, four, 4);
  return word;
}

template <class F>
std::string FailureOf(F&& action) {
  try {
    action();
  } catch (const EBasketData& e) {
    return e.what();
  }
  return "no failure";
}

class WordStreamTest : public testing::Test {
 protected:
  // Reading starts over the data the io holds.
  TWordStream& Reader() {
    stream_.BeginReading("basket");
    return stream_;
  }
  TWordStream& Reader(const Words& words) {
    io_.SetWords(words);
    return Reader();
  }

  TMemoryBasketIo io_;
  TWordStream stream_{io_};
};

struct ChunkingCase {
  int words;
  std::vector<int32_t> writes;
};

class WordStreamChunking : public WordStreamTest,
                           public testing::WithParamInterface<ChunkingCase> {};

TEST_P(WordStreamChunking, FullBuffersGoOutAsTheyFillAndTheRestAtFinish) {
  stream_.BeginWriting("session.zok", 7);
  for (int i = 0; i < GetParam().words; ++i) stream_.WriteWord(1000 + i);
  stream_.FinishWriting();
  stream_.Close();

  EXPECT_EQ(io_.writes, GetParam().writes);
  EXPECT_EQ(io_.opened_name, "session.zok");
  EXPECT_EQ(io_.opened_kind, 7);
  EXPECT_EQ(io_.ends, 1);
  TWordStream& reader = Reader();
  for (int i = 0; i < GetParam().words; ++i) ASSERT_EQ(reader.ReadWord(), 1000u + i) << i;
  EXPECT_EQ(FailureOf([&] { reader.ReadWord(); }), kPastEnd);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WordStreamChunking,
                         testing::Values(ChunkingCase{0, {0}}, ChunkingCase{1, {4}},
                                         ChunkingCase{1023, {4092}}, ChunkingCase{1024, {4096}},
                                         ChunkingCase{1025, {4096, 4}},
                                         ChunkingCase{2048, {4096, 4096}}));

TEST_F(WordStreamTest, ReadingCrossesChunksOfAnySize) {
  const Words words = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  for (int32_t chunk_bytes : {4, 8, 12, 4096}) {
    io_.read_chunk_bytes = chunk_bytes;
    TWordStream& reader = Reader(words);
    EXPECT_EQ(reader.PeekWord(), 1u);
    EXPECT_EQ(reader.ReadWord(), 1u);
    reader.SkipWords(3);
    EXPECT_EQ(reader.PeekWord(), 5u);
    reader.SkipWords(0);
    EXPECT_EQ(reader.ReadWord(), 5u);
    reader.SkipWords(5);
    EXPECT_EQ(reader.ReadWord(), 11u) << chunk_bytes;
    EXPECT_EQ(FailureOf([&] { reader.PeekWord(); }), kPastEnd);
  }
}

TEST_F(WordStreamTest, PeekLeavesTheWordForTheNextRead) {
  TWordStream& reader = Reader({41, 42});
  EXPECT_EQ(reader.PeekWord(), 41u);
  EXPECT_EQ(reader.PeekWord(), 41u);
  EXPECT_EQ(reader.ReadWord(), 41u);
  EXPECT_EQ(reader.ReadWord(), 42u);
}

TEST_F(WordStreamTest, AnEmptyBasketOpensAndFailsAtTheFirstWord) {
  TWordStream& reader = Reader({});
  EXPECT_EQ(FailureOf([&] { reader.ReadWord(); }), kPastEnd);
  EXPECT_EQ(FailureOf([&] { Reader({}).SkipWords(1); }), kPastEnd);
}

struct EncodingCase {
  const char* label;
  std::string narrow;
  std::u16string wide;
  bool is_wide;
  Words words;
};

class WordStreamEncoding : public WordStreamTest,
                           public testing::WithParamInterface<EncodingCase> {};

TEST_P(WordStreamEncoding, LengthWordThenZeroPaddedWords) {
  const EncodingCase& c = GetParam();
  stream_.BeginWriting("", 0);
  if (c.is_wide) {
    stream_.WriteWideString(c.wide);
  } else {
    stream_.WriteString(c.narrow);
  }
  stream_.WriteWord(0xEEEEEEEE);
  stream_.FinishWriting();

  Words expected = c.words;
  expected.push_back(0xEEEEEEEE);
  EXPECT_EQ(io_.Words(), expected);

  io_.read_chunk_bytes = 4;  // every word in a chunk of its own
  TWordStream& reader = Reader();
  if (c.is_wide) {
    EXPECT_EQ(reader.ReadWideString(), c.wide);
  } else {
    EXPECT_EQ(reader.ReadString(), c.narrow);
  }
  EXPECT_EQ(reader.ReadWord(), 0xEEEEEEEE);

  TWordStream& skipper = Reader();
  if (c.is_wide) {
    skipper.SkipWideString();
  } else {
    skipper.SkipString();
  }
  EXPECT_EQ(skipper.ReadWord(), 0xEEEEEEEE);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, WordStreamEncoding,
    testing::Values(EncodingCase{"empty", "", u"", false, {0}},
                    EncodingCase{"four", "abcd", u"", false, {4, Le("abcd")}},
                    EncodingCase{"five", "abcde", u"", false, {5, Le("abcd"), Le("e\0\0\0")}},
                    EncodingCase{
                        "zero_bytes", std::string("a\0b", 3), u"", false, {3, Le("a\0b\0")}},
                    EncodingCase{"wide_empty", "", u"", true, {0}},
                    EncodingCase{"wide_three", "", u"xyz", true, {3, Le("x\0y\0"), Le("z\0\0\0")}},
                    EncodingCase{"wide_two", "", u"\u0416\u044F", true, {2, 0x044F0416}}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return info.param.label; });

TEST_F(WordStreamTest, LongStringsSpanChunks) {
  const std::string narrow(10001, 'q');
  const std::u16string wide(5003, u'\u0431');
  stream_.BeginWriting("", 0);
  stream_.WriteString(narrow);
  stream_.WriteWideString(wide);
  stream_.FinishWriting();
  EXPECT_EQ(io_.writes, (std::vector<int32_t>{4096, 4096, 4096, 4096, 3636}));
  for (int32_t chunk_bytes : {8, 4096}) {
    io_.read_chunk_bytes = chunk_bytes;
    TWordStream& reader = Reader();
    EXPECT_EQ(reader.ReadString(), narrow);
    EXPECT_EQ(reader.ReadWideString(), wide);
  }
}

TEST_F(WordStreamTest, NegativeLengthsAreEmptyWithNothingAfter) {
  const Words words = {static_cast<uint32_t>(-1), static_cast<uint32_t>(INT32_MIN), 77};
  TWordStream& reader = Reader(words);
  EXPECT_EQ(reader.ReadString(), "");
  EXPECT_EQ(reader.ReadWideString(), u"");
  EXPECT_EQ(reader.ReadWord(), 77u);
  TWordStream& skipper = Reader(words);
  skipper.SkipString();
  skipper.SkipWideString();
  EXPECT_EQ(skipper.ReadWord(), 77u);
}

struct CorruptLengthCase {
  const char* label;
  uint32_t length;
  bool wide;
  bool size_known;  // the host's stream does not know what is left
  const char* failure;
};

class WordStreamCorruptLength : public WordStreamTest,
                                public testing::WithParamInterface<CorruptLengthCase> {};

// A length past the data must fail without first asking for a block of
// that size: the largest lengths would otherwise allocate gigabytes.
TEST_P(WordStreamCorruptLength, FailsBeforeOrWhileReadingNeverPastTheData) {
  const CorruptLengthCase& c = GetParam();
  io_.size_known = c.size_known;
  const Words words = {c.length, Le("abcd"), Le("efgh")};
  EXPECT_EQ(FailureOf([&] {
              if (c.wide) {
                Reader(words).ReadWideString();
              } else {
                Reader(words).ReadString();
              }
            }),
            c.failure);
  EXPECT_EQ(FailureOf([&] {
              if (c.wide) {
                Reader(words).SkipWideString();
              } else {
                Reader(words).SkipString();
              }
            }),
            c.failure);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, WordStreamCorruptLength,
    testing::Values(CorruptLengthCase{"one_byte_over", 9, false, true, kTooLong},
                    CorruptLengthCase{"one_unit_over", 5, true, true, kTooLong},
                    CorruptLengthCase{"largest", INT32_MAX, false, true, kTooLong},
                    CorruptLengthCase{"largest_wide", INT32_MAX, true, true, kTooLong},
                    CorruptLengthCase{"unknown_rest", 9, false, false, kPastEnd},
                    CorruptLengthCase{"unknown_rest_largest_wide", INT32_MAX, true, false,
                                      kPastEnd}),
    [](const testing::TestParamInfo<CorruptLengthCase>& info) { return info.param.label; });

TEST_F(WordStreamTest, ALengthThatFitsExactlyIsRead) {
  EXPECT_EQ(Reader({8, Le("abcd"), Le("efgh")}).ReadString(), "abcdefgh");
  EXPECT_EQ(Reader({4, Le("abcd"), Le("efgh")}).ReadWideString(), u"\u6261\u6463\u6665\u6867");
}

// The module's stream over the host's functions, with fakes in their place.
class WordStreamHostIo : public testing::Test {
 protected:
  struct Calls {
    std::string begin_write_name;
    int32_t begin_write_kind = -1;
    std::string begin_read_name;
    int32_t end_flag = -1;
    const char* end_name = "unset";
    std::u16string fatal_text;
    bool russian = false;
  };
  static Calls& Seen() {
    static Calls calls;
    return calls;
  }
  struct FakeDied {};

  void SetUp() override {
    Seen() = Calls();
    host::ZokFileBeginWrite = [](const char* name, int32_t kind) {
      Seen().begin_write_name = name;
      Seen().begin_write_kind = kind;
    };
    host::ZokFileWriteBuffer = [](int32_t* size) -> void* {
      static uint32_t buffer[1024];
      *size = sizeof buffer;
      return buffer;
    };
    host::ZokFileWrite = [](int32_t) {};
    host::ZokFileBeginRead = [](const char* name, uint8_t* kind) {
      Seen().begin_read_name = name;
      *kind = 's';
    };
    host::ZokFileRead = [](int32_t* size) -> void* {
      *size = 0;
      return nullptr;
    };
    host::ZokFileEnd = [](int32_t flag, const char* name) {
      Seen().end_flag = flag;
      Seen().end_name = name;
    };
    host::FatalErrorText = [](const char16_t* text) {
      Seen().fatal_text = text;
      throw FakeDied();
    };
    host::IsRussianLanguage = [] { return Seen().russian ? 1 : 0; };
  }
  void TearDown() override { host::UnbindAll(); }
};

TEST_F(WordStreamHostIo, PassesNamesAndKindAndClosesWithoutName) {
  TWordStream& basket = ModuleBasket();
  basket.BeginWriting("a.zok", 3);
  basket.WriteWord(1);
  basket.FinishWriting();
  basket.Close();
  EXPECT_EQ(Seen().begin_write_name, "a.zok");
  EXPECT_EQ(Seen().begin_write_kind, 3);
  EXPECT_EQ(Seen().end_flag, 0);
  EXPECT_EQ(Seen().end_name, nullptr);
  basket.BeginReading("b.zok");
  EXPECT_EQ(Seen().begin_read_name, "b.zok");
  basket.Close();
}

TEST_F(WordStreamHostIo, ReadingPastTheEndIsTheHostsFatalErrorInTheUsersLanguage) {
  for (bool russian : {false, true}) {
    Seen().russian = russian;
    TWordStream& basket = ModuleBasket();
    basket.BeginReading("b.zok");
    EXPECT_THROW(basket.ReadWord(), FakeDied);
    EXPECT_EQ(Seen().fatal_text,
              std::u16string(russian ? u"Попытка чтения за концом буфера." : kPastEnd16));
    basket.Close();
  }
}

TEST_F(WordStreamHostIo, UnboundFunctionsFailInsteadOfCallingNull) {
  host::UnbindAll();
  EXPECT_THROW(ModuleBasket().BeginReading("b.zok"), EBasketData);
}

}  // namespace
