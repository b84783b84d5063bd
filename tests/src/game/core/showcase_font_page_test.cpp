// The showcase's font page reads its presets from the demo media and draws
// its text; it gives the fonts back when it goes. A bigger window moves the
// fonts to a finer resolution level.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/showcase/showcase_font_page.h"
#include "font.h"
#include "font_maker.h"
#include "showcase_test_support.h"
#include "ui/ui_font.h"

namespace {

class FontPageTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
  }

  void drawFrame(HOG::FontShowcasePage& page, KR::Font* overlay) {
    ASSERT_TRUE(drawTwiceAndRead([&] { page.draw(overlay); }));
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
    EXPECT_GT(litIn(300, 30, 720, 90), 100);    // title
    EXPECT_GT(litIn(40, 110, 340, 200), 300);   // left box, top lines
    EXPECT_GT(litIn(362, 150, 662, 290), 300);  // centred box, middle
    EXPECT_GT(litIn(684, 250, 984, 330), 300);  // right box, bottom lines
    EXPECT_GT(litIn(40, 560, 600, 600), 100);   // CJK or Latin line
    EXPECT_GT(litIn(40, 620, 700, 680), 100);   // captions
    EXPECT_EQ(litIn(200, 700, 1000, 768), 0);   // nothing below
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
