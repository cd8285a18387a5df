// The pictures preloaded into named containers at start-up.
#include "host/display/shared_resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/modules/container_functions.h"
#include "host/modules/container_registry.h"
#include "support/own_ini_test.h"

namespace {

class SharedResources : public OwnIniTest {
 protected:
  void TearDown() override {
    for (const TSharedResource& resource : kSharedResources) {
      HostDeleteContainer(resource.container_name);
    }
    OwnIniTest::TearDown();
  }

  // Each file holds its own name, so a swapped pair shows.
  void WriteAll() {
    for (const TSharedResource& resource : kSharedResources) {
      const std::filesystem::path path = dir_ / resource.file;
      std::filesystem::create_directories(path.parent_path());
      dir_.Write(resource.file, resource.file);
    }
  }
};

TEST_F(SharedResources, LoadsEachFileUnderItsName) {
  WriteAll();
  LoadSharedResources();
  for (const TSharedResource& resource : kSharedResources) {
    const int32_t size = HostContainerSize(resource.container_name);
    ASSERT_EQ(size, static_cast<int32_t>(std::string(resource.file).size()))
        << resource.container_name;
    EXPECT_EQ(std::string(static_cast<const char*>(HostContainerData(resource.container_name)),
                          static_cast<size_t>(size)),
              resource.file);
  }
  EXPECT_TRUE(Logged("Loading shared resources..."));
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(SharedResources, TheFontIsTheSecondDefaultFont) {
  WriteAll();
  LoadSharedResources();
  EXPECT_EQ(FindContainer("$defaultfont.png")->FileName(),
            dir_.Path() + "zok/texture/font/default_2.png");
}

// Each one of them missing stops start-up, naming the file.
TEST_F(SharedResources, AMissingPictureIsFatal) {
  for (const TSharedResource& missing : kSharedResources) {
    WriteAll();
    std::filesystem::remove(dir_ / missing.file);
    ResetLogStateForTests();
    const std::u16string text = FatalText([] { LoadSharedResources(); });
    const std::string expected = "File \"" + dir_.Path() + missing.file + "\" not found.";
    EXPECT_NE(text.find(std::u16string(expected.begin(), expected.end())), text.npos)
        << missing.file;
  }
}

}  // namespace
