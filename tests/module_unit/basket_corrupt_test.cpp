// Stored data is never trusted: damaged baskets end the load with a
// "Data corrupt" report naming the file, read nothing past the data and
// leave no object behind (the sanitizer build checks the last).
#include <gtest/gtest.h>

#include <functional>

#include "module/persistence/basket_session.h"
#include "persistence_classes.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::FatalTextOf;
using persistence_test::TNode;

class BasketCorruptTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    RegClass<TNode>();
  }
};

// The row count of the enumeration table: after the signature "TNode",
// its length word and three words of UTF-16.
constexpr size_t kEnumRows = 4;

TEST_F(BasketCorruptTest, DamagedBasketsAreRefused) {
  TNode root{};
  TNode next{};
  root.id = 1;
  root.next = &next;
  root.names = new TAOS;
  root.names->Add("x");
  Save(root);
  const std::vector<uint32_t> good = io.Words();
  // The root's reference starts where its id (1) follows 0 and the class.
  const int32_t node_class = TNode::StaticClass().ClassIndex;
  size_t start = 0;
  for (size_t i = 0; i + 2 < good.size(); ++i) {
    if (good[i] == 0 && good[i + 1] == static_cast<uint32_t>(node_class) && good[i + 2] == 1) {
      start = i;
      break;
    }
  }
  ASSERT_GT(start, 0u);
  // Body words of TNode: id, colour, weight, precise (2), name, title, then f_next.
  const size_t next_at = start + 2 + 1 + 1 + 1 + 2 + 1 + 1;
  ASSERT_EQ(good[next_at], 0u);

  struct Case {
    const char* name;
    std::function<void(std::vector<uint32_t>&)> damage;
    const char* text;
  } cases[] = {
      {"reference past the objects read", [&](auto& w) { w[next_at] = 7; },
       "An object reference points past the objects read."},
      {"class index beyond the table", [&](auto& w) { w[start + 1] = 99; },
       "A class index is beyond the class table."},
      {"root of a foreign class", [&](auto& w) { w[start + 1] = 0; },
       "A reference holds an object of a foreign class."},
      {"truncated", [&](auto& w) { w.resize(next_at + 3); },
       "Attempt to read beyond the buffer boundary."},
      {"huge array length", [&](auto& w) { w[kEnumRows] = 0x7fffffff; },
       "A stored array is longer than the data left."},
      {"negative array length", [&](auto& w) { w[kEnumRows] = 0xfffffff0u; },
       "A stored array has a negative length."},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> words = good;
    c.damage(words);
    io.SetWords(words);
    const std::string text = FatalTextOf([&] { Load<TNode>(); });
    EXPECT_NE(text.find(c.text), std::string::npos) << c.name << "\n" << text;
  }
  // A damaged object reference names the file.
  std::vector<uint32_t> words = good;
  words[next_at] = 7;
  io.SetWords(words);
  EXPECT_NE(FatalTextOf([&] { Load<TNode>(); })
                .find("Data corrupt: An object reference points past "
                      "the objects read. (test.zok)"),
            std::string::npos);
}

TEST_F(BasketCorruptTest, NestingTooDeepIsRefused) {
  TNode root{};
  Save(root);
  std::vector<uint32_t> words = io.Words();
  // Cut the basket after the root's class index and nest node in node.
  size_t start = 0;
  const auto node_class = static_cast<uint32_t>(TNode::StaticClass().ClassIndex);
  for (size_t i = words.size() - 3; i > 0; --i) {
    if (words[i] == 0 && words[i + 1] == node_class) {
      start = i;
      break;
    }
  }
  ASSERT_GT(start, 0u);
  words.resize(start);
  for (int32_t level = 0; level <= kMaxObjectDepth; ++level) {
    // 0, class, id, colour, weight, precise (2), name (0), title (0), f_next:
    words.insert(words.end(), {0, node_class, 1, 0, 0, 0, 0, 0, 0});
  }
  io.SetWords(words);
  EXPECT_NE(FatalTextOf([&] { Load<TNode>(); }).find("The objects are nested too deeply."),
            std::string::npos);
}

TEST_F(BasketCorruptTest, ContainerArrayElementIsRefused) {
  TNode root{};
  root.dynas = new TArrayOfDyna;
  root.dynas->Add(new TAOI);
  root.dynas->Owns = true;
  Save(root);
  EXPECT_NE(FatalTextOf([&] { Load<TNode>(); }).find("An array of containers holds an element."),
            std::string::npos);
}

}  // namespace
