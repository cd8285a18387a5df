// The language files the host ships: complete in both languages, and every
// text uses exactly the arguments the code passes with it.
#include <gtest/gtest.h>

#include <set>

#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "support/temp_dir.h"

namespace {

struct ArgumentCount {
  TMessageID id;
  int count;
};
constexpr ArgumentCount kArgumentCounts[] = {
#include "unit/message_arguments.inc"
};
static_assert(std::size(kArgumentCounts) == MI_CORE_MIDs_END);

// The placeholders %0..%9 a text uses.
std::set<int> Placeholders(const std::u16string& text) {
  std::set<int> found;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == u'%' && text[i + 1] >= u'0' && text[i + 1] <= u'9') {
      found.insert(text[i + 1] - u'0');
    }
  }
  return found;
}

TMessageContainer LoadShipped(const std::string& language) {
  return TMessageContainer(language, {ZOK_SHIPPED_BASE_PATH, "", true});
}

class ShippedTexts : public testing::TestWithParam<const char*> {};

TEST_P(ShippedTexts, CompleteStrictAndMatchingTheCode) {
  const TMessageContainer texts = LoadShipped(GetParam());  // strict: throws on any gap
  for (const ArgumentCount& row : kArgumentCounts) {
    std::set<int> expected;
    for (int i = 0; i < row.count; ++i) expected.insert(i);
    EXPECT_EQ(Placeholders(texts.Text(row.id)), expected) << MessageIdName(row.id);
  }
  EXPECT_TRUE(texts.Text(MI_CORE_MIDs_END).empty());
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedTexts, testing::Values("english", "russian"));

TEST(ShippedTextsTable, RowsAreInIdentifierOrder) {
  for (int i = 0; i < MI_CORE_MIDs_END; ++i) EXPECT_EQ(kArgumentCounts[i].id, i);
}

// Error reports that read message texts.
class ShippedTextsReports : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = Host();
    Host().working_directory = log_dir_.Path();
    Host().second_instance = false;
    ResetLogStateForTests();
    g_messages = &texts_;
  }
  void TearDown() override {
    g_messages = nullptr;
    ResetLogStateForTests();
    Host() = saved_;
  }

  TempDir log_dir_;
  TMessageContainer texts_ = LoadShipped("english");
  THostGlobals saved_;
};

TEST_F(ShippedTextsReports, DescribeExceptionNamesClassAndMessage) {
  const std::u16string text =
      DescribeException(std::make_exception_ptr(std::runtime_error("disk on fire")));
  EXPECT_NE(text.find(u"std::runtime_error"), std::u16string::npos);
  EXPECT_NE(text.find(u"disk on fire"), std::u16string::npos);
  EXPECT_EQ(DescribeException(std::make_exception_ptr(EAbstractError())),
            texts_.Text(MI_EABSTRACT_EXPLAIN));
  EXPECT_EQ(DescribeException(std::make_exception_ptr(42)), u"");
  EXPECT_EQ(DescribeException(nullptr), u"");
}

TEST_F(ShippedTextsReports, FatalErrorInAHandlerAddsTheCauseOnlyFirstTime) {
  try {
    try {
      throw std::runtime_error("disk on fire");
    } catch (...) {
      FatalError(MI_ERROR_EXCEPTION);
    }
  } catch (const EDying&) {
  }
  try {
    try {
      throw std::runtime_error("second cause");
    } catch (...) {
      FatalError(MI_ERROR_EXCEPTION);
    }
  } catch (const EDying&) {
  }
  const std::u16string report = JoinErrors();
  const std::u16string first = texts_.Text(MI_ERROR_EXCEPTION);
  // Newest first: the second error without its cause, then the first with it.
  EXPECT_EQ(report.substr(0, first.size() + 4), first + u"\n\r\n\r");
  EXPECT_NE(report.find(u"disk on fire"), std::u16string::npos);
  EXPECT_EQ(report.find(u"second cause"), std::u16string::npos);
}

TEST_F(ShippedTextsReports, EFakeIsNeverDescribed) {
  try {
    try {
      throw EFake();
    } catch (...) {
      FatalError(MI_ERROR_EXCEPTION);
    }
  } catch (const EDying&) {
  }
  EXPECT_EQ(JoinErrors(), texts_.Text(MI_ERROR_EXCEPTION));
}

TEST_F(ShippedTextsReports, LastErrorTextNamesTheCodeInHex) {
  SetLastError(13);
  const std::u16string text = LastErrorText();
  EXPECT_EQ(text.substr(0, 4), u"\n\r\n\r");
  EXPECT_NE(text.find(u"0000000D"), std::u16string::npos);
  EXPECT_NE(text.find(u"Permission denied"), std::u16string::npos);
  ClearLastError();
}

}  // namespace
