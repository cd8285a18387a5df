#include "host/messages/utf16_text_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

using Lines = std::vector<std::u16string>;
using TReason = EUtf16TextFile::TReason;

enum class Order { kLittleEndian, kBigEndian };

std::string Encode(std::u16string_view text, Order order, bool with_bom) {
  std::u16string units = with_bom ? u"\uFEFF" : u"";
  units += text;
  std::string bytes;
  for (const char16_t unit : units) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += order == Order::kLittleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

TEST(Utf16Lines, FollowTheLineRules) {
  struct Case {
    const char* what;
    std::u16string units;
    Lines lines;
  };
  const Case cases[] = {
      {"carriage return ends lines", u"a\rb\r", {u"a", u"b"}},
      {"CR LF ends lines", u"a\r\nb\r\n", {u"a", u"b"}},
      {"line feed alone ends nothing", u"a\nb\nc\n", {u"abc"}},
      {"empty lines stay", u"a\r\r\rb", {u"a", u"", u"", u"b"}},
      {"a lone carriage return is one empty line", u"\r", {u""}},
      {"last line without CR is kept", u"a\rlast", {u"a", u"last"}},
      {"an empty last line is not", u"a\r  \t", {u"a"}},
      {"no units, no lines", u"", {}},
      {"leading blanks dropped, trailing kept", u"   text  \r", {u"text  "}},
      {"control units dropped anywhere", u"\t x\ty\x01\x1Fz\r", {u"xyz"}},
      {"a space after a dropped unit still leads", u"\t \t word", {u"word"}},
      {"inner spaces stay", u"a  b", {u"a  b"}},
      {"other code units stay",
       u"\u041F\u0440\u0438\u0432\u0435\u0442 \uFEFF",
       {u"\u041F\u0440\u0438\u0432\u0435\u0442 \uFEFF"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitUtf16Lines(c.units), c.lines) << c.what;
  }
}

class Utf16TextFile : public testing::Test {
 protected:
  void SetUp() override { dir_ = temp_.Path(); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = dir_ + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    EXPECT_TRUE(out.good());
    return path;
  }

  TempDir temp_;
  std::string dir_;
};

TEST_F(Utf16TextFile, ReadsLittleEndianWithByteOrderMark) {
  const std::string path =
      Write("t.txt", Encode(u"#KEY\r\n~ENGLISH\r\n\u0422\u0435\u043A\u0441\u0442\r\n",
                            Order::kLittleEndian, true));
  EXPECT_EQ(ReadUtf16TextLines(path),
            (Lines{u"#KEY", u"~ENGLISH", u"\u0422\u0435\u043A\u0441\u0442"}));
  EXPECT_EQ(ReadUtf16TextFile(path), ReadUtf16TextLines(path));
}

TEST_F(Utf16TextFile, EdgesOfTheFile) {
  struct Case {
    const char* what;
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"byte-order mark alone", Encode(u"", Order::kLittleEndian, true), {}},
      {"a lone trailing byte is no unit", Encode(u"ab", Order::kLittleEndian, true) + "c", {u"ab"}},
      {"a second mark is text", Encode(u"\uFEFFx", Order::kLittleEndian, true), {u"\uFEFFx"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadUtf16TextLines(Write("t.txt", c.bytes)), c.lines) << c.what;
  }
}

TEST_F(Utf16TextFile, RejectsWhatIsNotUtf16LittleEndianWithMark) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"8-bit text", "#KEY\r\n~ENGLISH\r\ntext\r\n"},
      {"big-endian with mark", Encode(u"#KEY\r\n", Order::kBigEndian, true)},
      {"little-endian without mark", Encode(u"#KEY\r\n", Order::kLittleEndian, false)},
      {"empty file", ""},
      {"a single byte", "\xFF"},
  };
  for (const Case& c : cases) {
    const std::string path = Write("t.txt", c.bytes);
    try {
      ReadUtf16TextLines(path);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const EUtf16TextFile& e) {
      EXPECT_EQ(e.reason(), TReason::kNotUtf16) << c.what;
      EXPECT_EQ(std::string(e.what()),
                "\"" + path + "\"\n\rtext is not in the UNICODE (utf-16) encoding\n\r")
          << c.what;
    }
  }
}

TEST_F(Utf16TextFile, ReportsMissingAndUnreadableFiles) {
  const std::string missing = dir_ + "missing.txt";
  const std::string folder = dir_ + "folder.txt";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  struct Case {
    std::string path;
    TReason reason;
    std::string text;
  };
  const Case cases[] = {
      {missing, TReason::kMissing, "File \"" + missing + "\" does not exist."},
      {folder, TReason::kUnreadable, "\"" + folder + "\"\n\rfile cannot be read.\n\r"},
  };
  for (const Case& c : cases) {
    try {
      ReadUtf16TextLines(c.path);
      ADD_FAILURE() << c.path << ": read";
    } catch (const EUtf16TextFile& e) {
      EXPECT_EQ(e.reason(), c.reason) << c.path;
      EXPECT_EQ(e.file_name(), c.path);
      EXPECT_EQ(std::string(e.what()), c.text);
    }
  }
}

// Before the message texts exist a bad file ends the process with the
// plain report (written to stderr when no dialog can be shown).
TEST_F(Utf16TextFile, AtStartUpFailuresEndTheProcess) {
  const std::string eight_bit = Write("plain.txt", "text");
  const std::string missing = dir_ + "missing.txt";
  EXPECT_EXIT(
      {
        setenv("ZOK_NO_DIALOGS", "1", 1);
        ReadUtf16TextFile(missing);
      },
      testing::ExitedWithCode(1), "File \".*missing\\.txt\" does not exist\\.");
  EXPECT_EXIT(
      {
        setenv("ZOK_NO_DIALOGS", "1", 1);
        ReadUtf16TextFile(eight_bit);
      },
      testing::ExitedWithCode(1), "text is not in the UNICODE \\(utf-16\\) encoding");
}

}  // namespace
