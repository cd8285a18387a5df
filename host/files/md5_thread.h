// MD5 on a thread of its own, so that digesting a file's data overlaps
// with writing it. Pieces are digested in the order they are added; each
// piece's bytes must stay as they are, and allocated, until the thread has
// digested it.
//
// The thread lives as long as the object: a process forked while one
// exists has no such thread in the child.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

#include "host/files/md5_digest.h"

class TMd5Thread {
 public:
  // Goes on with md5, which the caller must leave alone until Finish
  // returns or the object is gone. Throws std::system_error when no thread
  // can be started.
  explicit TMd5Thread(TMd5& md5);
  // Drops what is not digested yet; returns once the thread no longer
  // touches any piece.
  ~TMd5Thread();
  TMd5Thread(const TMd5Thread&) = delete;
  TMd5Thread& operator=(const TMd5Thread&) = delete;

  // Queues a piece; waits while kMaxQueued pieces are queued. The thread
  // sees queued pieces a few at a time, or when the caller waits.
  void Add(const void* data, size_t n);
  // Waits until the first count pieces queued are digested.
  void WaitDigested(int64_t count);
  // Waits for every piece and ends the thread; md5 is the caller's again.
  void Finish();

  // The digest's failures (from the thread) are thrown again by Add,
  // WaitDigested and Finish.

 private:
  struct TPiece {
    const void* data;
    size_t n;
  };
  static constexpr int64_t kMaxQueued = 256;
  // Pieces handed over at a time, each way: a lock per piece would cost
  // a good part of the digest.
  static constexpr int64_t kPublishEvery = 16;

  void Run();
  void Stop();
  // These run with mutex_ held.
  void Publish(std::unique_lock<std::mutex>& lock);
  void WaitFor(std::unique_lock<std::mutex>& lock, int64_t count);

  TMd5& md5_;
  std::array<TPiece, kMaxQueued> queue_{};
  // The caller's own: pieces queued, and digested as last seen.
  int64_t queued_ = 0;
  int64_t digested_seen_ = 0;

  std::mutex mutex_;
  std::condition_variable work_;      // for the thread: pieces, or stop
  std::condition_variable progress_;  // for the caller: pieces digested
  int64_t added_ = 0;                 // pieces the thread may take
  int64_t digested_ = 0;
  bool thread_idle_ = false;
  // Set while the caller waits for that many pieces, so that the thread
  // wakes it once and not after every few pieces.
  int64_t wanted_ = -1;
  bool stop_ = false;
  std::exception_ptr failure_;
  std::thread thread_;  // last: it starts once everything above exists
};
