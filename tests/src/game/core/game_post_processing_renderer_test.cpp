// The close-up background blur: a sharp picture drawn through the half-size
// target and the four blur passes comes back soft, at the design size, as the
// committed reference image shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/game_post_processing_renderer.h"
#include "showcase_test_support.h"
#include "sprite.h"
#include "support/png_file.h"

namespace {

class BlurTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    // The game's vertex layout, which the blur's vertex shader reads.
    config->vertexFormatFlags = 23;
    openDevice();
    openSpritesAndFonts();
  }
  // A white bar and a picture, drawn through the blur when blurred is set.
  void drawScene(HOG::GamePostProcessingRenderer& renderer, bool blurred) {
    KR::Sprite* bar = sprites->createSpriteFromTextureObject(nullptr);
    bar->setSize(KR::Vector2<float>(400.0f, 200.0f));
    bar->setPosition(200.0f, 300.0f);
    bar->setMeshColor(KR::Color::fromFloats(1.0f, 1.0f, 1.0f, 1.0f));
    KR::Sprite* picture = sprites->createSpriteFromTexture("demo_rgb", "default");
    picture->setScale(KR::Vector2<float>(4.0f, 4.0f));
    picture->setPosition(900.0f, 300.0f);
    ASSERT_TRUE(drawTwiceAndRead([&] {
      const bool redirected = blurred && renderer.beginBlur(0.5f) == 0;
      for (KR::Sprite* s : {bar, picture}) {
        s->updateVertices();
        s->render();
      }
      if (redirected) renderer.endBlur();
    }));
    sprites->destroySprite(bar);
    sprites->destroySprite(picture);
  }
  int grey(int x, int y) const {
    const uint8_t* p = &frame[(size_t(y) * width + size_t(x)) * 4];
    return (p[0] + p[1] + p[2]) / 3;
  }
};

}  // namespace

TEST_F(BlurTest, TheBackgroundComesBackSoftAtTheDesignSize) {
  HOG::GamePostProcessingRenderer renderer;
  renderer.loadShaders();
  ASSERT_TRUE(renderer.isShaderReady()) << ::testing::PrintToString(log.lines());
  // Without the blur the bar's left edge is a step.
  drawScene(renderer, false);
  EXPECT_LT(grey(198, 400), 10);
  EXPECT_GT(grey(202, 400), 245);

  drawScene(renderer, true);
  EXPECT_FALSE(renderer.isBlurring());
  // The edge spreads over several pixels either side; the middle stays white.
  EXPECT_GT(grey(198, 400), 10);
  EXPECT_LT(grey(204, 400), 245);
  EXPECT_GT(grey(400, 400), 245);
  EXPECT_LT(grey(100, 100), 5);

  EXPECT_EQ(KR::Test::compareWithReference("game", "close_up_blur", frame, width, height), "");
  renderer.releaseShaders();
}
