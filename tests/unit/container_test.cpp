// Named byte containers: chunked storage, the name registry and the host
// functions that modules call.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_container.h"
#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"
#include "support/temp_dir.h"

namespace {

// Distinct bytes, so that a piece in the wrong place shows.
std::string Pattern(size_t n, int seed = 0) {
  std::string bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
  return bytes;
}

std::string Bytes(const void* data, int32_t n) {
  return n > 0 ? std::string(static_cast<const char*>(data), static_cast<size_t>(n)) : "";
}

std::vector<int32_t> ChunkSizes(TContainer& c) {
  std::vector<int32_t> sizes;
  c.Rewind();
  int32_t size = 0;
  while (c.NextChunk(size) != nullptr) sizes.push_back(size);
  c.Rewind();
  return sizes;
}

// A source that may claim more bytes than it holds, or fail on a read.
class TMemorySource : public TByteSource {
 public:
  TMemorySource(std::string bytes, int64_t claimed_size, int64_t start = 0)
      : bytes_(std::move(bytes)), claimed_size_(claimed_size), position_(start) {}
  explicit TMemorySource(std::string bytes)
      : TMemorySource(bytes, static_cast<int64_t>(bytes.size())) {}

  int64_t Size() override { return claimed_size_; }
  int64_t Position() override { return position_; }
  int64_t Read(void* target, int64_t n) override {
    ++reads;
    if (reads == fail_on_read) throw std::runtime_error("device gone");
    const int64_t held = static_cast<int64_t>(bytes_.size()) - position_;
    const int64_t count = std::max<int64_t>(0, std::min(n, held));
    std::memcpy(target, bytes_.data() + position_, static_cast<size_t>(count));
    position_ += count;
    return count;
  }

  int reads = 0;
  int fail_on_read = 0;

 private:
  std::string bytes_;
  int64_t claimed_size_;
  int64_t position_;
};

class TMemorySink : public TByteSink {
 public:
  void Write(const void* source, int64_t n) override {
    writes.push_back(n);
    bytes.append(static_cast<const char*>(source), static_cast<size_t>(n));
  }
  std::string bytes;
  std::vector<int64_t> writes;
};

void Append(TContainer& c, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces) {
    c.AppendCopy(piece.data(), static_cast<int32_t>(piece.size()));
  }
}

// ---------------------------------------------------------------- TContainer

TEST(ContainerTest, CreateMakesOneChunkOrNone) {
  for (const int32_t size : {0, -5}) {
    TContainer c(size);
    EXPECT_EQ(c.Size(), 0) << size;
    EXPECT_EQ(c.ChunkCount(), 0) << size;
    EXPECT_EQ(c.Data(), nullptr) << size;
    EXPECT_TRUE(c.AtEnd()) << size;
  }
  TContainer c(100);
  EXPECT_EQ(c.Size(), 100);
  int32_t size = 0;
  void* chunk = c.NextChunk(size);
  EXPECT_EQ(size, 100);
  EXPECT_EQ(c.Data(), chunk);  // handed out as it is, not copied
}

TEST(ContainerTest, DataMergesThePiecesOnceInOrder) {
  const std::string a = Pattern(10, 1), b = Pattern(20, 2), d = Pattern(30, 3);
  TContainer c;
  Append(c, {a, b, d});
  EXPECT_EQ(c.ChunkCount(), 3);
  void* merged = c.Data();
  EXPECT_EQ(Bytes(merged, c.Size()), a + b + d);
  EXPECT_EQ(c.Size(), 60);
  EXPECT_EQ(c.ChunkCount(), 1);
  EXPECT_EQ(c.Data(), merged);
}

TEST(ContainerTest, NextChunkAfterTheLastStaysEmptyUntilRewind) {
  TContainer c;
  Append(c, {Pattern(4), Pattern(6)});
  EXPECT_EQ(ChunkSizes(c), (std::vector<int32_t>{4, 6}));
  int32_t size = 0;
  c.NextChunk(size);
  c.NextChunk(size);
  for (int i = 0; i < 3; ++i) {
    size = 77;
    EXPECT_EQ(c.NextChunk(size), nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_TRUE(c.AtEnd());
  }
  c.Rewind();
  EXPECT_FALSE(c.AtEnd());
  EXPECT_NE(c.NextChunk(size), nullptr);
  EXPECT_EQ(size, 4);
}

TEST(ContainerTest, ClearAndSetSizeDropEverythingAndBothCursors) {
  TContainer c;
  Append(c, {Pattern(4), Pattern(6)});
  int32_t size = 0;
  c.NextChunk(size);
  c.NextChunk(size);
  char byte;
  c.ReadBytes(&byte, 1);
  c.SetSize(8);
  EXPECT_EQ(c.Size(), 8);
  EXPECT_EQ(c.ChunkCount(), 1);
  EXPECT_EQ(c.ReadOffset(), 0);
  EXPECT_NE(c.NextChunk(size), nullptr);  // a refilled container reads from its start
  c.Clear();
  EXPECT_EQ(c.Size(), 0);
  EXPECT_TRUE(c.AtEnd());
  c.AppendCopy("xy", 2);
  EXPECT_NE(c.NextChunk(size), nullptr);
  c.SetSize(0);
  EXPECT_EQ(c.ChunkCount(), 0);
}

TEST(ContainerTest, EmptyPiecesAddNoChunk) {
  // An empty chunk would read as the end of the data to a chunk reader.
  TContainer c;
  Append(c, {Pattern(4)});
  c.AppendCopy(nullptr, 0);
  c.AppendBlock(TContainer::NewBlock(16), 0);  // freed, as the leak checker confirms
  c.AppendCopy("ab", 2);
  EXPECT_EQ(ChunkSizes(c), (std::vector<int32_t>{4, 2}));
}

TEST(ContainerTest, RefusedPiecesLeaveTheContainerAsItWas) {
  TContainer c;
  Append(c, {Pattern(10)});
  EXPECT_THROW(c.AppendCopy("ab", -1), std::invalid_argument);
  EXPECT_THROW(c.AppendBlock(TContainer::NewBlock(8), -8), std::invalid_argument);
  // More than a 32-bit size can describe; the block is freed all the same.
  EXPECT_THROW(c.AppendBlock(TContainer::NewBlock(8), TContainer::kMaxSize), std::length_error);
  EXPECT_EQ(ChunkSizes(c), (std::vector<int32_t>{10}));
  EXPECT_EQ(Bytes(c.Data(), c.Size()), Pattern(10));
}

struct ReadStep {
  int32_t asked;
  int32_t copied;
};

TEST(ContainerTest, ReadBytesStaysInsideTheData) {
  const std::string data = Pattern(10);
  TContainer c;
  Append(c, {data.substr(0, 4), data.substr(4)});
  const ReadStep steps[] = {{3, 3}, {-1, 0}, {0, 0}, {5, 5}, {5, 2}, {1, 0}};
  std::string read;
  for (const ReadStep& step : steps) {
    std::string target(16, '#');
    EXPECT_EQ(c.ReadBytes(target.data(), step.asked), step.copied) << step.asked;
    EXPECT_EQ(target.substr(step.copied), std::string(16 - step.copied, '#'))
        << "wrote past what it reported";
    read += target.substr(0, step.copied);
  }
  EXPECT_EQ(read, data);
  EXPECT_EQ(c.ReadOffset(), 10);
}

TEST(ContainerTest, ReadBytesKeepsItsPlaceWhenMoreDataIsAppended) {
  TContainer c;
  Append(c, {"abcd"});
  char two[2];
  ASSERT_EQ(c.ReadBytes(two, 2), 2);
  c.AppendCopy("ef", 2);  // the next read merges the chunks
  char rest[4];
  ASSERT_EQ(c.ReadBytes(rest, 4), 4);
  EXPECT_EQ(std::string(rest, 4), "cdef");
}

TEST(ContainerTest, ReadNextCopiesAtMostTheChunk) {
  TContainer c;
  Append(c, {Pattern(10, 1), Pattern(3, 2)});
  std::string target(32, '#');
  EXPECT_EQ(c.ReadNext(target.data(), 32), 10);
  EXPECT_EQ(target, Pattern(10, 1) + std::string(22, '#'));
  EXPECT_EQ(c.ReadNext(target.data(), 2), 2);
  EXPECT_EQ(target.substr(0, 2), Pattern(2, 2));
  EXPECT_EQ(c.ReadNext(target.data(), 32), 0);  // after the last chunk
}

struct LoadCase {
  const char* name;
  int64_t held;     // bytes the source really has
  int64_t claimed;  // the size it reports
  int64_t start;    // its position when loading starts
  int32_t limit;
  std::vector<int32_t> chunks;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
  *os << c.name;
}

class ContainerLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(ContainerLoadTest, ChunksFollowTheLimit) {
  const LoadCase& p = GetParam();
  const std::string bytes = Pattern(static_cast<size_t>(p.held));
  TMemorySource source(bytes, p.claimed, p.start);
  TContainer c(0);
  c.LoadFromStream(source, p.limit);
  EXPECT_EQ(ChunkSizes(c), p.chunks);
  EXPECT_EQ(Bytes(c.Data(), c.Size()), bytes.substr(static_cast<size_t>(p.start)));
}

INSTANTIATE_TEST_SUITE_P(
    Container, ContainerLoadTest,
    testing::Values(LoadCase{"PiecesOf4096", 10000, 10000, 0, 4096, {4096, 4096, 1808}},
                    LoadCase{"NoLimitIsOneChunk", 10000, 10000, 0, 0, {10000}},
                    LoadCase{"NegativeLimitIsOneChunk", 10000, 10000, 0, -1, {10000}},
                    LoadCase{"LimitAboveTheSize", 10000, 10000, 0, 20000, {10000}},
                    LoadCase{"ExactlyOnePiece", 4096, 4096, 0, 4096, {4096}},
                    LoadCase{"OneByteOver", 4097, 4096 + 1, 0, 4096, {4096, 1}},
                    LoadCase{"OnlyTheRest", 10000, 10000, 5904, 4096, {4096}},
                    LoadCase{"EmptySource", 0, 0, 0, 4096, {}},
                    // A file cut short while being read ends the load.
                    LoadCase{"ShortSourceStops", 5000, 10000, 0, 4096, {4096, 904}},
                    LoadCase{"ShortAtAPieceBoundary", 4096, 10000, 0, 4096, {4096}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(ContainerTest, LoadFromStreamAppendsToWhatIsThere) {
  TContainer c;
  Append(c, {"head"});
  TMemorySource source("body");
  c.LoadFromStream(source, 4096);
  EXPECT_EQ(ChunkSizes(c), (std::vector<int32_t>{4, 4}));
  EXPECT_EQ(Bytes(c.Data(), c.Size()), "headbody");
}

TEST(ContainerTest, LoadFromStreamFailuresKeepTheChunksRead) {
  TMemorySource failing(Pattern(10000), 10000);
  failing.fail_on_read = 2;
  TContainer c(0);
  EXPECT_THROW(c.LoadFromStream(failing, 4096), std::runtime_error);
  EXPECT_EQ(ChunkSizes(c), (std::vector<int32_t>{4096}));

  // A size no 32-bit container holds is refused before anything is
  // allocated.
  TMemorySource huge("", int64_t{3} << 30);
  EXPECT_THROW(c.LoadFromStream(huge, 0), std::length_error);
  EXPECT_EQ(huge.reads, 0);
  EXPECT_EQ(c.Size(), 4096);
}

TEST(ContainerTest, SaveToStreamWritesEveryChunkInOrder) {
  TContainer c;
  Append(c, {Pattern(5, 1), Pattern(7, 2)});
  TMemorySink sink;
  c.SaveToStream(sink);
  EXPECT_EQ(sink.writes, (std::vector<int64_t>{5, 7}));
  EXPECT_EQ(sink.bytes, Pattern(5, 1) + Pattern(7, 2));
}

// ------------------------------------------------------------------ registry

class ContainerRegistryTest : public testing::Test {
 protected:
  void TearDown() override {
    for (const char* name : {"$console.png", "a", "b"}) DeleteRegisteredContainer(name);
  }
};

TEST_F(ContainerRegistryTest, NamesMatchWithoutRegardToCase) {
  const int before = ContainerCount();
  TContainer& console = GetOrCreateContainer("$console.png");
  EXPECT_EQ(console.Size(), 0);
  EXPECT_EQ(FindContainer("$Console.PNG"), &console);
  EXPECT_EQ(&GetOrCreateContainer("$CONSOLE.PNG"), &console);
  EXPECT_EQ(ContainerCount(), before + 1);
  EXPECT_EQ(FindContainer("$console.pn"), nullptr);
}

TEST_F(ContainerRegistryTest, DeletedNamesAreGoneAndComeBackEmpty) {
  TContainer& a = GetOrCreateContainer("a");
  a.AppendCopy("xyz", 3);
  EXPECT_TRUE(DeleteRegisteredContainer("A"));
  EXPECT_EQ(FindContainer("a"), nullptr);
  EXPECT_FALSE(DeleteRegisteredContainer("a"));
  EXPECT_EQ(GetOrCreateContainer("a").Size(), 0);
}

TEST_F(ContainerRegistryTest, RegisteringOverANameReplacesItsContainer) {
  GetOrCreateContainer("b").AppendCopy("old", 3);  // freed by the replacement
  auto fresh = std::make_unique<TContainer>(5);
  TContainer* expected = fresh.get();
  EXPECT_EQ(&RegisterContainer("B", std::move(fresh)), expected);
  EXPECT_EQ(FindContainer("b"), expected);
}

// ------------------------------------------------------------ host functions

class ContainerFunctionsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().working_directory = dir_.Path();
    Host().program_directory = dir_.Path();
    Host().second_instance = false;
    ResetLogStateForTests();
    g_messages = &texts_;
  }
  void TearDown() override {
    for (const char* name : {"pic", "copy", "x", "y"}) HostDeleteContainer(name);
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  // Runs call, which must end in a fatal error, and returns its text.
  template <typename F>
  std::u16string FatalText(F&& call) {
    EXPECT_THROW(call(), EDying);
    return JoinErrors();
  }

  TempDir dir_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  THostGlobals saved_;
};

TEST_F(ContainerFunctionsTest, CreateRegistersOrClearsAndResizes) {
  void* data = HostCreateContainer("pic", 64);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(HostContainerData("PIC"), data);
  EXPECT_EQ(HostContainerSize("pic"), 64);

  TContainer* pic = FindContainer("pic");
  pic->AppendCopy("more", 4);
  EXPECT_NE(HostCreateContainer("Pic", 10), nullptr);
  EXPECT_EQ(FindContainer("pic"), pic);  // the same container, cleared
  EXPECT_EQ(pic->ChunkCount(), 1);
  EXPECT_EQ(HostContainerSize("pic"), 10);

  EXPECT_EQ(HostCreateContainer("pic", 0), nullptr);
  EXPECT_EQ(HostContainerSize("pic"), 0);
  EXPECT_NE(FindContainer("pic"), nullptr);
}

TEST_F(ContainerFunctionsTest, UnknownNamesGiveNothingAndDeleteIgnoresThem) {
  const int before = ContainerCount();
  EXPECT_EQ(HostContainerData("nothing"), nullptr);
  EXPECT_EQ(HostContainerSize("nothing"), 0);
  HostDeleteContainer("nothing");
  HostDeleteContainer(nullptr);
  EXPECT_EQ(ContainerCount(), before);
}

TEST_F(ContainerFunctionsTest, DataOfAPiecedContainerIsOneBlock) {
  TContainer& pic = GetOrCreateContainer("pic");
  pic.AppendCopy("ab", 2);
  pic.AppendCopy("cd", 2);
  EXPECT_EQ(Bytes(HostContainerData("pic"), HostContainerSize("pic")), "abcd");
}

TEST_F(ContainerFunctionsTest, SaveAndLoadRoundTrip) {
  const std::string bytes = Pattern(10000);
  std::memcpy(HostCreateContainer("pic", 10000), bytes.data(), bytes.size());
  GetOrCreateContainer("pic").AppendCopy("tail", 4);  // saved from the merged data
  HostSaveContainer("pic", "out.bin");
  EXPECT_EQ(dir_.Read("out.bin"), bytes + "tail");

  int32_t size = -1;
  void* data = HostLoadContainer("copy", "out.bin", &size);
  EXPECT_EQ(size, 10004);
  EXPECT_EQ(Bytes(data, size), bytes + "tail");
  TContainer* copy = FindContainer("COPY");
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->FileName(), "out.bin");
  EXPECT_EQ(copy->ReadOffset(), 0);
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(ContainerFunctionsTest, SaveReplacesAnExistingFileAndWritesEmptyOnes) {
  dir_.Write("out.bin", "old content that is longer");
  HostCreateContainer("pic", 0);
  HostSaveContainer("pic", "out.bin");
  EXPECT_EQ(dir_.Read("out.bin"), "");
  EXPECT_EQ(std::filesystem::directory_iterator(dir_.Path())->path().filename(), "out.bin")
      << "no temporary file is left behind";
}

TEST_F(ContainerFunctionsTest, LoadTwiceReplacesTheContentUnderOneName) {
  dir_.Write("one.png", "first file");
  dir_.Write("two.png", "second");
  HostLoadContainer("x", "one.png", nullptr);
  const int count = ContainerCount();
  int32_t size = 0;
  void* data = HostLoadContainer("X", "two.png", &size);
  EXPECT_EQ(Bytes(data, size), "second");
  EXPECT_EQ(ContainerCount(), count);
  EXPECT_EQ(FindContainer("x")->FileName(), "two.png");
}

TEST_F(ContainerFunctionsTest, LoadReadsNamesWithEitherSeparatorAndEmptyFiles) {
  std::filesystem::create_directory(dir_ / "sub");
  dir_.Write("sub/pic.png", "inside");
  int32_t size = 0;
  void* data = HostLoadContainer("x", "sub\\pic.png", &size);
  EXPECT_EQ(Bytes(data, size), "inside");
  data = HostLoadContainer("y", (dir_ / "sub/pic.png").c_str(), &size);
  EXPECT_EQ(Bytes(data, size), "inside");

  dir_.Write("empty.png", "");
  size = -1;
  EXPECT_EQ(HostLoadContainer("x", "empty.png", &size), nullptr);
  EXPECT_EQ(size, 0);
}

TEST_F(ContainerFunctionsTest, LoadOfAMissingFileIsFatalAndRegistersNothing) {
  const int before = ContainerCount();
  const std::u16string text = FatalText([] { HostLoadContainer("x", "missing.png", nullptr); });
  EXPECT_EQ(text, FormatMessage(MI_ERROR_FILE_NOT_FOUND, {"missing.png"}));
  EXPECT_EQ(ContainerCount(), before);
}

TEST_F(ContainerFunctionsTest, LoadThatCannotOpenLeavesTheContainerAlone) {
  std::filesystem::create_directory(dir_ / "folder");
  HostCreateContainer("x", 3);
  std::memcpy(HostContainerData("x"), "abc", 3);
  try {
    HostLoadContainer("x", "folder", nullptr);
    ADD_FAILURE() << "a directory loaded as a file";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("folder\""), std::string::npos) << e.what();
  }
  EXPECT_EQ(Bytes(HostContainerData("x"), HostContainerSize("x")), "abc");
}

TEST_F(ContainerFunctionsTest, SaveOfAMissingContainerIsFatalAndWritesNothing) {
  const std::u16string text = FatalText([] { HostSaveContainer("nothing", "out.bin"); });
  EXPECT_EQ(text,
            FormatMessage(MI_ERROR_ATTEMPT_TO_STORE_NONEXISTENT_CONTAINER, {"nothing", "out.bin"}));
  EXPECT_NE(text.find(u"\"nothing\""), std::u16string::npos);
  EXPECT_NE(text.find(u"\"out.bin\""), std::u16string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.bin"));
}

TEST_F(ContainerFunctionsTest, SaveThatCannotWriteThrowsNamingTheFile) {
  HostCreateContainer("pic", 4);
  try {
    HostSaveContainer("pic", "no/such/folder/out.bin");
    ADD_FAILURE() << "a write into a missing folder succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("no/such/folder/out.bin"), std::string::npos);
  }
}

}  // namespace
