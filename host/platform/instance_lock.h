// The named, system-wide lock that keeps a second host from running.
#pragma once

#include <memory>
#include <string>

namespace platform {

class InstanceLock {
 public:
  // Tries to take the lock called name without waiting. Returns null when
  // another living process holds it. A lock whose owner died is free.
  static std::unique_ptr<InstanceLock> TryAcquire(const std::string& name);
  ~InstanceLock();  // releases
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Where the lock file for name lives.
  static std::string LockFilePath(const std::string& name);

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace platform
