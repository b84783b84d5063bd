// Particles on an off-screen frame: sprites centred on their particles and
// faded by the emitter's alpha, and tails drawn as strips, but never once they
// are down to one segment.
#include <gtest/gtest.h>

#include <memory>

#include "particle_emitter_shapes.h"
#include "particle_tail.h"
#include "particle_test_support.h"
#include "sprite_test_support.h"

namespace {

class ParticleDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.addPicture("default", "white", KR::Test::blockPicture(8, 8, [](uint32_t, uint32_t) {
                       return KR::Test::Rgba{255, 255, 255, 255};
                     }));
    world.add("default", "dots", std::string("Dot = { Image0 = 'white', Size = {8, 8} }\n"));
    world.start();
    world.startRendering();
  }
  bool lit(int x, int y) const { return world.pixel(x, y).r > 100; }

  KR::Test::SpriteWorld world;
};

TEST_F(ParticleDrawingTest, SpritesSitOnTheirParticlesAtTheEmittersAlpha) {
  auto emitter = KR::Test::makeEmitter<KR::ParticlePointEmitter>(0.0f, 100.0f, 2);
  emitter->mSpriteFileName = "dots";
  emitter->mSpriteTableName = "Dot";
  emitter->mPosition = KR::Vector2<float>(10.0f, 0.0f);
  emitter->initialize();
  ASSERT_NE(nullptr, emitter->getSprite());
  KR::Particle& p = emitter->particle(0);
  p.dead = false;
  p.remaining = 100.0f;
  p.position = KR::Vector2<float>(30.0f, 40.0f);
  p.color = KR::Color::fromARGB(0xFFFFFFFF);

  world.beginFrame();
  emitter->render(KR::Vector2<float>(5.0f, 0.0f));  // base + emitter + particle: (45, 40)
  world.endFrame();
  EXPECT_TRUE(lit(45, 40));
  EXPECT_TRUE(lit(42, 37));
  EXPECT_FALSE(lit(50, 40));
  EXPECT_FALSE(lit(40, 45));

  emitter->setAlpha(0.0f);
  world.beginFrame();
  emitter->render(KR::Vector2<float>(5.0f, 0.0f));
  world.endFrame();
  EXPECT_FALSE(lit(45, 40));
}

TEST_F(ParticleDrawingTest, TailsDrawTheirStripButNotASingleSegment) {
  KR::Sprite* sprite = world.sprites->loadSprite("dots", "Dot", "default");
  ASSERT_NE(nullptr, sprite);
  sprite->setMeshColor(KR::Color::fromARGB(0xFFFFFFFF));
  KR::ParticleTailSettings settings;
  settings.mTailCapacity = settings.mMaxSegments + 7;
  settings.mHeadSize = 4;
  settings.mMinDistSegments = 0.0f;
  settings.mTailTexWidth = settings.mTailTexHeight = 8.0f;
  KR::ParticleTail tail;
  tail.setup(sprite, &settings);
  tail.halfWidth = 4.0f;
  for (float x = 10.0f; x <= 70.0f; x += 20.0f) tail.update(0.1f, KR::Vector2<float>(x, 40.0f));
  ASSERT_GE(tail.getCount(), 2);
  world.beginFrame();
  tail.draw();
  world.endFrame();
  EXPECT_TRUE(lit(40, 40));
  EXPECT_TRUE(lit(69, 40));
  EXPECT_FALSE(lit(40, 50));

  // The head stops and the end is eaten, half the segments an update, down to one.
  settings.mFadeSpeed = 1.0e6f;
  for (int i = 0; i < 3 && tail.getCount() > 1; ++i) tail.update(0.1f, KR::Vector2<float>(70.0f, 40.0f));
  ASSERT_EQ(1, tail.getCount());
  world.beginFrame();
  tail.draw();
  world.endFrame();
  int litPixels = 0;
  for (int y = 0; y < KR::Test::kFrameHeight; ++y)
    for (int x = 0; x < KR::Test::kFrameWidth; ++x) litPixels += lit(x, y) ? 1 : 0;
  EXPECT_EQ(0, litPixels);
  world.sprites->destroySprite(sprite);
}

}  // namespace
