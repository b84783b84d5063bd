// The showcase's widgets page over the demo media, clicked through with
// pushed input events and read back from the frame: hovering and pressing
// tint a button, a click opens the modal dialog, which blocks the screen
// until its OK hides it, and a press dragged off a button clicks nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/showcase/showcase_widgets_page.h"
#include "fast_sprite.h"
#include "platform/input_injection.h"
#include "showcase_input_test_support.h"
#include "ui/ui_controller.h"
#include "ui/ui_label.h"
#include "ui/ui_sprite.h"

namespace {

using namespace KR::Platform;

class WidgetsPageTest : public KR::Test::ShowcaseInputTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    openInput();
  }
  void TearDown() override {
    page.reset();
    ShowcaseInputTest::TearDown();
  }
  void click(int x, int y) {
    pushMouseMotion(x, y);
    pushMouseButton(0, true, x, y);
    frames();
    pushMouseButton(0, false, x, y);
    frames(8);
  }
  void draw() {
    drawAndDump([&] { page->draw(); }, "KR_WIDGETS_PAGE_DUMP");
  }
  // The left panel, where the dialog lands when it is open.
  bool dialogShown() const {
    const Pixel p = pixel(330, 280);
    return p.r > 230 && p.b < 210;
  }

  std::unique_ptr<HOG::WidgetsShowcasePage> page = std::make_unique<HOG::WidgetsShowcasePage>();
};

TEST_F(WidgetsPageTest, ClicksThroughTheDemoScreen) {
  ASSERT_TRUE(page->load());
  ASSERT_NE(page->getDialog(), nullptr);
  EXPECT_EQ(ui->getRoots().size(), 2u);
  frames(10);
  draw();
  // Title, a button face and both panels; nothing at the bottom right.
  const Pixel face = pixel(300, 128);
  EXPECT_GT(face.r + face.g + face.b, 600);
  EXPECT_GT(pixel(600, 300).b, 200) << "right panel";
  EXPECT_FALSE(dialogShown());
  int titleLit = 0;
  for (int x = 300; x < 720; ++x) titleLit += pixel(x, 50).r > 150 ? 1 : 0;
  EXPECT_GT(titleLit, 20) << "localised title";

  // Hovering selects the button: its face turns yellow.
  pushMouseMotion(320, 150);
  frames(8);
  draw();
  EXPECT_LT(pixel(300, 128).b, 190);
  EXPECT_GT(pixel(300, 128).r, 220);
  // The tint is applied to the sprite's own colour afresh every frame.
  auto* faceSprite = static_cast<KR::UISprite*>(page->getScreen()->findDescendant("open_dialog_bg"));
  const KR::Color drawn = faceSprite->sprite->getColor();
  page->draw();
  page->draw();
  EXPECT_EQ(faceSprite->sprite->getColor(), drawn);

  // Pressing shows "onPress": blue.
  pushMouseButton(0, true, 320, 150);
  frames(6);
  EXPECT_EQ(page->getScreen()->findDescendant("open_dialog")->getCurrentStateName(), "onPress");
  EXPECT_NE(page->title().find("left held"), std::string::npos);
  draw();
  EXPECT_LT(pixel(300, 128).r, 200);
  EXPECT_GT(pixel(300, 128).b, 220);
  // Dragged off and released outside the window: no click.
  pushMouseMotion(-60, 400);
  frames();
  pushMouseButton(0, false, -60, 400);
  frames(8);
  draw();
  EXPECT_FALSE(dialogShown());
  EXPECT_FALSE(page->getDialog()->shown);

  // A click opens the modal dialog on top.
  click(320, 150);
  draw();
  EXPECT_TRUE(dialogShown());
  EXPECT_EQ(ui->getTopmostVisible(), page->getDialog());
  // The screen below takes no input: its "Hide the right panel" does nothing.
  click(200, 440);
  KR::UIWidget* right = page->getScreen()->findDescendant("right_panel");
  EXPECT_TRUE(right->shown);
  // OK hides the dialog; then the same click hides the right panel.
  click(510, 434);
  draw();
  EXPECT_FALSE(dialogShown());
  click(200, 440);
  EXPECT_FALSE(right->shown);
  draw();
  EXPECT_LT(pixel(600, 300).b, 100) << "right panel faded out";
  // ... and "show: right_panel" brings it back, on top but not modal.
  click(500, 150);
  EXPECT_TRUE(right->shown);
  EXPECT_EQ(ui->getShownStack().back(), right);
  click(200, 440);
  EXPECT_FALSE(right->shown);

  // Leaving the page takes its trees away.
  page->leave();
  EXPECT_TRUE(ui->getRoots().empty());
  EXPECT_TRUE(ui->getShownStack().empty());
}

TEST_F(WidgetsPageTest, APresetNamingTheHeldFontKeepsItLoaded) {
  ASSERT_TRUE(page->load());
  auto* note = static_cast<KR::UILabel*>(page->getScreen()->findDescendant("help"));
  ASSERT_NE(note->font, nullptr);
  const size_t count = fonts->getFontCount();
  KR::FontPreset preset;  // holds no reference of its own
  preset.font = note->font;
  preset.halign = 2;
  note->setFontPreset(preset);
  EXPECT_EQ(fonts->getFontCount(), count);
  EXPECT_EQ(note->halign, 2u);
  KR::UIFont* same = fonts->getFont("font2_fnt");
  EXPECT_EQ(same, note->font);
  fonts->releaseFont(same);
}

}  // namespace
