// The family's Save and Load on the basket stream: the words each member
// writes, and lengths that cannot be right.
#include <gtest/gtest.h>

#include "module/persistence/basket_session.h"
#include "module/persistence/persistence_types.h"
#include "support/memory_basket_io.h"
#include "support/persistence_harness.h"

namespace {

class DynaBasketTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    BasketSession().Stream = &stream;
    stream.BeginWriting("dyna.zok", 0);
  }
  void TearDown() override {
    BasketSession().Stream = nullptr;
    TPersistenceTest::TearDown();
  }
  std::vector<uint32_t> Written() {
    stream.FinishWriting();
    return io.Words();
  }
  void StartReading() {
    stream.Close();
    stream.BeginReading("dyna.zok");
  }
  TWordStream stream{io};
};

TEST_F(DynaBasketTest, MembersWriteTheirWords) {
  TAOS strings;
  strings.Add("abc");
  strings.Add("");
  strings.Save();
  TAOW wide;
  wide.Add(u"\u0102");
  wide.Save();
  T2DAOI grid;
  grid.Resize(2);
  grid.Row(0)->Add(1);
  grid.Row(0)->Add(2);
  grid.Save();
  TAOF floats;
  floats.Add(1.0f);
  floats.Save();
  EXPECT_EQ(Written(), (std::vector<uint32_t>{2, 3, 0x00636261, 0, 1, 1, 0x0102, 2, 2, 1, 2, 0, 1,
                                              0x3f800000}));
  StartReading();
  TAOS strings2;
  strings2.Add("old");
  strings2.Load();
  EXPECT_EQ(strings2.Length, 2);
  EXPECT_EQ(strings2[0], "abc");
  TAOW wide2;
  wide2.Load();
  EXPECT_EQ(wide2[0], u"\u0102");
  T2DAOI grid2;
  grid2.Load();
  ASSERT_EQ(grid2.Length, 2);
  EXPECT_EQ(grid2.Row(0)->Length, 2);
  EXPECT_EQ(grid2.Row(1)->Length, 0);
  TAOF floats2;
  floats2.Load();
  EXPECT_EQ(floats2[0], 1.0f);
}

TEST_F(DynaBasketTest, NameSpaceSavesAsStrings) {
  TNameSpace names;
  names.AddAlias("LONGINT", "INTEGER");
  names.Save();
  EXPECT_EQ(Written(),
            (std::vector<uint32_t>{2, 7, 0x45544e49, 0x00524547, 7, 0x474e4f4c, 0x00544e49}));
  StartReading();
  TNameSpace back;
  back.Load();
  EXPECT_EQ(back.IndexOf("LongInt"), 1);  // stored aliases are plain names
}

TEST_F(DynaBasketTest, LengthsBeyondTheDataAreCorrupt) {
  stream.WriteWord(3);
  stream.WriteWord(1);
  Written();
  StartReading();
  TAOI numbers;
  const std::string text = persistence_test::FatalTextOf([&] { numbers.Load(); });
  EXPECT_NE(text.find("A stored array is longer than the data left."), std::string::npos) << text;
}

TEST_F(DynaBasketTest, UnknownRemainderGrowsWithTheData) {
  // Where the basket does not tell what is left, a huge length fails at the
  // end of the data instead of allocating first.
  io.size_known = false;
  stream.WriteWord(0x7ffffff0);
  stream.WriteWord(5);
  Written();
  StartReading();
  TAOI numbers;
  EXPECT_NE(persistence_test::FatalTextOf([&] { numbers.Load(); }).find("Attempt to read beyond"),
            std::string::npos);
}

// Plain arrays load in blocks and strings in one piece; both must cross
// chunk boundaries and, where the rest is unknown, the steps of growth.
struct BlockLoadCase {
  const char* label;
  bool size_known;
  int32_t chunk_bytes;
  int32_t length;
};

class DynaBlockLoad : public DynaBasketTest, public testing::WithParamInterface<BlockLoadCase> {};

TEST_P(DynaBlockLoad, ValuesAndStringsSurviveEveryChunkingAndGrowth) {
  const BlockLoadCase& c = GetParam();
  TAOI numbers;
  numbers.Resize(c.length);
  for (int32_t i = 0; i < c.length; ++i) numbers[i] = i * 7 - 3;
  const std::string text(static_cast<size_t>(c.length) * 3 + 1, 'z');
  numbers.Save();
  stream.WriteString(text);
  stream.WriteWord(0xEEEEEEEE);
  Written();
  io.size_known = c.size_known;
  io.read_chunk_bytes = c.chunk_bytes;
  StartReading();
  TAOI back;
  back.Add(99);
  back.Load();
  ASSERT_EQ(back.Length, c.length);
  for (int32_t i = 0; i < c.length; ++i) ASSERT_EQ(back[i], i * 7 - 3) << i;
  EXPECT_EQ(stream.ReadString(), text);
  EXPECT_EQ(stream.ReadWord(), 0xEEEEEEEEu);
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, DynaBlockLoad,
    testing::Values(BlockLoadCase{"empty", true, 4096, 0},
                    BlockLoadCase{"one_word_chunks", true, 4, 5},
                    BlockLoadCase{"odd_chunks_known", true, 12, 4097},
                    BlockLoadCase{"odd_chunks_unknown", false, 12, 4097},
                    BlockLoadCase{"past_two_growth_steps_unknown", false, 4096, 10000},
                    BlockLoadCase{"past_two_growth_steps_known", true, 4096, 10000}),
    [](const testing::TestParamInfo<BlockLoadCase>& info) { return info.param.label; });

}  // namespace
