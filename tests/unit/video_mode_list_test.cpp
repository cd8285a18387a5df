#include "host/display/video_mode_list.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoModeList, EntriesAreSizeThenDistinctRatesInOrderSeen) {
  TVideoModes modes;
  modes.AddVideoMode(32, 800, 600, 60);
  modes.AddVideoMode(32, 800, 600, 75);
  modes.AddVideoMode(32, 800, 600, 60);  // the same rate twice: once
  modes.AddVideoMode(32, 800, 600, 85);
  modes.AddVideoMode(32, 640, 480, 0);
  modes.SortAll();
  const TVideoModeList& list = modes.List(32);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Entry(0), "064004800000");
  EXPECT_EQ(list.Entry(1), "08000600006000750085");
  EXPECT_EQ(list.Width(1), 800);
  EXPECT_EQ(list.Height(1), 600);
  EXPECT_EQ(list.Find(800, 600), 1);
  EXPECT_EQ(list.Find(1024, 768), -1);
  EXPECT_EQ(list.BestRate(1), 85);
  EXPECT_EQ(list.BestRate(0), 0);
  EXPECT_EQ(list.BestRate(-1), 0);
}

TEST(VideoModeList, OutOfRangeModesNeverEnter) {
  struct Case {
    int32_t bits, width, height, rate;
    bool listed;
  };
  const Case cases[] = {
      {32, 1024, 768, 60, true},   {32, 4096, 4096, 500, true}, {32, 4097, 768, 60, false},
      {32, 1024, 4097, 60, false}, {32, 1024, 768, 501, false}, {32, -1, 768, 60, false},
      {8, 1024, 768, 60, false},   {15, 1024, 768, 60, false},  {16, 1024, 768, 60, true},
      {24, 1024, 768, 60, true},
  };
  for (const Case& c : cases) {
    TVideoModes modes;
    modes.AddVideoMode(c.bits, c.width, c.height, c.rate);
    const int32_t listed =
        (c.bits == 16 || c.bits == 24 || c.bits == 32)
            ? modes.List(c.bits).Count()
            : modes.List(16).Count() + modes.List(24).Count() + modes.List(32).Count();
    EXPECT_EQ(listed, c.listed ? 1 : 0)
        << c.bits << " " << c.width << "x" << c.height << "@" << c.rate;
  }
}

TEST(VideoModeList, SortsByWidthThenHeight) {
  TVideoModeList list;
  for (auto [w, h] : {std::pair{1280, 1024}, {800, 600}, {1280, 720}, {1024, 768}})
    list.Add(w, h, 60);
  list.Sort();
  EXPECT_EQ(list.Width(0), 800);
  EXPECT_EQ(list.Width(1), 1024);
  EXPECT_EQ(list.Height(2), 720);
  EXPECT_EQ(list.Height(3), 1024);
}

}  // namespace
