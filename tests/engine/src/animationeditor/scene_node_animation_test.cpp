// Keyframe tracks and the node clock: blending of every value type, stepped
// and Bezier keys, key editing, the binary form of a track and of a clock,
// script loading of keys, and the fatal lookups.
#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

#include "animationeditor/scene_node_animation.h"
#include "animationeditor/scene_node_stream.h"
#include "lua_script_2.h"
#include "support/test_support.h"

namespace {

using AE::SceneNodeAnimation;
using Float = SceneNodeAnimation::Container<float>;
using Int = SceneNodeAnimation::Container<int32_t>;
using Colour = SceneNodeAnimation::Container<KR::Color>;
using Bool = SceneNodeAnimation::Container<bool>;

template <typename Track, typename T>
void keys(Track& track, std::initializer_list<std::pair<uint32_t, T>> values) {
  for (const auto& [frame, value] : values) {
    AE::TrackKey<T> key;
    key.frame = frame;
    key.value = value;
    track.keys.push_back(key);
  }
}

TEST(SceneTrackTest, BlendsEachValueTypeLinearlyBezierOrStepped) {
  float out = 0.0f;
  Float f("posX");
  f.targets = {&out};
  keys<Float, float>(f, {{0, 10.0f}, {10, 20.0f}});
  f.getValue(0, 1, 0.25f);
  EXPECT_FLOAT_EQ(12.5f, out);
  // Key 0's handle of 4 at position 0.5 bends the curve at t = 0.5.
  f.keys[0].bezier = true;
  f.keys[0].handle = 4.0f;
  f.getValue(0, 1, 0.5f);
  EXPECT_FLOAT_EQ(16.5f, out);
  f.interpolate = false;
  f.getValue(0, 1, 0.99f);
  EXPECT_FLOAT_EQ(10.0f, out) << "a stepped track holds key a";

  int32_t n = -1;
  Int i("maxChar");
  i.targets = {&n};
  keys<Int, int32_t>(i, {{0, 0}, {10, 10}});
  i.getValue(0, 1, 0.3333f);
  EXPECT_EQ(3, n);
  // A long text's count no longer overflows the blend in thousandths.
  i.keys[1].value = 5000000;
  i.getValue(0, 1, 0.5f);
  EXPECT_EQ(2500000, n);

  KR::Color c;
  Colour colour("color");
  colour.targets = {&c};
  const KR::Color blue = KR::Color::fromChannels(0, 0, 255, 255);
  keys<Colour, KR::Color>(colour, {{0, blue}, {10, blue}});
  colour.getValue(0, 1, 0.5f);
  EXPECT_EQ(KR::Color::fromChannels(0, 0, 254, 254), c) << "each full byte gives 127 twice";
  colour.getValue(0, 1, 1.0f);
  EXPECT_EQ(blue, c);
  colour.getValue(0, 0, 0.0f);
  EXPECT_EQ(blue, c);

  bool b = false;
  Bool flag("animFrameIndex");
  flag.targets = {&b};
  keys<Bool, bool>(flag, {{0, false}, {10, true}});
  flag.getValue(0, 1, 0.01f);
  EXPECT_TRUE(b) << "true from just after a false key towards a true one";
  flag.interpolate = false;
  flag.getValue(0, 1, 0.99f);
  EXPECT_FALSE(b);
}

TEST(SceneTrackTest, EditsKeysAndRoundTripsTheBinaryForm) {
  Float f("posX");
  f.addKey(3, false);
  EXPECT_EQ(0.0f, f.keys[0].value);
  f.keys[0].value = 7.0f;
  f.addKey(1, false);
  EXPECT_EQ(1u, f.keys[0].frame);
  EXPECT_EQ(7.0f, f.keys[0].value) << "a new key copies the last stored key";
  f.clear();
  keys<Float, float>(f, {{0, 1.0f}, {5, 2.0f}, {9, 3.0f}});
  EXPECT_FALSE(f.moveKey(4, 1));
  EXPECT_TRUE(f.moveKey(5, 1));
  EXPECT_EQ(1u, f.keys[1].frame);
  EXPECT_EQ(9u, f.keys[2].frame);

  f.keys[2].bezier = true;
  f.keys[2].handle = 2.5f;
  f.enabled = false;
  AE::MemoryNodeStream stream;
  f.writeKeys(stream);
  EXPECT_EQ(4u + 3u * 20u + 2u, stream.bytes().size());
  float target = 0.0f;
  Float back("posX");
  back.targets = {&target};
  back.readKeys(stream);
  ASSERT_EQ(3u, back.keys.size());
  EXPECT_EQ(9u, back.keys[2].frame);
  EXPECT_TRUE(back.keys[2].bezier);
  EXPECT_EQ(2.5f, back.keys[2].handle);
  EXPECT_FALSE(back.enabled);
  EXPECT_EQ(1u, back.targets.size()) << "targets are not part of the form";
  // A damaged count cannot make the reader run past the stream.
  AE::MemoryNodeStream damaged(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
  back.readKeys(damaged);
  EXPECT_TRUE(back.keys.empty());
}

TEST(SceneTrackTest, LoadsKeysFromScriptTablesAndPopsAtEveryDepth) {
  KR::Test::LogCapture log;
  KR::LuaScript script;
  const std::string text = "posX = 4\nfirst = { posX = 1, halign = 2 }\nsecond = { halign = 3 }\n";
  ASSERT_TRUE(script.runBuffer(text.data(), text.size(), "keys"));
  Float f("posX");
  const int top = lua_gettop(script.getState());
  f.loadKey(script, 0);
  EXPECT_EQ(top, lua_gettop(script.getState())) << "the value is popped at depth 0 too";
  ASSERT_EQ(1u, f.keys.size());
  EXPECT_EQ(4.0f, f.keys[0].value);

  Int missing("valign");
  ASSERT_TRUE(script.openTable("first"));
  missing.loadKey(script, 0);
  script.closeTable();
  ASSERT_TRUE(script.openTable("second"));
  missing.loadKey(script, 5);
  script.closeTable();
  EXPECT_FALSE(missing.enabled) << "missing at the first load: disabled for good";
  EXPECT_TRUE(missing.keys.empty());
}

TEST(SceneTrackDeathTest, MissingParametersAndBadIndicesAreFatal) {
  SceneNodeAnimation a(true);
  float x = 0.0f;
  a.bindFloat("posX", &x);
  a.addKeyframe(0);
  EXPECT_EXIT(a.getKeyframe<float>("posY", 0), ::testing::ExitedWithCode(255),
              "Failed to find parameter with specified name");
  EXPECT_EXIT(a.getKeyframe<float>("posX", 1), ::testing::ExitedWithCode(255), "Bad frameIndex specified");
  EXPECT_EXIT(a.unbindVector2("posX", nullptr), ::testing::ExitedWithCode(255), "Bad type specified");
  KR::LuaScript script;
  const std::string text = "a = { halign = 1 }\nb = { }\n";
  ASSERT_TRUE(script.runBuffer(text.data(), text.size(), "keys"));
  EXPECT_EXIT(
      {
        Int track("halign");
        script.openTable("a");
        track.loadKey(script, 0);
        script.closeTable();
        script.openTable("b");
        track.loadKey(script, 1);
      },
      ::testing::ExitedWithCode(255), "Failed to load animation parameter halign");
}

TEST(SceneClockTest, FindsKeysLoopsAndMovesKeyframes) {
  SceneNodeAnimation a(true);
  float x = -1.0f;
  a.bindFloat("posX", &x);
  a.addKeyframe(12);
  a.addKeyframe(36);
  a.getKeyframe<float>("posX", 0).value = 5.0f;
  a.getKeyframe<float>("posX", 1).value = 15.0f;
  a.update(0.0f);
  EXPECT_EQ(5.0f, x) << "before the first key: the first key's value";
  a.setTime(1.0f);
  a.update(0.0f);
  EXPECT_FLOAT_EQ(10.0f, x) << "half-way between frames 12 and 36";
  a.setTime(9.0f);
  a.update(0.0f);
  EXPECT_EQ(15.0f, x);

  a.mLoop = true;
  a.setTime(0.0f);
  a.update(2.3f * 1.5f);
  EXPECT_NEAR(0.3f * 1.5f, a.mTime, 1e-5f) << "wraps at the 1.5 s duration";

  EXPECT_FALSE(a.addKeyframe(12));
  EXPECT_EQ(2u, a.mKeyFrames.size());

  SceneNodeAnimation moved(true);
  float y = 0.0f;
  moved.bindFloat("posY", &y);
  for (int frame : {5, 10, 11}) moved.addKeyframe(frame);
  moved.getKeyframe<float>("posY", 0).value = 42.0f;
  EXPECT_TRUE(moved.moveKeyframe(5, 10));
  EXPECT_EQ((std::vector<uint32_t>{10, 11, 12}), moved.mKeyFrames) << "10 and 11 are taken";
  EXPECT_EQ(42.0f, moved.getKeyframe<float>("posY", 2).value) << "the key went with its frame";
  EXPECT_FALSE(moved.moveKeyframe(4, 1));
}

TEST(SceneClockTest, EasesThroughTheNestedCoefficientAndRoundTrips) {
  SceneNodeAnimation a(true);
  float x = 0.0f;
  a.bindFloat("posX", &x);
  a.addKeyframe(0);
  a.addKeyframe(24);
  a.getKeyframe<float>("posX", 1).value = 100.0f;
  a.update(0.5f);
  EXPECT_FLOAT_EQ(50.0f, x);
  // An easing curve that holds half the coefficient.
  a.mLerpAnimation->addKeyframe(0);
  a.mLerpAnimation->getKeyframe<float>("mLerpCoeff", 0).value = 0.5f;
  a.update(0.0f);
  EXPECT_FLOAT_EQ(25.0f, x);

  AE::MemoryNodeStream stream;
  a.writeBinary(stream);
  SceneNodeAnimation b(true);
  float y = 0.0f;
  b.bindFloat("posX", &y);
  b.readBinary(stream);
  EXPECT_EQ(0u, stream.remaining());
  EXPECT_EQ(a.mKeyFrames, b.mKeyFrames);
  EXPECT_EQ(a.mTime, b.mTime);
  b.update(0.0f);
  EXPECT_FLOAT_EQ(25.0f, y) << "the nested animation came back bound to the copy";
}

}  // namespace
