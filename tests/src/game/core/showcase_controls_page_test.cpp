// The "Controls" and "Scene lists" pages over the built demo media, dragged,
// wheeled, typed into and clicked through with pushed input events and read
// back from the off-screen frame. Set KR_CONTROLS_PAGE_DUMP to a file prefix
// to keep the frames as PNG files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "animationeditor/scene_node.h"
#include "core/showcase/showcase_controls_page.h"
#include "core/showcase/showcase_scene_lists_page.h"
#include "fast_sprite.h"
#include "object_factory.h"
#include "particle_system.h"
#include "platform/input_injection.h"
#include "showcase_input_test_support.h"
#include "timer_manager.h"
#include "ui/book_scrolling_helper.h"
#include "ui/ui_check_box.h"
#include "ui/ui_label.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scroll_area.h"

namespace {

using namespace KR::Platform;

class ControlsPagesTest : public KR::Test::ShowcaseInputTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    timer = std::make_unique<KR::TimerManager>();
    factory = std::make_unique<KR::ObjectFactory>();
    particles = std::make_unique<KR::ParticleSystem>();
    openInput();
  }
  void TearDown() override {
    controls.reset();
    lists.reset();
    ui.reset();
    particles.reset();
    ShowcaseInputTest::TearDown();
  }
  void click(int x, int y) {
    pushMouseMotion(x, y);
    frames();
    pushMouseButton(0, true, x, y);
    frames(2);
    pushMouseButton(0, false, x, y);
    frames(2);
  }
  // A drag by (dx, dy) in `steps` equal moves, one frame each; the button
  // comes up with the last move, as a quick flick lets go.
  void drag(int x, int y, int dx, int dy, int steps) {
    pushMouseMotion(x, y);
    pushMouseButton(0, true, x, y);
    frames(2);
    for (int i = 1; i <= steps; ++i) {
      pushMouseMotion(x + dx * i / steps, y + dy * i / steps);
      if (i == steps) pushMouseButton(0, false, x + dx, y + dy);
      frames();
    }
  }
  void typeKey(uint8_t key, const std::string& text) {
    pushKey(key, true);
    if (!text.empty()) pushText(text);
    frames();
    pushKey(key, false);
    frames();
  }
  template <typename Page>
  void draw(Page& page) {
    drawAndDump([&] { page.draw(); }, "KR_CONTROLS_PAGE_DUMP");
  }

  std::unique_ptr<KR::TimerManager> timer;
  std::unique_ptr<KR::ObjectFactory> factory;
  std::unique_ptr<KR::ParticleSystem> particles;
  std::unique_ptr<HOG::ControlsShowcasePage> controls = std::make_unique<HOG::ControlsShowcasePage>();
  std::unique_ptr<HOG::SceneListsShowcasePage> lists = std::make_unique<HOG::SceneListsShowcasePage>();
};

TEST_F(ControlsPagesTest, TheControlsScreenScrollsTicksAndGreets) {
  ASSERT_TRUE(controls->load());
  for (const std::string& line : log.lines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
  frames(10);
  draw(*controls);
  // The first option's face is lit; the eighth, below the area, is clipped away.
  EXPECT_GT(pixel(300, 125).sum(), 500);
  EXPECT_LT(pixel(450, 610).sum(), 200);

  // Dragged up by 150 and released at once: it flings on, and the bar follows.
  KR::UIWidget* screen = controls->getScreen();
  auto* area = static_cast<KR::UIScrollArea*>(screen->findDescendant("area"));
  auto* bar = static_cast<KR::UIProgressBar*>(screen->findDescendant("area_bar"));
  drag(300, 400, 0, -100, 4);
  EXPECT_GT(area->offset, 75.0f + 5.0f) << "three moves followed, then the fling";
  frames(20);
  EXPECT_NEAR(bar->value, area->offset / area->getRange(), 0.01f);
  draw(*controls);
  EXPECT_GT(pixel(300, 470).sum(), 500) << "the eighth option scrolled into view";
  // The wheel steps the bar back and the area follows.
  const float before = bar->value;
  pushMouseMotion(300, 300);
  pushMouseWheel(1);
  frames(2);
  EXPECT_NEAR(bar->value, std::max(0.0f, before - 0.15f), 0.001f);

  // The check box ticks on a click; the slider eases to where it is pressed.
  auto* music = static_cast<KR::UICheckBox*>(screen->findDescendant("music"));
  click(580, 200);
  EXPECT_TRUE(music->ticked);
  auto* volume = static_cast<KR::UIProgressBar*>(screen->findDescendant("volume"));
  pushMouseMotion(785, 144);
  pushMouseButton(0, true, 785, 144);
  frames(2);
  EXPECT_GT(volume->target, 0.6f);
  EXPECT_LT(volume->value, volume->target);
  pushMouseButton(0, false, 785, 144);
  frames(40);
  EXPECT_NEAR(volume->value, volume->target, 0.01f);
  EXPECT_NE(controls->title().find("music on"), std::string::npos);

  // A name typed in and confirmed with Enter shows in the greeting.
  for (char c : std::string("ANNA")) typeKey(uint8_t(c), std::string(1, char(c - 'A' + 'a')));
  typeKey(13, "");
  auto* greeting = static_cast<KR::UILabel*>(screen->findDescendant("greeting"));
  EXPECT_EQ(greeting->text, L"Hello, anna!");

  controls->leave();
  EXPECT_TRUE(ui->getRoots().empty());
  EXPECT_EQ(registry->findFunction("controlsNameEntered"), nullptr);
}

TEST_F(ControlsPagesTest, TheSceneListsScrollTurnPagesAndReportClicks) {
  ASSERT_TRUE(lists->load());
  for (const std::string& line : log.lines()) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;
  ASSERT_NE(lists->getStrip(), nullptr);
  ASSERT_NE(lists->getBook(), nullptr);
  EXPECT_EQ(lists->getStrip()->items.size(), 10u);
  frames(5);
  draw(*lists);
  // An item's panel inside the strip's mask; nothing right of the mask.
  EXPECT_GT(pixel(300, 200).sum(), 300);
  const Pixel outside = pixel(850, 180);
  EXPECT_LT(outside.sum(), 200);

  // A click on the first item's button shows in the title.
  click(230, 150);
  EXPECT_NE(lists->title().find("strip item 1 (open)"), std::string::npos) << lists->title();
  // A drag to the left moves the strip and it glides on.
  KR::UISceneList* strip = lists->getStrip();
  drag(600, 170, -300, 0, 10);
  const float released = strip->list->mPosX;
  EXPECT_LT(released, -150.0f);
  frames(10);
  EXPECT_LT(strip->list->mPosX, released - 50.0f) << "it glides on under the pointer";
  EXPECT_NE(lists->title().find("strip item 1 (open)"), std::string::npos) << "the drag clicked nothing";

  // The book's "next" button turns a page on press.
  KR::UISceneList* book = lists->getBook();
  click(225 + 440 + 30, 400 + 144 + 20);
  frames(10);
  EXPECT_FLOAT_EQ(book->list->mPosX, -570.0f);
  draw(*lists);
  // Its third dot turns to the last page.
  click(225 + 245 + 60 + 10, 400 + 154 + 10);
  frames(10);
  EXPECT_FLOAT_EQ(book->list->mPosX, -1140.0f);
  EXPECT_EQ(static_cast<KR::BookScrollingHelper*>(book->scroller)->pageBar->currentPage, 2);

  lists->leave();
  EXPECT_TRUE(ui->getRoots().empty());
}

}  // namespace
