#include "animation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <lua.hpp>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "function.h"
#include "keyframe_container.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "support/test_support.h"

namespace {

using KR::Animation;
using KR::Rect;
using Vec2 = KR::Vector2<float>;

// Three frames of one second; the float track "v" has keys 0, 10, 20.
class AnimationPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    anim.bindFloatTarget("v", &value);
    for (int k = 0; k < 3; ++k) {
      anim.addFrame(1.0f);
      *anim.getFloatValue("v", static_cast<uint32_t>(k)) = 10.0f * static_cast<float>(k);
    }
  }

  // Sets the time and evaluates without moving it.
  void evaluateAt(float at) {
    anim.time = at;
    const bool wasPlaying = anim.playing;
    anim.playing = false;
    anim.update(0.0f);
    anim.playing = wasPlaying;
  }

  Animation anim;
  float value = -1.0f;
};

TEST_F(AnimationPlayback, FrameAndFractionFollowTheTime) {
  float start = -1.0f;
  EXPECT_EQ(anim.findFrame(1.5f, &start), 1u);
  EXPECT_FLOAT_EQ(start, 1.0f);
  evaluateAt(1.5f);
  EXPECT_FLOAT_EQ(value, 15.0f);
  evaluateAt(0.0f);
  EXPECT_FLOAT_EQ(value, 0.0f);

  // Past the end the last frame holds its key and the time keeps growing.
  anim.time = 3.0f;
  anim.update(0.2f);
  EXPECT_FLOAT_EQ(anim.time, 3.2f);
  EXPECT_EQ(anim.findFrame(anim.time, &start), 2u);
  EXPECT_FLOAT_EQ(start, 2.0f);
  EXPECT_FLOAT_EQ(value, 20.0f);
  anim.update(5.0f);
  EXPECT_FLOAT_EQ(anim.time, 8.2f);
  EXPECT_FLOAT_EQ(value, 20.0f);
}

TEST_F(AnimationPlayback, FinishedAndRunningWithoutPlayRange) {
  evaluateAt(2.99f);
  EXPECT_FALSE(anim.isFinished());
  EXPECT_TRUE(anim.isRunning());
  evaluateAt(3.0f);
  EXPECT_TRUE(anim.isFinished());
  EXPECT_FALSE(anim.isRunning());
  anim.loop = true;
  EXPECT_FALSE(anim.isFinished());
  anim.playing = false;
  anim.time = 0.5f;
  EXPECT_FALSE(anim.isRunning());
}

TEST_F(AnimationPlayback, LoopWrapsPastTheEnd) {
  anim.loop = true;
  anim.time = 3.0f;
  anim.update(0.2f);
  EXPECT_NEAR(anim.time, 0.2f, 1e-5f);
  EXPECT_NEAR(value, 2.0f, 1e-4f);
  // Several lengths at once wrap by whole lengths.
  anim.time = 0.5f;
  anim.update(7.0f);
  EXPECT_NEAR(anim.time, 1.5f, 1e-5f);
  // Exactly at the end is not past it.
  anim.time = 2.0f;
  anim.update(1.0f);
  EXPECT_FLOAT_EQ(anim.time, 3.0f);
}

TEST_F(AnimationPlayback, SpeedScalesTheStepAndStoppedPlaybackStillWrites) {
  anim.speed = 2.0f;
  anim.update(0.25f);
  EXPECT_FLOAT_EQ(anim.time, 0.5f);
  EXPECT_FLOAT_EQ(value, 5.0f);

  anim.playing = false;
  value = -1.0f;
  anim.update(10.0f);
  EXPECT_FLOAT_EQ(anim.time, 0.5f);
  EXPECT_FLOAT_EQ(value, 5.0f);
}

TEST_F(AnimationPlayback, BackwardRangeRunsTimeDown) {
  anim.startMarker = 2.0f;
  anim.endMarker = 1.0f;
  anim.time = 2.0f;
  anim.update(0.25f);
  EXPECT_FLOAT_EQ(anim.time, 1.75f);
  EXPECT_FLOAT_EQ(value, 17.5f);
  EXPECT_TRUE(anim.isRunning());
  EXPECT_FALSE(anim.isFinished());
  anim.update(0.5f);
  EXPECT_FLOAT_EQ(anim.time, 1.25f);
  EXPECT_TRUE(anim.isRunning());
  anim.update(0.5f);  // below 1: held at the end marker
  EXPECT_FLOAT_EQ(anim.time, 1.0f);
  EXPECT_FLOAT_EQ(value, 10.0f);
  EXPECT_FALSE(anim.isRunning());
  EXPECT_TRUE(anim.isFinished());
  anim.update(0.5f);
  EXPECT_FLOAT_EQ(anim.time, 1.0f);

  anim.loop = true;
  anim.update(0.5f);  // below 1 again: back to the start marker
  EXPECT_FLOAT_EQ(anim.time, 2.0f);
  EXPECT_FALSE(anim.isFinished());
}

TEST_F(AnimationPlayback, ForwardRangeStopsOrRestartsOncePerPass) {
  anim.startMarker = 0.5f;
  anim.endMarker = 1.5f;
  anim.time = 0.5f;
  std::vector<float> times;
  anim.loop = true;
  for (int i = 0; i < 6; ++i) {
    anim.update(0.4f);
    times.push_back(anim.time);
  }
  // 0.9, 1.3, past 1.5 -> 0.5, 0.9, 1.3, past -> 0.5: one restart per pass.
  std::vector<float> expected = {0.9f, 1.3f, 0.5f, 0.9f, 1.3f, 0.5f};
  ASSERT_EQ(times.size(), expected.size());
  for (size_t i = 0; i < times.size(); ++i) EXPECT_NEAR(times[i], expected[i], 1e-5f) << i;

  anim.loop = false;
  anim.time = 1.3f;
  anim.update(0.4f);
  EXPECT_FLOAT_EQ(anim.time, 1.5f);
  EXPECT_TRUE(anim.isFinished());
  EXPECT_FALSE(anim.isRunning());
}

TEST_F(AnimationPlayback, CallbacksRunOncePerUpdateAfterTheirTrack) {
  struct Probe {
    float* value;
    std::vector<float> seen;
    void hit() { seen.push_back(*value); }
  } probe{&value, {}};
  anim.findTrack("v")->callbacks.push_back(std::make_unique<KR::Function<Probe>>(&probe, &Probe::hit));
  anim.update(0.5f);
  anim.update(0.5f);
  ASSERT_EQ(probe.seen.size(), 2u);
  EXPECT_FLOAT_EQ(probe.seen[0], 5.0f);
  EXPECT_FLOAT_EQ(probe.seen[1], 10.0f);
}

TEST(AnimationFrames, ZeroLengthFrameIsSkippedUnlessLast) {
  Animation anim;
  float v = 0.0f;
  anim.bindFloatTarget("v", &v);
  anim.addFrame(1.0f);
  anim.addFrame(0.0f);
  anim.addFrame(1.0f);
  *anim.getFloatValue("v", 1) = 100.0f;
  *anim.getFloatValue("v", 2) = 20.0f;
  for (float at : {0.0f, 0.5f, 0.999f, 1.0f, 1.5f}) EXPECT_NE(anim.findFrame(at, nullptr), 1u) << at;
  EXPECT_EQ(anim.findFrame(1.0f, nullptr), 2u);

  anim.addFrame(0.0f);
  *anim.getFloatValue("v", 3) = 30.0f;
  anim.time = 2.5f;
  anim.playing = false;
  anim.update(0.0f);
  EXPECT_FLOAT_EQ(v, 30.0f);  // the last frame holds its key, t = 1
}

TEST(AnimationFrames, NothingHappensWithoutFrames) {
  Animation anim;
  float v = 3.0f;
  anim.bindFloatTarget("v", &v);
  anim.update(1.0f);
  EXPECT_FLOAT_EQ(anim.time, 0.0f);
  EXPECT_FLOAT_EQ(v, 3.0f);
}

TEST(AnimationFrames, AddAndClearFrames) {
  Animation anim;
  Vec2 pos;
  anim.bindVector2Parameter("pos", &pos);
  anim.addFrame(0.5f);
  *anim.getVector2Value("pos", 0) = Vec2(4, 5);
  anim.addFrame(0.25f);
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 0.75f);
  EXPECT_EQ(anim.getFrameCount(), 2u);
  EXPECT_EQ(anim.getFrameLoopCoeffs(), (std::vector<float>{1.0f, 1.0f}));
  EXPECT_EQ(*anim.getVector2Value("pos", 1), Vec2(4, 5));  // a copy of the last key

  anim.clearFrames();
  EXPECT_EQ(anim.getFrameCount(), 0u);
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 0.0f);
  ASSERT_NE(anim.findTrack("pos"), nullptr);
  EXPECT_EQ(anim.findTrack("pos")->getKeyCount(), 0u);
  anim.addFrame(1.0f);
  EXPECT_EQ(*anim.getVector2Value("pos", 0), Vec2());
  anim.clear();
  EXPECT_EQ(anim.getTrackCount(), 0u);
}

TEST(AnimationBinding, SharedNamesShareOneTrackAndFlagsFollowTheBind) {
  Animation anim;
  float a = 0.0f, b = 0.0f;
  Rect r1, r2;
  anim.smoothNewTracks = true;
  anim.bindFloatTarget("alpha", &a);
  anim.smoothNewTracks = false;
  anim.bindFloatTarget("alpha", &b);
  anim.bindRectParameter("frame", &r1);
  ASSERT_EQ(anim.getTrackCount(), 2u);
  auto* alpha = static_cast<Animation::Container<float>*>(anim.findTrack("alpha"));
  EXPECT_TRUE(alpha->smooth);  // taken when the track was created
  EXPECT_TRUE(alpha->interpolate);
  EXPECT_EQ(alpha->targets, (std::vector<float*>{&a, &b}));
  EXPECT_FALSE(anim.findTrack("frame")->interpolate);

  // Rect tracks step from rectangle to rectangle at frame boundaries.
  anim.bindRectParameter("frame", &r2);
  anim.addFrame(1.0f);
  anim.addFrame(1.0f);
  auto* frame = static_cast<Animation::Container<Rect>*>(anim.findTrack("frame"));
  frame->keys = {Rect(0, 0, 8, 8), Rect(8, 0, 16, 8)};
  *anim.getFloatValue("alpha", 1) = 1.0f;
  anim.update(0.9f);
  EXPECT_EQ(r1, Rect(0, 0, 8, 8));
  EXPECT_EQ(r2, Rect(0, 0, 8, 8));
  EXPECT_FLOAT_EQ(a, 0.9f);
  EXPECT_FLOAT_EQ(b, 0.9f);
  anim.update(0.2f);
  EXPECT_EQ(r1, Rect(8, 0, 16, 8));
}

TEST(AnimationBinding, TrackBoundAfterTheFramesLeavesItsVariableAlone) {
  Animation anim;
  anim.addFrame(1.0f);
  anim.addFrame(1.0f);
  float late = 0.75f;
  anim.bindFloatTarget("late", &late);
  anim.update(1.5f);
  EXPECT_FLOAT_EQ(late, 0.75f);
  // Frames added later give it keys from there on, which do not line up with
  // the earlier frames: it still writes nothing for frames it lacks.
  anim.addFrame(1.0f);
  anim.time = 2.5f;
  anim.update(0.0f);
  EXPECT_FLOAT_EQ(late, 0.75f);
}

TEST(AnimationBindingDeathTest, AccessorsAndTypeClashesAreFatal) {
  Animation anim;
  float a = 0.0f;
  Vec2 p;
  anim.bindFloatTarget("alpha", &a);
  anim.addFrame(1.0f);
  EXPECT_EXIT(anim.getFloatValue("beta", 0), ::testing::ExitedWithCode(255),
              "Failed to find parameter with specified name");
  EXPECT_EXIT(anim.getFloatValue("alpha", 1), ::testing::ExitedWithCode(255), "Bad frameid specified");
  EXPECT_EXIT(anim.getVector2Value("alpha", 0), ::testing::ExitedWithCode(255),
              "Animation parameter alpha is used with another value type");
  EXPECT_EXIT(anim.bindVector2Parameter("alpha", &p), ::testing::ExitedWithCode(255),
              "Animation parameter alpha is used with another value type");
}

// Frame descriptions in Lua.

class AnimationDescription : public ::testing::Test {
 protected:
  void SetUp() override {
    anim.bindVector2Parameter("pos", &pos);
    anim.bindFloatTarget("alpha", &alpha);
  }

  bool read(const std::string& source) {
    script = std::make_unique<KR::LuaScript>();
    EXPECT_TRUE(script->runBuffer(source.data(), source.size(), "description"));
    const bool ok = anim.readDescription(*script);
    EXPECT_EQ(script->getDepth(), 0);
    EXPECT_EQ(lua_gettop(script->getState()), 0);
    return ok;
  }

  Animation anim;
  Vec2 pos;
  float alpha = 1.0f;
  std::unique_ptr<KR::LuaScript> script;
};

TEST_F(AnimationDescription, ReadsSettingsFramesAndKeys) {
  ASSERT_TRUE(
      read("Animation = { loop = 1, speedCoef = 0.5, Frames = {"
           "  { duration = 0.5, pos = {0, 0}, alpha = 1 },"
           "  { duration = 1.5, loopCoeff = 3, pos = {10, 20}, alpha = 0 },"
           "  { pos = {30, 40}, alpha = 0.5 } } }"));
  EXPECT_TRUE(anim.loop);
  EXPECT_FLOAT_EQ(anim.speed, 0.5f);
  EXPECT_EQ(anim.getFrameDurations(), (std::vector<float>{0.5f, 1.5f, 0.0f}));
  EXPECT_EQ(anim.getFrameLoopCoeffs(), (std::vector<float>{1.0f, 3.0f, 1.0f}));
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 2.0f);
  EXPECT_EQ(*anim.getVector2Value("pos", 2), Vec2(30, 40));
  anim.update(0.5f);  // speed 0.5: time 0.25, half way through frame 0
  EXPECT_EQ(pos, Vec2(5, 10));
  EXPECT_FLOAT_EQ(alpha, 0.5f);
}

TEST_F(AnimationDescription, LoopMustBeANumber) {
  ASSERT_TRUE(read("Animation = { loop = true, Frames = { { duration = 1 } } }"));
  EXPECT_FALSE(anim.loop);
  EXPECT_FLOAT_EQ(anim.speed, 1.0f);
  ASSERT_TRUE(read("Animation = { loop = 0, Frames = {} }"));
  EXPECT_FALSE(anim.loop);
  ASSERT_TRUE(read("Animation = { loop = 1, Frames = {} }"));
  EXPECT_TRUE(anim.loop);
  ASSERT_TRUE(read("Animation = { loop = '2', Frames = {} }"));
  EXPECT_TRUE(anim.loop);
}

TEST_F(AnimationDescription, FramesAreAppendedToThoseAlreadyThere) {
  anim.addFrame(2.0f);
  ASSERT_TRUE(read("Animation = { Frames = { { duration = 1, pos = {1, 1}, alpha = 0 } } }"));
  EXPECT_EQ(anim.getFrameCount(), 2u);
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 3.0f);
  EXPECT_EQ(*anim.getVector2Value("pos", 1), Vec2(1, 1));
}

TEST_F(AnimationDescription, FirstFrameWithoutAParameterDisablesItsTrack) {
  pos = Vec2(-5, -5);
  ASSERT_TRUE(
      read("Animation = { Frames = { { duration = 1, alpha = 0 }, { duration = 1, alpha = 1, pos = {9, 9} } } }"));
  EXPECT_FALSE(static_cast<Animation::Container<Vec2>*>(anim.findTrack("pos"))->enabled);
  anim.update(1.5f);
  EXPECT_EQ(pos, Vec2(-5, -5));
  EXPECT_FLOAT_EQ(alpha, 1.0f);
}

TEST_F(AnimationDescription, MalformedDescriptionsFailAndKeepWhatWasRead) {
  EXPECT_FALSE(read("Other = {}"));
  EXPECT_FALSE(read("Animation = { loop = 1 }"));
  EXPECT_TRUE(anim.loop);  // settings before "Frames" were taken
  EXPECT_FALSE(read("Animation = 5"));
  EXPECT_FALSE(read("Animation = { Frames = { { duration = 1, pos = {1, 1}, alpha = 1 }, 7, { duration = 1 } } }"));
  EXPECT_EQ(anim.getFrameCount(), 1u);
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 1.0f);
}

TEST_F(AnimationDescription, LaterFrameMissingAParameterIsFatal) {
  EXPECT_EXIT(
      read("Animation = { Frames = { { duration = 1, pos = {0, 0}, alpha = 1 }, { duration = 1, alpha = 0 } } }"),
      ::testing::ExitedWithCode(255), "Failed to load animation parameter pos");
}

TEST(AnimationLoadFromScript, FileTableAndFailures) {
  KR::Test::LogCapture logs;
  const std::string dir = KR::Test::scratchDir("anim-load");
  // The file system knows "config" before any package list is read.
  KR::Test::writeFile(dir + "/config.lua",
                      "walk = { Animation = { speedCoef = 2, Frames = { { duration = 1, alpha = 0.25 } } } }\n");
  KR::FileSystem::setContentFolder(dir + "/");
  KR::FileSystem files;

  Animation anim;
  float alpha = 0.0f;
  anim.bindFloatTarget("alpha", &alpha);
  EXPECT_FALSE(anim.loadFromScript("missing.lua", "default", ""));
  EXPECT_FALSE(anim.loadFromScript("config", "default", "run"));
  EXPECT_FALSE(anim.loadFromScript("config", "default", ""));  // no global "Animation"
  EXPECT_EQ(anim.getFrameCount(), 0u);
  EXPECT_TRUE(anim.loadFromScript("config", "default", "walk"));
  EXPECT_FLOAT_EQ(anim.speed, 2.0f);
  anim.update(0.0f);
  EXPECT_FLOAT_EQ(alpha, 0.25f);
}

// The demo's walk: smoothed, played through, then backwards over a range.
TEST(AnimationDemoContent, DemoWalkPlaysSmoothedAndBackwards) {
  const std::string source =
      KR::Test::readFile(std::string(KR_TEST_SOURCE_DIR) + "/media/animations/demo_sprite_walk.lua");
  ASSERT_FALSE(source.empty());
  KR::LuaScript script;
  ASSERT_TRUE(script.runBuffer(source.data(), source.size(), "demo_sprite_walk"));

  Animation anim;
  Vec2 pos;
  float alpha = 0.0f;
  ASSERT_TRUE(script.openTable("DemoPlayback"));
  bool smooth = false;
  EXPECT_TRUE(script.getBool("smooth", &smooth));
  float start = 0.0f, end = 0.0f;
  script.pushField("startMarker");
  EXPECT_TRUE(script.toFloat(&start));
  script.pop();
  script.pushField("endMarker");
  EXPECT_TRUE(script.toFloat(&end));
  script.pop();
  script.closeTable();
  anim.smoothNewTracks = smooth;
  anim.bindVector2Parameter("pos", &pos);
  anim.bindFloatTarget("alpha", &alpha);

  ASSERT_TRUE(script.openTable("DemoSpriteWalk"));
  ASSERT_TRUE(anim.readDescription(script));
  script.closeTable();
  EXPECT_FALSE(anim.loop);
  EXPECT_EQ(anim.getFrameCount(), 7u);
  EXPECT_FLOAT_EQ(anim.getTotalDuration(), 4.0f);

  // Through the whole walk: the smoothed path never reaches the inner zigzag keys.
  float lowest = 1e9f, highest = -1e9f;
  while (!anim.isFinished()) {
    anim.update(1.0f / 60.0f);
    lowest = std::min(lowest, pos.y);
    highest = std::max(highest, pos.y);
  }
  EXPECT_GT(lowest, 192.0f);
  EXPECT_LT(highest, 576.0f);
  EXPECT_EQ(pos, Vec2(960, 384));

  // Backwards from the start marker to the end marker.
  ASSERT_GT(start, end);
  anim.startMarker = start;
  anim.endMarker = end;
  anim.time = start;
  anim.update(0.0f);
  const float xAtStart = pos.x;
  anim.update(1.0f);
  EXPECT_LT(pos.x, xAtStart);
  EXPECT_TRUE(anim.isRunning());
  anim.update(5.0f);
  EXPECT_FLOAT_EQ(anim.time, end);
  EXPECT_TRUE(anim.isFinished());
}

}  // namespace
