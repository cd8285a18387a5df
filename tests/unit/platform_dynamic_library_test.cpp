#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "host/platform/dynamic_library.h"

#ifndef ZOK_TEST_PLAINLIB_PATH
#error "tests/CMakeLists.txt must define ZOK_TEST_PLAINLIB_PATH"
#endif

namespace {

using platform::DynamicLibrary;

const std::string kPlainLib = ZOK_TEST_PLAINLIB_PATH;

using AnswerFn = int (*)();

TEST(PlatformDynamicLibrary, OpensResolvesAndCloses) {
  ASSERT_FALSE(DynamicLibrary::IsMapped(kPlainLib)) << "loaded before the test";
  std::string error;
  auto lib = DynamicLibrary::Open(kPlainLib, error);
  ASSERT_NE(lib, nullptr) << error;
  EXPECT_EQ(lib->Path(), kPlainLib);

  auto answer = reinterpret_cast<AnswerFn>(lib->Resolve("zok_plainlib_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(lib->Resolve("zok_plainlib_no_such_symbol"), nullptr);

  EXPECT_TRUE(DynamicLibrary::IsMapped(kPlainLib));
  // IsMapped must not keep the library alive by itself.
  EXPECT_TRUE(DynamicLibrary::IsMapped(kPlainLib));

  EXPECT_TRUE(lib->Close(error)) << error;
  EXPECT_FALSE(DynamicLibrary::IsMapped(kPlainLib));
  EXPECT_EQ(lib->Resolve("zok_plainlib_answer"), nullptr);
  EXPECT_TRUE(lib->Close(error)) << "closing twice is harmless";
}

TEST(PlatformDynamicLibrary, DestructorUnloads) {
  std::string error;
  auto lib = DynamicLibrary::Open(kPlainLib, error);
  ASSERT_NE(lib, nullptr) << error;
  EXPECT_TRUE(DynamicLibrary::IsMapped(kPlainLib));
  lib.reset();
  EXPECT_FALSE(DynamicLibrary::IsMapped(kPlainLib));
}

TEST(PlatformDynamicLibrary, TwoHandlesKeepTheLibraryUntilBothClose) {
  std::string error;
  auto first = DynamicLibrary::Open(kPlainLib, error);
  auto second = DynamicLibrary::Open(kPlainLib, error);
  ASSERT_NE(first, nullptr) << error;
  ASSERT_NE(second, nullptr) << error;
  first.reset();
  EXPECT_TRUE(DynamicLibrary::IsMapped(kPlainLib));
  EXPECT_NE(second->Resolve("zok_plainlib_answer"), nullptr);
  second.reset();
  EXPECT_FALSE(DynamicLibrary::IsMapped(kPlainLib));
}

TEST(PlatformDynamicLibrary, MissingFileGivesNullAndLoaderText) {
  const std::string missing = "/nonexistent-zok-dir/libzok_missing.so";
  std::string error;
  auto lib = DynamicLibrary::Open(missing, error);
  EXPECT_EQ(lib, nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_THAT(error, testing::HasSubstr("libzok_missing.so"));
  EXPECT_FALSE(DynamicLibrary::IsMapped(missing));
}

TEST(PlatformDynamicLibrary, NonLibraryFileGivesNullAndLoaderText) {
  char path[] = "/tmp/zok_platform_notalib_XXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const char text[] = "this is not an ELF file\n";
  ASSERT_EQ(write(fd, text, sizeof text - 1), static_cast<ssize_t>(sizeof text - 1));
  close(fd);

  std::string error;
  auto lib = DynamicLibrary::Open(path, error);
  EXPECT_EQ(lib, nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(DynamicLibrary::IsMapped(path));
  unlink(path);
}

}  // namespace
