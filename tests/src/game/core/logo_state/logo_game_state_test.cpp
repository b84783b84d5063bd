// The logo state's description: durations that never end or are no number
// are bounded with a line naming the file and the key, so that no logo, not
// even an unskippable one, keeps the player from the menu for long; stray
// text between the logos is no logo.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "config_manager.h"
#include "core/logo_state/logo_game_state.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "support/png_file.h"
#include "support/test_support.h"

TEST(LogoState, EndlessOrNoNumberDurationsAreBoundedAndNamed) {
  KR::Test::LogCapture log;
  const std::string content = KR::Test::scratchDir("logo-durations") + "/";
  mkdir((content + "pc_logo").c_str(), 0755);
  KR::Test::writeFile(
      content + "config.lua",
      "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 1024, 768 } } "
      "}, currentPlatform = 'pc', currentLanguage = 'en' }\n");
  KR::Test::writeFile(content + "pc_logo/logo.xml",
                      "<root>stray text<logo name='a.png' duration='nan'/><logo name='a.png' duration='inf'/>"
                      "<logo name='a.png' duration='1e39'/><logo name='a.png' duration='-2'/>"
                      "<logo name='a.png' duration='2.5'/><logo name='a.png' duration='0'/>"
                      "<logo name='a.png' duration='30'/></root>");
  ASSERT_TRUE(KR::Test::writePng(content + "pc_logo/a.png", std::vector<uint32_t>(4, 0xFF808080u), 2, 2));
  const std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(content);
  {
    KR::EngineAllocators allocators;
    allocators.init();
    KR::FileSystem files;
    KR::ConfigManager config;
    HOG::LogoGameState logos;
    logos.load();
    std::vector<float> durations;
    for (const HOG::LogoGameState::LogoEntry& entry : logos.getLogos()) durations.push_back(entry.duration);
    EXPECT_EQ(durations, (std::vector<float>{0.0f, 30.0f, 30.0f, 0.0f, 2.5f, 0.0f, 30.0f}));
    EXPECT_TRUE(
        log.contains("WARNING: Logo description 'logo.xml', logo 1, key 'duration': 'nan' is not a number "
                     "of seconds from 0 to 30; 0 is taken"));
    EXPECT_TRUE(log.contains("logo 3, key 'duration': '1e39' is not a number of seconds from 0 to 30; 30 is taken"));
    EXPECT_FALSE(log.contains("logo 5"));
    EXPECT_FALSE(log.contains("logo 6"));  // 0 is a time: passed at the first update
    EXPECT_FALSE(log.contains("logo 7"));  // the longest time is a time
    // None is skippable, yet all have passed within their bounded times (99 s).
    int seconds = 0;
    for (; seconds < 110 && logos.getCurrentLogo() < logos.getLogos().size(); ++seconds) logos.update(1.0f);
    EXPECT_EQ(logos.getCurrentLogo(), 7u);
    EXPECT_EQ(seconds, 99);  // each stays its whole time: a logo of 30 s is there at 30 s
  }
  KR::FileSystem::setContentFolder(previous);
}
