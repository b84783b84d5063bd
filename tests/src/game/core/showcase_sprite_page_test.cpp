// The showcase's sprite page builds its pictures from the demo media (both
// description spellings, the generated pictures) and draws every part of the
// page; it gives them all back when it goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/showcase/showcase_sprite_page.h"
#include "showcase_test_support.h"

namespace {

struct Pixel {
  int r, g, b;
};

class SpritePageTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
  }

  void drawFrame(HOG::SpriteShowcasePage& page) {
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    page.draw();
    renderSystem->flushBatch();
    ASSERT_TRUE(readScene());
    renderSystem->renderFrame();
  }
  Pixel pixel(int x, int y) const {
    const size_t i = (size_t(y) * width + size_t(x)) * 4;
    return Pixel{frame[i], frame[i + 1], frame[i + 2]};
  }
  bool lit(int x, int y) const {
    const Pixel p = pixel(x, y);
    return p.r + p.g + p.b > 60;
  }
};

TEST_F(SpritePageTest, DrawsEveryPartFromTheDemoMedia) {
  auto page = std::make_unique<HOG::SpriteShowcasePage>();
  ASSERT_TRUE(page->load());
  EXPECT_EQ(12u, sprites->getCount());
  EXPECT_EQ(25u, fastSprites->getCount());
  page->update(0.1f);
  drawFrame(*page);
  EXPECT_TRUE(lit(112, 128)) << "clock";
  EXPECT_TRUE(lit(528, 128)) << "mesh";
  // The flag of the XML description, as described and with each mirror.
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(lit(128 + 160 * i, 360)) << "flag " << i;
  EXPECT_TRUE(lit(840, 380)) << "clipped grid";
  EXPECT_FALSE(lit(840, 480)) << "below the clip window";
  EXPECT_TRUE(lit(400, 640)) << "backdrop";
  // The three discs differ by their blend modes.
  const Pixel alpha = pixel(132, 620), color = pixel(252, 620), add = pixel(372, 620);
  EXPECT_TRUE(alpha.r != color.r || alpha.g != color.g || alpha.b != color.b);
  EXPECT_TRUE(add.r != alpha.r || add.g != alpha.g || add.b != alpha.b);

  page.reset();
  EXPECT_EQ(0u, sprites->getCount());
  EXPECT_EQ(0u, fastSprites->getCount());
}

}  // namespace
