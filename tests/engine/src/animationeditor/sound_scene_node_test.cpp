// Sound nodes of scene files through the sound manager: the "play" and
// "volume" keys heard through OpenAL Soft's wave device (in a child process),
// and the channel's life (log lines A, B and C, the looping flag) on the
// silent device.
#include "animationeditor/sound_scene_node.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

#include "animationeditor/scene_loader.h"
#include "engine/src/sound_system/sound_test_content.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"
#include "support/test_support.h"

namespace {

uint32_t le32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + size_t(i)]);
  return v;
}

// The left channel of a 16-bit stereo recording.
std::vector<int16_t> readLeftChannel(const std::string& bytes) {
  std::vector<int16_t> left;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const size_t size = le32(bytes, at + 4), body = at + 8;
    if (bytes.compare(at, 4, "data") == 0) {
      const size_t end = size == 0 || body + size > bytes.size() ? bytes.size() : body + size;
      for (size_t p = body; p + 4 <= end; p += 4) {
        int16_t s;
        std::memcpy(&s, bytes.data() + p, 2);
        left.push_back(s);
      }
      break;
    }
    at = body + size + (size & 1);
  }
  return left;
}

const char* const kScene =
    "<Scene><Object type='Sound' name='tone' filename='tone'>"
    "  <Parameters Volume='1' Playing='0' Enable='1' SoundGroup='1'/>"
    "  <frames>"
    "    <frame StartFrame='0'><Attributes Volume='1' playSound='1'/></frame>"
    "    <frame StartFrame='11'><Attributes Volume='1' playSound='1'/></frame>"
    "    <frame StartFrame='12'><Attributes Volume='0.25' playSound='1'/></frame>"
    "    <frame StartFrame='23'><Attributes Volume='0.25' playSound='1'/></frame>"
    "    <frame StartFrame='24'><Attributes Volume='0.25' playSound='0'/></frame>"
    "  </frames>"
    "</Object></Scene>";

TEST(SoundSceneNodeDeathTest, PlayAndVolumeKeysAreHeard) {
  const std::string folder = std::string(KR_TEST_BINARY_DIR) + "/tests/scratch/sound-scene-node";
  mkdir((std::string(KR_TEST_BINARY_DIR) + "/tests/scratch").c_str(), 0755);
  mkdir(folder.c_str(), 0755);
  const std::string wavePath = folder + "/out.wav", configPath = folder + "/alsoft.conf";
  KR::Test::writeFile(configPath,
                      "[general]\nfrequency = 44100\nchannels = stereo\nsample-type = int16\n"
                      "[wave]\nfile = " +
                          wavePath + "\n");
  KR::Test::writeFile(folder + "/scene.xml", kScene);
  std::remove(wavePath.c_str());
  EXPECT_EXIT(
      {
        setenv("ALSOFT_DRIVERS", "wave", 1);
        setenv("ALSOFT_CONF", configPath.c_str(), 1);
        KR::Test::LogCapture log;
        // Two seconds of tone; the scene keeps one of them, at two volumes.
        KR::Test::SoundContent content({{"tone", KR::Test::makeToneFile(1, 44100, 88200, 440.0)}});
        int failures = 0;
        {
          KR::SoundManager manager;
          std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(folder + "/scene.xml"));
          failures += scene && manager.isInitialised() ? 0 : 1;
          if (scene) {
            scene->play(true);
            const auto start = std::chrono::steady_clock::now();
            auto last = start;
            while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(1400)) {
              std::this_thread::sleep_for(std::chrono::milliseconds(5));
              const auto now = std::chrono::steady_clock::now();
              scene->update(std::chrono::duration<float>(now - last).count());
              manager.update();
              last = now;
            }
          }
        }
        std::exit(failures);
      },
      ::testing::ExitedWithCode(0), "");
  const std::vector<int16_t> left = readLeftChannel(KR::Test::readFile(wavePath));
  ASSERT_GT(left.size(), 44100u);
  size_t first = left.size(), last = 0;
  for (size_t i = 0; i < left.size(); ++i) {
    if (std::abs(left[i]) > 300) {
      if (first == left.size()) first = i;
      last = i;
    }
  }
  ASSERT_LT(first, left.size()) << "the recording is silent";
  // On at frame 0 and off at frame 24: one second, not the tone's two.
  EXPECT_NEAR(double(last - first), 44100.0, 44100.0 * 0.12);
  auto peak = [&](double from, double to) {
    int p = 0;
    for (size_t i = first + size_t(from * 44100); i < first + size_t(to * 44100); ++i)
      p = std::max(p, std::abs(int(left[i])));
    return p;
  };
  // Full volume in the first half second, a quarter in the second.
  const int loud = peak(0.05, 0.4), quiet = peak(0.6, 0.9);
  ASSERT_GT(loud, 1000);
  EXPECT_NEAR(double(quiet) / loud, 0.25, 0.06);
}

TEST(SoundSceneNodeTest, TheChannelFollowsKeysDisablingAndTheLoopFlag) {
  KR::Test::LogCapture log;
  KR::Test::SoundContent content({{"tone", KR::Test::makeToneFile(1, 44100, 44100, 440.0)}});
  KR::SoundManager manager;
  ASSERT_TRUE(manager.isInitialised());
  const std::string path = KR::Test::scratchDir("sound-scene-node") + "/scene.xml";
  KR::Test::writeFile(path,
                      "<Scene><Object type='Sound' name='hum' filename='tone'>"
                      "  <Parameters Volume='1' Enable='1' fading='1'/>"
                      "  <frames loop='1'>"
                      "    <frame StartFrame='0'><Attributes Volume='1' playSound='1' A='0.5'/></frame>"
                      "    <frame StartFrame='12'><Attributes Volume='1' playSound='0' A='0.5'/></frame>"
                      "    <frame StartFrame='48'><Attributes Volume='1' playSound='0' A='0.5'/></frame>"
                      "  </frames>"
                      "</Object></Scene>");
  std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(path));
  ASSERT_NE(nullptr, scene);
  auto* hum = static_cast<AE::SoundSceneNode*>(scene->mChildren.at(0));
  ASSERT_GT(hum->mSoundId, 0);
  scene->play(true);
  scene->update(0.0f);
  ASSERT_NE(0, hum->mHandle);
  EXPECT_TRUE(log.contains("SoundSceneNode::updateDerived, createAndPlay(mID " + std::to_string(hum->mSoundId)));
  EXPECT_TRUE(manager.getResource(uint32_t(hum->mSoundId))->isLooping()) << "a looping node's sound loops";
  for (int i = 0; i < 13; ++i) scene->update(1.0f / 24.0f);
  EXPECT_EQ(0, hum->mHandle);
  EXPECT_TRUE(log.contains("SoundSceneNode::updateDerived, stop(mHandle"));
  EXPECT_TRUE(log.contains("); A"));
  // Around the loop it starts again; disabling stops it and clears "play".
  for (int i = 0; i < 37; ++i) scene->update(1.0f / 24.0f);
  ASSERT_NE(0, hum->mHandle);
  EXPECT_EQ(1, hum->mPlay);
  hum->mEnabled = false;
  hum->updateDerived(0.0f);
  EXPECT_EQ(0, hum->mHandle);
  EXPECT_EQ(0, hum->mPlay);
  EXPECT_TRUE(log.contains("); C "));
}

}  // namespace
