#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "host/platform/instance_lock.h"
#include "support/scoped_env.h"

namespace {

using platform::InstanceLock;

class PlatformInstanceLock : public testing::Test {
 protected:
  void SetUp() override {
    name_ = "zok_platform_test_lock_" + std::to_string(getpid()) + "_" +
            testing::UnitTest::GetInstance()->current_test_info()->name();
    path_ = InstanceLock::LockFilePath(name_);
  }
  // The lock never removes its file; the test does, to leave nothing behind.
  void TearDown() override { unlink(path_.c_str()); }

  std::string name_;
  std::string path_;
};

TEST_F(PlatformInstanceLock, SecondAcquireInSameProcessFails) {
  auto first = InstanceLock::TryAcquire(name_);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(InstanceLock::TryAcquire(name_), nullptr);
  EXPECT_EQ(InstanceLock::TryAcquire(name_), nullptr);
}

TEST_F(PlatformInstanceLock, ReleaseFreesTheLockButKeepsTheFile) {
  auto first = InstanceLock::TryAcquire(name_);
  ASSERT_NE(first, nullptr);
  first.reset();
  struct stat st;
  EXPECT_EQ(stat(path_.c_str(), &st), 0) << "the lock file must stay";
  EXPECT_EQ(st.st_mode & 0077, 0u) << "the lock file is private to the user";
  auto again = InstanceLock::TryAcquire(name_);
  EXPECT_NE(again, nullptr);
}

TEST_F(PlatformInstanceLock, DifferentNamesDoNotCollide) {
  auto first = InstanceLock::TryAcquire(name_);
  ASSERT_NE(first, nullptr);
  const std::string other = name_ + "_other";
  auto second = InstanceLock::TryAcquire(other);
  EXPECT_NE(second, nullptr);
  second.reset();
  unlink(InstanceLock::LockFilePath(other).c_str());
}

TEST_F(PlatformInstanceLock, LockOfKilledProcessIsFree) {
  int pipe_fds[2];
  ASSERT_EQ(pipe(pipe_fds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Child: take the lock, report, and wait to be killed (alarm as a
    // safety net should the parent fail before killing it).
    close(pipe_fds[0]);
    alarm(30);
    auto lock = InstanceLock::TryAcquire(name_);
    const char report = lock != nullptr ? '1' : '0';
    if (write(pipe_fds[1], &report, 1) != 1) _exit(2);
    for (;;) pause();
  }
  close(pipe_fds[1]);
  char report = 0;
  ssize_t got;
  do {
    got = read(pipe_fds[0], &report, 1);
  } while (got < 0 && errno == EINTR);
  close(pipe_fds[0]);
  EXPECT_EQ(got, 1);
  EXPECT_EQ(report, '1') << "the child could not take the lock";

  EXPECT_EQ(InstanceLock::TryAcquire(name_), nullptr) << "a living holder keeps the lock";

  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

  EXPECT_NE(InstanceLock::TryAcquire(name_), nullptr) << "a dead holder's lock is free";
}

TEST_F(PlatformInstanceLock, LockFilePathPrefersUsableRuntimeDir) {
  char dir[] = "/tmp/zok_platform_rundir_XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  {
    ScopedEnv env("XDG_RUNTIME_DIR", dir);
    EXPECT_EQ(InstanceLock::LockFilePath(name_), std::string(dir) + "/" + name_);
    auto lock = InstanceLock::TryAcquire(name_);
    EXPECT_NE(lock, nullptr);
    struct stat st;
    EXPECT_EQ(stat((std::string(dir) + "/" + name_).c_str(), &st), 0);
    lock.reset();
    unlink((std::string(dir) + "/" + name_).c_str());
  }
  rmdir(dir);

  struct Case {
    const char* runtime_dir;  // null: unset
  };
  for (const Case& c : {Case{nullptr}, Case{""}, Case{"/nonexistent-zok-runtime-dir"}}) {
    ScopedEnv env("XDG_RUNTIME_DIR", c.runtime_dir);
    EXPECT_EQ(InstanceLock::LockFilePath(name_), "/tmp/" + name_)
        << "XDG_RUNTIME_DIR=" << (c.runtime_dir ? c.runtime_dir : "(unset)");
  }
}

}  // namespace
