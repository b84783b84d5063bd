// Tails: seeding once the head moves, growth up to the ring's size, eating
// from the end at the fade speed, and no NaN when no time passes.
#include "particle_tail.h"

#include <gtest/gtest.h>

#include <cmath>

#include "particle_test_support.h"

namespace {

using KR::Vector2;

class TailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.mMaxSegments = 17;
    settings.mTailCapacity = settings.mMaxSegments + 7;
    settings.mMinDistSegments = 0.0f;
    settings.mTailTexWidth = 32.0f;
    settings.mTailTexHeight = 32.0f;
    tail.setup(nullptr, &settings);
    tail.halfWidth = 4.0f;
  }
  bool allFinite() const {
    for (int32_t i = 0; i < settings.mTailCapacity; ++i) {
      const KR::ParticleTailSegment& s = tail.segment(i);
      const float values[] = {s.start.x,      s.start.y,      s.end.x,       s.end.y,  s.u0,
                              s.u1,           s.length,       s.unit.x,      s.unit.y, s.corners[0].x,
                              s.corners[1].y, s.corners[2].x, s.corners[3].y};
      for (float v : values)
        if (!std::isfinite(v)) return false;
    }
    return std::isfinite(tail.getBodyLength());
  }

  KR::ParticleTailSettings settings;
  KR::ParticleTail tail;
};

TEST_F(TailTest, SeedsOnceTheHeadMovesAndStopsGrowingAtTheRingSize) {
  settings.mHeadSize = 4;
  tail.update(0.1f, Vector2<float>(0.05f, 0.05f));  // within 0.1 of where it started
  EXPECT_EQ(0, tail.getCount());
  tail.update(0.1f, Vector2<float>(5.0f, 0.0f));
  EXPECT_EQ(3, tail.getCount());
  EXPECT_EQ(2, tail.getHead());
  EXPECT_EQ(Vector2<float>(5.0f, 0.0f), tail.getAnchor());

  int most = 0;
  for (int i = 2; i < 300; ++i) {
    tail.update(0.1f, Vector2<float>(5.0f * float(i), 0.0f));
    most = std::max(most, int(tail.getCount()));
  }
  EXPECT_EQ(24, most);  // 17 + 7, and never a 25th
  // Full, the head waits until the end has been eaten.
  EXPECT_GE(tail.getCount(), 23);
  // The head segment lies along the motion, mitred to a strip 8 wide.
  const KR::ParticleTailSegment& head = tail.segment(tail.getHead());
  EXPECT_NEAR(4.0f, head.end.x - head.start.x, 1e-3f);
  EXPECT_NEAR(8.0f, std::fabs(head.corners[1].y - head.corners[2].y), 1e-3f);
  EXPECT_TRUE(allFinite());
}

TEST_F(TailTest, EatsTheEndAtTheFadeSpeedAtMostHalfAtATime) {
  settings.mMaxSegments = 100;
  settings.mTailCapacity = 107;
  tail.setup(nullptr, &settings);
  for (int i = 1; i <= 20; ++i) tail.update(0.1f, Vector2<float>(0.0f, 5.0f * float(i)));
  const int32_t grown = tail.getCount();
  ASSERT_GT(grown, 15);
  const Vector2<float> still(0.0f, 100.0f);
  tail.update(0.1f, still);           // the head stops
  EXPECT_EQ(grown, tail.getCount());  // no fade speed: nothing eaten

  // 2 units in 0.1 s: the seed segment (length 1) goes, the next one loses 1.
  settings.mFadeSpeed = 20.0f;
  const float before = tail.getBodyLength();
  tail.update(0.1f, still);
  EXPECT_EQ(grown - 1, tail.getCount());
  EXPECT_NEAR(before - 2.0f, tail.getBodyLength(), 1e-3f);

  settings.mFadeSpeed = 1.0e6f;
  tail.update(0.1f, still);
  EXPECT_EQ((grown - 1) - grown / 2, tail.getCount());
  EXPECT_TRUE(allFinite());
}

// Only beyond its maximum segments is the end eaten at the head's own pace:
// a tail of exactly that many keeps its end where it was while the head moves on.
TEST_F(TailTest, OnlyATailLongerThanItsMaximumChasesAMovingHead) {
  settings.mMaxSegments = 6;
  settings.mTailCapacity = 13;
  tail.setup(nullptr, &settings);
  int step = 1;
  for (; step < 40 && tail.getCount() < settings.mMaxSegments; ++step)
    tail.update(0.1f, Vector2<float>(5.0f * float(step), 0.0f));
  ASSERT_EQ(settings.mMaxSegments, tail.getCount());
  const Vector2<float> end = tail.segment(tail.getHead() - tail.getCount() + 1).start;
  tail.update(0.1f, Vector2<float>(5.0f * float(step++), 0.0f));
  ASSERT_EQ(settings.mMaxSegments + 1, tail.getCount());
  EXPECT_EQ(end, tail.segment(tail.getHead() - tail.getCount() + 1).start) << "no fade speed: nothing eaten";
  // One longer: the end follows the head (nine tenths of its 5 units a step).
  tail.update(0.1f, Vector2<float>(5.0f * float(step++), 0.0f));
  const Vector2<float> moved = tail.segment(tail.getHead() - tail.getCount() + 1).start;
  EXPECT_GT(moved.x, end.x + 3.0f);
  EXPECT_EQ(0.0f, moved.y);
}

TEST_F(TailTest, NoTimeAndNoDistanceLeaveEveryValueFinite) {
  for (int i = 1; i <= 30; ++i) tail.update(0.1f, Vector2<float>(4.0f * float(i), 2.0f * float(i)));
  ASSERT_GT(tail.getCount(), 17);  // long enough for the head-speed term
  const Vector2<float> head(120.0f, 60.0f);
  tail.update(0.0f, head);
  tail.update(0.0f, head + Vector2<float>(3.0f, 0.0f));
  tail.update(0.0f, head + Vector2<float>(3.0f, 0.0f));
  tail.update(-1.0f, head);
  EXPECT_TRUE(allFinite());

  // A negative segment count from a file still leaves a ring of 7.
  auto emitter = KR::Test::makeEmitter(1.0f, 1.0f, 2);
  emitter->mUseTails = true;
  emitter->getTailSettings().mMaxSegments = -50;
  emitter->initialize();
  EXPECT_EQ(7, emitter->getTailSettings().mTailCapacity);
  ASSERT_TRUE(emitter->particle(0).tail);
  EXPECT_EQ(size_t(7 + KR::ParticleTail::kSpareSegments), emitter->particle(0).tail->getAllocatedSegments());
}

}  // namespace
