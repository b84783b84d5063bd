#include "sprite_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "render_data.h"
#include "sprite_test_support.h"
#include "texture_dx8.h"

namespace {

using KR::FastSprite;
using KR::Sprite;
using KR::Vector2;
using KR::Test::near;
using KR::Test::Rgba;

class SpriteManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.addPicture("default", "quads", KR::Test::blockPicture(64, 32, [](uint32_t x, uint32_t) {
                       return x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255};
                     }));
    world.add("default", "sprites", "Button = { Image0 = 'quads', Pos = {8, 8} }\n");
    world.start();
  }
  KR::Test::SpriteWorld world;
};

TEST_F(SpriteManagerTest, SameDescriptionGivesDistinctSpritesSharingTextures) {
  world.startRendering();
  Sprite* first = world.sprites->createSprite("sprites", "Button", "default");
  Sprite* second = world.sprites->createSprite("sprites", "Button", "default");
  ASSERT_NE(first, second);
  EXPECT_EQ(first->getTexture(), second->getTexture());
  KR::Texture* texture = first->getTexture();
  EXPECT_EQ(4, texture->getReferenceCount()) << "one reference per render item";
  EXPECT_EQ(2u, world.sprites->getCount());

  world.sprites->destroySprite(first);
  EXPECT_EQ(1u, world.sprites->getCount());
  EXPECT_FALSE(world.sprites->contains(first));
  EXPECT_EQ(2, texture->getReferenceCount());
  world.beginFrame();
  second->updateVertices();
  second->render();
  world.endFrame();
  EXPECT_TRUE(near(world.pixel(16, 16), 255, 0, 0)) << world.pixel(16, 16);
  EXPECT_TRUE(near(world.pixel(56, 16), 0, 255, 0)) << world.pixel(56, 16);
}

TEST_F(SpriteManagerTest, DestroyIgnoresForeignNullAndRepeatedPointers) {
  Sprite* kept = world.sprites->createSpriteFromTextureObject(nullptr);
  Sprite* gone = world.sprites->createSpriteFromTexture("quads", "default");
  Sprite* last = world.sprites->createSpriteCopy(gone);
  Sprite foreign;
  world.sprites->destroySprite(&foreign);
  world.sprites->destroySprite(nullptr);
  EXPECT_EQ(3u, world.sprites->getCount());
  world.sprites->destroySprite(gone);
  world.sprites->destroySprite(gone);
  EXPECT_EQ(2u, world.sprites->getCount());
  EXPECT_TRUE(world.sprites->contains(kept));
  EXPECT_TRUE(world.sprites->contains(last));
  EXPECT_EQ(Vector2<float>(32, 32), kept->mSize);

  FastSprite* fast = world.fastSprites->createSpriteFromImage("quads", "default");
  FastSprite* described = world.fastSprites->createSprite("sprites", "Button", "default");
  EXPECT_EQ(2u, world.fastSprites->getCount());
  world.fastSprites->destroySprite(fast);
  EXPECT_EQ(1u, world.fastSprites->getCount());
  EXPECT_TRUE(world.fastSprites->contains(described));
}

TEST_F(SpriteManagerTest, ManagersDeleteWhatIsLeftAndGiveTexturesBack) {
  world.sprites->createSprite("sprites", "Button", "default");
  world.fastSprites->createSpriteFromImage("quads", "default");
  ASSERT_NE(nullptr, world.textures->findTexture("quads", "default"));
  world.sprites.reset();
  EXPECT_NE(nullptr, world.textures->findTexture("quads", "default"));
  world.fastSprites.reset();
  EXPECT_EQ(nullptr, world.textures->findTexture("quads", "default"));
  EXPECT_FALSE(KR::SpriteManager<Sprite>::exists());
  EXPECT_FALSE(KR::SpriteManager<FastSprite>::exists());
}

// Loading threads and the main thread create and destroy at once.
TEST_F(SpriteManagerTest, ConcurrentCreationAndDestruction) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([this] {
      for (int i = 0; i < 50; ++i) {
        Sprite* sprite = world.sprites->createSprite("sprites", "Button", "default");
        FastSprite* fast = world.fastSprites->createSpriteFromImage("quads", "default");
        if (i % 2) {
          world.sprites->destroySprite(sprite);
          world.fastSprites->destroySprite(fast);
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(100u, world.sprites->getCount());
  EXPECT_EQ(100u, world.fastSprites->getCount());
  KR::Texture* texture = world.textures->findTexture("quads", "default");
  ASSERT_NE(nullptr, texture);
  EXPECT_EQ(100 * 2 + 100, texture->getReferenceCount());
}

// A loading thread makes fast sprites of a picture while the main thread
// makes and destroys sprites of the same picture and runs the frame's pass,
// which frees textures whose last user let go. A lookup that handed out the
// texture before taking its reference would attach freed memory here.
TEST_F(SpriteManagerTest, LookupAndReferenceAreOneStepAgainstTheLastRelease) {
  world.startRendering();
  std::atomic<bool> done{false};
  std::thread loader([this, &done] {
    for (int i = 0; i < 20000; ++i) {
      FastSprite* fast = world.fastSprites->createSpriteFromImage("quads", "default");
      EXPECT_EQ(32u, fast->getTexture()->height);
      world.fastSprites->destroySprite(fast);
    }
    done = true;
  });
  while (!done) {
    Sprite* sprite = world.sprites->createSpriteFromTexture("quads", "default");
    world.sprites->destroySprite(sprite);
    world.textures->createPendingTextures();
  }
  loader.join();
  world.textures->createPendingTextures();
  EXPECT_EQ(nullptr, world.textures->findTexture("quads", "default")) << "a reference was lost or gained";
}

}  // namespace
