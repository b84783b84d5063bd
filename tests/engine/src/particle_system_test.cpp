// The particle system's manager: one read per effect file, copies handed out,
// the pool's order, update's time step and reaping, and effects that belong
// to a holder who advances them.
#include "particle_system.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "data_test_content.h"
#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "support/test_support.h"
#include "timer_manager.h"

namespace {

// One point emitter that stops after 0.2 s; its particles live 0.5 s.
std::string shortEffect(bool destroyIfDead, float x) {
  return "<root><ParticleFX><mPosition x=\"" + std::to_string(x) + "\" y=\"0\"/>" + "<mDestroyIfDead v=\"" +
         (destroyIfDead ? "true" : "false") + "\"/>" +
         "<mParticleEmitters sz=\"1\"><e0 class_name=\"ParticlePointEmitter\">"
         "<mMaxParticlesCount v=\"4\"/><mEmitterLifeTime v=\"0.2\"/><mLooped v=\"false\"/>"
         "<mInitialLifeTime><mValues sz=\"1\"><e0 sz=\"1\"><e0><time v=\"0\"/><value v=\"0.5\"/></e0></e0>"
         "</mValues></mInitialLifeTime></e0></mParticleEmitters></ParticleFX></root>";
}

class ParticleSystemTest : public ::testing::Test {
 protected:
  ParticleSystemTest() : content("particle-system") {}
  void start() {
    content.start();
    timer = std::make_unique<KR::TimerManager>();
    factory = std::make_unique<KR::ObjectFactory>();
    system = std::make_unique<KR::ParticleSystem>();
  }
  void TearDown() override {
    system.reset();
    factory.reset();
    timer.reset();
  }
  void step(float frameTime) {
    timer->frameTime = frameTime;
    system->update();
  }

  KR::Test::ScratchContent content;
  std::unique_ptr<KR::TimerManager> timer;
  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> system;
};

TEST_F(ParticleSystemTest, ReadsEachFileOnceAndHandsOutCopies) {
  content.addEntry("default", "spark", shortEffect(false, 5.0f));
  content.addEntry("default", "broken", "<root><ParticleFX>");
  start();
  EXPECT_EQ("ParticleBoxEmitter", factory->findClassName("KR::ParticleBoxEmitter"));
  EXPECT_NE(nullptr, factory->findCreator("ParticleAutoRotateAffector"));
  const size_t logLines = content.log.lines().size();
  EXPECT_EQ(nullptr, system->createEffect("nothing"));
  EXPECT_EQ(logLines, content.log.lines().size());  // effects are optional: a missing one is no error
  EXPECT_EQ(nullptr, system->createEffect("broken"));
  EXPECT_EQ(logLines + 1, content.log.lines().size());
  EXPECT_TRUE(content.log.contains("ERROR: Particle effect 'broken' is damaged: its XML does not parse"));
  EXPECT_EQ(0u, system->getPrototypeCount());

  KR::ParticleFX* a = system->createEffect("spark");
  ASSERT_NE(nullptr, a);
  // The file changes on disk: the cached prototype is what further copies come from.
  content.writeLoose(content.packages["default"]["spark"], shortEffect(false, 9.0f));
  KR::ParticleFX* b = system->createEffect("spark");
  ASSERT_NE(nullptr, b);
  EXPECT_NE(a, b);
  EXPECT_NE(a->mParticleEmitters[0], b->mParticleEmitters[0]);
  EXPECT_EQ(5.0f, b->mPosition.x);
  EXPECT_EQ("spark", b->mFileName);
  EXPECT_TRUE(b->mStarted);
  EXPECT_EQ(1u, system->getPrototypeCount());
  EXPECT_EQ(2u, system->getActiveCount());
  system->releaseEffect(a);
  system->releaseEffect(b);

  system->clearPrototypes();
  system->clearEffectPool();
  KR::ParticleFX* reread = system->createEffect("spark");
  EXPECT_EQ(9.0f, reread->mPosition.x);
  system->releaseEffect(reread);
}

TEST_F(ParticleSystemTest, PoolHandsBackTheEarliestReleasedRestarted) {
  content.addEntry("default", "spark", shortEffect(false, 0.0f));
  start();
  KR::ParticleFX* first = system->createEffect("spark");
  KR::ParticleFX* second = system->createEffect("spark");
  first->update(0.1f);
  system->releaseEffect(first);
  system->releaseEffect(second);
  EXPECT_EQ(2u, system->getPoolSize());
  EXPECT_EQ(0u, system->getActiveCount());
  KR::ParticleFX* again = system->createEffect("spark");
  EXPECT_EQ(first, again);
  EXPECT_EQ(0.0f, again->mParticleEmitters[0]->mTime);  // restarted
  EXPECT_FALSE(again->isAdvancedByHolder());
  EXPECT_EQ(second, system->createEffect("spark"));
  KR::ParticleFX* fresh = system->createEffect("spark");
  EXPECT_NE(first, fresh);
  EXPECT_NE(second, fresh);
  EXPECT_EQ(3u, system->getActiveCount());

  system->mPoolLimit = 1;
  system->releaseEffect(first);
  system->releaseEffect(second);  // over the limit: destroyed
  EXPECT_EQ(1u, system->getPoolSize());
  system->releaseEffect(nullptr);
}

TEST_F(ParticleSystemTest, UpdateClampsTheStepAndReapsOnlyWhatNobodyHolds) {
  content.addEntry("default", "reaped", shortEffect(true, 0.0f));
  content.addEntry("default", "kept", shortEffect(false, 0.0f));
  start();
  // Handed out, its holder (a hidden widget) never advances it: the system does.
  KR::ParticleFX* idle = system->createEffect("reaped");
  // A copy nobody holds: the system's to destroy once finished.
  KR::ParticleFX* orphan = new KR::ParticleFX(*idle);
  KR::ParticleFX* kept = system->createEffect("kept");
  KR::ParticleFX* held = system->createEffect("reaped");
  step(0.5f);
  EXPECT_FLOAT_EQ(0.1f, kept->mParticleEmitters[0]->mTime);
  step(std::nanf(""));
  EXPECT_FLOAT_EQ(0.2f, kept->mParticleEmitters[0]->mTime);

  system->setUpdateEffects(false);
  step(0.05f);
  EXPECT_FLOAT_EQ(0.2f, kept->mParticleEmitters[0]->mTime);
  system->setUpdateEffects(true);

  // The holder advances its effect: the system neither advances it again nor destroys it.
  held->update(0.05f);
  const float heldTime = held->mParticleEmitters[0]->mTime;
  for (int i = 0; i < 12 && system->isTracked(orphan); ++i) step(0.1f);
  EXPECT_FALSE(system->isTracked(orphan));  // dead, destroy-if-dead and nobody's: gone
  EXPECT_TRUE(system->isTracked(kept));
  EXPECT_TRUE(kept->isDead());
  EXPECT_TRUE(system->isTracked(held));
  EXPECT_EQ(heldTime, held->mParticleEmitters[0]->mTime);
  for (int i = 0; i < 12; ++i) held->update(0.1f);
  EXPECT_TRUE(held->isDead());
  step(0.1f);
  EXPECT_TRUE(system->isTracked(held));

  // Finished as well, but its holder still owns it: it stays until given
  // back, and the pool then hands out the same live effect again.
  ASSERT_TRUE(system->isTracked(idle));
  EXPECT_TRUE(idle->isDead());
  system->releaseEffect(idle);
  KR::ParticleFX* reused = system->createEffect("reaped");
  EXPECT_EQ(idle, reused);
  EXPECT_FALSE(reused->isDead());
  system->releaseEffect(reused);
  system->releaseEffect(held);
  system->releaseEffect(kept);
}

// A file of a few hundred bytes asking for 10,000 tails of 1,000 segments
// each would take gigabytes: it is refused by name, and nothing is kept.
TEST_F(ParticleSystemTest, AnEffectAskingForTooMuchIsRefusedByName) {
  auto tails = [](bool useTails) {
    return std::string("<root><ParticleFX><mParticleEmitters sz=\"1\"><e0 class_name=\"ParticlePointEmitter\">") +
           "<mMaxParticlesCount v=\"10000\"/><mUseTails v=\"" + (useTails ? "true" : "false") +
           "\"/><mMaxSegments v=\"1000\"/></e0></mParticleEmitters></ParticleFX></root>";
  };
  content.addEntry("default", "tails_fx", tails(true));
  content.addEntry("default", "dots_fx", tails(false));
  start();
  KR::Test::LogCapture log;
  EXPECT_EQ(nullptr, system->createEffect("tails_fx"));
  EXPECT_TRUE(log.contains("WARNING: particle effect 'tails_fx' asks for "));
  EXPECT_EQ(0u, system->getPrototypeCount());
  EXPECT_EQ(0u, system->getActiveCount());
  // The same records without tails are well within what an effect may have.
  KR::ParticleFX* dots = system->createEffect("dots_fx");
  ASSERT_NE(nullptr, dots);
  EXPECT_EQ(10000, dots->mParticleEmitters[0]->getAllocatedCount());
  EXPECT_FALSE(log.contains("'dots_fx'"));
  system->releaseEffect(dots);
}

}  // namespace
