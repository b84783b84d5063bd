// The demo media folder as the build makes it, read the way the game starts:
// file system, configuration, package index, strings.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "config_manager.h"
#include "file_system.h"
#include "support/test_support.h"
#include "ui/text_manager.h"

namespace {

class MediaContentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = KR::FileSystem::getContentFolder();
    KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  }
  void TearDown() override { KR::FileSystem::setContentFolder(previous); }
  KR::Test::LogCapture log;
  std::string previous;
};

}  // namespace

TEST_F(MediaContentTest, StartsUpFromTheBuiltMediaFolder) {
  KR::FileSystem fs;
  EXPECT_FALSE(log.contains("ERROR: Failed to open KRP archive."));
  KR::ConfigManager config;
  ASSERT_NE(config.getCurrentPlatform(), nullptr);
  EXPECT_EQ(config.getCurrentPlatform()->name, "pc");
  EXPECT_EQ(config.getCurrentPlatform()->resolutionWidth, 1680);
  EXPECT_EQ(config.getCurrentPlatform()->resolutionHeight, 1050);
  EXPECT_EQ(config.getCurrentLanguage(), "en");
  fs.loadFilesLocationInfo();
  EXPECT_TRUE(fs.fileExists("en", "strings_xml"));

  KR::TextManager text;
  text.loadStrings();
  EXPECT_EQ(text.getText("QUELLMOOR_TITLE"), L"Quellmoor");
  EXPECT_EQ(text.getText("SKIP"), L"Skip");

  // Every indexed entry is served by some reader.
  for (const auto& package : fs.getPackageIndex()) {
    for (const auto& entry : package.second) {
      std::unique_ptr<KR::File> file(fs.openFile(package.first, entry.first));
      EXPECT_TRUE(file) << package.first << " / " << entry.first;
    }
  }
  EXPECT_FALSE(log.contains("WARNING: Failed to find"));
}
