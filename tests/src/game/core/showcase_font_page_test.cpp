// The showcase's font page reads its presets from the demo media and draws
// its text; it gives the fonts back when it goes. A bigger window moves the
// fonts to a finer resolution level.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "core/showcase_font_page.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "font.h"
#include "font_maker.h"
#include "render_system_dx8.h"
#include "sprite_manager.h"
#include "support/test_support.h"
#include "texture_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"

namespace {

class FontPageTest : public ::testing::Test {
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
    fonts = std::make_unique<KR::UIFontManager>();
  }
  void TearDown() override {
    fonts.reset();
    fastSprites.reset();
    sprites.reset();
    textures.reset();
    renderSystem.reset();
    config.reset();
    files.reset();
    KR::FileSystem::setContentFolder(previous);
  }

  void drawFrame(HOG::FontShowcasePage& page, KR::Font* overlay) {
    // A first frame makes the textures the page asks for.
    renderSystem->checkDeviceLost();
    page.draw(overlay);
    renderSystem->renderFrame();
    textures->createPendingTextures();
    renderSystem->checkDeviceLost();
    page.draw(overlay);
    renderSystem->flushBatch();
    KR::Platform::RenderDevice* device = renderSystem->getDevice();
    ASSERT_TRUE(device->readPixels(device->textureSurface(renderSystem->getSceneTexture()->mHandle), frame, width,
                                   height));
    renderSystem->renderFrame();
    if (const char* dump = std::getenv("KR_FONT_PAGE_DUMP")) {
      std::string error;
      KR::Tools::writePng(dump, width, height, frame, &error);
    }
  }
  // Lit pixels in a rectangle of the design area.
  int litIn(int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const size_t i = (size_t(y) * width + size_t(x)) * 4;
        if (frame[i] + frame[i + 1] + frame[i + 2] > 200) ++count;
      }
    return count;
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
  std::unique_ptr<KR::UIFontManager> fonts;
  std::vector<uint8_t> frame;
  uint32_t width = 0, height = 0;
};

TEST_F(FontPageTest, DrawsEveryPartAndGivesTheFontsBack) {
  KR::Font* overlay = new KR::Font();
  overlay->load("system_font_fnt");
  {
    HOG::FontShowcasePage page;
    ASSERT_TRUE(page.load());
    EXPECT_EQ(fonts->getFontCount(), 3u);  // title, body and the caption's system font
    page.update(0.5f);
    drawFrame(page, overlay);
    EXPECT_GT(litIn(300, 30, 720, 90), 100);     // title
    EXPECT_GT(litIn(40, 110, 340, 200), 300);    // left box, top lines
    EXPECT_GT(litIn(362, 150, 662, 290), 300);   // centred box, middle
    EXPECT_GT(litIn(684, 250, 984, 330), 300);   // right box, bottom lines
    EXPECT_GT(litIn(40, 560, 600, 600), 100);    // CJK or Latin line
    EXPECT_GT(litIn(40, 620, 700, 680), 100);    // captions
    EXPECT_EQ(litIn(200, 700, 1000, 768), 0);    // nothing below
    KR::UIFont* body = fonts->getFont("font2_fnt");
    EXPECT_NE(body->levels[0].sprite, nullptr);
    // A window twice the design size picks the level drawn 1:1 at scale 2.
    renderSystem->getWindowInfo().mWndWidth = 2 * KR::RenderSystem::getDesignWidth();
    renderSystem->getWindowInfo().mWndHeight = 2 * KR::RenderSystem::getDesignHeight();
    page.draw(overlay);
    EXPECT_EQ(body->levels[0].sprite, nullptr);
    EXPECT_NE(body->levels[3].sprite, nullptr);
    EXPECT_FLOAT_EQ(body->levels[3].scale, 2.0f);
    fonts->releaseFont(body);
  }
  EXPECT_EQ(fonts->getFontCount(), 0u);
  overlay->release();
}

}  // namespace
