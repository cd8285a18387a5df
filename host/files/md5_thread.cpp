#include "host/files/md5_thread.h"

#include <algorithm>
#include <utility>

TMd5Thread::TMd5Thread(TMd5& md5) : md5_(md5), thread_([this] { Run(); }) {}

TMd5Thread::~TMd5Thread() {
  Stop();
}

void TMd5Thread::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  work_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void TMd5Thread::Add(const void* data, size_t n) {
  if (queued_ - digested_seen_ == kMaxQueued) {
    std::unique_lock lock(mutex_);
    Publish(lock);
    WaitFor(lock, queued_ - kMaxQueued + 1);
  }
  queue_[static_cast<size_t>(queued_ % kMaxQueued)] = {data, n};
  ++queued_;
  if (queued_ - added_ == kPublishEvery) {
    std::unique_lock lock(mutex_);
    Publish(lock);
    if (failure_) std::rethrow_exception(failure_);
  }
}

void TMd5Thread::Publish(std::unique_lock<std::mutex>& lock) {
  added_ = queued_;
  digested_seen_ = digested_;
  if (thread_idle_) {
    lock.unlock();
    work_.notify_one();
    lock.lock();
  }
}

void TMd5Thread::WaitFor(std::unique_lock<std::mutex>& lock, int64_t count) {
  if (digested_ < count && !failure_) {
    wanted_ = count;
    progress_.wait(lock, [&] { return digested_ >= count || failure_; });
    wanted_ = -1;
  }
  digested_seen_ = digested_;
  if (failure_) std::rethrow_exception(failure_);
}

void TMd5Thread::WaitDigested(int64_t count) {
  std::unique_lock lock(mutex_);
  Publish(lock);
  WaitFor(lock, count);
}

void TMd5Thread::Finish() {
  WaitDigested(queued_);
  Stop();
}

void TMd5Thread::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (digested_ == added_ && !stop_) {
      thread_idle_ = true;
      work_.wait(lock, [&] { return digested_ < added_ || stop_; });
      thread_idle_ = false;
    }
    if (stop_) return;
    // A few pieces at a time: the caller may be waiting for the first ones.
    // It writes only slots past added_, so these stay put.
    const int64_t first = digested_;
    const int64_t last = std::min(added_, first + kPublishEvery);
    lock.unlock();
    std::exception_ptr failure;
    try {
      for (int64_t i = first; i < last; ++i) {
        const TPiece& piece = queue_[static_cast<size_t>(i % kMaxQueued)];
        md5_.Update(piece.data, piece.n);
      }
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    if (failure) {
      failure_ = std::move(failure);
      progress_.notify_one();
      return;
    }
    digested_ = last;
    if (wanted_ >= 0 && digested_ >= wanted_) progress_.notify_one();
  }
}
