#include "host/messages/log.h"

#include <gtest/gtest.h>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/cl_console.h"
#include "support/temp_dir.h"

namespace {

// UTF-16LE bytes of ASCII text, for comparing with the log file.
std::string Utf16Bytes(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetLogStateForTests();
    saved_ = Host();
    Host().working_directory = dir_.Path();
    Host().second_instance = false;
    Host().debug_mode = false;
    g_console = &console_;
  }
  void TearDown() override {
    g_console = nullptr;
    Host() = saved_;
    ResetLogStateForTests();
  }
  std::string LogBytes() const { return dir_.Read("LOG"); }

  TempDir dir_;
  TConsole console_;
  THostGlobals saved_;
};

TEST_F(LogTest, EntriesShareOneLineFeedAndOnlyTheLastKeepsItsReturn) {
  AddLog(u"a");
  AddLog(u"b");
  AddLog(u"c");
  EXPECT_EQ(LogBytes(), Utf16Bytes(u"\xFEFF"
                                   u"a\nb\nc\n\r"));
  ASSERT_EQ(console_.LineCount(), 3);
  EXPECT_EQ(console_.Line(2), "\177c\n\r");
}

TEST_F(LogTest, ContinuationExtendsTheLastEntryAndConsoleLine) {
  AddLog(u"loading");
  AddLogContinue(u" done");
  EXPECT_EQ(LogBytes(), Utf16Bytes(u"\xFEFF"
                                   u"loading done\n\r"));
  ASSERT_EQ(console_.LineCount(), 1);
  EXPECT_EQ(console_.Line(0), "\177loading done\n\r");
}

TEST_F(LogTest, ContinuationAsFirstOutputCreatesTheFileWithItsMark) {
  g_console = nullptr;
  AddLogContinue(u"x");
  EXPECT_EQ(LogBytes(), Utf16Bytes(u"\xFEFF"
                                   u"x\n\r"));
}

TEST_F(LogTest, EmptyOrMarkOnlyFileGetsEntriesAfterTheMark) {
  for (const std::string& start : {std::string(), std::string("\xFF\xFE")}) {
    dir_.Write("LOG", start);
    AddLog(u"a");
    EXPECT_EQ(LogBytes(), Utf16Bytes(u"\xFEFF"
                                     u"a\n\r"));
    dir_.Write("LOG", start);
    AddLogContinue(u"b");
    EXPECT_EQ(LogBytes(), Utf16Bytes(u"\xFEFF"
                                     u"b\n\r"));
  }
}

TEST_F(LogTest, SecondInstanceWritesConsoleButNotTheFile) {
  Host().second_instance = true;
  AddLog(u"hello");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "LOG"));
  EXPECT_EQ(console_.LineCount(), 1);
}

TEST_F(LogTest, VerboseOnlyInDebugMode) {
  VerboseLog("quiet");
  EXPECT_EQ(console_.LineCount(), 0);
  Host().debug_mode = true;
  VerboseLog("loud %0", {int32_t{7}});
  ASSERT_EQ(console_.LineCount(), 1);
  EXPECT_EQ(console_.Line(0), "\177loud 7\n\r");
}

TEST_F(LogTest, TemplatesWithoutArgumentsKeepTheirPercentSigns) {
  AddLog("100%0 sure");
  EXPECT_EQ(console_.Line(0), "\177100%0 sure\n\r");
}

TEST_F(LogTest, FatalErrorRecordsThrowsAndLogsTheBannerOnce) {
  EXPECT_THROW(FatalErrorText("first"), EDying);
  EXPECT_TRUE(ErrorReported());
  const int lines_after_first = console_.LineCount();
  EXPECT_EQ(lines_after_first, 1);  // the banner
  EXPECT_THROW(FatalErrorText("second"), EDying);
  EXPECT_EQ(console_.LineCount(), lines_after_first);
  EXPECT_EQ(TakeErrorText(), u"second\n\r\n\rfirst");
  EXPECT_FALSE(ErrorReported());
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(LogTest, FatalErrorSurvivesAnUnwritableLog) {
  Host().working_directory = dir_ / "missing/";
  try {
    FatalErrorText("kept");
    FAIL() << "no EDying";
  } catch (const EDying& e) {
    EXPECT_STREQ(e.what(), "kept");
  }
  EXPECT_EQ(JoinErrors(), u"kept");
}

TEST_F(LogTest, WideFatalErrorKeepsCharactersOutsideTheCodeTable) {
  EXPECT_THROW(FatalErrorWide(u"\u00e9\u4e2d"), EDying);
  EXPECT_EQ(JoinErrors(), u"\u00e9\u4e2d");
}

TEST_F(LogTest, QueuedErrorsComeNewestFirst) {
  QueueError(MI_UNDEFINED, {});
  QueueError(MI_UNDEFINED, {});
  EXPECT_EQ(ErrorCount(), 2u);
  JoinErrors();
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(LogTest, LastErrorTextOnlyWhenAnErrorIsSet) {
  ClearLastError();
  EXPECT_TRUE(LastErrorText().empty());
  SetLastError(2);
  EXPECT_EQ(LastErrorText().substr(0, 4), u"\n\r\n\r");
  SetLastErrorText(1, "cannot open shared object file");
  EXPECT_NE(LastErrorText().find(u"00000001"), std::u16string::npos);
  ClearLastError();
}

}  // namespace
