// Two threads asking for an effect file nobody has read yet: both get their
// own copy, one prototype stays, and the other thread's reading is not leaked.
// Particle scene nodes made on a loading thread while the main thread updates
// the particle system (the thread sanitizer watches the shared switch).
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "animationeditor/particle_scene_node.h"
#include "data_test_content.h"
#include "demo_effects.h"
#include "object_factory.h"
#include "particle_class_registry.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "timer_manager.h"

namespace {

TEST(ParticleSystemThreads, TwoThreadsLoadingOneFileLeaveOnePrototype) {
  KR::Test::ScratchContent content("particle-threads");
  {
    KR::ObjectFactory writer;
    KR::registerParticleClasses(writer);
    std::unique_ptr<KR::ParticleFX> made(KR::Tools::makeFountain());
    content.addEntry("default", "fountain", KR::Tools::effectFileText(*made));
  }
  content.start();
  KR::ObjectFactory factory;
  KR::ParticleSystem system;
  for (int round = 0; round < 20; ++round) {
    KR::ParticleFX* results[2] = {nullptr, nullptr};
    std::thread other([&] { results[0] = system.createEffect("fountain"); });
    results[1] = system.createEffect("fountain");
    other.join();
    ASSERT_NE(nullptr, results[0]);
    ASSERT_NE(nullptr, results[1]);
    EXPECT_NE(results[0], results[1]);
    EXPECT_EQ(1u, system.getPrototypeCount());
    EXPECT_EQ(2u, system.getActiveCount());
    system.releaseEffect(results[0]);
    system.releaseEffect(results[1]);
    system.clearEffectPool();
    system.clearPrototypes();
  }
}

TEST(ParticleSystemThreads, NodesMadeOnALoadingThreadSwitchOffTheUpdateUnderTheLock) {
  KR::TimerManager timers;
  KR::ObjectFactory factory;
  KR::ParticleSystem system;
  ASSERT_TRUE(system.getUpdateEffects());
  std::atomic<bool> done{false};
  std::thread loader([&] {
    for (int i = 0; i < 200; ++i) std::make_unique<AE::ParticleSceneNode>();
    done = true;
  });
  while (!done) system.update();
  loader.join();
  EXPECT_FALSE(system.getUpdateEffects());
}

}  // namespace
