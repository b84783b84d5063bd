// The showcase's sound page starts the demo music once and gives it back when
// it goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config_manager.h"
#include "core/showcase/showcase_sound_page.h"
#include "file_system.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"
#include "support/test_support.h"

TEST(SoundShowcasePage, MusicStartsWithThePageAndStopsWithIt) {
  KR::Test::LogCapture log;
  const std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  {
    KR::FileSystem files;
    KR::ConfigManager config;
    files.loadFilesLocationInfo();
    KR::SoundManager sound;
    auto page = std::make_unique<HOG::SoundShowcasePage>();
    page->update(0.016f);
    uint32_t channel = page->getMusicChannel();
    ASSERT_NE(channel, 0u);
    EXPECT_TRUE(sound.isSoundPlaying(channel));
    page->update(0.016f);
    EXPECT_EQ(page->getMusicChannel(), channel);
    uint32_t id = sound.acquireSoundId("demo_music");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(sound.getResource(id)->getGroup(), KR::kSoundGroupMusic);
    sound.releaseSound(id);
    page.reset();
    EXPECT_FALSE(sound.isSoundPlaying(channel));
    EXPECT_EQ(sound.acquireSoundId("demo_music"), 0u);
  }
  KR::FileSystem::setContentFolder(previous);
}
