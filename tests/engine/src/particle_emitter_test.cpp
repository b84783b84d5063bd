// The emitter: how many particles an update spawns, the delay, both caps on
// live particles, looping and death, global coordinates, and counts from a
// damaged file, and copies.
#include "particle_emitter.h"

#include <gtest/gtest.h>

#include "particle_emitter_shapes.h"
#include "particle_fx.h"
#include "particle_movement_affectors.h"
#include "particle_test_support.h"
#include "support/test_support.h"

namespace {

using KR::Test::liveRecords;
using KR::Test::makeEmitter;

TEST(ParticleEmitter, SpawnsWholeIntervalsAndCarriesTheRest) {
  auto emitter = makeEmitter(4.0f, 10.0f, 20);
  emitter->initialize();
  emitter->update(1.0f);
  // Spawns at 1.0, 0.75 and 0.5; 0.25 is not above the interval.
  EXPECT_EQ(3, liveRecords(*emitter));
  EXPECT_EQ(3, emitter->getLiveCount());
  EXPECT_FLOAT_EQ(0.25f, emitter->getEmitAccumulator());
  // Spawned into the lowest free records.
  EXPECT_FALSE(emitter->particle(2).dead);
  EXPECT_TRUE(emitter->particle(3).dead);

  auto doubled = makeEmitter(4.0f, 10.0f, 20);
  doubled->setEmitRateScale(2.0f);
  doubled->initialize();
  doubled->update(1.0f);
  EXPECT_EQ(7, liveRecords(*doubled));

  auto none = makeEmitter(0.0f, 10.0f, 20);
  none->initialize();
  for (int i = 0; i < 20; ++i) none->update(1.0f);
  EXPECT_EQ(0, liveRecords(*none));
}

TEST(ParticleEmitter, WaitsForItsDelayThenEmits) {
  auto emitter = makeEmitter(4.0f, 10.0f, 20);
  emitter->mEmitterDelay = 2.0f;
  emitter->initialize();
  for (int i = 0; i < 4; ++i) emitter->update(0.5f);  // up to 2.0: not above the delay
  EXPECT_EQ(0, liveRecords(*emitter));
  emitter->update(0.5f);
  EXPECT_EQ(1, liveRecords(*emitter));
}

TEST(ParticleEmitter, CapsLiveParticlesAndForgetsTheTimeSpentAtTheCap) {
  auto full = makeEmitter(100.0f, 1.0f, 5);
  full->initialize();
  full->update(0.5f);
  EXPECT_EQ(5, liveRecords(*full));
  full->update(0.5f);  // at the cap: the accumulator is dropped, then all die
  EXPECT_EQ(0.0f, full->getEmitAccumulator());
  EXPECT_EQ(0, liveRecords(*full));
  full->update(0.025f);  // no burst: only this update's time turns into particles
  EXPECT_LE(liveRecords(*full), 3);

  auto limited = makeEmitter(100.0f, 10.0f, 10);
  limited->mLiveLimit = 2;
  limited->initialize();
  limited->update(0.2f);  // births of a step do not count against the limit
  EXPECT_EQ(10, liveRecords(*limited));
  limited->update(0.2f);
  EXPECT_EQ(0.0f, limited->getEmitAccumulator());

  // A rate no record can keep up with ends the step at once: the intervals
  // left over are dropped, not carried into the next step to spin there.
  auto flood = makeEmitter(1.0e30f, 10.0f, 10);
  flood->initialize();
  flood->update(5.0f);
  EXPECT_EQ(10, liveRecords(*flood));
  EXPECT_LE(flood->getEmitAccumulator(), 1.0e-30f);
}

TEST(ParticleEmitter, LoopsItsPeriodOrDiesAfterIt) {
  auto looped = makeEmitter(4.0f, 0.5f, 20);
  looped->mEmitterLifeTime = 3.0f;
  looped->initialize();
  for (int i = 0; i < 3; ++i) looped->update(1.0f);
  EXPECT_FLOAT_EQ(3.0f, looped->mTime);
  looped->update(1.0f);
  EXPECT_FLOAT_EQ(0.0f, looped->mTime);  // back to the start, not the remainder
  EXPECT_FALSE(looped->isDead());

  auto once = makeEmitter(4.0f, 1.2f, 20);
  once->mEmitterLifeTime = 3.0f;
  once->mLooped = false;
  once->initialize();
  for (int i = 0; i < 6; ++i) once->update(0.5f);  // time 3.0: emission over
  EXPECT_GT(liveRecords(*once), 0);
  EXPECT_FALSE(once->isDead());
  once->update(0.5f);
  once->update(0.5f);
  EXPECT_EQ(0, liveRecords(*once));
  EXPECT_TRUE(once->isDead());

  // A particle whose life is 0 lives for one particle update.
  auto brief = makeEmitter(4.0f, 0.0f, 20);
  brief->initialize();
  brief->update(1.0f);
  EXPECT_EQ(0, liveRecords(*brief));
}

TEST(ParticleEmitter, GlobalParticlesStayWhereTheyWereBorn) {
  KR::Test::ParticleFactory factory;
  KR::ParticleFX effect;
  auto* global = makeEmitter<KR::ParticlePointEmitter>(4.0f, 10.0f, 10).release();
  global->mGlobalCoords = true;
  global->mPosition = KR::Vector2<float>(10.0f, 0.0f);
  auto* local = makeEmitter<KR::ParticlePointEmitter>(4.0f, 10.0f, 10).release();
  effect.mParticleEmitters = {global, local};
  effect.mPosition = KR::Vector2<float>(100.0f, 50.0f);
  effect.initialize();
  effect.update(0.3f);
  ASSERT_FALSE(global->particle(0).dead);
  EXPECT_EQ(KR::Vector2<float>(110.0f, 50.0f), global->particle(0).position);
  EXPECT_EQ(KR::Vector2<float>(0.0f, 0.0f), local->particle(0).position);
  effect.mPosition = KR::Vector2<float>(0.0f, 0.0f);
  effect.update(0.01f);
  EXPECT_EQ(KR::Vector2<float>(110.0f, 50.0f), global->particle(0).position);
}

TEST(ParticleEmitter, CountsOutsideTheirRangeStaySafe) {
  KR::Test::LogCapture log;
  auto negative = makeEmitter(4.0f, 10.0f, -5);
  negative->initialize();
  EXPECT_EQ(0, negative->getAllocatedCount());
  negative->update(1.0f);
  EXPECT_EQ(0, liveRecords(*negative));

  auto huge = makeEmitter(4.0f, 10.0f, 2000000000);
  huge->initialize();
  EXPECT_EQ(KR::ParticleEmitter::kMaxParticles, huge->getAllocatedCount());
  EXPECT_TRUE(log.contains("WARNING: particle emitter asks for 2000000000 particles"));

  // At run time a negative count takes back the allocated one; a new count
  // reallocates, keeping the leading records.
  auto running = makeEmitter(4.0f, 10.0f, 8);
  running->initialize();
  running->update(1.0f);
  running->mMaxParticlesCount = -3;
  running->update(0.01f);
  EXPECT_EQ(8, running->mMaxParticlesCount);
  running->mMaxParticlesCount = 2;
  running->update(0.01f);
  EXPECT_EQ(2, running->getAllocatedCount());
  EXPECT_EQ(2, liveRecords(*running));
}

// An emitter made from another (an effect handed out from the prototype
// cache) moves its particles as the other does: it takes copies of its
// affectors, set as they were.
TEST(ParticleEmitter, ACopyTakesCopiesOfTheAffectors) {
  KR::Test::ParticleFactory factory;
  KR::ParticleEmitter source;
  auto* movement = new KR::ParticleLinearMovementAffector();
  movement->mInitialDirection.mMaxVal = KR::Vector2<float>(0.5f, -1.0f);
  source.mParticleAffectors = {movement};
  const KR::ParticleEmitter copy(source);
  ASSERT_EQ(1u, copy.mParticleAffectors.size());
  auto* copied = dynamic_cast<KR::ParticleLinearMovementAffector*>(copy.mParticleAffectors[0]);
  ASSERT_NE(nullptr, copied);
  EXPECT_NE(movement, copied);
  EXPECT_EQ(KR::Vector2<float>(0.5f, -1.0f), copied->mInitialDirection.mMaxVal);
}

}  // namespace
