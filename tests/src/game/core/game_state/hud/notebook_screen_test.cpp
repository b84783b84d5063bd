// The notebook on the built demo content: the book button's markers on the
// HUD's scene (the book shows when "open" ends, "appear" opens it, a push
// pulses it and starts the particles), a page widget of its side's table for
// every page, the cover and the controls under a modal window, the loading
// flag, pan and zoom kept inside the zoomed book, the zoomed book's buttons
// hit where they are drawn, and clicks kept from the views beneath; a
// restored book opens on its newest record, and the diary's tab turns back
// to the first spread.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../../showcase_test_support.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "core/game_state/game_message.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/input_state.h"
#include "lex_binded_function_manager.h"
#include "object_factory.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "timer_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

class NotebookOnDemoTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    openDevice();
    openSpritesAndFonts();
    openUiServices();
    hudScene.reset(AE::loadScene("ingame_hud_xml"));
    ASSERT_NE(hudScene, nullptr);
    button = hudScene->findByPath("/root_group/book_btn_controller");
    ASSERT_NE(button, nullptr);
    book = std::make_unique<HOG::NotebookUI>(button);
    book->modalBlocked = &modal;
    ASSERT_NE(book->getSection(), nullptr);
  }
  void TearDown() override {
    book.reset();
    hudScene.reset();
    ShowcaseTest::TearDown();
  }
  // The HUD's scene and the book advance together, as in the running game.
  void frames(int count, float dt = 0.05f) {
    for (int i = 0; i < count; ++i) {
      hudScene->update(dt);
      book->update(dt);
      for (KR::UIWidget* tree : {book->widgetTree, book->controlsTree}) tree->update(dt);
    }
  }
  void send(uint32_t kind) {
    HOG::GameMessage message;
    message.kind = kind;
    book->onMessage(&message);
  }
  HOG::NotebookRecord* record(const char* id) { return book->getSection()->findRecord(id); }
  HOG::InputState mouse(int x, int y, bool pressed, bool down, bool released) {
    HOG::InputState input;
    input.valid = 1;
    input.x = x;
    input.y = y;
    input.pressX = pressAt.first;
    input.pressY = pressAt.second;
    if (pressed) pressAt = {x, y}, input.pressX = x, input.pressY = y;
    input.leftPressed = pressed;
    input.leftDown = down;
    input.leftReleased = released;
    return input;
  }

  std::unique_ptr<AE::ISceneNode> hudScene;
  AE::ISceneNode* button = nullptr;
  std::unique_ptr<HOG::NotebookUI> book;
  bool modal = false;
  std::pair<int, int> pressAt;
};

TEST_F(NotebookOnDemoTest, OpensAfterTheButtonsAnimationOnTheLastPushWithAWidgetForEveryPage) {
  HOG::NotebookSection& diary = *book->getSection();
  EXPECT_TRUE(diary.configured);
  ASSERT_NE(diary.cover, nullptr);
  EXPECT_TRUE(diary.cover->visible);
  ASSERT_NE(book->topParticle, nullptr);
  ASSERT_NE(book->loadingScene, nullptr);

  for (const char* id : {"arrival", "key", "gems", "shed", "amulet"}) ASSERT_TRUE(book->pushRecord("diary", id)) << id;
  // The double page claims the first spread; the four others move on, two a page.
  ASSERT_EQ(diary.pages.size(), 4u);
  // Every page has a widget of its own, made from its side's table under its side's parent.
  for (const auto& page : diary.pages) {
    const bool left = page->index % 2 == 1;
    ASSERT_TRUE(page->ownsWidget) << page->index;
    EXPECT_EQ(page->widget->name, left ? "page_left" : "page_right") << page->index;
    EXPECT_EQ(page->widget->parent, left ? diary.leftPagesWidget : diary.rightPagesWidget) << page->index;
  }
  EXPECT_EQ(diary.leftPagesWidget->children.size(), 2u);
  // The record sits at its page widget's corner, indented by its own offset.
  const HOG::NotebookRecord* amulet = record("amulet");
  EXPECT_FLOAT_EQ(amulet->position.x, amulet->page->widget->getAbsolutePosition().x + amulet->offset.x);

  // Under the pause menu the controls wait for it to close.
  modal = true;
  book->setOpen(true);
  EXPECT_TRUE(book->isOpen());
  EXPECT_EQ(book->openMarker->mState, AE::Marker::kPlaying);
  EXPECT_FALSE(book->widgetTree->shown);  // the button's animation first
  frames(10);
  EXPECT_TRUE(book->widgetTree->shown);
  EXPECT_FALSE(diary.cover->visible);
  // The double page's spread: its two page widgets shown, every other hidden.
  EXPECT_EQ(diary.shownLeft, amulet->page);
  EXPECT_EQ(amulet->page->index, 1u);
  for (const auto& page : diary.pages) EXPECT_EQ(page->widget->visible, page->index <= 2) << page->index;
  EXPECT_FALSE(book->controlsTree->enabled);
  send(HOG::kMsgPauseMenuClosed);
  EXPECT_TRUE(book->controlsTree->enabled);

  // A shown record without its scene yet: the loading animation stands in.
  frames(10);
  book->draw();
  EXPECT_FALSE(book->loading);
  amulet->page->records.front()->loadState = 1;
  book->draw();
  EXPECT_TRUE(book->loading);
  amulet->page->records.front()->loadState = 2;
  frames(1);
  EXPECT_FALSE(book->loading);

  book->setOpen(false);
  EXPECT_EQ(book->closeMarker->mState, AE::Marker::kPlaying);
  EXPECT_EQ(book->openMarker->mState, AE::Marker::kCompleted);
  // A new game forgets the pages and their widgets.
  book->reset();
  EXPECT_TRUE(diary.leftPagesWidget->children.empty());
  EXPECT_TRUE(diary.rightPagesWidget->children.empty());
}

TEST_F(NotebookOnDemoTest, ARestoredBookOpensOnItsNewestRecordAndTheTabTurnsBackToTheFirstSpread) {
  for (const char* id : {"arrival", "key", "gems", "shed", "amulet"}) ASSERT_TRUE(book->pushRecord("diary", id)) << id;
  HOG::NotebookSection& diary = *book->getSection();
  // As a continued game brings it back: the double page first, the older records on the spreads after it.
  book->restore(book->capture());
  ASSERT_EQ(diary.pages.size(), 4u);
  book->setOpen(true);
  frames(10);
  ASSERT_NE(diary.shownLeft, nullptr);
  EXPECT_EQ(diary.shownLeft, record("amulet")->page);
  // Turned on, the diary's tab takes the book back to its first spread.
  book->listRight();
  ASSERT_EQ(diary.shownLeft->index, 3u);
  diary.select();
  EXPECT_EQ(diary.shownLeft->index, 1u);
  EXPECT_EQ(diary.leftLabel, "1");
}

TEST_F(NotebookOnDemoTest, PushEffectsWaitForAViewChangeAndTheAppearAnimationOpensTheBook) {
  frames(1);
  book->pushRecord("diary", "arrival");
  EXPECT_NE(book->pushRecordMarker->mState, AE::Marker::kPlaying);
  EXPECT_FALSE(book->topParticle->mStarted);
  send(HOG::kMsgViewDeactivated);
  EXPECT_EQ(book->pushRecordMarker->mState, AE::Marker::kPlaying);
  EXPECT_TRUE(book->topParticle->mStarted);
  EXPECT_TRUE(book->bottomParticle->mStarted);
  // The bursts rise from the book button.
  EXPECT_FLOAT_EQ(book->topParticle->mPosition.x, button->getWorldOrigin().x);
  book->resetParticles();
  EXPECT_FALSE(book->topParticle->mStarted);

  // The story gives the button: its appear animation runs out (the push's pulse cut short), then the book opens.
  book->enableNotebookButton();
  EXPECT_EQ(book->pushRecordMarker->mState, AE::Marker::kCompleted);
  EXPECT_FALSE(book->isOpen());
  frames(20);
  EXPECT_TRUE(book->isOpen());
  frames(10);
  EXPECT_TRUE(book->widgetTree->shown);
  // Not under a modal window: the controls work at once.
  EXPECT_TRUE(book->controlsTree->enabled);
}

TEST_F(NotebookOnDemoTest, ZoomAndPanStayInsideTheBookAndCloseTakesThemBack) {
  book->pushRecord("diary", "arrival");
  EXPECT_FALSE(book->handleInput(mouse(900, 500, false, false, true)));  // closed: nothing taken
  book->setOpen(true);
  frames(10);
  // A double click zooms in to twice the size.
  book->handleInput(mouse(900, 500, true, true, false));
  book->handleInput(mouse(900, 500, false, false, true));
  book->handleInput(mouse(900, 500, true, true, false));
  EXPECT_TRUE(book->handleInput(mouse(900, 500, false, false, true)));
  frames(10);
  EXPECT_FLOAT_EQ(book->scale, 2.0f);
  // A long drag pans only as far as the zoomed book reaches: a quarter of the screen.
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  book->handleInput(mouse(200, 200, true, true, false));
  EXPECT_TRUE(book->handleInput(mouse(1700, 1000, false, true, false)));
  EXPECT_TRUE(book->handleInput(mouse(1700, 1000, false, false, true)));
  EXPECT_FLOAT_EQ(book->pan.x, w / 4);
  EXPECT_FLOAT_EQ(book->pan.y, h / 4);
  // Panned to its limit, the screen's corner shows the book's own corner.
  const KR::Vector2<float> corner = book->toBook(KR::Vector2<float>(0, 0));
  EXPECT_NEAR(corner.x, 0.0f, 1e-3f);
  EXPECT_NEAR(corner.y, 0.0f, 1e-3f);

  book->close();
  EXPECT_FALSE(book->isOpen());
  frames(10);
  EXPECT_FLOAT_EQ(book->scale, 1.0f);
  EXPECT_FLOAT_EQ(book->pan.x, 0.0f);
  EXPECT_FLOAT_EQ(book->pan.y, 0.0f);
}

TEST_F(NotebookOnDemoTest, ZoomedButtonsTakeClicksWhereTheyShowAndTheViewsGetNoneThroughTheBook) {
  for (const char* id : {"arrival", "key", "gems", "shed", "amulet"}) book->pushRecord("diary", id);
  const KR::Vector2<float> margin(100, 500), close(960, 950);
  book->setOpen(true);
  frames(10);
  HOG::NotebookSection& diary = *book->getSection();
  ASSERT_EQ(diary.shownLeft->index, 1u);
  ASSERT_TRUE(book->rightArrow->visible);
  // Unzoomed, Close lies below the pages and the margin beside the book: neither reaches a view.
  EXPECT_TRUE(book->handleInput(mouse(int(close.x), int(close.y), false, false, true)));
  EXPECT_TRUE(book->handleInput(mouse(int(margin.x), int(margin.y), false, false, true)));

  // Zoomed twice and panned to the book's lower right corner.
  const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
  book->scale = 2.0f;
  book->pan = KR::Vector2<float>(-w / 4, -h / 4);
  const KR::Vector2<float> centre(w / 2, h / 2);
  const KR::Vector2<float> arrow = book->rightArrow->getAbsolutePosition() + book->rightArrow->getTotalSize() * 0.5f;
  const KR::Vector2<float> shown = (arrow + book->pan - centre) * 2.0f + centre;
  ASSERT_TRUE(shown.x > 0 && shown.x < w && shown.y > 0 && shown.y < h);
  auto* controller = static_cast<KR::UIPCController*>(uiManager->getController());
  auto clickUi = [&](const KR::Vector2<float>& at) {
    controller->position = controller->pressPosition = at;
    controller->route(KR::kUIEventLeftPressed);
    controller->route(KR::kUIEventLeftHeld);
    controller->route(KR::kUIEventLeftReleased);
  };
  // Where the arrow would lie unzoomed nothing turns; where it shows, the spread turns.
  clickUi(arrow);
  EXPECT_EQ(diary.shownLeft->index, 1u);
  clickUi(shown);
  EXPECT_EQ(diary.shownLeft->index, 3u);
  EXPECT_TRUE(book->handleInput(mouse(int(shown.x), int(shown.y), false, false, true)));

  book->setOpen(false);
  EXPECT_FALSE(book->handleInput(mouse(int(margin.x), int(margin.y), false, false, true)));
}

}  // namespace
