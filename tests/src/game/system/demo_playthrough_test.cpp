// The whole demo by input events only: the desk's quest (drawer, key), the
// stone onto the well, the key on the chest, the notebook's diary so far (its
// Close clicked where the zoomed and panned book shows it), the
// gardener's dialogue with the HUD hidden, the shed's nine things, its cut
// scene and the map that the map button's coming out opens; save, quit,
// restart and continue (the diary with it); the gems on the hall's altar for
// the amulet, its totem, the amulets opening by themselves, the way back and
// the casket opening them again, the amulet among them, the finale, the
// credits and back to the main menu. Items are picked from the inventory row
// and used on the scene with clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "animationeditor/scene_node.h"
#include "core/game_state/amulets_button.h"
#include "core/game_state/animation_trigger.h"
#include "core/game_state/area_trigger.h"
#include "core/game_state/brief_panel_behaviour.h"
#include "core/game_state/dialog_view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hos_panel_behaviour.h"
#include "core/game_state/hos_quest_view_extension.h"
#include "core/game_state/hos_view_extension.h"
#include "core/game_state/in_game_ui.h"
#include "core/game_state/inventory_item_factory.h"
#include "core/game_state/inventory_panel_ui.h"
#include "core/game_state/locations_map.h"
#include "core/game_state/notebook_ui.h"
#include "core/game_state/objects_list_panel_behaviour.h"
#include "core/game_state/save_load_game_progress_system.h"
#include "core/game_state/view.h"
#include "core/game_state/view_registry.h"
#include "core/game_state/view_stack.h"
#include "design_coords.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"
#include "ui/ui_label.h"
#include "ui/ui_widget.h"

namespace {

HOG::Game& play() { return *HOG::Game::getInstance(); }
HOG::InGameUI* hud() { return dynamic_cast<HOG::InGameUI*>(play().getHud()); }
HOG::ObjectsListPanelBehaviour* row() {
  return dynamic_cast<HOG::ObjectsListPanelBehaviour*>(
      hud()->getInventoryPanel()->findBehaviour("ObjectsListPanelBehaviour"));
}

void clickAt(KR::Test::GameDriver& game, float x, float y) {
  const KR::Viewport2D viewport = KR::calcViewport();
  game.click(int(viewport.offset.x + (x + 0.5f) * viewport.scale),
             int(viewport.offset.y + (y + 0.5f) * viewport.scale));
}

bool shown(const KR::Test::GameDriver& game, const char* name) {
  if (game.activeView() != name) return false;
  const HOG::View* view = play().getViewStack().getActiveView();
  return view->loaded && view->activated && !play().isLocked();
}

bool holds(const KR::Test::GameDriver& game, const char* item) {
  const std::vector<std::string> items = game.inventory();
  return std::find(items.begin(), items.end(), item) != items.end();
}

HOG::View* view(const char* name) { return play().getRegistry().findViewByName(name); }

// Closes the item-added window with a press beside it, once it is up.
void closeItemWindow(KR::Test::GameDriver& game) {
  ASSERT_TRUE(game.stepUntil([&] { return hud()->itemWindowShown; }, 120));
  clickAt(game, 100, 60);
  ASSERT_TRUE(game.stepUntil([&] { return !hud()->itemWindowShown && !play().isLocked(); }, 60));
}

// Takes the named item from the row onto the cursor; the pointer goes down to
// the row first, which brings the row out when it has hidden while idle.
void pickItem(KR::Test::GameDriver& game, const char* name) {
  ASSERT_TRUE(game.stepUntil([&] { return hud()->getInventoryPanel()->activeBehaviour == row(); }, 60));
  int index = -1;
  ASSERT_NE(row()->findSlotByName(name, &index), nullptr) << name;
  ASSERT_TRUE(game.stepUntil([&] { return row()->flyState == 0; }, 120));  // a new item's icon has landed
  const float x = 160 + 120 + index * 110 + 50, y = 940 + 5 + 50;
  const KR::Viewport2D viewport = KR::calcViewport();
  game.moveMouse(int(viewport.offset.x + (x + 0.5f) * viewport.scale),
                 int(viewport.offset.y + (y + 0.5f) * viewport.scale));
  game.steps(12);  // the row is out
  clickAt(game, x, y);
  game.steps(2);
  ASSERT_NE(play().getViewStack().getTakenInventoryItem(), nullptr) << name;
}

void enterPlay(KR::Test::GameDriver& game, bool fresh) {
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 60));
  if (fresh) std::remove(HOG::SaveLoadGameProgressSystem::getSavePath().c_str());
  game.tapKey('P');
  ASSERT_EQ(game.currentState(), "Game");
  game.click(300, 200);  // skips the intro when it plays
  ASSERT_TRUE(game.stepUntil([&] { return !game.videoPlaying(); }, 900));
}

}  // namespace

TEST(DemoPlayThrough, LaunchToTheCreditsAndBackWithSaveQuitRestartContinue) {
  {
    KR::Test::GameDriver game;
    enterPlay(game, true);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));

    // The desk is a quest: the drawer, then the key; its brief shows in the panel.
    clickAt(game, 428, 664);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
    auto* quest = static_cast<HOG::HosQuestViewExtension*>(view("closeup01")->extension);
    EXPECT_STREQ(hud()->getInventoryPanel()->activeBehaviour->getClassName(), "BriefPanelBehaviour");
    EXPECT_EQ(*quest->getExtensionData(), L"Open the drawer.");
    // The strip's "?" opens the brief in large print; its OK closes it, and the click stays off the desk.
    auto* brief = static_cast<HOG::BriefPanelBehaviour*>(hud()->getInventoryPanel()->activeBehaviour);
    HOG::InventoryPanelUI* panel = hud()->getInventoryPanel();
    ASSERT_TRUE(game.stepUntil([&] { return panel->shown && !panel->isSliding(); }, 60));
    clickAt(game, 1310, 995);
    ASSERT_TRUE(game.stepUntil([&] { return brief->isBriefWindowShown(); }, 30));
    EXPECT_EQ(static_cast<KR::UILabel*>(brief->briefWindowText)->text, L"Open the drawer.");
    EXPECT_TRUE(play().briefWindowShown);
    clickAt(game, 960, 579);
    ASSERT_TRUE(game.stepUntil([&] { return !brief->isBriefWindowShown(); }, 30));
    EXPECT_FALSE(play().briefWindowShown);
    EXPECT_EQ(quest->currentStage, 0);
    // The pointer has crossed the strip: the items' page buttons stay away from the brief.
    EXPECT_FALSE(row()->element->visible);
    clickAt(game, 440 + 400, 225 + 470);
    ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 120));
    EXPECT_EQ(quest->currentStage, 1);
    clickAt(game, 440 + 332, 225 + 282);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "key"));
    ASSERT_TRUE(game.stepUntil([&] { return quest->finishReported; }, 30));
    clickAt(game, 100, 100);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 120));

    // The garden: the stone onto the well gives gem_blue, the key on the chest gem_red.
    clickAt(game, 1364, 528);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    clickAt(game, 432, 832);
    clickAt(game, 964, 664);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_blue"));
    pickItem(game, "key");
    clickAt(game, 1264, 848);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_red"));

    // The diary so far is in the notebook; the book's button opens it.
    HOG::NotebookUI* notebook = hud()->getNotebook();
    const KR::UIWidget* bookButton = hud()->hudWidget->findDescendant("book_btn");
    const KR::Vector2<float> button = bookButton->getAbsolutePosition() + bookButton->getTotalSize() * 0.5f;
    clickAt(game, button.x, button.y);
    ASSERT_TRUE(game.stepUntil([&] { return notebook->coversScreen(); }, 60));
    for (const char* id : {"arrival", "key", "gems"}) EXPECT_TRUE(notebook->getSection()->findRecord(id)->placed) << id;
    // The frames here outrun the player's clock, so the book's double-click interval is set for each step.
    HOG::TransformationController& zoom = notebook->transformation;
    // The HUD's book button now lies under the book: a click there is the book's (and no double click with the
    // click that opened it).
    zoom.doubleClickInterval = 0.0f;
    clickAt(game, button.x, button.y);
    game.steps(5);
    EXPECT_TRUE(notebook->isOpen());
    EXPECT_FLOAT_EQ(notebook->scale, 1.0f);
    // A double click zooms the book in, a drag up brings its lower edge into sight, and Close closes it where it
    // shows.
    zoom.doubleClickInterval = 10.0f;
    clickAt(game, 840, 500);
    clickAt(game, 840, 500);
    zoom.doubleClickInterval = 0.0f;
    ASSERT_TRUE(game.stepUntil([&] { return notebook->scale == 2.0f; }, 30));
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    const KR::Viewport2D viewport = KR::calcViewport();
    auto windowX = [&](float x) { return int(viewport.offset.x + (x + 0.5f) * viewport.scale); };
    auto windowY = [&](float y) { return int(viewport.offset.y + (y + 0.5f) * viewport.scale); };
    game.pressMouse(windowX(840), windowY(800));
    game.step();
    game.moveMouse(windowX(840), windowY(200));
    game.steps(2);
    game.releaseMouse(windowX(840), windowY(200));
    game.steps(2);
    EXPECT_FLOAT_EQ(notebook->pan.y, -h / 4);
    const KR::UIWidget* closeButton = notebook->controlsTree->findDescendant("notebookClose");
    const KR::Vector2<float> centre(w / 2, h / 2);
    const KR::Vector2<float> closeShown =
        (closeButton->getAbsolutePosition() + closeButton->getTotalSize() * 0.5f + notebook->pan - centre) * 2.0f +
        centre;
    clickAt(game, closeShown.x, closeShown.y);
    EXPECT_FALSE(notebook->isOpen());
    zoom.doubleClickInterval = 0.25f;
    game.steps(20);

    // The gardener: two lines by clicks, his hand, a last line; the HUD is hidden meanwhile.
    clickAt(game, 748, 396);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "talk01"); }, 300));
    auto* talk = static_cast<HOG::DialogViewExtension*>(view("talk01")->extension);
    EXPECT_FALSE(hud()->hudWidget->shown);
    // Clicks a second apart: two quick ones would be the view's double click.
    auto say = [&](float x, float y) {
      clickAt(game, x, y);
      game.steps(30);
    };
    say(300, 300);
    say(400, 300);
    EXPECT_EQ(talk->currentStage, 2);
    say(300, 300);  // an action stage: the click goes to the view
    EXPECT_EQ(talk->currentStage, 2);
    say(840, 500);
    EXPECT_EQ(talk->currentStage, 3);
    say(300, 300);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    EXPECT_TRUE(hud()->hudWidget->shown);

    // The shed: nine things, the green gem and the cut scene played out.
    clickAt(game, 1564, 396);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "hos01"); }, 300));
    auto* shed = static_cast<HOG::HOSViewExtension*>(view("hos01")->extension);
    // The panel lists what to find; the blue gems make one line of three.
    auto* list = dynamic_cast<HOG::HOSPanelBehaviour*>(hud()->getInventoryPanel()->activeBehaviour);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(std::any_of(list->entries.begin(), list->entries.end(), [&](const HOG::HOSPanelBehaviour::Entry& e) {
      const std::wstring text = list->lineText(e);
      return text.size() > 3 && text.compare(text.size() - 3, 3, L" x3") == 0;
    }));
    int found = 0;
    while (shed->activeCount > 0 && found < 12) {
      const HOG::HOSItemTrigger* item = shed->activeItems[0];
      clickAt(game, item->center.x, item->center.y);
      game.steps(12);
      ++found;
    }
    EXPECT_EQ(found, 9);
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 1; }, 120));
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 0; }, 600));
    if (hud()->itemWindowShown) closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_green"));
    // The map button came out with the shed's finish and opened the map; its close button closes it.
    HOG::LocationsScreen* map = hud()->getLocationsMap();
    ASSERT_TRUE(game.stepUntil([&] { return map->isOpen(); }, 60));
    EXPECT_TRUE(map->map->findPlace("hos01")->current);
    game.steps(10);
    clickAt(game, 1500 + 60, 40 + 24);
    ASSERT_TRUE(game.stepUntil([&] { return !map->isOpen(); }, 30));
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  {
    KR::Test::GameDriver game;
    enterPlay(game, false);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "hos01"); }, 300));
    // The searched shed reports its finish again on activation; its cut scene plays out first.
    game.steps(10);
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 0 && !play().isLocked(); }, 600));
    if (hud()->itemWindowShown) closeItemWindow(game);
    for (const char* item : {"gems", "gem_red", "gem_green", "gem_blue"}) EXPECT_TRUE(holds(game, item)) << item;
    EXPECT_FALSE(holds(game, "key"));
    // The diary came back with the saved game.
    for (const char* id : {"arrival", "key", "gems", "shed"})
      EXPECT_TRUE(hud()->getNotebook()->getSection()->findRecord(id)->placed) << id;
    int index = -1;
    EXPECT_NE(row()->findSlotByName("gems", &index), nullptr);

    // Back to the hall; the full group on the altar gives the amulet and opens the way.
    clickAt(game, 80, 525);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    clickAt(game, 100, 527);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));
    EXPECT_FALSE(hud()->getAmuletsButton()->button->visible);  // hidden until the amulet
    pickItem(game, "gems");
    clickAt(game, 840, 300);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "amulet"));
    EXPECT_FALSE(holds(game, "gems"));
    // The casket came out with the amulet, and the amulet's totem plays alone over the hall;
    // the amulets open by themselves 4 seconds after the altar took the gems.
    HOG::AmuletsButton* casket = hud()->getAmuletsButton();
    ASSERT_TRUE(game.stepUntil([&] { return casket->button->visible; }, 30));
    EXPECT_EQ(casket->playingScene, "totem_amulet");
    for (const HOG::AmuletsButton::SceneEntry& totem : casket->scenes)
      EXPECT_EQ(totem.node->mEnabled, totem.name == "totem_amulet") << totem.name;
    game.steps(30);
    EXPECT_EQ(game.activeView(), "location01");
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "progressamulets"); }, 300));
    EXPECT_TRUE(casket->open);
    // Leaving them closes the casket; its click opens them again.
    clickAt(game, 100, 527);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));
    ASSERT_TRUE(game.stepUntil([&] { return !casket->open; }, 30));
    clickAt(game, 1410 + 130 + 60, 990 - 130 + 24);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "progressamulets"); }, 300));
    EXPECT_EQ(casket->previousView, "location01");

    // The amulet among the amulets: the finale, the credits, the main menu.
    pickItem(game, "amulet");
    clickAt(game, 840, 525);
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 1; }, 60));
    ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 300));
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
}
