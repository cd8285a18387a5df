#include "host/messages/message_container.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/messages/log.h"
#include "host/messages/utf16_text_file.h"
#include "shared/text_codes.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kOld = 1000000000;  // seconds since the epoch
constexpr int64_t kNew = kOld + 100;

std::u16string Wide(const std::string& text) {
  return Cp1251ToWide(text);
}

// The text the generated files give an identifier in a language.
std::u16string TextOf(const std::string& language, TMessageID id) {
  return Wide(language + " " + MessageKey(id));
}

// An entry with a block per language for every identifier 0 to 92 but the
// skipped ones; lines end with CR LF like an editor writes them.
std::u16string AllEntries(const std::vector<std::string>& languages,
                          const std::set<TMessageID>& skipped = {}) {
  std::u16string text;
  for (int32_t i = 0; i < MI_CORE_MIDs_END; ++i) {
    const auto id = static_cast<TMessageID>(i);
    if (skipped.count(id) != 0) continue;
    text += u"#" + Wide(MessageKey(id)) + u"\r\n";
    for (const std::string& language : languages) {
      text += u"~" + Wide(language) + u"\r\n" + TextOf(language, id) + u"\r\n";
    }
  }
  return text;
}

class MessageContainer : public testing::Test {
 protected:
  void SetUp() override {
    base_ = temp_.Path();
    folder_ = base_ + "zok/text/";
    std::filesystem::create_directories(folder_);
    saved_host_ = Host();
  }
  void TearDown() override {
    g_messages = nullptr;
    g_config = nullptr;
    Host() = saved_host_;
    ResetLogStateForTests();
  }

  // UTF-16 little-endian with byte-order mark, modified at the given second.
  void WriteText(const std::string& name, std::u16string_view text, int64_t seconds) const {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
      bytes += static_cast<char>(unit & 0xFF);
      bytes += static_cast<char>(unit >> 8);
    }
    WriteBytes(name, bytes, seconds);
  }
  void WriteBytes(const std::string& name, const std::string& bytes, int64_t seconds) const {
    const std::string path = folder_ + name;
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << bytes;
      ASSERT_TRUE(out.good());
    }
    const timespec times[2] = {{static_cast<time_t>(seconds), 0},
                               {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }

  std::unique_ptr<TMessageContainer> Load(const std::string& language,
                                          const std::string& substitute = "",
                                          bool strict = false) const {
    return std::make_unique<TMessageContainer>(language,
                                               TStringResourceSettings{base_, substitute, strict});
  }
  // The report of a load that must fail; empty when it did not.
  std::string FailureOf(const std::string& language, const std::string& substitute = "",
                        bool strict = false) const {
    try {
      Load(language, substitute, strict);
    } catch (const EStringResources& e) {
      return e.what();
    }
    return {};
  }

  TempDir temp_;
  std::string base_;
  std::string folder_;
  THostGlobals saved_host_;
};

const std::string kCrashed = "String resource manager crashed.\n\r";

std::string MissingReport(const std::string& language, const std::string& keys) {
  return "Missing string resources!\n\r, for language \"" + language + "\": \n\r" + keys;
}

TEST_F(MessageContainer, LoadsEveryTextOfTheLanguage) {
  WriteText("all.txt", AllEntries({"ENGLISH", "RUSSIAN"}), kOld);
  const auto texts = Load("english");
  EXPECT_EQ(texts->Language(), "ENGLISH");
  for (int32_t i = 0; i < MI_CORE_MIDs_END; ++i) {
    const auto id = static_cast<TMessageID>(i);
    EXPECT_EQ(texts->Text(id), TextOf("ENGLISH", id)) << MessageKey(id);
    EXPECT_EQ(texts->Key(id), MessageKey(id));
  }
  EXPECT_EQ(texts->Key(MI_LOG_Choosenpixelformat), "LOG_CHOOSENPIXELFORMAT");
  EXPECT_EQ(texts->Text(MI_CORE_MIDs_END), u"");
}

// Each case is a newer file read over a complete older one; the cases look
// at the texts of MI_LOG_SUCCESS and MI_UNDEFINED.
TEST_F(MessageContainer, EntriesAreReadByTheFileRules) {
  const std::u16string base_success = TextOf("ENGLISH", MI_LOG_SUCCESS);
  const std::u16string base_undefined = TextOf("ENGLISH", MI_UNDEFINED);
  struct Case {
    const char* what;
    std::u16string file;
    std::u16string success;
    std::u16string undefined;
  };
  const Case cases[] = {
      {"continuation lines joined, empty and ';' lines skipped",
       u"#LOG_SUCCESS\r~ENGLISH\rone\r\rtwo\r; note\r  three\rend\r", u"one\n\rtwo\n\rthree",
       base_undefined},
      {"the first text line is taken whatever it holds",
       u"#LOG_SUCCESS\r~ENGLISH\r;not a comment\rmore\rend", u";not a comment\n\rmore",
       base_undefined},
      {"a language line ends the text", u"#LOG_SUCCESS\r~ENGLISH\rone\r~RUSSIAN\rodin\rend", u"one",
       base_undefined},
      {"a key line ends the text and its entry is read",
       u"#LOG_SUCCESS\r~ENGLISH\rone\r#UNDEFINED\r~ENGLISH\rundefined\rend", u"one", u"undefined"},
      {"the last line never continues a text", u"#LOG_SUCCESS\r~ENGLISH\rone\rtwo\r", u"one",
       base_undefined},
      {"an empty last line lets the one before count", u"#LOG_SUCCESS\r~ENGLISH\rone\rtwo\r\r",
       u"one\n\rtwo", base_undefined},
      {"a text on the last line is kept", u"#LOG_SUCCESS\r~ENGLISH\ronly", u"only", base_undefined},
      {"keys and language lines in any case", u"#log_success\r~english\rlower\rend", u"lower",
       base_undefined},
      {"trailing spaces stay, leading ones go", u"#LOG_SUCCESS\r~ENGLISH\r   padded  \rend",
       u"padded  ", base_undefined},
      {"CR LF line ends", u"#LOG_SUCCESS\r\n~ENGLISH\r\none\r\ntwo\r\nend\r\n", u"one\n\rtwo",
       base_undefined},
      {"an entry without the language borrows a later entry's block",
       u"#LOG_SUCCESS\r~RUSSIAN\rru\r#UNDEFINED\r~ENGLISH\rborrowed\rend", u"borrowed",
       base_undefined},
      {"a language never found leaves the text", u"#LOG_SUCCESS\r~RUSSIAN\rru\r#UNDEFINED\r",
       base_success, base_undefined},
      {"a language line as the last line leaves the text", u"#LOG_SUCCESS\r~ENGLISH", base_success,
       base_undefined},
      {"a bare '#' names the end marker", u"#\r~ENGLISH\rignored\rend", base_success,
       base_undefined},
      {"lines outside entries are ignored",
       u"; comment\r~ENGLISH\rstray\r#LOG_SUCCESS\r~ENGLISH\rnew\rend", u"new", base_undefined},
  };
  for (const Case& c : cases) {
    WriteText("base.txt", AllEntries({"ENGLISH"}), kOld);
    WriteText("case.txt", c.file, kNew);
    std::unique_ptr<TMessageContainer> texts;
    try {
      texts = Load("English");
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.what << ": " << e.what();
      continue;
    }
    EXPECT_EQ(texts->Text(MI_LOG_SUCCESS), c.success) << c.what;
    EXPECT_EQ(texts->Text(MI_UNDEFINED), c.undefined) << c.what;
  }
}

TEST_F(MessageContainer, NewestFileWins) {
  struct Case {
    int64_t a_time;
    int64_t b_time;
    std::u16string winner;
  };
  const Case cases[] = {
      {kNew, kOld, u"from a"},
      {kOld, kNew, u"from b"},
      {kOld, kOld, u"from b"},  // equal times: the later name counts as newer
  };
  for (const Case& c : cases) {
    WriteText("base.txt", AllEntries({"ENGLISH"}), kOld - 10);
    WriteText("a.txt", u"#LOG_SUCCESS\r~ENGLISH\rfrom a\r", c.a_time);
    WriteText("b.txt", u"#LOG_SUCCESS\r~ENGLISH\rfrom b\r", c.b_time);
    EXPECT_EQ(Load("ENGLISH")->Text(MI_LOG_SUCCESS), c.winner);
  }
}

TEST_F(MessageContainer, ReportsMissingAndInvalidIdentifiers) {
  struct Case {
    const char* what;
    std::set<TMessageID> skipped;
    std::u16string extra;
    std::string report;
  };
  const std::string also =
      "\n\r, also found the invalid (or extra) string resources with ID(s): \n\r";
  const Case cases[] = {
      {"missing texts",
       {MI_ZOK_TITLE, MI_LOG_SUCCESS},
       u"",
       kCrashed + MissingReport("ENGLISH", "ZOK_TITLE  LOG_SUCCESS  ")},
      {"invalid keys",
       {},
       u"#NO_SUCH_KEY\r~ENGLISH\rx\r#other\rend",
       kCrashed + "found invalid message ID(s)!\n\r, for language \"ENGLISH\": \n\r" +
           "  NO_SUCH_KEY  OTHER"},
      {"both",
       {MI_FREQ_UNSTABLE_TIMER_ROLLBACK},
       u"#BOGUS\r",
       kCrashed + MissingReport("ENGLISH", "FREQ_UNSTABLE_TIMER_ROLLBACK  ") + also + "  BOGUS"},
      {"a key with blanks names nothing",
       {},
       u"# LOG_SUCCESS\r",
       kCrashed + "found invalid message ID(s)!\n\r, for language \"ENGLISH\": \n\r" +
           "   LOG_SUCCESS"},
  };
  for (const Case& c : cases) {
    WriteText("base.txt", AllEntries({"ENGLISH"}, c.skipped), kOld);
    WriteText("extra.txt", c.extra, kNew);
    EXPECT_EQ(FailureOf("english"), c.report) << c.what;
  }
}

TEST_F(MessageContainer, SubstituteFillsGapsUnlessChecksAreStrict) {
  WriteText("english.txt", AllEntries({"ENGLISH"}, {MI_ZOK_TITLE}), kOld);
  WriteText("russian.txt", AllEntries({"RUSSIAN"}), kOld);
  const std::string missing = kCrashed + MissingReport("ENGLISH", "ZOK_TITLE  ");
  struct Case {
    bool strict;
    const char* substitute;
    std::string report;
  };
  const Case cases[] = {
      {false, "", missing},
      {false, "russian", ""},
      {true, "russian", missing},
      {true, "", missing},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FailureOf("english", c.substitute, c.strict), c.report)
        << "strict " << c.strict << ", substitute \"" << c.substitute << "\"";
  }

  const auto texts = Load("english", "russian");
  EXPECT_EQ(texts->Text(MI_ZOK_TITLE), TextOf("RUSSIAN", MI_ZOK_TITLE));
  EXPECT_EQ(texts->Text(MI_LOG_SUCCESS), TextOf("ENGLISH", MI_LOG_SUCCESS));
  EXPECT_EQ(texts->Language(), "ENGLISH");
}

TEST_F(MessageContainer, IncompleteSubstituteIsReportedForTheLanguage) {
  WriteText("english.txt", AllEntries({"ENGLISH"}, {MI_ZOK_TITLE, MI_LOG_SUCCESS}), kOld);
  WriteText("russian.txt", AllEntries({"RUSSIAN"}, {MI_ZOK_TITLE}), kOld);
  EXPECT_EQ(FailureOf("english", "russian"), kCrashed + MissingReport("ENGLISH", "ZOK_TITLE  "));
}

// The search for a language line runs over key lines, so which key lines
// are read depends on the language; only the last load's count.
TEST_F(MessageContainer, InvalidKeysCountOnlyInTheLastLoad) {
  struct Case {
    const char* what;
    std::u16string file;
    std::string report;
  };
  const Case cases[] = {
      {"met by the first language, forgotten by the substitute",
       u"#LOG_SUCCESS\r~ENGLISH\ren\r#BOGUS\r~RUSSIAN\rru\rend", ""},
      {"met by the substitute, fatal", u"#LOG_SUCCESS\r~RUSSIAN\rru\r#BOGUS\r~ENGLISH\ren\rend",
       kCrashed + "found invalid message ID(s)!\n\r, for language \"ENGLISH\": \n\r  BOGUS"},
  };
  for (const Case& c : cases) {
    WriteText("english.txt", AllEntries({"ENGLISH"}, {MI_ZOK_TITLE}), kOld);
    WriteText("russian.txt", AllEntries({"RUSSIAN"}), kOld);
    WriteText("tricky.txt", c.file, kNew);
    EXPECT_EQ(FailureOf("english", "russian"), c.report) << c.what;
  }
}

TEST_F(MessageContainer, FolderWithoutTextFilesIsRefused) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::string base;
  };
  const std::string folder = folder_;
  const Case cases[] = {
      {"empty folder", [] {}, base_},
      {"only other files", [&] { WriteText("notes.ini", u"x", kOld); }, base_},
      {"a folder named like a text file",
       [&] { std::filesystem::create_directory(folder + "folder.txt"); }, base_},
      {"missing folder", [] {}, base_ + "elsewhere/"},
      {"path cleaned in the text", [] {}, base_ + "elsewhere/../nowhere/./"},
  };
  for (const Case& c : cases) {
    c.prepare();
    const std::string shown =
        std::filesystem::path(c.base + "zok/text/").lexically_normal().string();
    try {
      TMessageContainer("english", TStringResourceSettings{c.base, "", false});
      ADD_FAILURE() << c.what << ": loaded";
    } catch (const ETextFolderUnusable& e) {
      EXPECT_EQ(std::string(e.what()), "We have no access rights to folder \"" + shown +
                                           "\" or it doesn't contain any *.txt files")
          << c.what;
    }
  }
}

TEST_F(MessageContainer, TextFileInAnotherEncodingIsRefused) {
  WriteText("all.txt", AllEntries({"ENGLISH"}), kOld);
  WriteBytes("eight_bit.txt", "#LOG_SUCCESS\r\n~ENGLISH\r\ntext\r\n", kNew);
  try {
    Load("english");
    ADD_FAILURE() << "loaded";
  } catch (const EUtf16TextFile& e) {
    EXPECT_EQ(e.reason(), EUtf16TextFile::TReason::kNotUtf16);
    EXPECT_EQ(e.file_name(), folder_ + "eight_bit.txt");
  }
}

TEST_F(MessageContainer, GlobalLookupsFollowTheProcessContainer) {
  WriteText("all.txt", AllEntries({"ENGLISH", "RUSSIAN"}), kOld);
  EXPECT_EQ(GetMessageText(MI_LOG_SUCCESS), u"");
  EXPECT_FALSE(IsRussianLanguage());
  EXPECT_EQ(ChooseLiteral("ru", "en"), "en");

  struct Case {
    const char* language;
    bool russian;
  };
  const Case cases[] = {
      {"russian", true}, {"RUSSIAN", true}, {"Russian", true}, {"english", false}};
  for (const Case& c : cases) {
    const auto texts = Load(c.language);
    g_messages = texts.get();
    EXPECT_EQ(IsRussianLanguage(), c.russian) << c.language;
    EXPECT_EQ(ChooseLiteral("ru", "en"), c.russian ? "ru" : "en") << c.language;
    EXPECT_EQ(GetMessageText(MI_LOG_SUCCESS), texts->Text(MI_LOG_SUCCESS));
    g_messages = nullptr;
  }

  const auto texts = Load("english");
  g_messages = texts.get();
  EXPECT_EQ(GetMessageText(MI_CORE_MIDs_END), u"");
  EXPECT_EQ(GetMessageText(static_cast<TMessageID>(-1)), u"");
  EXPECT_EQ(GetMessageText(static_cast<TMessageID>(kMessageIdCount)), u"");
  EXPECT_EQ(TextOrUndefined(u"given"), u"given");
  EXPECT_EQ(TextOrUndefined(u""), TextOf("ENGLISH", MI_UNDEFINED));
}

// Start-up reads the two settings from the language's configuration
// section and the folder from the host's base path; a failed load ends the
// process with the report.
TEST_F(MessageContainer, StartUpReadsItsSettingsFromTheConfiguration) {
  WriteText("english.txt", AllEntries({"ENGLISH"}, {MI_ZOK_TITLE}), kOld);
  WriteText("russian.txt", AllEntries({"RUSSIAN"}), kOld);
  Host().base_path = base_;
  const auto configured = [&](const std::string& strict) {
    const std::string ini = base_ + "zokhost.ini";
    std::ofstream(ini)
        << "[main]\r\nlanguage=english\r\n[English]\r\nSubstituteLanguage=russian\r\n"
        << "StrictMessageChecks=" << strict << "\r\n";
    return std::make_unique<TConfigManager>(ini);
  };

  const auto lenient = configured("0");
  g_config = lenient.get();
  const TMessageContainer texts("english");
  EXPECT_EQ(texts.Text(MI_ZOK_TITLE), TextOf("RUSSIAN", MI_ZOK_TITLE));

  const auto strict = configured("1");
  g_config = strict.get();
  EXPECT_EXIT(
      {
        setenv("ZOK_NO_DIALOGS", "1", 1);
        TMessageContainer("english");
      },
      testing::ExitedWithCode(1), "String resource manager crashed\\.");
}

TEST_F(MessageContainer, StartUpEndsTheProcessOnABadTextFile) {
  WriteText("all.txt", AllEntries({"ENGLISH"}), kOld);
  WriteBytes("eight_bit.txt", "#LOG_SUCCESS\r\n", kNew);
  Host().base_path = base_;
  EXPECT_EXIT(
      {
        setenv("ZOK_NO_DIALOGS", "1", 1);
        TMessageContainer("english");
      },
      testing::ExitedWithCode(1), "eight_bit\\.txt\"\ntext is not in the UNICODE");
}

// Once the texts exist, a bad file is a fatal error the caller can contain.
TEST_F(MessageContainer, FileFailuresAfterStartUpAreFatalErrors) {
  // The first entry of a file wins over a later one of the same key.
  WriteText("all.txt",
            std::u16string(u"#ERROR_FILE_NOT_FOUND\r~ENGLISH\rnot found: %0\r") +
                u"#ERROR_INVALID_UNICODE_TEXT\r~ENGLISH\rnot unicode: %0\r" +
                AllEntries({"ENGLISH"}),
            kOld);
  const auto texts = Load("english");
  const std::string eight_bit = base_ + "eight_bit.txt";
  std::ofstream(eight_bit) << "#LOG_SUCCESS\r\n";
  g_messages = texts.get();
  Host().container_ready = true;
  Host().working_directory = base_;  // the log goes there

  struct Case {
    std::string path;
    std::u16string error;
  };
  const Case cases[] = {
      {folder_ + "missing.txt", Wide("not found: " + folder_ + "missing.txt")},
      {eight_bit, Wide("not unicode: " + eight_bit)},
      {folder_, Wide("not unicode: " + folder_)},
  };
  for (const Case& c : cases) {
    ResetLogStateForTests();
    EXPECT_THROW(ReadUtf16TextFile(c.path), EDying) << c.path;
    EXPECT_EQ(JoinErrors(), c.error) << c.path;
  }
}

}  // namespace
