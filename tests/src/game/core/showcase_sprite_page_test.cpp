// The showcase's sprite page builds its pictures from the demo media (both
// description spellings, the generated pictures) and draws every part of the
// page; it gives them all back when it goes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "core/showcase_sprite_page.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"

namespace {

struct Pixel {
  int r, g, b;
};

class SpritePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous = KR::FileSystem::getContentFolder();
    KR::FileSystem::setContentFolder(std::string(KR_TEST_BINARY_DIR) + "/bin/media/");
    allocators.init();
    files = std::make_unique<KR::FileSystem>();
    config = std::make_unique<KR::ConfigManager>();
    files->loadFilesLocationInfo();
    textures = std::make_unique<KR::TextureManager>();
    renderSystem = std::make_unique<KR::RenderSystem>(nullptr);
    renderSystem->getWindowInfo().mWndWidth = KR::RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = KR::RenderSystem::getDesignHeight();
    renderSystem->initDevice();
    sprites = std::make_unique<KR::SpriteManager<KR::Sprite>>();
    fastSprites = std::make_unique<KR::SpriteManager<KR::FastSprite>>();
  }
  void TearDown() override {
    fastSprites.reset();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    config.reset();
    files.reset();
    KR::FileSystem::setContentFolder(previous);
  }

  void drawFrame(HOG::SpriteShowcasePage& page) {
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    page.draw();
    renderSystem->flushBatch();
    KR::Platform::RenderDevice* device = renderSystem->getDevice();
    uint32_t height = 0;
    ASSERT_TRUE(device->readPixels(device->textureSurface(renderSystem->getSceneTexture()->mHandle), frame, width,
                                   height));
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

  KR::Test::LogCapture log;
  std::string previous;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::TextureManager> textures;
  std::unique_ptr<KR::RenderSystem> renderSystem;
  std::unique_ptr<KR::SpriteManager<KR::Sprite>> sprites;
  std::unique_ptr<KR::SpriteManager<KR::FastSprite>> fastSprites;
  std::vector<uint8_t> frame;
  uint32_t width = 0;
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
