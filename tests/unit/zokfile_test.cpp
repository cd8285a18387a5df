// Zok-files on disk and in containers: the header, chunking, every refusal
// with its message, protocol errors, and writes cut short at every step.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/files/cl_file_io.h"
#include "host/files/md5_digest.h"
#include "host/files/zokfile_functions.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "host/modules/cl_container.h"
#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"
#include "host/platform/replacing_file.h"
#include "shared/text_codes.h"
#include "support/temp_dir.h"

namespace {

constexpr uint64_t kStamp = 0x1122334455667788;
constexpr const char* kScratch = "$$ZOKFILE";

// Distinct bytes, so that a piece in the wrong place shows.
std::string Pattern(size_t n, int seed = 0) {
  std::string bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251);
  return bytes;
}

std::string Le64(uint64_t value) {
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &value, 8);
  return bytes;
}

std::string Hex(const std::string& text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Writes data in pieces of the given sizes, the way a module does: one
// buffer per piece, and a last buffer taken but never written.
void WriteZok(const std::string& name, char variant, const std::string& data,
              const std::vector<int32_t>& pieces, const std::string& save_as = "") {
  ZokFileBeginWrite(name, variant);
  size_t at = 0;
  for (int32_t piece : pieces) {
    int32_t capacity = 0;
    uint8_t* buffer = ZokFileWriteBuffer(capacity);
    EXPECT_EQ(capacity, kZokChunkSize);
    std::memcpy(buffer, data.data() + at, static_cast<size_t>(piece));
    ZokFileWrite(piece);
    at += static_cast<size_t>(piece);
  }
  int32_t unused = 0;
  ZokFileWriteBuffer(unused);
  ZokFileEnd(!save_as.empty(), save_as);
}

std::vector<int32_t> Pieces(size_t total, int32_t piece = kZokChunkSize) {
  std::vector<int32_t> pieces;
  for (size_t at = 0; at < total; at += static_cast<size_t>(piece)) {
    pieces.push_back(static_cast<int32_t>(std::min<size_t>(piece, total - at)));
  }
  return pieces;
}

struct ReadResult {
  char variant = 0;
  std::vector<std::string> chunks;
  std::string Data() const {
    std::string all;
    for (const std::string& c : chunks) all += c;
    return all;
  }
  std::vector<size_t> Sizes() const {
    std::vector<size_t> sizes;
    for (const std::string& c : chunks) sizes.push_back(c.size());
    return sizes;
  }
};

ReadResult ReadZok(const std::string& name) {
  ReadResult result;
  result.variant = ZokFileBeginRead(name);
  for (;;) {
    int32_t size = -1;
    const uint8_t* chunk = ZokFileRead(size);
    if (size == 0) {
      EXPECT_EQ(chunk, nullptr);
      break;
    }
    result.chunks.emplace_back(reinterpret_cast<const char*>(chunk), static_cast<size_t>(size));
  }
  ZokFileEnd(false, "");
  return result;
}

// The bytes of a container as one string.
std::string ContainerBytes(const std::string& name) {
  TContainer* c = FindContainer(name);
  if (c == nullptr) return "<none>";
  std::string bytes;
  c->Rewind();
  int32_t size = 0;
  while (const void* chunk = c->NextChunk(size))
    bytes.append(static_cast<const char*>(chunk), size);
  c->Rewind();
  return bytes;
}

// Replaces a container's content by the given chunks.
void FillContainer(const std::string& name, const std::vector<std::string>& chunks) {
  TContainer& c = GetOrCreateContainer(name);
  c.Clear();
  for (const std::string& chunk : chunks) {
    c.AppendCopy(chunk.data(), static_cast<int32_t>(chunk.size()));
  }
}

class ZokFileTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().program_directory = dir_.Path();
    Host().working_directory = log_dir_.Path();
    Host().second_instance = false;
    ResetLogStateForTests();
    g_messages = &texts_;
    SetZokFileStampSource([] { return kStamp; });
  }
  void TearDown() override {
    platform::SetReplacingFileFaultHook(nullptr);
    SetZokFileStampSource(nullptr);
    for (const char* name : {"$z", "$y", kScratch}) DeleteRegisteredContainer(name);
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  // The error list, newest first, in UTF-8.
  static std::string Errors() { return WideToUtf8(JoinErrors()); }
  static std::string Corrupt(const std::string& name, const std::string& reason) {
    return "The zok-file \"" + name + "\" is damaged (" + reason + ").";
  }
  static std::string CannotRead(const std::string& name) {
    return "Cannot read the zok-file \"" + name + "\".";
  }
  static std::string Then(const std::string& newer, const std::string& older) {
    return newer + "\n\r\n\r" + older;
  }
  // What a failed call left in the error list; empty when it did not fail.
  template <class F>
  static std::string FailureOf(F&& action) {
    try {
      action();
    } catch (const EDying&) {
      return Errors();
    }
    return "";
  }

  std::vector<std::string> DirectoryEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir dir_;
  TempDir log_dir_;
  TMessageContainer texts_{"english", {ZOK_SHIPPED_BASE_PATH, "", true}};
  THostGlobals saved_;
};

// --- The header -----------------------------------------------------------

struct HeaderField {
  const char* label;
  size_t offset;
  std::string plain;    // expected bytes for variant 0
  std::string signed_;  // and for variant s
};

// 43 bytes with a published MD5.
const std::string kFox = "The quick brown fox jumps over the lazy dog";

const HeaderField kHeaderFields[] = {
    {"signature", 0, "ZOK", "ZOK"},
    {"variant", 3, "0", "s"},
    {"reserved", 4, std::string(8, '\0'), std::string(8, '\0')},
    {"data_size", 12, Le64(43), Le64(43)},
    {"sizes", 20, "\4\4\4\4", "\4\4\4\4"},
    {"digest", 24, std::string(16, '\0'), Hex("9e107d9d372bb6826bd81d3542a419d6")},
    {"stamp", 40, Le64(kStamp), Le64(kStamp)},
    {"reserved_tail", 48, std::string(80, '\0'), std::string(80, '\0')},
};

class ZokFileHeader : public ZokFileTest,
                      public testing::WithParamInterface<std::tuple<const char*, char>> {};

TEST_P(ZokFileHeader, FieldsSitAtTheirOffsets) {
  const auto [name, variant] = GetParam();
  WriteZok(name, variant, kFox, {20, 23});
  const std::string file = name[0] == '$' ? ContainerBytes(name) : dir_.Read(name);
  ASSERT_EQ(file.size(), 128u + kFox.size());
  EXPECT_EQ(file.substr(128), kFox);
  for (const HeaderField& field : kHeaderFields) {
    const std::string& expected = variant == 's' ? field.signed_ : field.plain;
    EXPECT_EQ(file.substr(field.offset, expected.size()), expected) << field.label;
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, ZokFileHeader,
                         testing::Combine(testing::Values("fox.zok", "$z"),
                                          testing::Values('0', 's')));

TEST_F(ZokFileTest, ContainerHeaderIsItsOwnFirstChunk) {
  WriteZok("$z", 's', Pattern(100), {100});
  TContainer* c = FindContainer("$z");
  ASSERT_NE(c, nullptr);
  int32_t size = 0;
  c->Rewind();
  c->NextChunk(size);
  EXPECT_EQ(size, 128);
}

TEST_F(ZokFileTest, UnknownVariantIsRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"x.zok", "$z"}) {
    EXPECT_EQ(FailureOf([&] { ZokFileBeginWrite(name, 'x'); }),
              std::string("The zok-file \"") + name + "\" has the unknown format ZOKx.");
  }
  EXPECT_TRUE(DirectoryEntries().empty());
  EXPECT_EQ(FindContainer("$z"), nullptr);
}

TEST_F(ZokFileTest, UnwritableDiskFileIsAWriteError) {
  const std::string errors = FailureOf([] { ZokFileBeginWrite("missing/x.zok", '0'); });
  EXPECT_EQ(errors.rfind("Cannot write the zok-file \"missing/x.zok\".", 0), 0u) << errors;
}

// --- Round trips ----------------------------------------------------------

TEST_F(ZokFileTest, ContainersGiveBackTheChunksAsWritten) {
  const std::string data = Pattern(10000);
  for (char variant : {'0', 's'}) {
    WriteZok("$z", variant, data, {4096, 4096, 1808});
    const ReadResult read = ReadZok("$z");
    EXPECT_EQ(read.variant, variant);
    EXPECT_EQ(read.Sizes(), (std::vector<size_t>{4096, 4096, 1808}));
    EXPECT_EQ(read.Data(), data);
    EXPECT_EQ(ZokFileReadStamp(), kStamp);
  }
}

TEST_F(ZokFileTest, DiskFilesComeBackInFullChunksWhateverTheWriting) {
  const std::string data = Pattern(10000, 3);
  for (char variant : {'0', 's'}) {
    WriteZok("d.zok", variant, data, {1000, 3000, 4096, 1904});
    const ReadResult read = ReadZok("d.zok");
    EXPECT_EQ(read.variant, variant);
    EXPECT_EQ(read.Sizes(), (std::vector<size_t>{4096, 4096, 1808}));
    EXPECT_EQ(read.Data(), data);
    EXPECT_EQ(ZokFileReadStamp(), kStamp);
  }
  EXPECT_EQ(ContainerBytes(kScratch), "");  // the signed read's copy is gone
}

// Session files are named by the absolute session path: such a name is
// the file itself, not a name under the program's directory.
TEST_F(ZokFileTest, DiskFileNamedByAnAbsolutePathIsThatFile) {
  const std::string name = log_dir_ / "session.zok";
  WriteZok(name, '0', "game", {4});
  EXPECT_TRUE(std::filesystem::is_regular_file(name));
  EXPECT_EQ(ReadZok(name).Data(), "game");
}

TEST_F(ZokFileTest, EmptyFilesReadAsNoData) {
  for (const char* name : {"e.zok", "$z"}) {
    for (char variant : {'0', 's'}) {
      WriteZok(name, variant, "", {0});
      EXPECT_TRUE(ReadZok(name).chunks.empty()) << name << variant;
    }
  }
}

TEST_F(ZokFileTest, ReadingPastTheEndKeepsGivingNothing) {
  for (const char* name : {"p.zok", "$z"}) {
    WriteZok(name, 's', Pattern(8), {8});
    ZokFileBeginRead(name);
    int32_t size = 0;
    ZokFileRead(size);
    EXPECT_EQ(size, 8);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(ZokFileRead(size), nullptr);
      EXPECT_EQ(size, 0);
    }
    ZokFileEnd(false, "");
  }
}

TEST_F(ZokFileTest, SignedContainerIsCheckedWhereTheReaderStopsEarly) {
  WriteZok("$z", 's', Pattern(9000), Pieces(9000));
  ZokFileBeginRead("$z");
  int32_t size = 0;
  ZokFileRead(size);
  EXPECT_NO_THROW(ZokFileEnd(false, ""));

  // Damage in a chunk the reader never asked for is still found.
  TContainer* c = FindContainer("$z");
  c->Rewind();
  for (int i = 0; i < 3; ++i) c->NextChunk(size);
  static_cast<char*>(c->NextChunk(size))[0] ^= 1;
  ZokFileBeginRead("$z");
  ZokFileRead(size);
  EXPECT_EQ(FailureOf([] { ZokFileEnd(false, ""); }), Corrupt("$z", "MD5 sum mismatch"));
}

TEST_F(ZokFileTest, SavedContainerIsTheCompleteFileOnDisk) {
  ZokFileBeginWrite("$z", 's');
  for (int32_t piece : {4096, 100}) {
    int32_t capacity = 0;
    std::memcpy(ZokFileWriteBuffer(capacity), Pattern(piece, piece).data(), piece);
    ZokFileWrite(piece);
  }
  ZokFileEnd(true, "saved.zok");
  EXPECT_EQ(dir_.Read("saved.zok"), ContainerBytes("$z"));
  EXPECT_EQ(ReadZok("saved.zok").Data(), Pattern(4096, 4096) + Pattern(100, 100));
}

TEST_F(ZokFileTest, SaveFailureIsTheFileSystemsOwnError) {
  ZokFileBeginWrite("$z", '0');
  EXPECT_THROW(ZokFileEnd(true, "missing/saved.zok"), std::runtime_error);
  EXPECT_EQ(ErrorCount(), 0u);
  EXPECT_EQ(ContainerBytes("$z").size(), 128u);
  WriteZok("$z", '0', "abcd", {4});  // closed: the next file opens
}

TEST_F(ZokFileTest, TableEntriesTakeTheModulesArguments) {
  zokfile_entry::ZokFileBeginWrite("$z", 0x100 | 's');  // only the low byte is the variant
  int32_t size = 0;
  void* buffer = zokfile_entry::ZokFileWriteBuffer(&size);
  EXPECT_EQ(size, kZokChunkSize);
  std::memcpy(buffer, "abcd", 4);
  zokfile_entry::ZokFileWrite(4);
  zokfile_entry::ZokFileEnd(0, nullptr);

  uint8_t format = 0;
  zokfile_entry::ZokFileBeginRead("$z", &format);
  EXPECT_EQ(format, 's');
  EXPECT_EQ(zokfile_entry::ZokFileReadStamp(), kStamp);
  const void* chunk = zokfile_entry::ZokFileRead(&size);
  EXPECT_EQ(std::string(static_cast<const char*>(chunk), static_cast<size_t>(size)), "abcd");
  EXPECT_EQ(zokfile_entry::ZokFileRead(&size), nullptr);
  EXPECT_EQ(size, 0);
  zokfile_entry::ZokFileEnd(0, nullptr);
}

// --- Refused files --------------------------------------------------------

struct Damage {
  const char* label;
  std::function<void(std::string&)> change;  // applied to the whole file
  std::string reason;                        // empty: the file is accepted
  const char* reported = nullptr;            // other than MI_ZOKFILE_CORRUPT
};

const Damage kDamages[] = {
    {"signature", [](std::string& f) { f[0] = 'X'; }, "Wrong signature"},
    {"signature_cut_by_zero", [](std::string& f) { f[2] = '\0'; }, "Wrong signature"},
    {"variant", [](std::string& f) { f[3] = 'q'; }, "", "has the unknown format ZOKq."},
    {"size_field", [](std::string& f) { f[12] ^= 4; }, "Size mismatch"},
    {"cut_short", [](std::string& f) { f.resize(f.size() - 4); }, "Size mismatch"},
    {"grown", [](std::string& f) { f += "abcd"; }, "Size mismatch"},
    {"half_header", [](std::string& f) { f.resize(60); }, "Size mismatch"},
    {"nothing", [](std::string& f) { f.clear(); }, "Size mismatch"},
    {"data_byte", [](std::string& f) { f[128 + 5000] ^= 1; }, "MD5 sum mismatch"},
    {"digest_byte", [](std::string& f) { f[24 + 15] ^= 1; }, "MD5 sum mismatch"},
    {"ignored_sizes_and_reserved", [](std::string& f) { f[20] = f[4] = f[100] = 9; }, ""},
};

class ZokFileDamage : public ZokFileTest, public testing::WithParamInterface<Damage> {};

TEST_P(ZokFileDamage, DiskFileIsRefusedAtOpeningWithItsReason) {
  const Damage& damage = GetParam();
  for (char variant : {'0', 's'}) {
    const std::string data = Pattern(9000, variant);
    WriteZok("d.zok", variant, data, Pieces(9000));
    std::string file = dir_.Read("d.zok");
    damage.change(file);
    dir_.Write("d.zok", file);

    // The digest only guards signed files.
    const bool refused =
        !damage.reason.empty() && !(damage.reason == "MD5 sum mismatch" && variant == '0');
    const std::string cause = damage.reported
                                  ? std::string("The zok-file \"d.zok\" ") + damage.reported
                                  : Corrupt("d.zok", damage.reason);
    const std::string errors = FailureOf([] { ReadZok("d.zok"); });
    if (refused || damage.reported) {
      EXPECT_EQ(errors, Then(CannotRead("d.zok"), cause)) << variant;
    } else {
      EXPECT_EQ(errors, "") << variant;
    }
  }
}

TEST_P(ZokFileDamage, ContainerIsRefusedLikeTheDiskFile) {
  const Damage& damage = GetParam();
  WriteZok("$z", 's', Pattern(9000), Pieces(9000));
  const std::string original = ContainerBytes("$z");
  std::string file = original;
  damage.change(file);
  // Header and data stay separate chunks, as written.
  std::vector<std::string> chunks = {file.substr(0, 128)};
  for (size_t at = 128; at < file.size(); at += 4096) chunks.push_back(file.substr(at, 4096));
  if (file.empty()) chunks.clear();
  FillContainer("$z", chunks);

  const std::string errors = FailureOf([] { ReadZok("$z"); });
  if (file.size() < 128) {
    // A container's header is its first chunk, whole or missing.
    EXPECT_EQ(errors,
              Then(CannotRead("$z"), Corrupt("$z", "Container's header chunk size mismatch")));
  } else if (damage.reason.empty() && !damage.reported) {
    EXPECT_EQ(errors, "");
  } else if (damage.reason == "MD5 sum mismatch") {
    // Containers are digested while read and judged when closed.
    EXPECT_EQ(errors, Corrupt("$z", damage.reason));
  } else if (damage.reported) {
    EXPECT_EQ(errors,
              Then(CannotRead("$z"), std::string("The zok-file \"$z\" ") + damage.reported));
  } else {
    EXPECT_EQ(errors, Then(CannotRead("$z"), Corrupt("$z", damage.reason)));
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ZokFileDamage, testing::ValuesIn(kDamages),
                         [](const testing::TestParamInfo<Damage>& info) {
                           return info.param.label;
                         });

TEST_F(ZokFileTest, ReasonsFollowTheConfiguredLanguage) {
  TMessageContainer russian("russian", {ZOK_SHIPPED_BASE_PATH, "", true});
  g_messages = &russian;
  dir_.Write("d.zok", std::string(128, 'X'));
  const std::string errors = FailureOf([] { ZokFileBeginRead("d.zok"); });
  g_messages = &texts_;
  EXPECT_NE(errors.find("Zok-файл \"d.zok\" повреждён (Неверная сигнатура)."), std::string::npos)
      << errors;
}

TEST_F(ZokFileTest, PlainFileWithAChangedByteIsReadAsItIs) {
  WriteZok("d.zok", '0', Pattern(100), {100});
  std::string file = dir_.Read("d.zok");
  file[130] ^= 1;
  dir_.Write("d.zok", file);
  EXPECT_EQ(ReadZok("d.zok").Data(), file.substr(128));
}

TEST_F(ZokFileTest, ContainerHeaderChunkMustBeWhole) {
  FillContainer("$z", {std::string(100, 'Z'), std::string(28, '\0')});
  EXPECT_EQ(FailureOf([] { ZokFileBeginRead("$z"); }),
            Then(CannotRead("$z"), Corrupt("$z", "Container's header chunk size mismatch")));
  FillContainer("$z", {});
  EXPECT_EQ(FailureOf([] { ZokFileBeginRead("$z"); }),
            Then(CannotRead("$z"), Corrupt("$z", "Container's header chunk size mismatch")));
}

TEST_F(ZokFileTest, DataNotInWholeWordsIsRefusedAtTheChunkWithTheRest) {
  const std::string chunk_text = "Data chunk size is not divisible by 4 bytes";
  for (const char* name : {"d.zok", "$z"}) {
    for (char variant : {'0', 's'}) {
      WriteZok(name, variant, Pattern(4098), {4096, 2});
      ZokFileBeginRead(name);
      int32_t size = 0;
      ZokFileRead(size);
      EXPECT_EQ(size, 4096);
      EXPECT_EQ(FailureOf([&] { ZokFileRead(size); }), Corrupt(name, chunk_text));
      // The failure closed the file.
      EXPECT_EQ(FailureOf([] { ZokFileEnd(false, ""); }),
                "Programming error: Attempt to close the already closed zok-file.");
    }
  }
}

TEST_F(ZokFileTest, MissingFilesAreNamed) {
  EXPECT_EQ(FailureOf([] { ZokFileBeginRead("none.zok"); }),
            Then(CannotRead("none.zok"), "File \"none.zok\" not found."));
  EXPECT_EQ(FailureOf([] { ZokFileBeginRead("$never"); }),
            Then(CannotRead("$never"), "Container \"$never\" does not exist."));
}

// --- Protocol errors ------------------------------------------------------

struct Misuse {
  const char* label;
  std::function<void()> setup;
  std::function<void()> call;
  std::string text;
};

void OpenForWriting() {
  ZokFileBeginWrite("w.zok", '0');
}
void OpenForReading() {
  WriteZok("r.zok", '0', "abcd", {4});
  ZokFileBeginRead("r.zok");
}
void TakeBuffer() {
  int32_t size = 0;
  ZokFileWriteBuffer(size);
}
void ReadOnce() {
  int32_t size = 0;
  ZokFileRead(size);
}

const Misuse kMisuses[] = {
    {"close_twice", [] { OpenForReading(), ZokFileEnd(false, ""); }, [] { ZokFileEnd(false, ""); },
     "Attempt to close the already closed zok-file."},
    {"read_closed", [] {}, ReadOnce, "Attempt to read from zok-file while it wasn't opened yet."},
    {"read_writing", OpenForWriting, ReadOnce,
     "Attempt to read from zok-file while it is open for writing."},
    {"write_closed", TakeBuffer, [] { ZokFileWrite(4); },
     "Attempt to write to zok-file while it wasn't opened yet."},
    {"write_reading", [] { OpenForReading(), TakeBuffer(); }, [] { ZokFileWrite(4); },
     "Attempt to write to zok-file while it is open for reading."},
    {"write_without_buffer", OpenForWriting, [] { ZokFileWrite(4); },
     "Attempt to write to zok-file without taking a write buffer first."},
    {"write_same_buffer_twice", [] { OpenForWriting(), TakeBuffer(), ZokFileWrite(4); },
     [] { ZokFileWrite(4); }, "Attempt to write to zok-file without taking a write buffer first."},
    {"write_too_much", [] { OpenForWriting(), TakeBuffer(); }, [] { ZokFileWrite(4097); },
     "Attempt to write to zok-file more bytes than the write buffer holds."},
    {"write_negative", [] { OpenForWriting(), TakeBuffer(); }, [] { ZokFileWrite(-1); },
     "Attempt to write to zok-file more bytes than the write buffer holds."},
};

class ZokFileMisuse : public ZokFileTest, public testing::WithParamInterface<Misuse> {};

TEST_P(ZokFileMisuse, IsAProgrammingErrorThatLeavesTheFileClosed) {
  dir_.Write("w.zok", "previous");
  GetParam().setup();
  EXPECT_EQ(FailureOf(GetParam().call), "Programming error: " + GetParam().text);
  EXPECT_EQ(FailureOf([] { ZokFileEnd(false, ""); }),
            "Programming error: Attempt to close the already closed zok-file.");
  EXPECT_EQ(dir_.Read("w.zok"), "previous");
}

INSTANTIATE_TEST_SUITE_P(Calls, ZokFileMisuse, testing::ValuesIn(kMisuses),
                         [](const testing::TestParamInfo<Misuse>& info) {
                           return info.param.label;
                         });

TEST_F(ZokFileTest, OpeningAnotherFileDropsAnUnfinishedOne) {
  WriteZok("keep.zok", '0', "old!", {4});
  const std::string previous = dir_.Read("keep.zok");
  for (const std::function<void()>& open_other :
       {std::function<void()>([] { ZokFileBeginRead("keep.zok"); }),
        std::function<void()>([] { ZokFileBeginWrite("$z", 's'); })}) {
    ZokFileBeginWrite("keep.zok", 's');
    TakeBuffer();
    ZokFileWrite(4);
    open_other();
    ZokFileEnd(false, "");
    EXPECT_EQ(dir_.Read("keep.zok"), previous);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"keep.zok"});
  }
}

// --- The container of an open zok-file -----------------------------------

// Host functions that would free, replace or merge the chunks an open
// zok-file works through; each is refused and the file goes on.
struct ContainerChange {
  const char* label;
  void (*call)();
};

void PrintTo(const ContainerChange& change, std::ostream* out) {
  *out << change.label;
}

const ContainerChange kContainerChanges[] = {
    {"delete", [] { HostDeleteContainer("$z"); }},
    {"create_again", [] { HostCreateContainer("$z", 8); }},
    {"whole_data", [] { HostContainerData("$z"); }},
    {"load", [] { HostLoadContainer("$z", "other.bin", nullptr); }},
    {"save", [] { HostSaveContainer("$z", "copy.bin"); }},
};

class ZokFileContainerInUse : public ZokFileTest,
                              public testing::WithParamInterface<ContainerChange> {
 protected:
  static void Append(const std::string& bytes) {
    int32_t capacity = 0;
    std::memcpy(ZokFileWriteBuffer(capacity), bytes.data(), bytes.size());
    ZokFileWrite(static_cast<int32_t>(bytes.size()));
  }
  static constexpr const char* kRefused =
      "The container \"$z\" is in use by an open zok-file or a picture being decoded.";
};

TEST_P(ZokFileContainerInUse, WhileWrittenIsRefused) {
  dir_.Write("other.bin", "xyz");
  ZokFileBeginWrite("$z", 's');
  Append("game");
  EXPECT_NE(FailureOf(GetParam().call).find(kRefused), std::string::npos) << Errors();
  Append("over");
  ZokFileEnd(false, "");
  EXPECT_EQ(ReadZok("$z").Data(), "gameover");
}

TEST_P(ZokFileContainerInUse, WhileReadIsRefused) {
  dir_.Write("other.bin", "xyz");
  WriteZok("$z", 's', "abcdefgh", {4, 4});
  ZokFileBeginRead("$z");
  int32_t size = 0;
  const uint8_t* first = ZokFileRead(size);
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(first), static_cast<size_t>(size)), "abcd");
  EXPECT_NE(FailureOf(GetParam().call).find(kRefused), std::string::npos) << Errors();
  const uint8_t* second = ZokFileRead(size);
  ASSERT_EQ(std::string(reinterpret_cast<const char*>(second), static_cast<size_t>(size)), "efgh");
  ZokFileEnd(false, "");
  // Closed, the container is free again.
  GetParam().call();
}

INSTANTIATE_TEST_SUITE_P(Changes, ZokFileContainerInUse, testing::ValuesIn(kContainerChanges),
                         [](const testing::TestParamInfo<ContainerChange>& info) {
                           return std::string(info.param.label);
                         });

// --- Interrupted writes ---------------------------------------------------

class ZokFileInterruptedWrite : public ZokFileTest {
 protected:
  void SetUp() override {
    ZokFileTest::SetUp();
    WriteZok("s.zok", 's', old_data_, Pieces(old_data_.size()));
    old_file_ = dir_.Read("s.zok");
  }
  void WriteNew() { WriteZok("s.zok", 's', new_data_, Pieces(new_data_.size(), 3000)); }
  // The file as it was, and still readable.
  void ExpectOldFile() {
    EXPECT_EQ(dir_.Read("s.zok"), old_file_);
    EXPECT_EQ(ReadZok("s.zok").Data(), old_data_);
  }

  // Written in pieces of 3000 bytes, the new file goes out in three writes
  // of gathered pieces: after the temporary file and its mode come three
  // writes, the header again, sync, close and rename.
  static constexpr int kSteps = 9;
  const std::string old_data_ = Pattern(9000, 1);
  const std::string new_data_ = Pattern(600000, 2);
  std::string old_file_;
};

TEST_F(ZokFileInterruptedWrite, AFailingSystemCallAtAnyStepKeepsThePreviousFile) {
  int step = 0;
  for (int fail_at = 1;; ++fail_at) {
    int calls = 0;
    platform::SetReplacingFileFaultHook([&] { return ++calls == fail_at ? EIO : 0; });
    const std::string errors = FailureOf([&] { WriteNew(); });
    platform::SetReplacingFileFaultHook(nullptr);
    if (errors.empty()) {
      step = fail_at;
      break;
    }
    EXPECT_EQ(errors.rfind("Cannot write the zok-file \"s.zok\".", 0), 0u) << errors;
    ExpectOldFile();
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"s.zok"}) << fail_at;
  }
  EXPECT_EQ(step, kSteps + 1);
  EXPECT_EQ(ReadZok("s.zok").Data(), new_data_);
}

TEST_F(ZokFileInterruptedWrite, AFailingSaveOfAContainerKeepsThePreviousFile) {
  for (int fail_at = 1;; ++fail_at) {
    int calls = 0;
    platform::SetReplacingFileFaultHook([&] { return ++calls == fail_at ? ENOSPC : 0; });
    bool failed = false;
    try {
      WriteZok("$y", 's', new_data_, Pieces(new_data_.size()), "s.zok");
    } catch (const std::runtime_error& e) {
      failed = true;
      EXPECT_NE(std::string(e.what()).find("No space left on device"), std::string::npos);
    }
    platform::SetReplacingFileFaultHook(nullptr);
    if (!failed) break;
    ExpectOldFile();
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"s.zok"}) << fail_at;
  }
  EXPECT_EQ(dir_.Read("s.zok"), ContainerBytes("$y"));
}

// A writer killed outright cannot clean up, but whatever it left behind,
// the file under the name is the old one or, once renamed, the new one.
TEST_F(ZokFileInterruptedWrite, AWriterKilledAtAnyStepKeepsThePreviousFile) {
  for (int kill_at = 1;; ++kill_at) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int calls = 0;
      platform::SetReplacingFileFaultHook([&] {
        if (++calls == kill_at) raise(SIGKILL);
        return 0;
      });
      try {
        WriteNew();
      } catch (...) {
        _exit(2);
      }
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0);
      EXPECT_EQ(kill_at, kSteps + 1);
      break;
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << kill_at;
    ExpectOldFile();
  }
  EXPECT_EQ(ReadZok("s.zok").Data(), new_data_);
  // The completed write cleared what the killed ones left behind.
  EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"s.zok"});
}

// --- Long signed files ----------------------------------------------------
// Past its first 64 KiB a signed disk file is digested on a second thread
// while the writer goes on, its buffers used again once digested.

std::string Md5Of(const std::string& data) {
  TMd5 md5;
  md5.Start();
  md5.Update(data.data(), data.size());
  const TMd5Digest digest = md5.Finish();
  return std::string(digest.begin(), digest.end());
}

std::vector<int32_t> Repeated(const std::vector<int32_t>& cycle, int times) {
  std::vector<int32_t> pieces;
  for (int i = 0; i < times; ++i) pieces.insert(pieces.end(), cycle.begin(), cycle.end());
  return pieces;
}

size_t Total(const std::vector<int32_t>& pieces) {
  size_t total = 0;
  for (int32_t piece : pieces) total += static_cast<size_t>(piece);
  return total;
}

struct Piecing {
  const char* label;
  std::vector<int32_t> pieces;
};

const Piecing kPiecings[] = {
    {"full", Pieces(1500000)},
    {"odd", Pieces(1500000, 3000)},
    // Empty and one-byte pieces, and sizes that are not multiples of 4.
    {"mixed", Repeated({4096, 1, 0, 2000, 4095}, 150)},
};

class ZokFileLongSigned : public ZokFileTest, public testing::WithParamInterface<Piecing> {};

// Files back to back, a container between disk files, each with its own
// data: every file has the digest of its own bytes, in their order.
TEST_P(ZokFileLongSigned, FilesCarryTheDigestOfTheirOwnData) {
  const std::vector<int32_t>& pieces = GetParam().pieces;
  int seed = 0;
  for (const char* name : {"long.zok", "$z", "long.zok", "other.zok"}) {
    const std::string data = Pattern(Total(pieces), ++seed);
    WriteZok(name, 's', data, pieces);
    const std::string file = name[0] == '$' ? ContainerBytes(name) : dir_.Read(name);
    ASSERT_EQ(file.size(), 128 + data.size()) << name << seed;
    EXPECT_EQ(file.substr(24, 16), Md5Of(data)) << name << seed;
    EXPECT_TRUE(file.substr(128) == data) << name << seed;
    if (name[0] != '$' && data.size() % 4 == 0) {
      EXPECT_TRUE(ReadZok(name).Data() == data) << name << seed;
    }
  }
  EXPECT_EQ(DirectoryEntries(), (std::vector<std::string>{"long.zok", "other.zok"}));
}

INSTANTIATE_TEST_SUITE_P(Pieces, ZokFileLongSigned, testing::ValuesIn(kPiecings),
                         [](const testing::TestParamInfo<Piecing>& info) {
                           return info.param.label;
                         });

// How a long signed write can stop halfway, with the digest still busy.
// Returns what the error list then holds.
struct Stop {
  const char* label;
  std::function<std::string()> stop;
  std::string error;  // how the error list begins; empty: no failure
};

void WriteFullPieces(int count, int seed) {
  const std::string piece = Pattern(kZokChunkSize, seed);
  for (int i = 0; i < count; ++i) {
    int32_t capacity = 0;
    std::memcpy(ZokFileWriteBuffer(capacity), piece.data(), piece.size());
    ZokFileWrite(kZokChunkSize);
  }
}

std::string FailureText(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDying&) {
    return WideToUtf8(JoinErrors());
  }
  return "";
}

const Stop kStops[] = {
    {"protocol_error",
     [] {
       return FailureText([] {
         TakeBuffer();
         ZokFileWrite(kZokChunkSize + 1);
       });
     },
     "Programming error: Attempt to write to zok-file more bytes"},
    {"another_file_written",
     [] {
       return FailureText([] {
         ZokFileBeginWrite("$z", 's');
         ZokFileEnd(false, "");
       });
     },
     ""},
    // The file being replaced is read while the new one is dropped.
    {"replaced_file_read", [] { return FailureText([] { ReadZok("s.zok"); }); }, ""},
    {"write_fails",
     [] {
       platform::SetReplacingFileFaultHook([] { return EIO; });
       const std::string errors = FailureText([] { WriteFullPieces(200, 9); });
       platform::SetReplacingFileFaultHook(nullptr);
       return errors;
     },
     "Cannot write the zok-file \"s.zok\"."},
    {"end_fails",
     [] {
       platform::SetReplacingFileFaultHook([] { return ENOSPC; });
       const std::string errors = FailureText([] { ZokFileEnd(false, ""); });
       platform::SetReplacingFileFaultHook(nullptr);
       return errors;
     },
     "Cannot write the zok-file \"s.zok\"."},
};

class ZokFileLongSignedStop : public ZokFileTest, public testing::WithParamInterface<Stop> {
 protected:
  // A long file to replace, so that its pages are dropped from the cache
  // while the new one is written.
  const std::string old_data_ = Pattern(2000000, 5);
};

TEST_P(ZokFileLongSignedStop, LeavesThePreviousFileAndTheNextWriteWorks) {
  WriteZok("s.zok", 's', old_data_, Pieces(old_data_.size()));
  const std::string old_file = dir_.Read("s.zok");

  ZokFileBeginWrite("s.zok", 's');
  WriteFullPieces(300, 7);
  const std::string errors = GetParam().stop();
  EXPECT_EQ(errors.substr(0, GetParam().error.size()), GetParam().error) << errors;
  EXPECT_EQ(errors.empty(), GetParam().error.empty()) << errors;
  // Whatever stopped it, the file is closed.
  EXPECT_EQ(FailureText([] { ZokFileEnd(false, ""); }),
            "Programming error: Attempt to close the already closed zok-file.");

  EXPECT_TRUE(dir_.Read("s.zok") == old_file);
  EXPECT_TRUE(ReadZok("s.zok").Data() == old_data_);
  EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"s.zok"});

  const std::string new_data = Pattern(1000000, 6);
  WriteZok("s.zok", 's', new_data, Pieces(new_data.size()));
  EXPECT_TRUE(ReadZok("s.zok").Data() == new_data);
}

INSTANTIATE_TEST_SUITE_P(Ways, ZokFileLongSignedStop, testing::ValuesIn(kStops),
                         [](const testing::TestParamInfo<Stop>& info) { return info.param.label; });

}  // namespace
