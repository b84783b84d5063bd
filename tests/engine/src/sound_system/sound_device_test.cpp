// The OpenAL device: one that cannot open (in a child process) leaves the sound
// manager silent and inert; OpenAL Soft's loopback device hands over what a
// sound plays, which is then checked sample by sample.
#include "sound_system/sound_device_oal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "sound_system/sound_manager.h"
#include "sound_test_content.h"
#include "support/test_support.h"

namespace {

using KR::SoundManager;

TEST(SoundDeviceDeathTest, WithoutADeviceEveryOperationDoesNothing) {
  EXPECT_EXIT(
      {
        setenv("ALSOFT_DRIVERS", "no_such_driver", 1);
        KR::Test::LogCapture log;
        KR::Test::SoundContent content({{"beep", KR::Test::makeToneFile(1, 44100, 4000)}});
        int failures = 0;
        {
          SoundManager manager;
          KR::SoundDescriptor music;
          music.name = "beep";
          music.group = 1;
          failures += manager.isInitialised() ? 1 : 0;
          failures += manager.loadSound(music) != 0 ? 1 : 0;
          failures += manager.playSoundByName("beep") != 0 ? 1 : 0;
          failures += manager.acquireSoundId("beep") != 0 ? 1 : 0;
          failures += manager.getGroupVolume(1) != 0.0f ? 1 : 0;
          manager.setMusicGroupVolume(0.5f);
          manager.startFadeAllGroups(1.0f, 1.0f, 1.0f);
          manager.update();
          manager.stopAllSounds();
          manager.cancelGroupFades();
          manager.applyListenerGain();
          failures += manager.isSoundPlaying(1) ? 1 : 0;
        }
        failures += log.contains("Creating AL Device...") ? 0 : 1;
        failures += log.contains("ERROR: Failed to create AL Device") ? 0 : 1;
        std::exit(failures);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SoundDeviceTest, TheMixerPlaysTheStreamedToneWithoutGaps) {
  KR::Test::LogCapture log;
  KR::Test::LoopbackMixer mixer(44100);
  const int toneFrames = 20000;  // three spans: 8192, 8192, 3616
  KR::Test::SoundContent content({{"tone", KR::Test::makeToneFile(1, 44100, toneFrames, 440.0)}});
  {
    SoundManager manager;
    ASSERT_TRUE(manager.isInitialised());
    KR::SoundDescriptor tone;
    tone.name = "tone";
    tone.group = 1;
    const uint32_t handle = manager.playSound(manager.loadSound(tone));
    ASSERT_NE(handle, 0u);
    // Updates every 5 ms of mixed sound, as the game's frames would, until it
    // has played out (0.45 s of sound); then a little more.
    for (int mixed = 0; manager.isSoundPlaying(handle) && mixed < 2 * 44100; mixed += 220) {
      manager.update();
      mixer.mix(220);
    }
    EXPECT_FALSE(manager.isSoundPlaying(handle));
    mixer.mix(4410);
  }
  const std::vector<int16_t>&left = mixer.left, &right = mixer.right;
  const size_t frames = left.size();
  ASSERT_GT(frames, static_cast<size_t>(toneFrames));
  const int threshold = 1000;
  size_t first = frames, last = 0;
  for (size_t f = 0; f < frames; ++f) {
    if (std::abs(left[f]) > threshold || std::abs(right[f]) > threshold) {
      if (first == frames) first = f;
      last = f;
    }
  }
  ASSERT_LT(first, frames) << "nothing was played";
  // The whole tone, once: all three spans in order with nothing lost between.
  EXPECT_NEAR(static_cast<double>(last - first), toneFrames, 200.0);
  int crossings = 0;
  size_t quietRun = 0, longestQuiet = 0;
  for (size_t f = first + 1; f <= last; ++f) {
    int16_t previous = left[f - 1], current = left[f];
    if ((previous < 0) != (current < 0)) ++crossings;
    quietRun = std::abs(current) <= threshold ? quietRun + 1 : 0;
    longestQuiet = std::max(longestQuiet, quietRun);
  }
  EXPECT_NEAR(crossings, 2.0 * 440.0 * toneFrames / 44100.0, 20.0);
  EXPECT_LT(longestQuiet, 20u) << "a gap in the stream";
  // A mono source sounds the same on both sides.
  EXPECT_NEAR(left[first + 5000], right[first + 5000], 2);
}

}  // namespace
