// Saving and loading with the same classes: the graph comes back equal,
// shared references shared, cycles closed, nil kept, every container kind
// restored, and no warning.
#include <gtest/gtest.h>

#include "module/persistence/basket_session.h"
#include "module/persistence/scenario.h"
#include "persistence_classes.h"
#include "support/persistence_harness.h"

namespace {

using persistence_test::FatalTextOf;
using persistence_test::TColour;
using persistence_test::TNode;

class BasketRoundTripTest : public persistence_test::TPersistenceTest {
 protected:
  void SetUp() override {
    TPersistenceTest::SetUp();
    RegClass<TNode>();
  }
  TNode* Make(int32_t id) {
    made.push_back(std::make_unique<TNode>());
    made.back()->id = id;
    return made.back().get();
  }
  std::vector<std::unique_ptr<TNode>> made;
};

TEST_F(BasketRoundTripTest, ValuesAndContainersSurvive) {
  TNode* root = Make(7);
  root->colour = persistence_test::cl_Blue;
  root->weight = 1.5f;
  root->precise = -2.25;
  root->name = "abcde";
  root->title = u"\u0416x";
  root->cache = root;  // skipped: never stored
  root->ints = new TAOI;
  root->ints->Add(-1);
  root->ints->Add(2);
  root->grid = new T2DAOI;
  root->grid->SetRect(2, 1);
  root->grid->Row(1)->SetItem(0, 9);
  root->cards = new TAOC;  // empty, not nil
  root->floats = new TAOF;
  root->floats->Add(0.5f);
  root->names = new TAOS;
  root->names->Add("abc");
  root->names->Add("");
  root->wide_rows = new T2DAOW;
  root->wide_rows->SetRect(1, 1);
  root->wide_rows->Row(0)->SetItem(0, u"w");
  root->dynas = new TArrayOfDyna;
  root->dynas->Add(nullptr);
  root->dwords = {{1, 2}, {}, {3}};
  root->big = -(int64_t{1} << 40);
  root->extended = 1.0L / 3;

  Save(*root);
  TNode* back = Load<TNode>();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->id, 7);
  EXPECT_EQ(back->colour, persistence_test::cl_Blue);
  EXPECT_EQ(back->weight, 1.5f);
  EXPECT_EQ(back->precise, -2.25);
  EXPECT_EQ(back->name, "abcde");
  EXPECT_EQ(back->title, u"\u0416x");
  EXPECT_EQ(back->cache, nullptr);
  EXPECT_EQ(back->next, nullptr);
  ASSERT_NE(back->ints, nullptr);
  EXPECT_EQ(back->ints->Length, 2);
  EXPECT_EQ((*back->ints)[0], -1);
  ASSERT_EQ(back->grid->Length, 2);
  EXPECT_EQ(back->grid->Row(1)->GetItem(0), 9);
  ASSERT_NE(back->cards, nullptr);
  EXPECT_EQ(back->cards->Length, 0);
  EXPECT_EQ(back->floats->GetItem(0), 0.5f);
  EXPECT_EQ(back->names->GetItem(0), "abc");
  EXPECT_EQ(back->names->GetItem(1), "");
  EXPECT_EQ(back->wide_rows->Row(0)->GetItem(0), u"w");
  EXPECT_EQ(back->children, nullptr);
  ASSERT_EQ(back->dynas->Length, 1);
  EXPECT_EQ(back->dynas->GetItem(0), nullptr);
  EXPECT_EQ(back->dwords, root->dwords);
  EXPECT_EQ(back->big, root->big);
  EXPECT_EQ(back->extended, root->extended);
  EXPECT_TRUE(LastLoadWarnings().empty());
  EXPECT_GE(TNode::StaticClass().ScenarioIndex, 0);  // the fast path
  EXPECT_EQ(back->after_loading_calls, 1);
}

TEST_F(BasketRoundTripTest, SharedReferencesCyclesAndNil) {
  TNode* root = Make(1);
  TNode* a = Make(2);
  TNode* b = Make(3);
  root->next = a;
  root->other = a;  // shared
  a->next = b;
  b->next = root;  // cycle back to the root
  b->other = b;    // itself
  root->children = new TArrayOfTrulyPersistent;
  root->children->Add(b);
  root->children->Add(nullptr);
  root->children->Add(root);

  Save(*root);
  for (const auto& node : made) EXPECT_EQ(node->_BasketIndex, 0);
  TNode* back = Load<TNode>();
  ASSERT_EQ(loaded.size(), 3u);
  TNode* a2 = back->next;
  ASSERT_NE(a2, nullptr);
  EXPECT_EQ(a2->id, 2);
  EXPECT_EQ(back->other, a2);
  TNode* b2 = a2->next;
  EXPECT_EQ(b2->id, 3);
  EXPECT_EQ(b2->next, back);
  EXPECT_EQ(b2->other, b2);
  ASSERT_EQ(back->children->Length, 3);
  EXPECT_EQ(back->children->GetItem(0), b2);
  EXPECT_EQ(back->children->GetItem(1), nullptr);
  EXPECT_EQ(back->children->GetItem(2), back);
  EXPECT_FALSE(back->children->Owns);
  for (const auto& object : loaded) {
    EXPECT_EQ(static_cast<TNode*>(object.get())->after_loading_calls, 1);
    EXPECT_EQ(object->_BasketIndex, 0);
  }
}

// An object whose class is not registered cannot be saved; the failed save
// leaves no object numbered.
class TUnregistered : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TUnregistered, TTrulyPersistent)
 public:
  TUnregistered() = default;
};

TEST_F(BasketRoundTripTest, UnregisteredClassIsRefused) {
  TNode* root = Make(1);
  root->next = Make(2);
  root->children = new TArrayOfTrulyPersistent;
  TUnregistered stray;
  root->children->Add(&stray);
  const std::string text = FatalTextOf([&] { Save(*root); });
  EXPECT_NE(text.find("MI_BASKET_FAIL_SAVE(The class TUnregistered is not registered"),
            std::string::npos)
      << text;
  for (const auto& node : made) EXPECT_EQ(node->_BasketIndex, 0);
}

TEST_F(BasketRoundTripTest, DeepChainsAreBounded) {
  std::vector<TNode*> chain;
  for (int32_t i = 0; i <= kMaxObjectDepth; ++i) chain.push_back(Make(i));
  for (size_t i = 0; i + 1 < chain.size(); ++i) chain[i]->next = chain[i + 1];
  EXPECT_NE(FatalTextOf([&] { Save(*chain[0]); }).find("levels deep"), std::string::npos);
  for (const auto& node : made) EXPECT_EQ(node->_BasketIndex, 0);
  chain[kMaxObjectDepth - 1]->next = nullptr;
  Save(*chain[0]);
  TNode* back = Load<TNode>();
  EXPECT_EQ(loaded.size(), static_cast<size_t>(kMaxObjectDepth));
  EXPECT_EQ(back->next->next->id, 2);
}

TEST_F(BasketRoundTripTest, SignatureMismatchIsFatal) {
  TNode* root = Make(1);
  Save(*root);
  const std::string text = FatalTextOf([&] { LoadRoot("TTrulyPersistentTester"); });
  EXPECT_NE(text.find("Signature mismatch."), std::string::npos) << text;
  EXPECT_NE(text.find("Crashed while preparing data for loading."), std::string::npos) << text;
}

}  // namespace
