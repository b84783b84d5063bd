// The demo sounds of the built media folder load through the real file system
// and play through the sound manager.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_oal.h"
#include "sound_system/sound_resource_oal.h"
#include "support/test_support.h"

TEST(DemoSounds, EveryDemoSoundLoadsDecodesAndPlays) {
  KR::Test::LogCapture log;
  const std::string previous = KR::FileSystem::getContentFolder();
  KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
  {
    KR::FileSystem files;
    KR::ConfigManager config;
    files.loadFilesLocationInfo();
    KR::SoundManager sound;
    ASSERT_TRUE(sound.isInitialised());
    struct Expected {
      const char* name;
      uint32_t group;
      int channels;
      double minSeconds, maxSeconds;
    };
    const Expected demo[] = {
        {"demo_click_sound", KR::kSoundGroupSounds, 1, 0.2, 1.0},
        {"demo_music", KR::kSoundGroupMusic, 2, 4.0, 30.0},
        {"demo_ambient_loop", KR::kSoundGroupAmbient, 2, 2.0, 30.0},
    };
    for (const Expected& e : demo) {
      SCOPED_TRACE(e.name);
      KR::SoundDescriptor descriptor;
      descriptor.name = e.name;
      descriptor.group = e.group;
      descriptor.loop = e.group != KR::kSoundGroupSounds;
      uint32_t id = sound.loadSound(descriptor);
      ASSERT_NE(id, 0u);
      KR::SoundResource* resource = sound.getResource(id);
      KR::VorbisDecoder* decoder = resource->getDecoder();
      ASSERT_TRUE(decoder->isOpen());
      EXPECT_EQ(decoder->getChannels(), e.channels);
      double seconds = static_cast<double>(decoder->getTotalFrames()) / decoder->getSampleRate();
      EXPECT_GE(seconds, e.minSeconds);
      EXPECT_LE(seconds, e.maxSeconds);
      for (uint32_t k = 0; k < resource->getBufferCount(); ++k) {
        ASSERT_TRUE(resource->getBuffer(k)->fill()) << "span " << k;
        EXPECT_EQ(resource->getBuffer(k)->getByteSize(),
                  resource->getBuffer(k)->getFrameCount() * 2u * static_cast<uint32_t>(e.channels));
        resource->getBuffer(k)->release();
      }
      uint32_t handle = sound.playSound(id);
      EXPECT_NE(handle, 0u);
      sound.update();
      EXPECT_TRUE(sound.isSoundPlaying(handle));
    }
    // Already loaded: played by name on the next channel.
    EXPECT_EQ(sound.playSoundByName("demo_click_sound"), 4u);
  }
  KR::FileSystem::setContentFolder(previous);
}
