#include "config_manager.h"

#include <gtest/gtest.h>

#include "data_test_content.h"

namespace {

// Starts the services over a content folder whose config.lua is `config`.
struct ConfigContent {
  explicit ConfigContent(const std::string& config) : content("config") {
    content.config = config;
    content.extraDirectories = {"7", "extra", "first", "second"};
    content.addEntry("en", "greeting", "english");
    content.addEntry("default", "greeting", "fallback");
    content.addEntry("default", "only_default", "default only");
    content.start();
  }
  KR::ConfigManager& config() { return *content.configManager; }
  KR::Test::ScratchContent content;
};

std::string readAll(KR::File* file) {
  if (!file) return "<no file>";
  std::string bytes(static_cast<size_t>(file->getSize()), '\0');
  file->read(&bytes[0], file->getSize());
  delete file;
  return bytes;
}

}  // namespace

TEST(ConfigManager, ReadsPlatformsAndOptionalDefaults) {
  ConfigContent c(
      "config = {\n"
      "  platforms = {\n"
      "    { name = 'pc', directories = { 'pc', 7, {}, 'extra' }, resolution = { '1280', 800.9 } },\n"
      "    { name = 'wide', directories = {}, resolution = { 1920, 1080 }, fullscreenFitType = 2,\n"
      "      fullscreenMinimalAspect = 1.6, workspaceZoom = 1.25 },\n"
      "    { name = 'fit1', directories = {}, resolution = { 1, 1 }, fullscreenFitType = 1, workspaceZoom = 2 },\n"
      "    { name = 'fit2', directories = {}, resolution = { 1, 1 }, fullscreenFitType = 2 },\n"
      "  },\n"
      "  currentPlatform = 'pc',\n"
      "  currentLanguage = 'en',\n"
      "}\n");
  KR::ConfigManager& config = c.config();
  EXPECT_EQ(config.vertexFormatFlags, 21u);
  ASSERT_EQ(config.platforms.size(), 4u);
  const KR::PlatformConfig& pc = config.platforms[0];
  EXPECT_EQ(config.currentPlatform, &pc);
  EXPECT_EQ(pc.name, "pc");
  // Numbers become names; a table among the names is skipped.
  EXPECT_EQ(pc.directories, (std::vector<std::string>{"pc", "7", "extra"}));
  EXPECT_EQ(pc.resolutionWidth, 1280);
  EXPECT_EQ(pc.resolutionHeight, 800);
  EXPECT_EQ(pc.fullscreenFitType, 0u);
  EXPECT_FLOAT_EQ(pc.fullscreenMinimalAspect, 1.33f);
  EXPECT_FLOAT_EQ(pc.workspaceZoom, 1.0f);

  const KR::PlatformConfig& wide = config.platforms[1];
  EXPECT_EQ(wide.fullscreenFitType, 2u);
  EXPECT_FLOAT_EQ(wide.fullscreenMinimalAspect, 1.6f);
  EXPECT_FLOAT_EQ(wide.workspaceZoom, 1.25f);
  EXPECT_FLOAT_EQ(config.platforms[2].workspaceZoom, 1.0f);  // zoom only counts for fit type 2
  EXPECT_FLOAT_EQ(config.platforms[3].workspaceZoom, 1.0f);

  ASSERT_NE(config.getCurrentPlatformDirectories(), nullptr);
  EXPECT_EQ(config.getCurrentPlatformDirectories()->size(), 3u);
  EXPECT_TRUE(c.content.log.contains("Current platform: pc"));
  EXPECT_TRUE(c.content.log.contains("Current language: en"));
}

TEST(ConfigManager, FirstPlatformOfTheNameWinsAndLanguageDefaultsToEnglish) {
  ConfigContent c(
      "config = { platforms = {\n"
      "  { name = 'pc', directories = { 'pc' }, resolution = { 800, 600 } },\n"
      "  { name = 'pc', directories = { 'second' }, resolution = { 1024, 768 } } },\n"
      "  currentPlatform = 'pc' }\n");
  KR::ConfigManager& config = c.config();
  EXPECT_EQ(config.currentPlatform, &config.platforms[0]);
  EXPECT_EQ(config.currentPlatform->resolutionWidth, 800);
  EXPECT_EQ(config.currentLanguage, "en");
  // "localization" resolves to package "en", with "default" behind it.
  EXPECT_EQ(readAll(c.content.fileSystem->openFile("localization", "greeting")), "english");
  EXPECT_EQ(readAll(c.content.fileSystem->openFile("localization", "only_default")), "default only");
}

TEST(ConfigManager, PlatformChosenBeforeLoadingIsKept) {
  KR::Test::ScratchContent content("config-preset");
  content.config =
      "config = { platforms = {\n"
      "  { name = 'pc', directories = {}, resolution = { 800, 600 } },\n"
      "  { name = 'tablet', directories = {}, resolution = { 1024, 768 } } },\n"
      "  currentPlatform = 'pc' }\n";
  content.start();  // chooses "pc"
  KR::currentPlatformName() = "tablet";
  KR::ConfigManager& config = *content.configManager;
  config.load();
  EXPECT_EQ(config.platforms.size(), 2u);
  EXPECT_EQ(config.currentPlatform->name, "tablet");
  KR::currentPlatformName().clear();
}

namespace {

// Runs the configuration start-up of `config` in a child; it must end through
// the fatal error.
void startWith(const std::string& config) { ConfigContent c(config); }

constexpr const char* kPlatformHead = "config = { currentPlatform = 'pc', platforms = { { name = 'pc', ";

}  // namespace

TEST(ConfigManagerDeathTest, MissingRequiredKeysAreFatal) {
  // Lua's own message follows, with the line where it stopped.
  EXPECT_EXIT(startWith("broken = = 1"), ::testing::ExitedWithCode(255),
              "Failed to load config file config.lua: .*:1: unexpected symbol");
  EXPECT_EXIT(startWith("settings = {}"), ::testing::ExitedWithCode(255), "Failed to open table \"config\"");
  EXPECT_EXIT(startWith("config = { currentPlatform = 'pc' }"), ::testing::ExitedWithCode(255),
              "config.lua: the config table has no \"platforms\" table");
  EXPECT_EXIT(startWith(std::string(kPlatformHead) + "resolution = { 1, 2 } } } }"), ::testing::ExitedWithCode(255),
              "config.lua: platform \"pc\" has no \"directories\" table");
  const char* kResolution = "config.lua: platform \"pc\": \"resolution\" must be \\{ width, height \\}";
  EXPECT_EXIT(startWith(std::string(kPlatformHead) + "directories = {}, resolution = { 1 } } } }"),
              ::testing::ExitedWithCode(255), kResolution);
  EXPECT_EXIT(startWith(std::string(kPlatformHead) + "directories = {}, resolution = { 1, 'x' } } } }"),
              ::testing::ExitedWithCode(255), kResolution);
  EXPECT_EXIT(startWith("config = { currentPlatform = 'pc', platforms = { 'pc' } }"), ::testing::ExitedWithCode(255),
              "config.lua: an element of \"platforms\" is not a table");
  EXPECT_EXIT(startWith("config = { platforms = { { directories = {}, resolution = { 1, 2 } } } }"),
              ::testing::ExitedWithCode(255), "config.lua: a platform has no \"name\"");
  EXPECT_EXIT(startWith("config = { platforms = { { name = 'pc', directories = {}, resolution = { 1, 2 } } } }"),
              ::testing::ExitedWithCode(255), "config.lua: \"currentPlatform\" is missing");
  EXPECT_EXIT(startWith(std::string(kPlatformHead) + "directories = {}, resolution = { 1, 2 } } },"
                                                     " currentPlatform = 'mac' }"),
              ::testing::ExitedWithCode(255), "Failed to find platform with specified name: \"mac\"");
}
