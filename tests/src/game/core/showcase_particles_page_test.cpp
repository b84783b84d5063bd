// The showcase's particle page over the built demo media: the five effects
// load through the particle system, run for a while, draw into their slots
// (read back from the off-screen frame), and Enter's renewal takes the same
// effects back out of the pool, restarted. Set KR_PAGES_DUMP to a folder to
// keep the frame as a PNG file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/showcase/showcase_particles_page.h"
#include "font_maker.h"
#include "object_factory.h"
#include "particle_emitter.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "showcase_test_support.h"
#include "timer_manager.h"

namespace {

class ParticlePageTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    timer = std::make_unique<KR::TimerManager>();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
  }
  void TearDown() override {
    particles.reset();
    factory.reset();
    timer.reset();
    ShowcaseTest::TearDown();
  }
  // Pixels in the box whose colour is clearly not the black background.
  int litIn(int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const uint8_t* p = &frame[(size_t(y) * width + size_t(x)) * 4];
        if (p[0] + p[1] + p[2] > 120) ++count;
      }
    return count;
  }

  std::unique_ptr<KR::TimerManager> timer;
  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
};

TEST_F(ParticlePageTest, RunsTheFiveEffectsSideBySideAndRenewsThemFromThePool) {
  auto page = std::make_unique<HOG::ParticleShowcasePage>();
  ASSERT_TRUE(page->load());
  ASSERT_EQ(5u, page->getEffects().size());
  EXPECT_EQ(5u, particles->getPrototypeCount());
  for (int i = 0; i < 90; ++i) page->advance(1.0f / 30.0f);
  EXPECT_GT(page->getLiveCount(), 500);
  EXPECT_NE(std::string::npos, page->title().find(std::to_string(page->getLiveCount()) + " live"));
  // The page advances its effects itself: the particle system leaves them alone.
  const float fountainTime = page->getEffects()[0]->mParticleEmitters[0]->mTime;
  timer->frameTime = 0.05f;
  particles->update();
  EXPECT_EQ(fountainTime, page->getEffects()[0]->mParticleEmitters[0]->mTime);

  ASSERT_TRUE(drawTwiceAndRead([&] { page->draw(); }));
  if (const char* dump = std::getenv("KR_PAGES_DUMP")) {
    std::string error;
    KR::Tools::writePng(std::string(dump) + "/particles.png", width, height, frame, &error);
  }
  EXPECT_GT(litIn(60, 300, 160, 600), 200) << "fountain";
  EXPECT_GT(litIn(220, 250, 380, 410), 100) << "sparkles";
  EXPECT_GT(litIn(420, 300, 580, 460), 100) << "vortex";
  EXPECT_GT(litIn(560, 400, 1000, 720), 50) << "flock";
  EXPECT_GT(litIn(770, 190, 990, 470), 50) << "comet";
  EXPECT_LT(litIn(0, 0, 1024, 120), 50) << "nothing above the effects";

  // Enter: the same five objects come back out of the pool, restarted.
  const std::vector<KR::ParticleFX*> before = page->getEffects();
  page->renew();
  EXPECT_EQ(before, page->getEffects());
  EXPECT_EQ(0, page->getLiveCount());
  EXPECT_EQ(0.0f, page->getEffects()[0]->mParticleEmitters[0]->mTime);
  EXPECT_EQ(0u, particles->getPoolSize());
  page.reset();
  EXPECT_EQ(5u, particles->getPoolSize());
}

}  // namespace
