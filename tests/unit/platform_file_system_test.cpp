#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "host/platform/file_system.h"

namespace {

namespace pf = platform;

// A fresh temporary directory per test, removed afterwards; the working
// directory is restored too.
class PlatformFiles : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zok_platform_files_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(tmpl, resolved), nullptr);
    dir_ = resolved;
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    old_cwd_ = cwd;
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream out(Path(name), std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good());
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void MakeDir(const std::string& name) const { ASSERT_EQ(mkdir(Path(name).c_str(), 0755), 0); }
  std::vector<std::string> List() const {
    std::vector<std::string> names;
    EXPECT_TRUE(pf::ListDirectory(dir_, names));
    return names;
  }

  std::string dir_;
  std::string old_cwd_;
};

TEST_F(PlatformFiles, Queries) {
  Write("file.txt", "hello");
  Write("empty", "");
  MakeDir("sub");
  struct Case {
    const char* name;
    bool exists, directory, regular;
    int64_t size;  // checked unless INT64_MIN
  };
  const Case cases[] = {
      {"file.txt", true, false, true, 5},          {"empty", true, false, true, 0},
      {"sub", true, true, false, INT64_MIN},       {"sub/", true, true, false, INT64_MIN},
      {"missing", false, false, false, -1},        {"missing/below", false, false, false, -1},
      {"file.txt/below", false, false, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path(c.name);
    EXPECT_EQ(pf::FileExists(path), c.exists);
    EXPECT_EQ(pf::IsDirectory(path), c.directory);
    EXPECT_EQ(pf::IsRegularFile(path), c.regular);
    if (c.size != INT64_MIN) {
      EXPECT_EQ(pf::FileSize(path), c.size);
    }
    if (c.exists) {
      EXPECT_GT(pf::FileTimeNs(path), 0);
    } else {
      EXPECT_EQ(pf::FileTimeNs(path), -1);
    }
  }
}

TEST_F(PlatformFiles, FileTimeIsModificationTimeInNanoseconds) {
  Write("stamped", "x");
  const timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};  // access, modification
  ASSERT_EQ(utimensat(AT_FDCWD, Path("stamped").c_str(), times, 0), 0);
  EXPECT_EQ(pf::FileTimeNs(Path("stamped")), INT64_C(1234567890123456789));
}

TEST_F(PlatformFiles, FailuresGiveTheSystemText) {
  Write("file.txt", "hello");
  MakeDir("sub");
  const std::string kMissing = "No such file or directory";
  struct Case {
    const char* what;
    std::function<bool(std::string&)> call;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"delete missing", [&](std::string& e) { return pf::DeleteFile(Path("missing"), e); },
       kMissing},
      {"delete directory", [&](std::string& e) { return pf::DeleteFile(Path("sub"), e); },
       "Is a directory"},
      {"rename missing",
       [&](std::string& e) { return pf::RenameOver(Path("missing"), Path("to"), e); }, kMissing},
      {"rename file over directory",
       [&](std::string& e) { return pf::RenameOver(Path("file.txt"), Path("sub"), e); },
       "Is a directory"},
      {"copy missing", [&](std::string& e) { return pf::CopyFile(Path("missing"), Path("to"), e); },
       kMissing},
      {"copy directory", [&](std::string& e) { return pf::CopyFile(Path("sub"), Path("to"), e); },
       "Is a directory"},
      {"copy into missing directory",
       [&](std::string& e) { return pf::CopyFile(Path("file.txt"), Path("nodir/to"), e); },
       kMissing},
      {"mkdir through a file",
       [&](std::string& e) { return pf::MakeDirectories(Path("file.txt/below"), e); },
       "Not a directory"},
      {"mkdir over a file",
       [&](std::string& e) { return pf::MakeDirectories(Path("file.txt"), e); }, "File exists"},
      {"mkdir over a file, trailing slash",
       [&](std::string& e) { return pf::MakeDirectories(Path("file.txt/"), e); }, "File exists"},
      {"mkdir empty", [&](std::string& e) { return pf::MakeDirectories("", e); }, kMissing},
      {"chdir missing", [&](std::string& e) { return pf::ChangeDirectory(Path("missing"), e); },
       kMissing},
      {"chdir to a file", [&](std::string& e) { return pf::ChangeDirectory(Path("file.txt"), e); },
       "Not a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    EXPECT_FALSE(c.call(error));
    EXPECT_EQ(error, c.text);
  }
  // Nothing was left behind by the failed operations.
  EXPECT_EQ(List(), (std::vector<std::string>{"file.txt", "sub"}));
}

TEST_F(PlatformFiles, DeleteFileRemovesIt) {
  Write("victim", "x");
  std::string error;
  EXPECT_TRUE(pf::DeleteFile(Path("victim"), error)) << error;
  EXPECT_FALSE(pf::FileExists(Path("victim")));
}

TEST_F(PlatformFiles, RenameOverReplacesTheTarget) {
  Write("from", "new");
  Write("to", "old content");
  std::string error;
  EXPECT_TRUE(pf::RenameOver(Path("from"), Path("to"), error)) << error;
  EXPECT_FALSE(pf::FileExists(Path("from")));
  EXPECT_EQ(Read("to"), "new");
}

TEST_F(PlatformFiles, CopyFileCopiesBytesAndPermissions) {
  // Larger than any sensible copy buffer, with every byte value.
  std::string content;
  for (int i = 0; i < 300000; ++i) content += static_cast<char>((i * 7 + i / 256) & 0xff);
  Write("source.so", content);
  ASSERT_EQ(chmod(Path("source.so").c_str(), 0750), 0);

  struct Case {
    const char* what;
    bool target_exists;
  };
  for (const Case& c : {Case{"new target", false}, Case{"existing target", true}}) {
    SCOPED_TRACE(c.what);
    if (c.target_exists) {
      Write("copy.so", "stale and longer than nothing");
      ASSERT_EQ(chmod(Path("copy.so").c_str(), 0600), 0);
    }
    std::string error;
    EXPECT_TRUE(pf::CopyFile(Path("source.so"), Path("copy.so"), error)) << error;
    EXPECT_EQ(Read("copy.so"), content);
    struct stat st;
    ASSERT_EQ(stat(Path("copy.so").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(Read("source.so"), content);
    EXPECT_EQ(List(), (std::vector<std::string>{"copy.so", "source.so"})) << "temporary left";
  }
}

TEST_F(PlatformFiles, CopyFileOfEmptyFile) {
  Write("empty", "");
  std::string error;
  EXPECT_TRUE(pf::CopyFile(Path("empty"), Path("copy"), error)) << error;
  EXPECT_EQ(pf::FileSize(Path("copy")), 0);
}

TEST_F(PlatformFiles, MakeDirectoriesLikeMkdirP) {
  MakeDir("exists");
  struct Case {
    const char* path;
    const char* check;  // a directory that must exist afterwards
  };
  const Case cases[] = {
      {"a", "a"},
      {"b/c/d", "b/c/d"},
      {"b/c/d", "b/c/d"},  // again: already there
      {"exists", "exists"},
      {"exists/new", "exists/new"},
      {"trailing/slash/", "trailing/slash"},
      {"double//slash///x", "double/slash/x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string error;
    EXPECT_TRUE(pf::MakeDirectories(Path(c.path), error)) << error;
    EXPECT_TRUE(pf::IsDirectory(Path(c.check)));
  }
  std::string error;
  EXPECT_TRUE(pf::MakeDirectories("/", error)) << error;
  EXPECT_TRUE(pf::MakeDirectories(dir_, error)) << error;
}

TEST_F(PlatformFiles, MakeDirectoriesRelativeToCurrentDirectory) {
  std::string error;
  ASSERT_TRUE(pf::ChangeDirectory(dir_, error)) << error;
  EXPECT_TRUE(pf::MakeDirectories("rel/ative", error)) << error;
  EXPECT_TRUE(pf::IsDirectory(Path("rel/ative")));
}

TEST_F(PlatformFiles, ListDirectory) {
  std::vector<std::string> names = {"stale"};
  EXPECT_TRUE(pf::ListDirectory(dir_, names));
  EXPECT_TRUE(names.empty());

  Write("b.txt", "");
  Write(".hidden", "");
  MakeDir("a_dir");
  Write("a_dir/inner", "");
  EXPECT_TRUE(pf::ListDirectory(dir_, names));
  EXPECT_EQ(names, (std::vector<std::string>{".hidden", "a_dir", "b.txt"}));
  EXPECT_TRUE(pf::ListDirectory(dir_ + "/", names));
  EXPECT_EQ(names.size(), 3u);

  EXPECT_FALSE(pf::ListDirectory(Path("missing"), names));
  EXPECT_FALSE(pf::ListDirectory(Path("b.txt"), names));
}

TEST_F(PlatformFiles, CurrentAndChangeDirectory) {
  std::string error;
  ASSERT_TRUE(pf::ChangeDirectory(dir_, error)) << error;
  EXPECT_EQ(pf::CurrentDirectory(), dir_ + "/");
  MakeDir("sub");
  ASSERT_TRUE(pf::ChangeDirectory("sub", error)) << error;
  EXPECT_EQ(pf::CurrentDirectory(), dir_ + "/sub/");
  ASSERT_TRUE(pf::ChangeDirectory("/", error)) << error;
  EXPECT_EQ(pf::CurrentDirectory(), "/");
}

TEST_F(PlatformFiles, OwnExecutablePath) {
  const std::string exe = pf::OwnExecutablePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.front(), '/');
  EXPECT_TRUE(pf::IsRegularFile(exe));
  EXPECT_EQ(std::filesystem::path(exe).filename(), "zok_unit_tests");
}

}  // namespace
