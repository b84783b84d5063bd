// Where the shapes start particles: the box turned about the emitter's origin,
// the quadrilateral by its two parameters (and a degenerate one), the disc.
#include "particle_emitter_shapes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "particle_test_support.h"

namespace {

// Spawns `count` particles into record 0 and reports each start position.
template <typename Emitter, typename Check>
void spawnMany(Emitter& emitter, int count, Check check) {
  emitter.mMaxParticlesCount = 1;
  emitter.mEmitRate = KR::Test::constantCurve(1.0f);
  emitter.mInitialLifeTime = KR::Test::constantCurve(1.0f);
  emitter.mParticleColor = KR::Test::constantColor(0xFFFFFFFF);
  emitter.mInitialScaleX = KR::Test::constantCurve(1.0f);
  emitter.mInitialScaleY = KR::Test::constantCurve(1.0f);
  emitter.initialize();
  for (int i = 0; i < count; ++i) {
    emitter.spawnParticle(0);
    check(emitter.particle(0).position);
  }
}

void expectInside(const KR::Vector2<float>& p, float left, float top, float right, float bottom) {
  const float e = 1e-3f;
  EXPECT_TRUE(p.x >= left - e && p.x <= right + e && p.y >= top - e && p.y <= bottom + e) << p.x << ", " << p.y;
}

TEST(ParticleEmitterShapes, BoxTurnsAboutTheEmitterOrigin) {
  KR::ParticleBoxEmitter upright;
  upright.mRect = KR::Rect(-10.0f, -5.0f, 10.0f, 5.0f);
  upright.mRectAngle = 90.0f;
  bool wide = false;
  spawnMany(upright, 300, [&](const KR::Vector2<float>& p) {
    expectInside(p, -5.0f, -10.0f, 5.0f, 10.0f);
    wide = wide || std::fabs(p.y) > 6.0f;
  });
  EXPECT_TRUE(wide);

  KR::ParticleBoxEmitter away;
  away.mRect = KR::Rect(100.0f, 0.0f, 110.0f, 10.0f);
  away.mRectAngle = 180.0f;
  spawnMany(away, 300, [](const KR::Vector2<float>& p) { expectInside(p, -110.0f, -10.0f, -100.0f, 0.0f); });
}

TEST(ParticleEmitterShapes, QuadInterpolatesAcrossAndUpAndFallsBackToC) {
  KR::ParticleQuadEmitter square;
  square.mPointLeftTop = KR::Vector2<float>(0.0f, 0.0f);
  square.mPointLeftBottom = KR::Vector2<float>(0.0f, 10.0f);
  square.mPointRightTop = KR::Vector2<float>(10.0f, 0.0f);
  square.mPointRightBottom = KR::Vector2<float>(10.0f, 10.0f);
  const KR::Vector2<float> p = square.pointAt(0.3f, 0.5f);
  EXPECT_NEAR(3.0f, p.x, 1e-5f);
  EXPECT_NEAR(5.0f, p.y, 1e-5f);
  spawnMany(square, 200, [](const KR::Vector2<float>& q) { expectInside(q, 0.0f, 0.0f, 10.0f, 10.0f); });

  KR::ParticleQuadEmitter trapezoid;
  trapezoid.mPointLeftTop = KR::Vector2<float>(2.0f, 0.0f);
  trapezoid.mPointLeftBottom = KR::Vector2<float>(0.0f, 10.0f);
  trapezoid.mPointRightTop = KR::Vector2<float>(8.0f, 0.0f);
  trapezoid.mPointRightBottom = KR::Vector2<float>(10.0f, 10.0f);
  const KR::Vector2<float> bottomMiddle = trapezoid.pointAt(0.5f, 0.0f);
  EXPECT_NEAR(5.0f, bottomMiddle.x, 1e-5f);
  EXPECT_NEAR(10.0f, bottomMiddle.y, 1e-5f);

  // All four corners on one point: the lines never cross; the particle starts at C.
  KR::ParticleQuadEmitter point;
  point.mPointLeftTop = point.mPointLeftBottom = point.mPointRightTop = point.mPointRightBottom =
      KR::Vector2<float>(4.0f, -2.0f);
  const KR::Vector2<float> c = point.pointAt(0.7f, 0.2f);
  EXPECT_EQ(KR::Vector2<float>(4.0f, -2.0f), c);
}

TEST(ParticleEmitterShapes, CircleAndPointStayInTheirBounds) {
  KR::ParticleCircleEmitter disc;
  disc.mRadius = 50.0f;
  float farthest = 0.0f;
  spawnMany(disc, 500, [&](const KR::Vector2<float>& p) { farthest = std::max(farthest, p.length()); });
  EXPECT_LE(farthest, 50.0f + 1e-3f);
  EXPECT_GT(farthest, 30.0f);
  KR::ParticleCircleEmitter dot;
  dot.mRadius = 0.0f;
  spawnMany(dot, 10, [](const KR::Vector2<float>& p) { EXPECT_EQ(KR::Vector2<float>(), p); });
  KR::ParticlePointEmitter origin;
  origin.mPosition = KR::Vector2<float>(5.0f, 5.0f);
  spawnMany(origin, 3, [](const KR::Vector2<float>& p) { EXPECT_EQ(KR::Vector2<float>(), p); });
}

}  // namespace
