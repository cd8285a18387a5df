// MD5 on its own thread: the same digest as in one go, however the pieces
// are queued and waited for, and a thread dropped midway lets go of them.
#include "host/files/md5_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/files/md5_digest.h"

namespace {

std::string Bytes(size_t n, int seed) {
  std::string bytes(n, '\0');
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 13 + seed) % 253);
  return bytes;
}

TMd5Digest WholeDigest(const std::vector<std::string>& pieces) {
  std::string all;
  for (const std::string& piece : pieces) all += piece;
  TMd5 md5;
  md5.Start();
  md5.Update(all.data(), all.size());
  return md5.Finish();
}

struct Queueing {
  const char* label;
  int pieces;
  int wait_every;  // WaitDigested after this many pieces; 0: never
};

// Around the hand-over batch (16) and the queue's length (256), where
// slots are used again.
const Queueing kQueueings[] = {
    {"none", 0, 0},           {"one", 1, 0},
    {"below_batch", 15, 0},   {"batch", 16, 0},
    {"past_batch", 17, 0},    {"queue_full", 256, 0},
    {"queue_wraps", 1000, 0}, {"waiting_often", 1000, 7},
    {"waiting_each", 300, 1},
};

class Md5ThreadQueueing : public testing::TestWithParam<Queueing> {};

TEST_P(Md5ThreadQueueing, DigestsLikeOneGo) {
  const Queueing& q = GetParam();
  std::vector<std::string> pieces;
  for (int i = 0; i < q.pieces; ++i) pieces.push_back(Bytes(static_cast<size_t>(i % 97) * 41, i));
  TMd5 md5;
  md5.Start();
  {
    TMd5Thread thread(md5);
    for (int i = 0; i < q.pieces; ++i) {
      thread.Add(pieces[i].data(), pieces[i].size());
      if (q.wait_every > 0 && (i + 1) % q.wait_every == 0) thread.WaitDigested(i + 1);
    }
    thread.Finish();
  }
  EXPECT_EQ(md5.Finish(), WholeDigest(pieces));
}

INSTANTIATE_TEST_SUITE_P(Pieces, Md5ThreadQueueing, testing::ValuesIn(kQueueings),
                         [](const testing::TestParamInfo<Queueing>& info) {
                           return info.param.label;
                         });

// The caller frees the pieces as soon as the thread is gone; the sanitizer
// build sees any read after that.
TEST(Md5Thread, DroppedMidwayNoLongerTouchesThePieces) {
  for (int round = 0; round < 20; ++round) {
    std::vector<std::unique_ptr<std::string>> pieces;
    TMd5 md5;
    md5.Start();
    auto thread = std::make_unique<TMd5Thread>(md5);
    for (int i = 0; i < 200; ++i) {
      pieces.push_back(std::make_unique<std::string>(Bytes(4096, i)));
      thread->Add(pieces.back()->data(), pieces.back()->size());
    }
    thread.reset();
    pieces.clear();
  }
}

TEST(Md5Thread, WaitingForWhatIsDigestedReturnsAtOnce) {
  const std::string piece = Bytes(4096, 1);
  TMd5 md5;
  md5.Start();
  TMd5Thread thread(md5);
  thread.WaitDigested(0);
  thread.Add(piece.data(), piece.size());
  thread.WaitDigested(1);
  thread.WaitDigested(1);
  thread.Finish();
  EXPECT_EQ(md5.Finish(), WholeDigest({piece}));
}

}  // namespace
