// The hint trail's flight: paths that start on the button and end exactly on
// the target (also with two keys or a target on the start, where a careless
// division gives NaN), start delays that spread the ribbons over the given
// time, arrival of the first ribbon, stop, and a trail without ribbons; the
// particle effects riding on the ribbons and the one lit where they land.
#include "core/game_state/hud/hint_trail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "animation.h"
#include "engine/src/data_test_content.h"
#include "engine_allocators.h"
#include "lua_script_2.h"
#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "ribbon.h"
#include "xml_data_reader.h"

namespace {

using V = KR::Vector2<float>;

TEST(HintTrailTest, SettingsLeftOutOfTheSectionKeepTheirDefaults) {
  KR::EngineAllocators allocators;
  allocators.init();
  const std::string text = "<root><FlashEffect><ribbonsCount v=\"2\"/><effect v=\"spark_fx\"/></FlashEffect></root>";
  KR::XmlDataReader reader;
  ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
  ASSERT_TRUE(reader.enterChild("FlashEffect"));
  HOG::HintTrail::Settings settings;
  HOG::HintTrail::readSettings(reader, &settings);
  EXPECT_EQ(settings.ribbonsCount, 2);
  EXPECT_EQ(settings.effect, "spark_fx");
  EXPECT_EQ(settings.spriteFile, "trail_sprites");
  EXPECT_EQ(settings.curvatureCoef, 0.5f);
  EXPECT_EQ(settings.animFramesCount, 5);
}

// One endless point emitter.
const char* const kSparkEffect =
    "<root><ParticleFX><mParticleEmitters sz=\"1\"><e0 class_name=\"ParticlePointEmitter\">"
    "<mMaxParticlesCount v=\"20\"/><mEmitterLifeTime v=\"-1\"/><mLooped v=\"true\"/>"
    "<mEmitRate><mValues sz=\"1\"><e0 sz=\"1\"><e0><time v=\"0\"/><value v=\"40\"/></e0></e0></mValues></mEmitRate>"
    "<mInitialLifeTime><mValues sz=\"1\"><e0 sz=\"1\"><e0><time v=\"0\"/><value v=\"0.3\"/></e0></e0>"
    "</mValues></mInitialLifeTime></e0></mParticleEmitters></ParticleFX></root>";

class HintTrailEffectsTest : public ::testing::Test {
 protected:
  HintTrailEffectsTest() : content("hint-trail") {
    content.addEntry("default", "spark_fx", kSparkEffect);
    content.addEntry("default", "flash_fx", kSparkEffect);
    content.start();
    particles = std::make_unique<KR::ParticleSystem>();
    KR::seedSharedRandom(11);
    settings.ribbonsCount = 3;
    settings.randomStartingDelay = 0.3f;
    settings.ribbonFlyingTime = 0.5f;
    settings.effect = "spark_fx";
    settings.doActionParticle = "flash_fx";
  }
  ~HintTrailEffectsTest() override {
    trail.destroy();
    particles.reset();
  }
  float emitScale(const KR::ParticleFX* effect) { return effect->mParticleEmitters[0]->mEmitRateScale; }

  KR::Test::ScratchContent content;
  KR::ObjectFactory factory;
  std::unique_ptr<KR::ParticleSystem> particles;
  HOG::HintTrail::Settings settings;
  HOG::HintTrail trail;
};

TEST_F(HintTrailEffectsTest, EffectsRideTheRibbonsStopOnceLandedAndTheEndLightsOnceAtTheTarget) {
  trail.create(settings, nullptr);
  const KR::ParticleFX* end = trail.getEndEffect();
  ASSERT_NE(end, nullptr);
  const V to(400.0f, 300.0f);
  trail.start(V(1520.0f, 917.0f), to);
  trail.update(0.01f);
  for (int32_t i = 0; i < 3; ++i) {
    ASSERT_NE(trail.getRibbonEffect(i), nullptr);
    // Still waiting at the button with a collapsed trail: not a finished ride.
    EXPECT_EQ(emitScale(trail.getRibbonEffect(i)), 1.0f) << i;
  }
  // Parked off screen and still until a ribbon lands.
  EXPECT_FALSE(end->mStarted);
  EXPECT_EQ(end->mPosition.x, -1000.0f);

  // Every effect rides on its ribbon's head; the first landing lights the end on the target.
  int flying = 0;
  auto step = [&] {
    trail.update(0.01f);
    for (int32_t i = 0; i < 3; ++i) {
      const V head = trail.getRibbon(i)->head, at = trail.getRibbonEffect(i)->mPosition;
      EXPECT_EQ(at.x, head.x);
      EXPECT_EQ(at.y, head.y);
      flying += trail.getRibbon(i)->getLength() > 1.0f && emitScale(trail.getRibbonEffect(i)) == 1.0f;
    }
  };
  for (int i = 0; i < 300 && !trail.arrived; ++i) step();
  ASSERT_TRUE(trail.arrived);
  EXPECT_TRUE(end->mStarted);
  EXPECT_EQ(end->mPosition.x, to.x);
  EXPECT_EQ(end->mPosition.y, to.y);
  const float clockAtArrival = end->mParticleEmitters[0]->mTime;
  for (int i = 0; i < 300; ++i) step();
  EXPECT_GT(flying, 0);
  // The later arrivals do not light it again: its clock ran on from the first.
  EXPECT_NEAR(end->mParticleEmitters[0]->mTime, clockAtArrival + 3.0f, 1e-3f);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(emitScale(trail.getRibbonEffect(i)), 0.0f) << i;
  // A new flight rides again.
  trail.start(V(0.0f, 0.0f), to);
  EXPECT_EQ(emitScale(trail.getRibbonEffect(0)), 1.0f);
}

TEST_F(HintTrailEffectsTest, NoEffectNoRibbonsAndStopWhileInactiveChangeNothing) {
  settings.effect.clear();
  trail.create(settings, nullptr);
  for (int32_t i = 0; i < trail.getRibbonCount(); ++i) {
    EXPECT_EQ(trail.getRibbonEffect(i), nullptr);
    EXPECT_EQ(trail.getPath(i)->findTrack("pos2"), nullptr);
  }
  trail.start(V(100.0f, 100.0f), V(300.0f, 100.0f));
  trail.update(0.01f);
  trail.stop();
  // The flight goes on unseen; its landing lights the effect, but a stopped trail stays as it is.
  for (int i = 0; i < 200; ++i) trail.update(0.01f);
  ASSERT_TRUE(trail.endShown);
  trail.stop();
  EXPECT_TRUE(trail.endShown);
  EXPECT_TRUE(trail.getEndEffect()->mStarted);
  trail.start(V(100.0f, 100.0f), V(300.0f, 100.0f));
  trail.stop();
  EXPECT_FALSE(trail.endShown);
  EXPECT_FALSE(trail.getEndEffect()->mStarted);

  // Arrival is a ribbon's: without ribbons the end never lights.
  settings.ribbonsCount = 0;
  HOG::HintTrail empty;
  empty.create(settings, nullptr);
  empty.start(V(10.0f, 10.0f), V(10.0f, 10.0f));
  for (int i = 0; i < 10; ++i) empty.update(0.1f);
  EXPECT_FALSE(empty.getEndEffect()->mStarted);
  EXPECT_FALSE(empty.endShown);
}

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
