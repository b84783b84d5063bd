// The HUD on the headless game driver: Escape pauses and resumes (also while
// the pause menu blocks everything else), clicks under the open menu reach no
// view, the menu button and the menu's Resume, and "Main menu" leaves play
// for the main menu with the view-change locks back at 0; the found key's
// window, its slot in the inventory row, taking it, putting it back and its
// flight back when let go; the hint button's charge and its first hint; the
// map's places and its travel; the pause menu seen over the open book.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "core/game_state/game.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_menu.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "fast_sprite.h"
#include "play_through_support.h"
#include "support/game_driver.h"
#include "support/png_file.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace {

using KR::Test::clickAt;
using KR::Test::play;

// Design points of the HUD's and the pause menu's buttons (media/hud).
constexpr float kMenuButton[2] = {1410 + 130 + 60, 990 + 24};
constexpr float kResume[2] = {610 + 110 + 120, 330 + 40 + 28};
constexpr float kMainMenu[2] = {610 + 110 + 120, 330 + 260 + 28};
constexpr float kHintButton[2] = {1410 + 60, 925 + 24};
constexpr float kMapButton[2] = {1410 + 130 + 60, 925 + 24};
constexpr float kFirstSlot[2] = {160 + 120 + 50, 940 + 5 + 50};
constexpr float kBookButton[2] = {1410 - 130 + 60, 990 - 130 + 24};
constexpr float kBookClose[2] = {180 + 600 + 60, 932 + 24};
// The pause menu's background left of its buttons, over the open book.
constexpr float kMenuBack[2] = {610 + 40, 330 + 200};

}  // namespace

TEST(HudPlayThrough, EscapeAndTheMenuButtonPauseResumeAndLeaveForTheMainMenu) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  auto* hud = dynamic_cast<HOG::InGameUI*>(play().getHud());
  ASSERT_NE(hud, nullptr);
  ASSERT_TRUE(hud->getPauseMenu()->loaded);
  HOG::ViewStack& stack = play().getViewStack();

  // Escape acts when it is let go, not while it is held.
  game.pressKey(HOG::InGameUI::kEscape);
  game.steps(3);
  EXPECT_FALSE(hud->isPauseMenuUp());
  game.releaseKey(HOG::InGameUI::kEscape);
  game.steps(1);
  EXPECT_TRUE(hud->isPauseMenuUp());
  EXPECT_TRUE(hud->modalBlocked);
  EXPECT_TRUE(play().isLocked());
  EXPECT_EQ(stack.viewChangeLocks, 1);
  clickAt(game, 428, 664);  // the desk, under the menu
  game.steps(20);
  EXPECT_EQ(game.activeView(), "location01");
  game.tapKey(HOG::InGameUI::kEscape);
  EXPECT_FALSE(hud->isPauseMenuUp());
  EXPECT_FALSE(hud->modalBlocked);
  EXPECT_FALSE(play().isLocked());
  EXPECT_EQ(stack.viewChangeLocks, 0);

  // The hint button charges, then points the way to the desk, whose drawer waits;
  // a change of location leaves the button full.
  HOG::HintPanel* hint = hud->getHintPanel();
  EXPECT_FALSE(hint->ready);
  ASSERT_TRUE(game.stepUntil([&] { return hint->ready; }, 240));
  clickAt(game, kHintButton[0], kHintButton[1]);
  game.steps(2);
  EXPECT_FLOAT_EQ(hint->lastTarget.x, 428.0f);
  EXPECT_FLOAT_EQ(hint->lastTarget.y, 664.0f);
  EXPECT_TRUE(hint->ready);
  // Its trail leaves the button and reaches the desk.
  EXPECT_TRUE(hint->targetTrail->active);
  EXPECT_GT(hint->targetTrail->getRibbonCount(), 0);
  EXPECT_TRUE(game.stepUntil([&] { return hint->targetTrail->endShown; }, 120));
  EXPECT_FLOAT_EQ(hint->targetTrail->endPoint.x, 428.0f);
  EXPECT_EQ(game.activeView(), "location01");

  // The map: the hall is current, the garden and the shed reachable; a click on the garden travels.
  HOG::LocationsScreen* map = hud->getLocationsMap();
  clickAt(game, kMapButton[0], kMapButton[1]);
  ASSERT_TRUE(game.stepUntil([&] { return map->isOpen(); }, 10));
  EXPECT_TRUE(map->map->findPlace("location01")->current);
  EXPECT_TRUE(map->map->findPlace("location02")->reachable);
  EXPECT_TRUE(map->map->findPlace("hos01")->reachable);
  ASSERT_NE(map->map->findPlace("location02")->placeNode, nullptr);
  clickAt(game, 800 + 10, 300 + 10);
  ASSERT_TRUE(game.stepUntil([&] { return !map->isOpen() && game.activeView() == "location02"; }, 120));
  ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 300));
  clickAt(game, 100, 527);
  ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "location01" && !play().isLocked(); }, 300));

  clickAt(game, kMenuButton[0], kMenuButton[1]);
  ASSERT_TRUE(game.stepUntil([&] { return hud->isPauseMenuUp(); }, 10));
  game.steps(10);
  clickAt(game, kResume[0], kResume[1]);
  ASSERT_TRUE(game.stepUntil([&] { return !hud->isPauseMenuUp(); }, 10));
  EXPECT_EQ(game.activeView(), "location01");
  EXPECT_FALSE(play().isLocked());

  // The drawer's key: the item window locks play until a press elsewhere closes it; the key then sits
  // in the row's first slot, a click takes it onto the cursor and a second click puts it back.
  clickAt(game, 428, 664);
  ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "closeup01" && !play().isLocked(); }, 300));
  clickAt(game, 440 + 400, 225 + 470);
  ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 120));
  clickAt(game, 440 + 332, 225 + 282);
  ASSERT_TRUE(game.stepUntil([&] { return hud->itemWindowShown; }, 120));
  EXPECT_TRUE(play().isLocked());
  clickAt(game, 100, 100);
  ASSERT_TRUE(game.stepUntil([&] { return !hud->itemWindowShown && !play().isLocked(); }, 30));
  auto* row = dynamic_cast<HOG::ObjectsListPanelBehaviour*>(
      hud->getInventoryPanel()->findBehaviour("ObjectsListPanelBehaviour"));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(hud->getInventoryPanel()->activeBehaviour, row);
  ASSERT_TRUE(row->slots[0].occupied);
  EXPECT_STREQ(row->slots[0].item->name, "key");
  EXPECT_FALSE(row->slots[1].occupied);
  EXPECT_NE(row->flyState, 0);
  ASSERT_TRUE(game.stepUntil([&] { return row->flyState == 0; }, 120));
  // The streamer's thread loads the icon on its own time.
  KR::Test::waitForHeldIcons(game);
  game.steps(15);
  // Its icon flies in from the window, then sits in the middle of the slot's background, at half size.
  const HOG::InventoryItem* key = row->slots[0].item;
  ASSERT_NE(key->sprite, nullptr);
  KR::UIWidget* keyBack = row->slots[0].widget->findDescendant("itemBk");
  ASSERT_NE(keyBack, nullptr);
  const KR::Vector2<float> backCentre = keyBack->getAbsolutePosition() + keyBack->getSize() * 0.5f;
  EXPECT_NEAR(key->sprite->mPosition.x + key->sprite->mSize.x / 4, backCentre.x, 1.0f);
  EXPECT_NEAR(key->sprite->mPosition.y + key->sprite->mSize.y / 4, backCentre.y, 1.0f);
  // The icon is in: the slot has left the waiting list and shows its caption.
  EXPECT_EQ(row->waiting[0], nullptr);
  KR::UIWidget* caption = row->slots[0].widget->findDescendant("caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_TRUE(caption->visible);
  clickAt(game, kFirstSlot[0], kFirstSlot[1]);
  game.steps(2);
  ASSERT_NE(stack.getTakenInventoryItem(), nullptr);
  EXPECT_STREQ(stack.getTakenInventoryItem()->name, "key");
  EXPECT_EQ(row->activeSlot, 0);
  clickAt(game, kFirstSlot[0], kFirstSlot[1]);
  game.steps(2);
  EXPECT_EQ(stack.getTakenInventoryItem(), nullptr);
  EXPECT_EQ(row->activeSlot, -1);

  // The HUD with the panel out over the hall, against its reference image.
  clickAt(game, 100, 100);
  ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "location01" && !play().isLocked(); }, 120));
  const KR::Viewport2D viewport = KR::calcViewport();
  game.moveMouse(int(viewport.offset.x + 1200 * viewport.scale), int(viewport.offset.y + 1000 * viewport.scale));
  game.steps(45);
  ASSERT_TRUE(hud->getInventoryPanel()->shown);
  std::vector<uint8_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(game.readFrame(frame, width, height));
  EXPECT_EQ(KR::Test::compareWithReference("play_screens", "hud_panel_hall", frame, width, height, 6), "");

  // The key taken again and let go by a right click over the hall: it flies back from where it was drawn.
  clickAt(game, kFirstSlot[0], kFirstSlot[1]);
  game.moveMouse(int(viewport.offset.x + 800 * viewport.scale), int(viewport.offset.y + 500 * viewport.scale));
  game.steps(3);
  ASSERT_EQ(row->activeSlot, 0);
  game.click(int(viewport.offset.x + 800 * viewport.scale), int(viewport.offset.y + 500 * viewport.scale), 1);
  EXPECT_EQ(stack.getTakenInventoryItem(), nullptr);
  EXPECT_EQ(row->flyState, 2);
  EXPECT_NEAR(row->flyPosition.x, 800.0f, 40.0f);
  ASSERT_TRUE(game.stepUntil([&] { return row->flyState == 0; }, 120));
  EXPECT_EQ(row->activeSlot, -1);
  EXPECT_FALSE(row->slots[0].taken);

  // Escape over the open book: the menu is drawn over the book (its blue background, not the paper).
  // The inventory strip, shown, slides away under the opening book and stays
  // away until it closes.
  HOG::NotebookUI* book = hud->getNotebook();
  HOG::InventoryPanelUI* panel = hud->getInventoryPanel();
  panel->setShown(true);
  game.steps(2);
  ASSERT_TRUE(panel->shown);
  clickAt(game, kBookButton[0], kBookButton[1]);
  ASSERT_TRUE(game.stepUntil([&] { return book->coversScreen(); }, 120));
  EXPECT_FALSE(panel->shown);
  EXPECT_FALSE(panel->autoHide);
  game.tapKey(HOG::InGameUI::kEscape);
  ASSERT_TRUE(hud->isPauseMenuUp());
  game.steps(20);
  ASSERT_TRUE(game.readFrame(frame, width, height));
  const size_t at = (size_t(viewport.offset.y + kMenuBack[1] * viewport.scale) * width +
                     size_t(viewport.offset.x + kMenuBack[0] * viewport.scale)) *
                    4;
  EXPECT_GT(int(frame[at + 2]), int(frame[at]) + 20) << "red " << int(frame[at]) << " blue " << int(frame[at + 2]);
  game.tapKey(HOG::InGameUI::kEscape);
  EXPECT_FALSE(hud->isPauseMenuUp());
  clickAt(game, kBookClose[0], kBookClose[1]);
  ASSERT_TRUE(game.stepUntil([&] { return !book->isOpen() && !play().isLocked(); }, 60));
  EXPECT_TRUE(panel->autoHide);

  game.tapKey(HOG::InGameUI::kEscape);
  game.steps(10);
  clickAt(game, kMainMenu[0], kMainMenu[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 30));
  EXPECT_EQ(stack.viewChangeLocks, 0);
  // Out of play the HUD's trees are hidden: its buttons take no click on the menu's pages.
  EXPECT_FALSE(hud->hudWidget->shown);
  clickAt(game, kBookButton[0], kBookButton[1]);
  clickAt(game, kMapButton[0], kMapButton[1]);
  game.steps(10);
  EXPECT_FALSE(book->isOpen());
  EXPECT_FALSE(map->isOpen());
  EXPECT_EQ(game.currentState(), "MainMenu");
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
