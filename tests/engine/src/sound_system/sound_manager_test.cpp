// The sound manager on OpenAL Soft's loopback device, which plays as far as a
// test mixes:
// ids and handles, ranking of effects, group volumes and fades, streaming of
// spans through a queue of two, looping, damaged files and activation, and
// what is given while the device still opens.
#include "sound_system/sound_manager.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

#include "notification.h"
#include "sound_system/sound_oal.h"
#include "sound_system/sound_resource_oal.h"
#include "sound_test_content.h"
#include "support/test_support.h"
#include "timer_manager.h"

namespace {

using KR::SoundDescriptor;
using KR::SoundManager;

SoundDescriptor descriptor(const std::string& name, uint32_t group = 0, bool loop = false, uint32_t priority = 0,
                           float volume = 1.0f) {
  SoundDescriptor d;
  d.name = name;
  d.group = group;
  d.volume = volume;
  d.loop = loop;
  d.priority = priority;
  return d;
}

float sourceGain(SoundManager& manager, uint32_t handle) {
  ALfloat gain = -1.0f;
  alGetSourcef(manager.getSound(handle)->getSource(), AL_GAIN, &gain);
  return gain;
}

std::string truncatedMusic() {
  std::string music = KR::Tools::encodeVorbis(KR::Tools::makeMusic());
  return music.substr(0, music.size() / 3);
}

class SoundManagerTest : public ::testing::Test {
 protected:
  SoundManagerTest() : content(files()) {}

  // Encoded once for the whole suite.
  static const std::map<std::string, std::string>& files() {
    static const std::map<std::string, std::string> made = {{"beep", KR::Test::makeToneFile(1, 44100, 4000)},
                                                            {"three_spans", KR::Test::makeToneFile(1, 48000, 20000)},
                                                            {"one_span", KR::Test::makeToneFile(2, 48000, 8192)},
                                                            {"music", KR::Test::makeToneFile(2, 44100, 30000)},
                                                            {"truncated", truncatedMusic()},
                                                            {"garbage", std::string(3000, 'g')}};
    return made;
  }

  void SetUp() override {
    manager.reset(new SoundManager);
    ASSERT_TRUE(manager->isInitialised()) << "the loopback device should open";
  }
  void TearDown() override { manager.reset(); }

  // Updates every 5 ms of mixed sound until the condition holds or the
  // mixer has played the given seconds.
  template <typename Condition>
  bool updateUntil(Condition condition, double seconds = 3.0) {
    const int step = mixer.rate / 200;
    for (int mixed = 0; mixed < int(seconds * mixer.rate); mixed += step) {
      manager->update();
      if (condition()) return true;
      mixer.mix(step);
    }
    return false;
  }

  KR::Test::LogCapture log;
  KR::Test::LoopbackMixer mixer;
  KR::Test::SoundContent content;
  std::unique_ptr<SoundManager> manager;
};

TEST_F(SoundManagerTest, IdsAreRecycledOnlyAfterTheOthersAndNamesAreUnique) {
  EXPECT_EQ(manager->loadSound(descriptor("beep")), 1u);
  EXPECT_EQ(manager->loadSound(descriptor("music", 1)), 2u);
  // Loaded already: 0, and the id stays with the first.
  EXPECT_EQ(manager->loadSound(descriptor("beep")), 0u);
  EXPECT_EQ(manager->acquireSoundId("beep"), 1u);
  EXPECT_EQ(manager->getResource(1)->getReferenceCount(), 2);
  EXPECT_EQ(manager->acquireSoundId("nothing"), 0u);

  manager->releaseSound(1);
  EXPECT_NE(manager->getResource(1), nullptr);
  manager->releaseSound(1);
  EXPECT_EQ(manager->getResource(1), nullptr);
  EXPECT_EQ(manager->acquireSoundId("beep"), 0u);

  // A missing file still takes an id (and logs); id 1 comes back only after
  // every id above it has been given.
  EXPECT_EQ(manager->loadSound(descriptor("beep")), 3u);
  EXPECT_EQ(manager->loadSound(descriptor("absent")), 4u);
  EXPECT_TRUE(log.contains("WARNING. Sound not found absent"));
  EXPECT_EQ(manager->getResource(4)->getBufferCount(), 0u);
  for (uint32_t id = 5; id <= 1023; ++id) {
    ASSERT_EQ(manager->loadSound(descriptor("filler" + std::to_string(id))), id);
  }
  EXPECT_EQ(manager->loadSound(descriptor("wraps")), 1u);
  EXPECT_EQ(manager->loadSound(descriptor("full")), 0u);
  manager->unloadSound(700);
  EXPECT_EQ(manager->loadSound(descriptor("again")), 700u);

  // Ids and names out of range are ignored.
  manager->releaseSound(0);
  manager->releaseSound(5000);
  manager->unloadSound(1024);
  EXPECT_EQ(manager->playSound(0), 0u);
  EXPECT_EQ(manager->playSound(1024), 0u);
}

TEST_F(SoundManagerTest, ConcurrentLoadersNeverShareAnIdOrAName) {
  std::vector<std::thread> threads;
  std::vector<uint32_t> results(16, 0);
  for (int t = 0; t < 16; ++t) {
    threads.emplace_back([&, t] {
      // Half the threads race for the same name, the rest load their own.
      std::string name = t % 2 == 0 ? std::string("music") : "absent" + std::to_string(t);
      results[t] = manager->loadSound(descriptor(name, 1));
    });
  }
  for (auto& thread : threads) thread.join();
  int sameName = 0;
  std::set<uint32_t> ids;
  for (int t = 0; t < 16; ++t) {
    if (t % 2 == 0 && results[t] != 0) ++sameName;
    if (results[t] != 0) {
      EXPECT_TRUE(ids.insert(results[t]).second) << "id " << results[t] << " given twice";
    }
  }
  EXPECT_EQ(sameName, 1);
  EXPECT_EQ(ids.size(), 9u);
  for (uint32_t id : ids) EXPECT_NE(manager->getResource(id), nullptr);
}

TEST_F(SoundManagerTest, HandlesAreRecycledAfterTheChannelIsReclaimed) {
  uint32_t music = manager->loadSound(descriptor("music", 1));
  EXPECT_EQ(manager->playSound(music), 1u);
  EXPECT_EQ(manager->playSound(music), 2u);
  EXPECT_EQ(manager->playSound(music), 3u);
  manager->stopSound(1);
  EXPECT_FALSE(manager->isSoundPlaying(1));
  EXPECT_TRUE(manager->isSoundPlaying(2));
  // The stopped channel stays taken for its sound's first updates.
  for (int i = 0; i < 6; ++i) manager->update();
  EXPECT_NE(manager->getSound(1), nullptr);
  manager->update();
  EXPECT_EQ(manager->getSound(1), nullptr);
  EXPECT_EQ(manager->playSound(music), 4u);
  for (uint32_t handle = 5; handle <= 63; ++handle) ASSERT_EQ(manager->playSound(music), handle);
  EXPECT_EQ(manager->playSound(music), 1u);
  EXPECT_EQ(manager->playSound(music), 0u);
  EXPECT_TRUE(log.contains("ERROR: SoundManager::createSound Can't play sound"));
  EXPECT_FALSE(manager->isSoundPlaying(0));
  EXPECT_FALSE(manager->isSoundPlaying(64));
  EXPECT_EQ(manager->createSound(nullptr), 0u);
  EXPECT_TRUE(log.contains("WARNING: SoundManager::createSound Bad sound resource ptr!"));

  // Unloading frees every channel that plays the resource at once.
  manager->unloadSound(music);
  for (uint32_t handle = 1; handle < 64; ++handle) EXPECT_EQ(manager->getSound(handle), nullptr);
}

TEST_F(SoundManagerTest, ReleasingMusicDropsOneReferenceOfEveryMusicResourceOnly) {
  uint32_t kept = manager->loadSound(descriptor("music", 1));
  EXPECT_EQ(manager->acquireSoundId("music"), kept);
  uint32_t dropped = manager->loadSound(descriptor("three_spans", 1));
  uint32_t effect = manager->loadSound(descriptor("beep", 0));
  uint32_t ambient = manager->loadSound(descriptor("one_span", 2, true));
  uint32_t playing = manager->playSound(dropped);
  ASSERT_NE(playing, 0u);

  manager->releaseMusic();
  ASSERT_NE(manager->getResource(kept), nullptr);
  EXPECT_EQ(manager->getResource(kept)->getReferenceCount(), 1);
  EXPECT_EQ(manager->getResource(dropped), nullptr);
  EXPECT_EQ(manager->acquireSoundId("three_spans"), 0u);
  // Its channel is freed at once, not by a later update.
  EXPECT_EQ(manager->getSound(playing), nullptr);
  EXPECT_EQ(manager->getResource(effect)->getReferenceCount(), 1);
  EXPECT_EQ(manager->getResource(ambient)->getReferenceCount(), 1);
}

TEST_F(SoundManagerTest, TheSixthEffectOfEqualPriorityPushesOutTheQuietest) {
  uint32_t id = manager->loadSound(descriptor("beep", 0, false, 1));
  uint32_t handles[6];
  for (int i = 0; i < 6; ++i) {
    handles[i] = manager->playSound(id);
    ASSERT_NE(handles[i], 0u);
  }
  std::vector<KR::Sound*> ranked = manager->getRankedEffects();
  ASSERT_EQ(ranked.size(), 5u);
  // First, sixth, fifth, fourth, third; the second was silenced and stopped.
  const int order[5] = {0, 5, 4, 3, 2};
  for (int rank = 0; rank < 5; ++rank) {
    EXPECT_EQ(ranked[rank], manager->getSound(handles[order[rank]])) << "rank " << rank;
    EXPECT_FLOAT_EQ(ranked[rank]->getVolume(), 1.0f - 0.2f * rank);
    EXPECT_NEAR(sourceGain(*manager, handles[order[rank]]), 1.0f - 0.2f * rank, 1e-5);
  }
  EXPECT_FALSE(manager->isSoundPlaying(handles[1]));
  EXPECT_FLOAT_EQ(manager->getSound(handles[1])->getVolume(), 0.0f);
  EXPECT_TRUE(manager->isSoundPlaying(handles[0]));
}

TEST_F(SoundManagerTest, EffectsOfPriorityZeroAreRefusedOnceFiveSoundButMusicNever) {
  for (int i = 0; i < 5; ++i) EXPECT_NE(manager->playSoundByName("beep"), 0u);
  EXPECT_EQ(manager->playSoundByName("beep"), 0u);
  EXPECT_TRUE(log.contains("ERROR: SoundManager::createSound Sound can not be queued"));
  EXPECT_EQ(manager->acquireSoundId("beep"), 1u);  // loaded once, by the first play

  uint32_t music = manager->loadSound(descriptor("music", 1));
  uint32_t ambient = manager->loadSound(descriptor("one_span", 2, true));
  EXPECT_NE(manager->playSound(music), 0u);
  EXPECT_NE(manager->playSound(ambient), 0u);
  EXPECT_EQ(manager->getRankedEffects().size(), 5u);
}

// A loud resource of low priority passes the queue test with its resource
// volume (1 x 5 beats the last score 10 x 0.2) but ranks with the sound's own
// volume (1 x 1), last: it is silenced at once and must not get a handle.
TEST_F(SoundManagerTest, AnEffectSilencedAtCreationGetsNoHandle) {
  uint32_t strong = manager->loadSound(descriptor("beep", 0, false, 10));
  uint32_t loud = manager->loadSound(descriptor("one_span", 0, false, 1, 5.0f));
  std::vector<uint32_t> kept;
  for (int i = 0; i < 5; ++i) kept.push_back(manager->playSound(strong));
  const std::vector<KR::Sound*> before = manager->getRankedEffects();
  EXPECT_EQ(manager->playSound(loud), 0u);
  EXPECT_TRUE(log.contains("ERROR: SoundManager::createSound Sound can not be queued"));
  EXPECT_EQ(manager->getRankedEffects(), before);
  for (uint32_t handle : kept) EXPECT_TRUE(manager->isSoundPlaying(handle));
  // The refused sound's channel was given back at once.
  for (uint32_t handle = 1; handle < 64; ++handle) {
    KR::Sound* sound = manager->getSound(handle);
    if (sound) {
      EXPECT_EQ(sound->getResource(), manager->getResource(strong)) << handle;
    }
  }
}

// A movie's sound track is a priority-0 effect started right after every
// sound was stopped; stopped effects must not keep it out of the ranking.
TEST_F(SoundManagerTest, StoppedEffectsLeaveTheRankingAtOnce) {
  for (int i = 0; i < 5; ++i) ASSERT_NE(manager->playSoundByName("beep"), 0u);
  manager->stopAllSounds();
  EXPECT_TRUE(manager->getRankedEffects().empty());
  uint32_t track = manager->loadSound(descriptor("music", 0));
  uint32_t handle = manager->playSound(track);
  EXPECT_NE(handle, 0u);
  EXPECT_TRUE(manager->isSoundPlaying(handle));

  uint32_t effect = manager->playSoundByName("beep");
  manager->stopGroup(0);
  EXPECT_FALSE(manager->isSoundPlaying(effect));
  EXPECT_TRUE(manager->getRankedEffects().empty());
}

TEST_F(SoundManagerTest, GroupVolumesScaleEveryChannelAndClamp) {
  uint32_t music = manager->loadSound(descriptor("music", 1, true, 0, 0.5f));
  uint32_t handle = manager->playSound(music);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.5f, 1e-5);
  manager->setMusicGroupVolume(0.5f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.5f);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.25f, 1e-5);
  manager->setSoundVolume(handle, 0.5f);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.125f, 1e-5);
  // Other groups leave it alone.
  manager->setSoundGroupVolume(0.1f);
  manager->setAmbientGroupVolume(0.2f);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.125f, 1e-5);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(0), 0.1f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(2), 0.2f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(3), 1.0f);
  // Gains clamp to 0..1.
  manager->setMusicGroupVolume(1.0f);
  manager->setSoundVolume(handle, 8.0f);
  EXPECT_FLOAT_EQ(sourceGain(*manager, handle), 1.0f);
  manager->setSoundVolume(handle, -1.0f);
  EXPECT_FLOAT_EQ(sourceGain(*manager, handle), 0.0f);
}

TEST_F(SoundManagerTest, AFadeOutHoldsSilenceAndFadesBackToTheSavedVolume) {
  manager->setMusicGroupVolume(0.8f);
  manager->startGroupFade(1, 2.0f, 1.0f, 2.0f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.8f);
  manager->updateFades(1.0f);
  EXPECT_NEAR(manager->getGroupVolume(1), 0.4f, 1e-5);
  // A fade started over a running one keeps the volume from before the first.
  manager->startGroupFade(1, 2.0f, 1.0f, 2.0f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.8f);
  manager->updateFades(2.0f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.0f);
  manager->updateFades(0.9f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.0f);
  manager->updateFades(1.1f);
  EXPECT_NEAR(manager->getGroupVolume(1), 0.4f, 1e-5);
  manager->updateFades(1.0f);
  EXPECT_NEAR(manager->getGroupVolume(1), 0.8f, 1e-5);
  manager->updateFades(0.01f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.8f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(0), 1.0f);

  // All groups at once, cancelled half way: volumes come back at once.
  manager->setSoundGroupVolume(0.6f);
  manager->startFadeAllGroups(1.0f, 0.0f, 1.0f);
  manager->updateFades(0.5f);
  EXPECT_NEAR(manager->getGroupVolume(0), 0.3f, 1e-5);
  EXPECT_NEAR(manager->getGroupVolume(2), 0.5f, 1e-5);
  manager->cancelGroupFades();
  EXPECT_FLOAT_EQ(manager->getGroupVolume(0), 0.6f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.8f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(2), 1.0f);
  manager->updateFades(0.2f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(0), 0.6f);
}

TEST_F(SoundManagerTest, TheUpdateAdvancesFadesByAtMostATenthOfASecond) {
  KR::TimerManager timer;
  timer.frameTime = 0.5f;
  manager->startGroupFade(2, 1.0f, 0.0f, 1.0f);
  manager->update();
  EXPECT_NEAR(manager->getGroupVolume(2), 0.9f, 1e-5);
  timer.frameTime = 0.05f;
  manager->update();
  EXPECT_NEAR(manager->getGroupVolume(2), 0.85f, 1e-5);
}

TEST_F(SoundManagerTest, ASoundStreamsItsSpansThroughAQueueOfTwo) {
  uint32_t id = manager->loadSound(descriptor("three_spans", 1));
  KR::SoundResource* resource = manager->getResource(id);
  ASSERT_EQ(resource->getBufferCount(), 3u);
  uint32_t handle = manager->playSound(id);
  KR::Sound* sound = manager->getSound(handle);
  EXPECT_EQ(sound->getQueuedCount(), 2);
  EXPECT_TRUE(resource->getBuffer(0)->isLoaded());
  EXPECT_TRUE(resource->getBuffer(1)->isLoaded());
  EXPECT_FALSE(resource->getBuffer(2)->isLoaded());
  EXPECT_EQ(resource->getBuffer(0)->getByteSize(), 8192u * 2u);
  EXPECT_EQ(resource->getBuffer(0)->getUseCount(), 1);

  // The first span is given back (and its buffer deleted) once played, and
  // the last one takes its place; never more than two spans are held.
  bool thirdQueued = updateUntil([&] {
    int loaded = 0;
    for (uint32_t k = 0; k < 3; ++k) loaded += resource->getBuffer(k)->isLoaded() ? 1 : 0;
    EXPECT_LE(loaded, 2);
    EXPECT_LE(sound->getQueuedCount(), 2);
    return resource->getBuffer(2)->isLoaded();
  });
  ASSERT_TRUE(thirdQueued);
  EXPECT_FALSE(resource->getBuffer(0)->isLoaded());
  EXPECT_EQ(resource->getBuffer(2)->getByteSize(), 3616u * 2u);
  EXPECT_TRUE(manager->isSoundPlaying(handle));

  // It ends by itself, and its channel is reclaimed.
  ASSERT_TRUE(updateUntil([&] { return !manager->isSoundPlaying(handle); }));
  for (uint32_t k = 0; k < 3; ++k) EXPECT_FALSE(resource->getBuffer(k)->isLoaded());
  ASSERT_TRUE(updateUntil([&] { return manager->getSound(handle) == nullptr; }));
}

TEST_F(SoundManagerTest, SoundsOfOneResourceShareItsSpans) {
  uint32_t id = manager->loadSound(descriptor("three_spans", 1));
  KR::SoundResource* resource = manager->getResource(id);
  uint32_t first = manager->playSound(id);
  uint32_t name = resource->getBuffer(0)->getName();
  uint32_t second = manager->playSound(id);
  EXPECT_EQ(resource->getBuffer(0)->getName(), name);
  EXPECT_EQ(resource->getBuffer(0)->getUseCount(), 2);
  manager->stopSound(first);
  EXPECT_TRUE(resource->getBuffer(0)->isLoaded());
  EXPECT_EQ(resource->getBuffer(0)->getUseCount(), 1);
  manager->stopSound(second);
  EXPECT_FALSE(resource->getBuffer(0)->isLoaded());
  EXPECT_FALSE(resource->getBuffer(1)->isLoaded());
}

TEST_F(SoundManagerTest, ALoopingSoundCyclesWithoutEnd) {
  uint32_t id = manager->loadSound(descriptor("one_span", 2, true));
  KR::SoundResource* resource = manager->getResource(id);
  ASSERT_EQ(resource->getBufferCount(), 1u);
  uint32_t handle = manager->playSound(id);
  manager->update();
  // One span, queued twice.
  EXPECT_EQ(manager->getSound(handle)->getQueuedCount(), 2);
  EXPECT_EQ(resource->getBuffer(0)->getUseCount(), 2);
  // Four plays' worth of time later it still sounds.
  ALint state = 0;
  EXPECT_FALSE(updateUntil([&] { return !manager->isSoundPlaying(handle); }, 0.7));
  EXPECT_TRUE(manager->isSoundPlaying(handle));
  alGetSourcei(manager->getSound(handle)->getSource(), AL_SOURCE_STATE, &state);
  EXPECT_EQ(state, AL_PLAYING);
  EXPECT_EQ(resource->getBuffer(0)->getUseCount(), 2);
  manager->stopSound(handle);
  EXPECT_FALSE(manager->isSoundPlaying(handle));
  EXPECT_FALSE(resource->getBuffer(0)->isLoaded());
}

TEST_F(SoundManagerTest, DamagedFilesPlayWhatTheyHaveOrNothing) {
  // Unreadable as Vorbis: loaded as a missing sound.
  uint32_t garbage = manager->loadSound(descriptor("garbage", 1));
  ASSERT_NE(garbage, 0u);
  EXPECT_EQ(manager->getResource(garbage)->getBufferCount(), 0u);
  EXPECT_TRUE(log.contains("WARNING. Sound is not a readable Ogg Vorbis stream garbage"));
  uint32_t silent = manager->playSound(garbage);
  EXPECT_NE(silent, 0u);
  EXPECT_FALSE(manager->isSoundPlaying(silent));

  // Cut short: plays the frames it has, then ends.
  uint32_t truncated = manager->loadSound(descriptor("truncated", 1));
  KR::SoundResource* resource = manager->getResource(truncated);
  ASSERT_NE(resource, nullptr);
  EXPECT_GT(resource->getBufferCount(), 0u);
  EXPECT_LT(resource->getBufferCount(), 44u);
  uint32_t handle = manager->playSound(truncated);
  EXPECT_TRUE(updateUntil([&] { return !manager->isSoundPlaying(handle); }, 3.0));
  ASSERT_TRUE(updateUntil([&] { return manager->getSound(silent) == nullptr; }));
}

TEST_F(SoundManagerTest, InactiveApplicationIsSilentAndComesBack) {
  manager.reset();
  KR::EngineNotificationDispatcher dispatcher;
  manager.reset(new SoundManager);
  uint32_t id = manager->loadSound(descriptor("music", 1, true, 0, 0.5f));
  uint32_t handle = manager->playSound(id);
  ALfloat listener = -1.0f;

  dispatcher.dispatch(KR::Notification{KR::kNotificationDeactivated});
  EXPECT_FALSE(manager->isApplicationActive());
  manager->applyListenerGain();
  alGetListenerf(AL_GAIN, &listener);
  EXPECT_FLOAT_EQ(listener, 0.0f);
  manager->setSoundVolume(handle, 1.0f);
  EXPECT_FLOAT_EQ(sourceGain(*manager, handle), 0.0f);
  // Muted, not paused.
  EXPECT_TRUE(manager->isSoundPlaying(handle));

  dispatcher.dispatch(KR::Notification{KR::kNotificationActivated});
  manager->applyListenerGain();
  alGetListenerf(AL_GAIN, &listener);
  EXPECT_FLOAT_EQ(listener, 1.0f);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.5f, 1e-5);
  manager.reset();
}

TEST_F(SoundManagerTest, VolumesAndActivationGivenWhileTheDeviceOpensAreKept) {
  manager.reset();
  KR::EngineNotificationDispatcher dispatcher;
  // The device opens on its own thread; until a call needs it, what is given
  // is kept for it.
  manager.reset(new SoundManager);
  manager->setMusicGroupVolume(0.5f);
  dispatcher.dispatch(KR::Notification{KR::kNotificationDeactivated});
  const uint32_t handle = manager->playSound(manager->loadSound(descriptor("music", 1, true, 0, 0.5f)));
  ASSERT_NE(handle, 0u);
  ALfloat listener = -1.0f;
  alGetListenerf(AL_GAIN, &listener);
  EXPECT_FLOAT_EQ(listener, 0.0f);
  EXPECT_FLOAT_EQ(manager->getGroupVolume(1), 0.5f);
  dispatcher.dispatch(KR::Notification{KR::kNotificationActivated});
  alGetListenerf(AL_GAIN, &listener);
  EXPECT_FLOAT_EQ(listener, 1.0f);
  EXPECT_NEAR(sourceGain(*manager, handle), 0.25f, 1e-5);
  manager.reset();
}

}  // namespace
