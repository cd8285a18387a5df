#include <gtest/gtest.h>

#include "shared/zok_protocol.h"

namespace {

TEST(ProtocolAlignFieldEnd, Cases) {
  struct Case {
    uint32_t offset, size, alignment, expected;
  };
  const Case cases[] = {
      {8, 2, 4, 12}, {8, 4, 4, 12}, {12, 4, 8, 16}, {0, 1, 1, 4},
      {0, 8, 8, 8},  {4, 8, 8, 16}, {3, 1, 2, 4},   {16, 10, 16, 32},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlignFieldEnd(c.offset, c.size, c.alignment), c.expected)
        << c.offset << "," << c.size << "," << c.alignment;
  }
}

TEST(ProtocolBoolText, AnyNonZeroIsTrue) {
  EXPECT_STREQ(BoolText(0), "false");
  for (int32_t v : {1, -1, 2, 0x7fffffff}) EXPECT_STREQ(BoolText(v), "true");
}

TEST(ProtocolCbMessage, NamesAndRange) {
  EXPECT_STREQ(CbMessageName(Re_OnGetFocus), "Re_OnGetFocus");
  EXPECT_STREQ(CbMessageName(Re_OnCycle), "Re_OnCycle");
  EXPECT_STREQ(CbMessageName(Re_Stub), "Re_Stub");
  EXPECT_STREQ(CbMessageName(14), "?");
  EXPECT_STREQ(CbMessageName(-1), "?");
  EXPECT_EQ(kCbMessageHighest, 13);
}

TEST(ProtocolImageMode, BytesPerPixel) {
  EXPECT_EQ(BytesPerPixel(Im_RGB), 3);
  EXPECT_EQ(BytesPerPixel(Im_RGBA), 4);
  EXPECT_EQ(BytesPerPixel(Im_Gray), 1);
}

}  // namespace
