// Particles on an off-screen frame: sprites centred on their particles and
// faded by the emitter's alpha, and tails drawn as strips, but never once they
// are down to one segment.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

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
    // Four colours, one a quarter: a particle shows which part of its
    // picture lands where.
    world.addPicture("default", "quarters", KR::Test::blockPicture(8, 8, [](uint32_t x, uint32_t y) {
                       const uint8_t r = x < 4 ? 255 : 40, g = y < 4 ? 230 : 20;
                       return KR::Test::Rgba{r, g, uint8_t(x * 30), 255};
                     }));
    world.add(
        "default", "dots",
        std::string("Dot = { Image0 = 'white', Size = {8, 8} }\nQuarters = { Image0 = 'quarters', Size = {8, 8} }\n"));
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

// The live particles of a plain sprite go to the render system as one item;
// the picture is the one the sprite draws particle by particle (made to do so
// here by a clip rectangle around everything): turned, scaled, in every
// colour, the four colours of its picture mirrored, and without the particle
// of alpha 0, which under the
// "color" blend would still darken what lies beneath.
TEST_F(ParticleDrawingTest, ParticlesAsOneItemDrawWhatTheSpriteDrawsOneByOne) {
  auto emitter = KR::Test::makeEmitter<KR::ParticlePointEmitter>(0.0f, 100.0f, 5);
  emitter->mSpriteFileName = "dots";
  emitter->mSpriteTableName = "Quarters";
  emitter->mPosition = KR::Vector2<float>(3.5f, 1.25f);
  emitter->mBlendMode = KR::BM_COLOR;
  emitter->initialize();
  KR::Sprite* sprite = emitter->getSprite();
  ASSERT_NE(nullptr, sprite);
  sprite->mMirrorH = true;
  const uint32_t colors[5] = {0xFFFF0000, 0x80FFFFFF, 0x00FFFFFF, 0xFF2060A0, 0xC0C0C000};
  for (int32_t i = 0; i < 5; ++i) {
    KR::Particle& p = emitter->particle(i);
    p.dead = i == 3;  // a dead record between live ones
    p.remaining = 100.0f;
    p.position = KR::Vector2<float>(12.0f + 13.3f * float(i), 20.0f + 7.7f * float(i));
    p.scale = KR::Vector2<float>(0.6f + 0.45f * float(i), 1.7f - 0.2f * float(i));
    p.angle = 37.5f * float(i) - 20.0f;
    p.color = KR::Color::fromARGB(colors[i]);
  }
  KR::Sprite* grey = world.sprites->createSpriteFromTextureObject(nullptr);
  grey->setSize(KR::Vector2<float>(float(KR::Test::kFrameWidth), float(KR::Test::kFrameHeight)));
  grey->setMeshColor(KR::Color::fromARGB(0xFF808080));
  auto draw = [&] {
    world.beginFrame();
    grey->updateVertices();
    grey->render();
    world.renderSystem->flushBatch();
    const uint32_t before = world.renderSystem->getDrawCallCount();
    emitter->render(KR::Vector2<float>(2.0f, 3.0f));
    world.renderSystem->flushBatch();
    const uint32_t calls = world.renderSystem->getDrawCallCount() - before;
    world.endFrame();
    std::vector<uint32_t> picture;
    for (int y = 0; y < KR::Test::kFrameHeight; ++y)
      for (int x = 0; x < KR::Test::kFrameWidth; ++x) {
        const KR::Test::Rgba c = world.pixel(x, y);
        picture.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
      }
    return std::make_pair(picture, calls);
  };
  const float angle = sprite->mAngle;
  const auto asOneItem = draw();
  EXPECT_EQ(asOneItem.second, 1u);
  // The sprite was not placed once per particle.
  EXPECT_EQ(sprite->mAngle, angle);
  sprite->mClipEnabled = true;
  sprite->mClipRect = KR::Rect(-1e6f, -1e6f, 1e6f, 1e6f);
  const auto oneByOne = draw();
  EXPECT_TRUE(asOneItem.first == oneByOne.first);
  // The particles did draw, and the one of alpha 0 left the grey beneath it
  // (particle 2 at (5.5 + 38.6, 4.25 + 35.4)).
  size_t changed = 0;
  for (uint32_t c : oneByOne.first) changed += c != 0x808080u;
  EXPECT_GT(changed, 100u);
  EXPECT_EQ(oneByOne.first[size_t(40) * KR::Test::kFrameWidth + 44], 0x808080u);
  world.sprites->destroySprite(grey);
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
