// The whole demo by input events only: the desk's quest (drawer, key), the
// stone onto the well (its sparkles gone while it is carried), the key on the
// chest, the notebook's diary so far (its Close clicked where the zoomed and
// panned book shows it), the gardener's dialogue with the HUD hidden (his
// handshake without Next and without the inventory's icons), the shed's nine
// things, its cut scene, the green gem's window and, once it is closed, the
// map that the map button's coming out opens; save, quit, restart and
// continue (the diary with it); the gems carried to the hall's altar, which
// shows them, for the amulet, its totem, the amulets opening by themselves, the way back and
// the casket opening them again, the amulet among them, the finale, the
// credits and back to the main menu. Items are picked from the inventory row
// and used on the scene with clicks. At each step a player judges, the screen
// is compared with its reference image in tests/data/play_screens/, and where
// text matters its letters are looked for; no script error or missing marker
// may be logged on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/game_state/extensions/dialog_view_extension.h"
#include "core/game_state/extensions/hos_quest_view_extension.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/inventory_panel/brief_panel_behaviour.h"
#include "core/game_state/inventory_panel/hos_panel_behaviour.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "play_through_support.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"
#include "support/test_support.h"
#include "ui/ui_label.h"
#include "ui/ui_widget.h"

namespace {

using KR::Test::clickAt;
using KR::Test::holds;
using KR::Test::play;
using KR::Test::screenMatches;
using KR::Test::shown;

HOG::InGameUI* hud() { return dynamic_cast<HOG::InGameUI*>(play().getHud()); }
HOG::ObjectsListPanelBehaviour* row() {
  return dynamic_cast<HOG::ObjectsListPanelBehaviour*>(
      hud()->getInventoryPanel()->findBehaviour("ObjectsListPanelBehaviour"));
}

HOG::View* view(const char* name) { return play().getRegistry().findViewByName(name); }

// The pointer out of the way of what a screenshot looks at: off the window's right edge.
void pointerAside(KR::Test::GameDriver& game) {
  const KR::Vector2<int> p = KR::Test::window(1890, 600);
  game.moveMouse(p.x, p.y);
}

// Closes the item-added window with a press beside it, once it is up; with a
// name, the window is looked at first.
void closeItemWindow(KR::Test::GameDriver& game, const char* screen = nullptr) {
  ASSERT_TRUE(game.stepUntil([&] { return hud()->itemWindowShown; }, 120));
  if (screen) {
    KR::Test::waitForHeldIcons(game);
    pointerAside(game);
    game.steps(20);
    EXPECT_EQ(screenMatches(game, screen), "");
  }
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
  const KR::Vector2<int> p = KR::Test::window(x, y);
  game.moveMouse(p.x, p.y);
  game.steps(12);  // the row is out
  clickAt(game, x, y);
  game.steps(2);
  ASSERT_NE(play().getViewStack().getTakenInventoryItem(), nullptr) << name;
}

// Light pixels: the message bar's white letters on its dark band.
bool light(uint8_t r, uint8_t g, uint8_t b) { return r + g + b > 450; }

}  // namespace

TEST(DemoPlayThrough, LaunchToTheCreditsAndBackWithSaveQuitRestartContinue) {
  KR::Test::LogCapture log;
  {
    KR::Test::GameDriver game;
    ASSERT_TRUE(KR::Test::startNewGame(game));
    // The hall with its welcome in the message bar, whose five words stand apart: gaps between letters are narrower
    // than four pixels, those between words wider.
    pointerAside(game);
    ASSERT_TRUE(game.stepUntil([&] { return !game.message().empty(); }, 60));
    game.steps(40);  // the hall has faded in; the message stays for three seconds
    EXPECT_EQ(screenMatches(game, "demo_hall"), "");
    const std::vector<KR::Test::InkRun> words = KR::Test::inkRuns(game, 0, 0, 1680, 150, light, 3);
    EXPECT_GE(words.size(), 5u) << "the message bar's words run together";

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
    pointerAside(game);
    game.steps(90);  // the book button's sparkles, which fly at random, have gone
    EXPECT_EQ(screenMatches(game, "demo_desk_brief"), "");
    // Only using the desk's triggers moves the quest on: its hint button offers a hint, not a SKIP.
    EXPECT_EQ(hud()->getHintPanel()->caption->getDisplayText(), L"HINT");
    EXPECT_EQ(static_cast<KR::UILabel*>(brief->briefWindowText)->text, L"Open the drawer.");
    EXPECT_TRUE(play().briefWindowShown);
    clickAt(game, 610 + 170 + 60, 170 + 175 + 24);  // its OK
    ASSERT_TRUE(game.stepUntil([&] { return !brief->isBriefWindowShown(); }, 30));
    EXPECT_FALSE(play().briefWindowShown);
    EXPECT_EQ(quest->currentStage, 0);
    // The pointer has crossed the strip: the items' page buttons stay away from the brief.
    EXPECT_FALSE(row()->element->visible);
    clickAt(game, 440 + 400, 225 + 470);
    ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 120));
    EXPECT_EQ(quest->currentStage, 1);
    clickAt(game, 440 + 332, 225 + 282);
    closeItemWindow(game, "demo_item_window");
    EXPECT_TRUE(holds(game, "key"));
    ASSERT_TRUE(game.stepUntil([&] { return quest->finishReported; }, 30));
    clickAt(game, 100, 100);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 120));

    // The garden: the stone onto the well gives gem_blue, the key on the chest gem_red.
    clickAt(game, 1364, 528);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    clickAt(game, 432, 832);
    // Carrying the stone: its sparkles stay neither at its empty place nor anywhere else.
    // The hint button charges meanwhile; how far depends on how long the garden took
    // to load, so the picture waits for it to be ready and its dial to catch up.
    const KR::Vector2<int> carried = KR::Test::window(700, 600);
    game.moveMouse(carried.x, carried.y);
    HOG::HintPanel* charging = hud()->getHintPanel();
    ASSERT_TRUE(game.stepUntil([&] { return charging->ready; }, 900));
    game.steps(90);
    EXPECT_EQ(screenMatches(game, "demo_carrying_stone"), "");
    clickAt(game, 964, 664);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_blue"));
    pickItem(game, "key");
    // Carrying the key: the chest, which takes it, glows with the key's icon on it, and nothing else shows.
    KR::Test::waitForHeldIcons(game);
    pointerAside(game);
    game.steps(20);
    EXPECT_EQ(screenMatches(game, "demo_carrying_key"), "");
    clickAt(game, 1164, 748);
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_red"));

    // The diary so far is in the notebook; the book's button opens it.
    HOG::NotebookUI* notebook = hud()->getNotebook();
    const KR::UIWidget* bookButton = hud()->hudWidget->findDescendant("book_btn");
    const KR::Vector2<float> button = bookButton->getAbsolutePosition() + bookButton->getTotalSize() * 0.5f;
    clickAt(game, button.x, button.y);
    ASSERT_TRUE(game.stepUntil([&] { return notebook->coversScreen(); }, 60));
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_notebook"), "");
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
    pointerAside(game);
    game.steps(10);
    EXPECT_EQ(screenMatches(game, "demo_notebook_zoomed"), "");
    const float w = float(KR::RenderSystem::getDesignWidth()), h = float(KR::RenderSystem::getDesignHeight());
    const KR::Vector2<int> low = KR::Test::window(840, 800), high = KR::Test::window(840, 200);
    game.pressMouse(low.x, low.y);
    game.step();
    game.moveMouse(high.x, high.y);
    game.steps(2);
    game.releaseMouse(high.x, high.y);
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

    // The gardener: his first line goes on by a click on the view, the second by Next; his hand; Next after his
    // last line ends the talk. The HUD is hidden meanwhile; Skip stays up through the lines.
    clickAt(game, 748, 396);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "talk01"); }, 300));
    auto* talk = static_cast<HOG::DialogViewExtension*>(view("talk01")->extension);
    EXPECT_FALSE(hud()->hudWidget->shown);
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_dialogue"), "");
    // The line is drawn: dark letters on the speech panel.
    const auto dark = [](uint8_t r, uint8_t g, uint8_t b) { return r + g + b < 300; };
    EXPECT_GE(KR::Test::inkRuns(game, 240, 720, 1440, 920, dark, 4).size(), 5u) << "the gardener's line is not drawn";
    const KR::Vector2<float> next = talk->nextButton->getAbsolutePosition() + talk->nextButton->getTotalSize() * 0.5f;
    // Clicks a second apart: two quick ones would be the view's double click.
    auto say = [&](float x, float y) {
      clickAt(game, x, y);
      for (int i = 0; i < 30; ++i) {
        game.step();
        EXPECT_EQ(talk->skipButton->visible, talk->isPassiveStage()) << "stage " << talk->currentStage;
        EXPECT_EQ(talk->nextButton->visible, talk->isPassiveStage()) << "stage " << talk->currentStage;
      }
    };
    say(300, 300);
    EXPECT_EQ(talk->currentStage, 1);
    say(next.x, next.y);
    EXPECT_EQ(talk->currentStage, 2);
    // "Shake my hand": his hand is out, and neither the buttons, which would do nothing now, nor the inventory's
    // icons, which Next's click near the strip used to bring out, show.
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_dialogue_hand"), "");
    say(300, 300);  // an action stage: the click goes to the view
    EXPECT_EQ(talk->currentStage, 2);
    say(840, 500);
    EXPECT_EQ(talk->currentStage, 3);
    clickAt(game, next.x, next.y);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
    EXPECT_TRUE(hud()->hudWidget->shown);

    // The shed: nine things, the green gem and the cut scene played out.
    clickAt(game, 1564, 396);
    ASSERT_TRUE(game.stepUntil([&] { return shown(game, "hos01"); }, 300));
    auto* shed = static_cast<HOG::HOSViewExtension*>(view("hos01")->extension);
    // The panel lists what to find; the blue gems make one line of three.
    auto* list = dynamic_cast<HOG::HOSPanelBehaviour*>(hud()->getInventoryPanel()->activeBehaviour);
    ASSERT_NE(list, nullptr);
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_shed_list"), "");
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
    pointerAside(game);
    game.steps(60);
    EXPECT_EQ(screenMatches(game, "demo_cut_scene"), "");
    ASSERT_TRUE(game.stepUntil([&] { return play().getMode() == 0; }, 600));
    // The green gem's window shows over the shed, and the map that the map button's coming out opens waits for it.
    HOG::LocationsScreen* map = hud()->getLocationsMap();
    ASSERT_TRUE(game.stepUntil([&] { return hud()->itemWindowShown; }, 120));
    KR::Test::waitForHeldIcons(game);
    pointerAside(game);
    game.steps(90);  // the sparkles of the last thing found, which fly at random, have gone
    EXPECT_FALSE(map->isOpen()) << "the map opened under the gem's window";
    EXPECT_EQ(screenMatches(game, "demo_gem_window"), "");
    closeItemWindow(game);
    EXPECT_TRUE(holds(game, "gem_green"));
    // Then the map opens; its close button closes it.
    ASSERT_TRUE(game.stepUntil([&] { return map->isOpen(); }, 60));
    EXPECT_TRUE(map->map->findPlace("hos01")->current);
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_map"), "");
    // Each place's name is written under it: two dark words on the paper.
    const auto ink = [](uint8_t r, uint8_t g, uint8_t b) { return r + g + b < 400; };
    for (const char* place : {"location01", "location02", "hos01"}) {
      const AE::ISceneNode* node = map->map->findPlace(place)->node;
      ASSERT_NE(node, nullptr) << place;
      const KR::Vector2<float> at = node->getWorldOrigin();
      EXPECT_EQ(KR::Test::inkRuns(game, at.x - 34, at.y + 204, at.x + 226, at.y + 244, ink, 4).size(), 2u) << place;
    }
    clickAt(game, 1500 + 60, 40 + 24);
    ASSERT_TRUE(game.stepUntil([&] { return !map->isOpen(); }, 30));
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  {
    KR::Test::GameDriver game;
    ASSERT_TRUE(KR::Test::continueSavedGame(game, "hos01"));
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
    // Carried, the gems show on the altar that takes them: the lit pillar.
    KR::Test::waitForHeldIcons(game);
    const KR::Vector2<int> aside = KR::Test::window(1200, 400);
    game.moveMouse(aside.x, aside.y);
    game.steps(20);
    EXPECT_EQ(screenMatches(game, "demo_carrying_gems"), "");
    clickAt(game, 932, 250);
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
    pointerAside(game);
    game.steps(30);
    EXPECT_EQ(screenMatches(game, "demo_amulets", 200), "");  // the casket's sparkles fly at random
    // HINT there points at the empty holder, where the amulet goes.
    HOG::HintPanel* hint = hud()->getHintPanel();
    ASSERT_TRUE(game.stepUntil([&] { return hint->ready; }, 900));
    clickAt(game, 1410 + 60, 925 + 24);
    ASSERT_TRUE(game.stepUntil([&] { return hint->targetTrail->endShown; }, 120));
    EXPECT_FLOAT_EQ(hint->lastTarget.x, 840.0f);
    EXPECT_FLOAT_EQ(hint->lastTarget.y, 525.0f);
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
    pointerAside(game);
    game.steps(45);
    EXPECT_EQ(screenMatches(game, "demo_finale"), "");
    ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 300));
    game.tapKey(0x1B);  // Escape leaves the credits for the main menu
    ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 30));
    game.closeWindow();
    EXPECT_EQ(game.finish(), 0);
  }
  // The whole way through, no script failed and every text marker was found.
  for (const std::string& line : log.lines()) {
    EXPECT_EQ(line.find("LUA ERROR"), std::string::npos) << line;
    EXPECT_EQ(line.find("Can't find marker"), std::string::npos) << line;
  }
}
