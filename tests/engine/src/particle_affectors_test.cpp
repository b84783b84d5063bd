// Affectors on their worked values: gravity's fall, the orbit about the
// emitter (local and global), the graphic move at mid-life, the sprite's spin
// and the auto-rotation to the way of motion.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "particle_emitter_shapes.h"
#include "particle_movement_affectors.h"
#include "particle_rotation_affectors.h"
#include "particle_test_support.h"

namespace {

using KR::Vector2;

// A point emitter that emits nothing by itself, holding one affector; the
// test places particles by hand.
class AffectorTest : public ::testing::Test {
 protected:
  template <typename Affector>
  Affector* attach(Affector* affector) {
    emitter = KR::Test::makeEmitter<KR::ParticlePointEmitter>(0.0f, 100.0f, 4);
    emitter->mParticleAffectors.push_back(affector);
    emitter->initialize();
    return affector;
  }
  // A live particle in record i at p, introduced to the affectors.
  KR::Particle& place(int i, Vector2<float> p) {
    KR::Particle& particle = emitter->particle(i);
    particle.dead = false;
    particle.remaining = 100.0f;
    particle.position = p;
    for (KR::ParticleAffector* affector : emitter->mParticleAffectors) affector->initParticle(i);
    return particle;
  }
  std::unique_ptr<KR::ParticlePointEmitter> emitter;
};

TEST_F(AffectorTest, GravityFallsByTheWorkedDistances) {
  auto* gravity = attach(new KR::ParticleGravityAffector());
  EXPECT_EQ(Vector2<float>(0.0f, 1.0f), gravity->mDirection);
  gravity->mForce = KR::Test::constantCurve(10.0f);
  KR::Particle& p = place(0, Vector2<float>());
  emitter->update(0.5f);
  EXPECT_FLOAT_EQ(1.25f, p.position.y);
  emitter->update(0.5f);
  EXPECT_FLOAT_EQ(5.0f, p.position.y);  // 1.25, then 3.75 more
  EXPECT_FLOAT_EQ(0.0f, p.position.x);
  EXPECT_FLOAT_EQ(10.0f, gravity->entry(0).speed);
  // Dead particles stay put.
  EXPECT_EQ(Vector2<float>(), emitter->particle(1).position);

  // Without a lifetime the force follows tenths of seconds: 2.5 s reads time 25.
  gravity->mForce = KR::Test::floatCurve({{0, 0.0f}, {100, 100.0f}});
  emitter->mTime = 2.5f;
  EXPECT_FLOAT_EQ(25.0f, gravity->mForce.getAverageValue(emitter->getLifePercent()));
}

TEST_F(AffectorTest, OrbitTurnsAboutTheEmitterOrItsBirthPlace) {
  auto* orbit = attach(new KR::ParticleRotateAffector());
  orbit->mInitialAngleVelocity = KR::Test::constantCurve(float(M_PI / 2.0));
  orbit->mInitialRotateCoeffMin = orbit->mInitialRotateCoeffMax = 1.0f;
  KR::Particle& local = place(0, Vector2<float>(10.0f, 0.0f));
  orbit->update(1.0f);
  EXPECT_NEAR(0.0f, local.position.x, 1e-4f);
  EXPECT_NEAR(10.0f, local.position.y, 1e-4f);

  emitter->mGlobalCoords = true;
  emitter->mPosition = Vector2<float>(100.0f, 100.0f);
  KR::Particle& global = place(1, Vector2<float>(110.0f, 100.0f));
  emitter->mPosition = Vector2<float>(500.0f, 0.0f);  // later moves do not move the centre
  orbit->update(1.0f);
  EXPECT_NEAR(100.0f, global.position.x, 1e-3f);
  EXPECT_NEAR(110.0f, global.position.y, 1e-3f);
}

TEST_F(AffectorTest, SpritesSpinFromTheirStartAngle) {
  auto* spin = attach(new KR::ParticleRotateSpriteAffector());
  spin->mInitialMinAngle = spin->mInitialMaxAngle = 45.0f;
  spin->mInitialRotateCoeffMin = spin->mInitialRotateCoeffMax = 1.0f;
  spin->mInitialAngleVelocity = KR::Test::constantCurve(90.0f);
  KR::Particle& p = place(0, Vector2<float>());
  EXPECT_FLOAT_EQ(45.0f, p.angle);
  spin->update(1.0f);
  EXPECT_FLOAT_EQ(135.0f, p.angle);
  for (int i = 0; i < 4; ++i) spin->update(1.0f);
  EXPECT_FLOAT_EQ(495.0f, p.angle);  // not wrapped
}

TEST_F(AffectorTest, AutoRotateFacesTheWayOfMotion) {
  auto* face = attach(new KR::ParticleAutoRotateAffector());
  face->mDiffAngle = 10.0f;
  KR::Particle& p = place(0, Vector2<float>(5.0f, 5.0f));
  p.position = Vector2<float>(5.0f, -5.0f);  // straight up the screen
  face->update(0.1f);
  EXPECT_FLOAT_EQ(280.0f, p.angle);
  p.position.x += 3.0f;  // straight right
  face->update(0.1f);
  EXPECT_FLOAT_EQ(10.0f, p.angle);
  p.position.y += 0.0004f;  // too small a step to turn
  face->update(0.1f);
  EXPECT_FLOAT_EQ(10.0f, p.angle);
  p.position.x -= 2.0f;  // left
  face->update(0.1f);
  EXPECT_FLOAT_EQ(190.0f, p.angle);
}

TEST_F(AffectorTest, MovementFollowsItsCurvesAndRanges) {
  auto* linear = attach(new KR::ParticleLinearMovementAffector());
  linear->mInitialDirection = KR::ValueRange<Vector2<float>>(Vector2<float>(-1.0f, 0.0f), Vector2<float>(1.0f, 0.0f));
  linear->mInitialVelocity = KR::Test::constantCurve(10.0f);
  for (int i = 0; i < 4; ++i) place(i, Vector2<float>());
  linear->update(1.0f);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(0.0f, emitter->particle(i).position.y);
    EXPECT_LE(std::fabs(emitter->particle(i).position.x), 10.0f);
  }

  auto* steer = attach(new KR::ParticleGraphicMoveAffector());
  steer->mAngleGraphic = KR::Test::floatCurve({{0, 0.0f}, {100, 180.0f}});
  steer->mVelocityGraphic = KR::Test::floatCurve({{0, 0.0f}, {100, 40.0f}});
  KR::Particle& p = place(0, Vector2<float>());
  p.age = 2.0f;
  p.remaining = 2.0f;  // mid-life: both curves at 50
  steer->update(0.5f);
  EXPECT_NEAR(0.0f, p.position.x, 1e-4f);
  EXPECT_NEAR(10.0f, p.position.y, 1e-4f);  // 20 a second at 90 degrees

  auto* pull = attach(new KR::ParticleGravityPointAffector());
  pull->mForce = KR::Test::constantCurve(10.0f);
  KR::Particle& q = place(0, Vector2<float>(10.0f, 0.0f));
  emitter->mPosition = Vector2<float>(300.0f, 300.0f);  // local particles head for the emitter's origin
  pull->update(0.5f);
  EXPECT_FLOAT_EQ(8.75f, q.position.x);
  EXPECT_FLOAT_EQ(0.0f, q.position.y);
}

}  // namespace
