#include "shared/message_ids.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(MessageIdsTest, HostAndModuleAgreeOnTheCount) {
  EXPECT_EQ(kMessageIdCount, 94);
  EXPECT_EQ(MI_CORE_MIDs_END, 93);
}

TEST(MessageIdsTest, NamesAndKeys) {
  struct Case {
    TMessageID id;
    const char* name;
    const char* key;
  };
  const Case cases[] = {
      {MI_ZOK_TITLE, "MI_ZOK_TITLE", "ZOK_TITLE"},
      {MI_LOG_Choosenpixelformat, "MI_LOG_Choosenpixelformat", "LOG_CHOOSENPIXELFORMAT"},
      {MI_INVALID_HOST_HOTKEY_RECORD, "MI_INVALID_HOST_HOTKEY_RECORD",
       "INVALID_HOST_HOTKEY_RECORD"},
      {MI_BASKET_FAIL_LOAD, "MI_BASKET_FAIL_LOAD", "BASKET_FAIL_LOAD"},
      {MI_FREQ_UNSTABLE_TIMER_ROLLBACK, "MI_FREQ_UNSTABLE_TIMER_ROLLBACK",
       "FREQ_UNSTABLE_TIMER_ROLLBACK"},
      // The end marker never has a text, so it has no key either.
      {MI_CORE_MIDs_END, "MI_CORE_MIDs_END", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(MessageIdName(c.id), c.name);
    EXPECT_STREQ(MessageKey(c.id), c.key);
  }
}

// Language files find an entry by its key alone, so two identifiers with
// the same key would make one of them unreachable.
TEST(MessageIdsTest, EveryTextIdentifierHasItsOwnUpperCaseKey) {
  std::set<std::string> names;
  std::set<std::string> keys;
  for (int32_t value = 0; value < MI_CORE_MIDs_END; ++value) {
    const auto id = static_cast<TMessageID>(value);
    const std::string name = MessageIdName(id);
    const std::string key = MessageKey(id);
    SCOPED_TRACE(name);
    EXPECT_EQ(name.rfind("MI_", 0), 0u);
    EXPECT_FALSE(key.empty());
    EXPECT_EQ(key.find_first_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos);
    names.insert(name);
    keys.insert(key);
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(MI_CORE_MIDs_END));
  EXPECT_EQ(keys.size(), static_cast<size_t>(MI_CORE_MIDs_END));
}

TEST(MessageIdsTest, ValuesOutsideTheEnumerationHaveNoName) {
  for (int32_t value : {-1, kMessageIdCount, 1000}) {
    SCOPED_TRACE(value);
    EXPECT_STREQ(MessageIdName(static_cast<TMessageID>(value)), "");
    EXPECT_STREQ(MessageKey(static_cast<TMessageID>(value)), "");
  }
}

}  // namespace
