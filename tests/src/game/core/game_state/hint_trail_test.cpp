// The hint trail's flight: paths that start on the button and end exactly on
// the target (also with two keys or a target on the start, where a careless
// division gives NaN), start delays that spread the ribbons over the given
// time, arrival of the first ribbon, stop, and a trail without ribbons.
#include "core/game_state/hint_trail.h"

#include <gtest/gtest.h>

#include <cmath>

#include "lua_script_2.h"
#include "ribbon.h"

namespace {

using V = KR::Vector2<float>;

TEST(HintTrailTest, PathsEndOnTheTargetAndDelaysSpreadWithoutDividingByZero) {
  KR::seedSharedRandom(7);
  const V from(1520.0f, 917.0f), to(300.0f, 400.0f);
  for (int32_t count : {2, 3, 6}) {
    const std::vector<V> keys = HOG::HintTrail::pathKeys(from, to, count, 0.5f);
    ASSERT_EQ(keys.size(), size_t(count));
    EXPECT_EQ(keys.front().x, from.x);
    EXPECT_EQ(keys.back().x, to.x);
    EXPECT_EQ(keys.back().y, to.y);
  }
  // The middle keys bow off the straight line, within the bulge and the jitter.
  const std::vector<V> keys = HOG::HintTrail::pathKeys(V(0, 0), V(1000, 0), 5, 0.2f);
  for (size_t k = 1; k + 1 < keys.size(); ++k) EXPECT_LE(std::fabs(keys[k].y), 200.0f + 50.0f);
  for (const V& key : HOG::HintTrail::pathKeys(from, from, 5, 0.5f)) {
    EXPECT_FALSE(std::isnan(key.x) || std::isnan(key.y));
    EXPECT_NEAR(key.x, from.x, 50.0f);
  }

  const std::vector<float> delays = HOG::HintTrail::startDelays(5, 4.0f);
  ASSERT_EQ(delays.size(), 5u);
  for (size_t i = 1; i < delays.size(); ++i) EXPECT_GE(delays[i], delays[i - 1]);
  EXPECT_GT(delays.front(), 0.0f);
  EXPECT_NEAR(delays.back(), 4.0f, 1e-4f);
  EXPECT_TRUE(HOG::HintTrail::startDelays(0, 4.0f).empty());
}

TEST(HintTrailTest, FirstArrivalShowsTheEndStopHidesItAndNoRibbonsNeverArrive) {
  KR::seedSharedRandom(3);
  HOG::HintTrail::Settings settings;
  settings.ribbonsCount = 3;
  settings.randomStartingDelay = 0.3f;
  settings.ribbonFlyingTime = 0.5f;
  HOG::HintTrail trail;
  trail.create(settings, nullptr);
  trail.start(V(1520.0f, 917.0f), V(400.0f, 300.0f));
  EXPECT_FALSE(trail.arrived);
  trail.update(0.05f);
  EXPECT_FALSE(trail.endShown);  // every ribbon is still on its way
  for (int i = 0; i < 40; ++i) trail.update(0.05f);
  EXPECT_TRUE(trail.arrived);
  EXPECT_TRUE(trail.endShown);
  for (int32_t i = 0; i < trail.getRibbonCount(); ++i) {
    EXPECT_NEAR(trail.getRibbon(i)->head.x, 400.0f, 0.01f);
    EXPECT_NEAR(trail.getRibbon(i)->head.y, 300.0f, 0.01f);
  }
  trail.stop();
  EXPECT_FALSE(trail.endShown);
  EXPECT_FALSE(trail.active);

  settings.ribbonsCount = 0;
  settings.animFramesCount = 1;
  HOG::HintTrail empty;
  empty.create(settings, nullptr);
  empty.start(V(10.0f, 10.0f), V(10.0f, 10.0f));
  for (int i = 0; i < 10; ++i) empty.update(0.1f);
  EXPECT_FALSE(empty.endShown);
}

}  // namespace
