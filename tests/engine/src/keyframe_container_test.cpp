#include "keyframe_container.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <lua.hpp>
#include <memory>
#include <string>

#include "engine_allocators.h"
#include "function.h"
#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace {

using KR::Animation;
using KR::Rect;
using Vec2 = KR::Vector2<float>;
using FloatTrack = Animation::Container<float>;
using Vec2Track = Animation::Container<Vec2>;
using RectTrack = Animation::Container<Rect>;

std::unique_ptr<FloatTrack> floatTrack(std::initializer_list<float> keys, bool smooth = false) {
  auto track = std::make_unique<FloatTrack>("alpha");
  track->keys = keys;
  track->smooth = smooth;
  return track;
}

// Linear, stepped and smoothed evaluation.

TEST(KeyframeEvaluation, LinearBetweenTwoKeysAndNoSmoothingBelowThreeKeys) {
  auto track = floatTrack({2.0f, 6.0f}, /*smooth=*/true);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 0.0f), 2.0f);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 0.5f), 4.0f);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 1.0f), 6.0f);
  auto one = floatTrack({7.0f}, true);
  EXPECT_FLOAT_EQ(one->evaluate(0, 0, 0.3f), 7.0f);
}

TEST(KeyframeEvaluation, SmoothedTrackCutsTheCornerOfAnInnerKey) {
  auto track = floatTrack({0.0f, 10.0f, 0.0f}, true);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 0.5f), 3.75f);
  EXPECT_FLOAT_EQ(track->evaluate(0, 1, 1.0f), 5.0f);
  EXPECT_FLOAT_EQ(track->evaluate(1, 2, 0.0f), 5.0f);
  EXPECT_FLOAT_EQ(track->evaluate(1, 2, 1.0f), 0.0f);
  float highest = 0.0f;
  for (int step = 0; step <= 100; ++step) {
    highest = std::max(highest, track->evaluate(0, 1, step / 100.0f));
    highest = std::max(highest, track->evaluate(1, 2, step / 100.0f));
  }
  EXPECT_LT(highest, 10.0f);
  EXPECT_FLOAT_EQ(highest, 5.0f);
}

TEST(KeyframeEvaluation, SmoothedInnerSegmentUsesMidpointsOnBothSides) {
  // Keys 0, 4, 8, 0: segment 1->2 runs from mid(2, 6) = 4 through control 6 to mid(6, 4) = 5.
  auto track = floatTrack({0.0f, 4.0f, 8.0f, 0.0f}, true);
  EXPECT_FLOAT_EQ(track->evaluate(1, 2, 0.0f), 4.0f);
  EXPECT_FLOAT_EQ(track->evaluate(1, 2, 0.5f), 0.25f * 4.0f + 0.5f * 6.0f + 0.25f * 5.0f);
  EXPECT_FLOAT_EQ(track->evaluate(1, 2, 1.0f), 5.0f);
  // Continuity: the next segment starts where this one ended.
  EXPECT_FLOAT_EQ(track->evaluate(2, 3, 0.0f), 5.0f);
  EXPECT_FLOAT_EQ(track->evaluate(2, 3, 1.0f), 0.0f);
}

TEST(KeyframeEvaluation, SameKeyHoldsItsValueWhateverTheFraction) {
  auto smooth = floatTrack({1.0f, 9.0f, 3.0f}, true);
  auto plain = floatTrack({1.0f, 9.0f, 3.0f}, false);
  for (float t : {0.0f, 0.4f, 1.0f}) {
    EXPECT_FLOAT_EQ(smooth->evaluate(2, 2, t), 3.0f);
    EXPECT_FLOAT_EQ(plain->evaluate(1, 1, t), 9.0f);
  }
}

TEST(KeyframeEvaluation, SteppedTrackJumpsFromKeyToKey) {
  RectTrack track("frame");
  track.interpolate = false;
  track.smooth = true;  // stepping wins over smoothing
  track.keys = {Rect(0, 0, 32, 32), Rect(32, 0, 64, 32), Rect(64, 0, 96, 32)};
  EXPECT_EQ(track.evaluate(0, 1, 0.0f), Rect(0, 0, 32, 32));
  EXPECT_EQ(track.evaluate(0, 1, 0.99f), Rect(0, 0, 32, 32));
  EXPECT_EQ(track.evaluate(1, 2, 0.5f), Rect(32, 0, 64, 32));
}

TEST(KeyframeEvaluation, VectorAndRectTracksWorkComponentWise) {
  Vec2Track pos("pos");
  pos.smooth = true;
  pos.keys = {Vec2(0, 0), Vec2(10, 20), Vec2(0, 40)};
  Vec2 v = pos.evaluate(0, 1, 0.5f);
  EXPECT_FLOAT_EQ(v.x, 3.75f);
  EXPECT_FLOAT_EQ(v.y, 0.25f * 0 + 0.5f * 10 + 0.25f * 20);  // a straight line stays straight
  Vec2 l = KR::lerpVector2(Vec2(0, 10), Vec2(4, 20), 0.25f);
  EXPECT_FLOAT_EQ(l.x, 1.0f);
  EXPECT_FLOAT_EQ(l.y, 12.5f);

  RectTrack rect("r");
  rect.keys = {Rect(0, 10, 20, 30), Rect(10, 30, 40, 70)};
  EXPECT_EQ(rect.evaluate(0, 1, 0.5f), Rect(5, 20, 30, 50));
}

// Writing to targets.

TEST(KeyframeTargets, DisabledTrackWritesNothing) {
  auto track = floatTrack({0.0f, 8.0f});
  float a = -1.0f;
  track->targets = {&a};
  track->enabled = false;
  track->getValue(0, 1, 0.5f);
  EXPECT_FLOAT_EQ(a, -1.0f);
}

TEST(KeyframeTargets, KeyIndicesOutsideTheKeysLeaveTargetsAlone) {
  float a = 42.0f;
  FloatTrack empty("alpha");
  empty.targets = {&a};
  empty.getValue(0, 0, 0.0f);
  empty.getValue(3, 4, 0.5f);
  EXPECT_FLOAT_EQ(a, 42.0f);

  // Two keys but the animation is at frame 2.
  auto shortTrack = floatTrack({1.0f, 2.0f});
  shortTrack->targets = {&a};
  shortTrack->getValue(2, 3, 0.5f);
  shortTrack->getValue(1, 2, 0.5f);
  EXPECT_FLOAT_EQ(a, 42.0f);
  shortTrack->getValue(1, 1, 0.5f);
  EXPECT_FLOAT_EQ(a, 2.0f);
}

// Editing keys.

TEST(KeyframeEditing, AddKeyAppendsZeroCopiesLastOrDuplicatesInPlace) {
  FloatTrack track("alpha");
  track.addKey(-1);
  ASSERT_EQ(track.keys.size(), 1u);
  EXPECT_FLOAT_EQ(track.keys[0], 0.0f);

  Vec2Track pos("pos");
  pos.addKey(5);  // an empty track takes the zero value whatever the index
  EXPECT_EQ(pos.keys, std::vector<Vec2>{Vec2()});

  track.keys = {1.0f, 2.0f};
  track.addKey(0);
  EXPECT_EQ(track.keys, (std::vector<float>{1.0f, 1.0f, 2.0f}));
  track.addKey(-1);
  EXPECT_EQ(track.keys, (std::vector<float>{1.0f, 1.0f, 2.0f, 2.0f}));
  track.addKey(2);
  EXPECT_EQ(track.keys, (std::vector<float>{1.0f, 1.0f, 2.0f, 2.0f, 2.0f}));
  EXPECT_EQ(track.getKeyCount(), 5u);
}

TEST(KeyframeEditingDeathTest, AddKeyPastTheEndIsFatal) {
  auto track = floatTrack({1.0f, 2.0f});
  EXPECT_EXIT(track->addKey(2), ::testing::ExitedWithCode(255), "Bad key index 2 for animation parameter alpha");
}

TEST(KeyframeEditing, RemoveKeyAndClear) {
  auto track = floatTrack({1.0f, 2.0f, 3.0f});
  track->removeKey(3);
  track->removeKey(100);
  EXPECT_EQ(track->keys.size(), 3u);
  track->removeKey(1);
  EXPECT_EQ(track->keys, (std::vector<float>{1.0f, 3.0f}));
  track->clear();
  EXPECT_TRUE(track->keys.empty());
}

TEST(KeyframeEditing, CloneCopiesKeysAndFlagsButNoTargetsOrCallbacks) {
  int calls = 0;
  struct Counter {
    int* calls;
    void hit() { ++*calls; }
  } counter{&calls};
  Vec2Track track("pos");
  Vec2 bound(-1, -1);
  track.keys = {Vec2(1, 2), Vec2(3, 4)};
  track.smooth = true;
  track.interpolate = false;
  track.firstKey = false;
  track.targets = {&bound};
  track.callbacks.push_back(std::make_unique<KR::Function<Counter>>(&counter, &Counter::hit));

  std::unique_ptr<Animation::IContainer> copy = track.clone();
  ASSERT_EQ(copy->getValueType(), Animation::IContainer::ValueType::Vector2);
  auto* typed = static_cast<Vec2Track*>(copy.get());
  EXPECT_EQ(typed->name, "pos");
  EXPECT_EQ(typed->keys, track.keys);
  EXPECT_TRUE(typed->smooth);
  EXPECT_FALSE(typed->interpolate);
  EXPECT_TRUE(typed->enabled);
  EXPECT_FALSE(typed->firstKey);
  EXPECT_TRUE(typed->targets.empty());
  EXPECT_TRUE(typed->callbacks.empty());
  typed->getValue(1, 1, 0.0f);
  EXPECT_EQ(bound, Vec2(-1, -1));
  EXPECT_EQ(calls, 0);
}

// Loading keys from a Lua frame list: the "Frames" global holds one table per frame.

class KeyframeLuaLoading : public ::testing::Test {
 protected:
  void run(const std::string& source) { ASSERT_TRUE(script.runBuffer(source.data(), source.size(), "frames")); }

  // Loads one key per entry of the global "Frames" into each given track.
  void loadFrames(std::initializer_list<Animation::IContainer*> tracks, int frames) {
    ASSERT_TRUE(script.openTable("Frames"));
    for (int i = 1; i <= frames; ++i) {
      lua_State* state = script.getState();
      lua_rawgeti(state, -1, i);
      ASSERT_TRUE(script.openCurrentTable());
      for (Animation::IContainer* track : tracks) track->loadKeyValue(script);
      script.closeTable();
      script.pop();
    }
    script.closeTable();
  }

  KR::LuaScript script;
};

TEST_F(KeyframeLuaLoading, EachValueTypeReadsItsOwnForm) {
  run("Frames = { { pos = {1, 2}, alpha = 0.5, frame = {0, 0, 16, 8} },"
      "           { pos = {3, '4'}, alpha = '0.25', frame = {16, 0, 32, 8} } }");
  Vec2Track pos("pos");
  FloatTrack alpha("alpha");
  RectTrack frame("frame");
  loadFrames({&pos, &alpha, &frame}, 2);
  EXPECT_EQ(pos.keys, (std::vector<Vec2>{Vec2(1, 2), Vec2(3, 4)}));
  EXPECT_EQ(alpha.keys, (std::vector<float>{0.5f, 0.25f}));
  EXPECT_EQ(frame.keys, (std::vector<Rect>{Rect(0, 0, 16, 8), Rect(16, 0, 32, 8)}));
  EXPECT_FALSE(pos.firstKey);
  EXPECT_EQ(script.getDepth(), 0);
  EXPECT_EQ(lua_gettop(script.getState()), 0);
}

TEST_F(KeyframeLuaLoading, ParameterMissingFromTheFirstFrameDisablesTheTrackForGood) {
  run("Frames = { { alpha = 1 }, { alpha = 0, pos = {5, 5} } }");
  Vec2Track pos("pos");
  Vec2 bound(7, 7);
  pos.targets = {&bound};
  FloatTrack alpha("alpha");
  loadFrames({&pos, &alpha}, 2);
  EXPECT_FALSE(pos.enabled);
  EXPECT_TRUE(pos.keys.empty());
  EXPECT_EQ(alpha.keys.size(), 2u);
  pos.getValue(0, 1, 0.5f);
  EXPECT_EQ(bound, Vec2(7, 7));
}

TEST_F(KeyframeLuaLoading, ParameterOfTheWrongFormCountsAsMissing) {
  run("Frames = { { alpha = true, pos = {1} } }");
  FloatTrack alpha("alpha");
  Vec2Track pos("pos");
  loadFrames({&alpha, &pos}, 1);
  EXPECT_FALSE(alpha.enabled);
  EXPECT_FALSE(pos.enabled);
}

TEST_F(KeyframeLuaLoading, DisabledTrackReadsNothing) {
  run("Frames = { { alpha = 1 } }");
  FloatTrack alpha("alpha");
  alpha.enabled = false;
  loadFrames({&alpha}, 1);
  EXPECT_TRUE(alpha.keys.empty());
  EXPECT_TRUE(alpha.firstKey);
}

TEST_F(KeyframeLuaLoading, LaterFrameMissingAParameterIsFatal) {
  run("Frames = { { pos = {1, 2} }, { } }");
  Vec2Track pos("pos");
  EXPECT_EXIT(loadFrames({&pos}, 2), ::testing::ExitedWithCode(255), "Failed to load animation parameter pos");
}

// Loading keys from an XML frame list: one array item per frame.

class KeyframeXmlLoading : public ::testing::Test {
 protected:
  void SetUp() override { allocators.init(); }

  void loadFrames(const std::string& xml, std::initializer_list<Animation::IContainer*> tracks) {
    KR::XmlDataReader reader;
    ASSERT_EQ(reader.parse(xml.data(), xml.size()), pugi::status_ok);
    ASSERT_TRUE(reader.enterChild("Frames"));
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      for (Animation::IContainer* track : tracks) track->loadKeyFromXml(reader);
    }
  }

  KR::EngineAllocators allocators;
};

TEST_F(KeyframeXmlLoading, EachValueTypeReadsItsOwnElement) {
  Vec2Track pos("pos");
  FloatTrack alpha("alpha");
  RectTrack frame("frame");
  loadFrames(
      "<root><Frames>"
      "<v0><pos v0='1' v1='2'/><alpha v='0.5'/><frame v0='10' v1='20' v2='30' v3='40'/></v0>"
      "<v1><pos v0='3'/><alpha/><frame v1='5'/></v1>"
      "</Frames></root>",
      {&pos, &alpha, &frame});
  EXPECT_EQ(pos.keys, (std::vector<Vec2>{Vec2(1, 2), Vec2(3, 0)}));
  EXPECT_EQ(alpha.keys, (std::vector<float>{0.5f, 0.0f}));
  // Attributes give top, left, bottom, right.
  EXPECT_EQ(frame.keys, (std::vector<Rect>{Rect(20, 10, 40, 30), Rect(5, 0, 0, 0)}));
}

TEST_F(KeyframeXmlLoading, MissingFromTheFirstFrameDisablesAndLaterIsFatal) {
  FloatTrack alpha("alpha");
  loadFrames("<root><Frames><v0/><v1><alpha v='1'/></v1></Frames></root>", {&alpha});
  EXPECT_FALSE(alpha.enabled);
  EXPECT_TRUE(alpha.keys.empty());

  Vec2Track pos("pos");
  EXPECT_EXIT(loadFrames("<root><Frames><v0><pos v0='1' v1='1'/></v0><v1/></Frames></root>", {&pos}),
              ::testing::ExitedWithCode(255), "Failed to load animation parameter pos");
}

}  // namespace
