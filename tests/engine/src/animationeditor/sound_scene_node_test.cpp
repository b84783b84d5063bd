// Sound nodes of scene files through the sound manager: the "play" and
// "volume" keys heard through OpenAL Soft's loopback device, mixed step by step
// with the scene's fixed time step, and the channel's life (log lines A, B and
// C, the looping flag) on the silent device.
#include "animationeditor/sound_scene_node.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "animationeditor/scene_loader.h"
#include "engine/src/sound_system/sound_test_content.h"
#include "sound_system/sound_manager.h"
#include "sound_system/sound_resource_oal.h"
#include "support/test_support.h"

namespace {

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

TEST(SoundSceneNodeTest, PlayAndVolumeKeysAreHeard) {
  KR::Test::LogCapture log;
  // Two seconds of tone; the scene keeps one of them, at two volumes.
  KR::Test::SoundContent content({{"tone", KR::Test::makeToneFile(1, 44100, 88200, 440.0)}});
  const std::string path = KR::Test::scratchDir("sound-scene-node-heard") + "/scene.xml";
  KR::Test::writeFile(path, kScene);
  KR::Test::LoopbackMixer mixer(44100);
  {
    KR::SoundManager manager;
    ASSERT_TRUE(manager.isInitialised());
    std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(path));
    ASSERT_NE(nullptr, scene);
    scene->play(true);
    // 24 steps a second, each followed by its share of mixed samples.
    const int steps = 40;
    for (int i = 0; i < steps; ++i) {
      scene->update(i == 0 ? 0.0f : 1.0f / 24.0f);
      manager.update();
      mixer.mix((i + 1) * 44100 / 24 - i * 44100 / 24);
    }
  }
  const std::vector<int16_t>& left = mixer.left;
  ASSERT_EQ(left.size(), 40u * 44100u / 24u);
  size_t first = left.size(), last = 0;
  for (size_t i = 0; i < left.size(); ++i) {
    if (std::abs(left[i]) > 300) {
      if (first == left.size()) first = i;
      last = i;
    }
  }
  ASSERT_LT(first, left.size()) << "nothing was played";
  const size_t step = 44100 / 24 + 1;
  // On at frame 0 and off at frame 24: one second, not the tone's two.
  EXPECT_LT(first, step);
  EXPECT_NEAR(double(last - first), 44100.0, double(step));
  auto peak = [&](double from, double to) {
    int p = 0;
    for (size_t i = first + size_t(from * 44100); i < first + size_t(to * 44100); ++i)
      p = std::max(p, std::abs(int(left[i])));
    return p;
  };
  // Full volume in the first half second, a quarter in the second.
  const int loud = peak(0.05, 0.45), quiet = peak(0.55, 0.95);
  ASSERT_GT(loud, 1000);
  EXPECT_NEAR(double(quiet) / loud, 0.25, 0.02);
}

TEST(SoundSceneNodeTest, TheChannelFollowsKeysDisablingAndTheLoopFlag) {
  KR::Test::LogCapture log(/*verbose=*/true);
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
