// Loading libpng: by configuration at start-up, and each way it fails.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/images/cl_libpng.h"
#include "unit/png_fixture.h"

namespace {

class PngLoaderTest : public PngFixture {
 protected:
  void SetUp() override {
    PngFixture::SetUp();
    libpng::Unload();
  }
  void TearDown() override {
    g_config = nullptr;
    PngFixture::TearDown();
  }
  // A configuration manager on an own INI with these [main] lines.
  void Configure(const std::string& main_lines) {
    dir_.Write("zokhost.ini", "[main]\n" + main_lines);
    config_ = std::make_unique<TConfigManager>(dir_ / "zokhost.ini");
    g_config = config_.get();
  }

  std::unique_ptr<TConfigManager> config_;
};

// The default library name goes to the system loader; the loader object
// unloads libpng when the engine object stack destroys it.
TEST_F(PngLoaderTest, LoadsTheDefaultLibraryAndUnloadsOnDestroy) {
  Configure("LibPng_linux_VersionString=" PNG_LIBPNG_VER_STRING "\n");
  auto loader = std::make_unique<TLibPngLoader>();
  EXPECT_STREQ(loader->ClassName(), "TLibPngLoader");
  ASSERT_TRUE(libpng::IsLoaded());
  EXPECT_EQ(libpng::FileName(), TLibPngLoader::kDefaultLibrary);
  EXPECT_EQ(libpng::VersionString(), PNG_LIBPNG_VER_STRING);
  // Names outside the codec's own are resolved on request.
  EXPECT_NE(libpng::Resolve("png_set_filter"), nullptr);
  EXPECT_EQ(libpng::Resolve("png_check_sig"), nullptr);
  loader->Destroy();
  EXPECT_FALSE(libpng::IsLoaded());
  EXPECT_EQ(ErrorCount(), 0u);
}

TEST_F(PngLoaderTest, TheConfiguredNameIsUsed) {
  Configure("LibPng_linux=libpng16.so.16\nLibPng_linux_VersionString=1.6.0\n");
  TLibPngLoader loader;
  EXPECT_TRUE(libpng::IsLoaded());
  EXPECT_EQ(libpng::FileName(), "libpng16.so.16");
}

struct LoadFailure {
  const char* name;
  const char* library;  // null: the test library without libpng's names
  const char* version;
  const char* expected;
  const char* cause;  // null: none expected
};

class PngLoadFailure : public PngLoaderTest, public testing::WithParamInterface<LoadFailure> {};

// Each is fatal with a clear text, through the configuration as at
// start-up, and leaves no library loaded.
TEST_P(PngLoadFailure, IsFatalAndLeavesNothingLoaded) {
  const LoadFailure& c = GetParam();
  const std::string library = c.library ? c.library : ZOK_TEST_PLAINLIB_PATH;
  Configure("LibPng_linux=" + library + "\nLibPng_linux_VersionString=" + c.version + "\n");
  EXPECT_THROW(TLibPngLoader loader, EDying);
  EXPECT_FALSE(libpng::IsLoaded());
  const std::string errors = Errors();
  EXPECT_NE(errors.find(c.expected), std::string::npos) << errors;
  if (c.cause) {
    EXPECT_NE(errors.find(c.cause), std::string::npos) << errors;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Png, PngLoadFailure,
    testing::Values(
        LoadFailure{"missing_library", "libpng_zok_missing.so.16", PNG_LIBPNG_VER_STRING,
                    "Cannot load the shared library \"libpng_zok_missing.so.16\"", nullptr},
        LoadFailure{"missing_relative_library", "lib/libpng16.so.16", PNG_LIBPNG_VER_STRING,
                    "Cannot load the shared library \"lib/libpng16.so.16\"", nullptr},
        LoadFailure{"not_libpng", nullptr, PNG_LIBPNG_VER_STRING,
                    "Function png_create_read_struct not found", nullptr},
        LoadFailure{"empty_version", "libpng16.so.16", "",
                    "Invalid setting [main] LibPng_linux_VersionString=\"\"", nullptr},
        LoadFailure{"older_version", "libpng16.so.16", "1.2.8",
                    "Invalid setting [main] LibPng_linux_VersionString=\"1.2.8\"",
                    "does not accept the version string \"1.2.8\""},
        LoadFailure{"newer_version", "libpng16.so.16", "1.7.0",
                    "LibPng_linux_VersionString=\"1.7.0\"", "libpng 1.6."}),
    [](const testing::TestParamInfo<LoadFailure>& info) { return std::string(info.param.name); });

}  // namespace
