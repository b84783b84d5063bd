// The OpenAL device in child processes: one that cannot open leaves the sound
// manager silent and inert; OpenAL Soft's wave device records what a sound
// plays, which is then checked sample by sample.
#include "sound_system/sound_device_oal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>

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

struct Wave {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  std::vector<int16_t> samples;
};

uint32_t le32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

Wave readWave(const std::string& bytes) {
  Wave wave;
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return wave;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    std::string id = bytes.substr(at, 4);
    size_t size = le32(bytes, at + 4);
    size_t body = at + 8;
    if (id == "fmt " && body + 16 <= bytes.size()) {
      wave.channels = static_cast<unsigned char>(bytes[body + 2]) | static_cast<unsigned char>(bytes[body + 3]) << 8;
      wave.rate = static_cast<int>(le32(bytes, body + 4));
      wave.bits = static_cast<unsigned char>(bytes[body + 14]) | static_cast<unsigned char>(bytes[body + 15]) << 8;
    } else if (id == "data") {
      // A header the writer could not finish leaves the size open: take the rest.
      size_t end = size == 0 || body + size > bytes.size() ? bytes.size() : body + size;
      wave.samples.resize((end - body) / 2);
      std::memcpy(wave.samples.data(), bytes.data() + body, wave.samples.size() * 2);
      break;
    }
    at = body + size + (size & 1);
  }
  return wave;
}

TEST(SoundDeviceDeathTest, TheWaveDeviceRecordsTheStreamedToneWithoutGaps) {
  // The child process runs this body again, so the paths must not depend on the process.
  std::string folder = std::string(KR_TEST_BINARY_DIR) + "/tests/scratch/sound-wave-device";
  mkdir((std::string(KR_TEST_BINARY_DIR) + "/tests/scratch").c_str(), 0755);
  mkdir(folder.c_str(), 0755);
  const std::string wavePath = folder + "/out.wav";
  const std::string configPath = folder + "/alsoft.conf";
  KR::Test::writeFile(configPath,
                      "[general]\nfrequency = 44100\nchannels = stereo\nsample-type = int16\n"
                      "[wave]\nfile = " +
                          wavePath + "\n");
  std::remove(wavePath.c_str());
  const int toneFrames = 20000;  // three spans: 8192, 8192, 3616

  EXPECT_EXIT(
      {
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", configPath.c_str(), 1);
        KR::Test::LogCapture log;
        KR::Test::SoundContent content({{"tone", KR::Test::makeToneFile(1, 44100, toneFrames, 440.0)}});
        int failures = 0;
        {
          SoundManager manager;
          failures += manager.isInitialised() ? 0 : 1;
          KR::SoundDescriptor tone;
          tone.name = "tone";
          tone.group = 1;
          uint32_t handle = manager.playSound(manager.loadSound(tone));
          failures += handle != 0 ? 0 : 1;
          // Until it has played out (0.45 s of sound), and a little more so
          // that its end is in the recording.
          auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
          while (manager.isSoundPlaying(handle) && std::chrono::steady_clock::now() < end) {
            manager.update();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
          failures += manager.isSoundPlaying(handle) ? 1 : 0;
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::exit(failures);
      },
      ::testing::ExitedWithCode(0), "");

  Wave wave = readWave(KR::Test::readFile(wavePath));
  ASSERT_EQ(wave.channels, 2);
  ASSERT_EQ(wave.bits, 16);
  ASSERT_EQ(wave.rate, 44100);
  const size_t frames = wave.samples.size() / 2;
  ASSERT_GT(frames, static_cast<size_t>(toneFrames));
  const int threshold = 1000;
  size_t first = frames, last = 0;
  for (size_t f = 0; f < frames; ++f) {
    if (std::abs(wave.samples[f * 2]) > threshold || std::abs(wave.samples[f * 2 + 1]) > threshold) {
      if (first == frames) first = f;
      last = f;
    }
  }
  ASSERT_LT(first, frames) << "the recording is silent";
  // The whole tone, once: all three spans in order with nothing lost between.
  EXPECT_NEAR(static_cast<double>(last - first), toneFrames, 200.0);
  int crossings = 0;
  size_t quietRun = 0, longestQuiet = 0;
  for (size_t f = first + 1; f <= last; ++f) {
    int16_t previous = wave.samples[(f - 1) * 2], current = wave.samples[f * 2];
    if ((previous < 0) != (current < 0)) ++crossings;
    quietRun = std::abs(current) <= threshold ? quietRun + 1 : 0;
    longestQuiet = std::max(longestQuiet, quietRun);
  }
  EXPECT_NEAR(crossings, 2.0 * 440.0 * toneFrames / 44100.0, 20.0);
  EXPECT_LT(longestQuiet, 20u) << "a gap in the stream";
  // A mono source sounds the same on both sides.
  EXPECT_NEAR(wave.samples[(first + 5000) * 2], wave.samples[(first + 5000) * 2 + 1], 2);
}

}  // namespace
