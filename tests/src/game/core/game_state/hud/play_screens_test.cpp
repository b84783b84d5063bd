// Play screens over small locations built from description text: the hint
// search (nearest action, tasks behind transitions, close-ups, cycles, equal
// scores, more than 64 candidates, shorter paths), the map's reachability, the
// quest's ordered stages, the dialogue's stages and skip, the inventory
// panel's slides, lock and behaviours, the objects row's clicks, close-up,
// waiting icons and return flight, and the hidden-object lines' dimming;
// inside a play state: the hint button in a minigame, under the notebook and
// the map, its first-hint hook and its charge at stop; the hint search over
// shown hidden objects; the guide's steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <lua.hpp>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "../../showcase_test_support.h"
#include "animationeditor/marker.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "animationeditor/text_scene_node.h"
#include "config_manager.h"
#include "core/game_state/extensions/dialog_view_extension.h"
#include "core/game_state/extensions/hos_quest_view_extension.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/amulets_button.h"
#include "core/game_state/hud/guide_box.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/hint_search.h"
#include "core/game_state/hud/in_game_menu.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/hud/notebook_records.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/input_state.h"
#include "core/game_state/inventory_panel/brief_panel_behaviour.h"
#include "core/game_state/inventory_panel/hos_panel_behaviour.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/inventory_panel/inventory_panel_ui.h"
#include "core/game_state/inventory_panel/objects_list_panel_behaviour.h"
#include "core/game_state/minigames/circle_minigame_view_extension.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/item_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "engine_allocators.h"
#include "fast_sprite.h"
#include "lex_binded_function_manager.h"
#include "object_factory.h"
#include "particle_system.h"
#include "render_system_dx8.h"
#include "string_conversion.h"
#include "support/test_support.h"
#include "timer_manager.h"
#include "ui/ui_controller.h"
#include "ui/ui_font.h"
#include "ui/ui_label.h"
#include "ui/ui_manager.h"
#include "ui/ui_sprite.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace {

int gNextView = 0;

// Array elements are named v0, v1, ... in order; "@" stands for the trigger's place until its view numbers it.
std::string item(int id, const std::string& extra = "") {
  return "<@><type v=\"3\"/><triggerID v=\"" + std::to_string(id) + "\"/><enabled v=\"1\"/>" + extra + "</@>";
}
std::string transition(int id, const std::string& target, const std::string& extra = "") {
  return "<@><type v=\"2\"/><triggerID v=\"" + std::to_string(id) + "\"/><enabled v=\"1\"/><targetLocation v=\"" +
         target + "\"/>" + extra + "</@>";
}
std::string view(const std::string& name, std::string triggers, const std::string& extra = "") {
  int place = 0;
  for (size_t at = triggers.find("<@>"); at != std::string::npos; at = triggers.find("<@>", at)) {
    const std::string tag = "v" + std::to_string(place++);
    triggers.replace(at, 3, "<" + tag + ">");
    triggers.replace(triggers.find("</@>", at), 4, "</" + tag + ">");
  }
  const std::string tag = "v" + std::to_string(gNextView);
  return "<" + tag + "><name v=\"" + name + "\"/><id v=\"" + std::to_string(gNextView++) + "\"/>" + extra +
         "<areaTriggers>" + triggers + "</areaTriggers></" + tag + ">";
}
const std::string kCloseUp = "<type v=\"1\"/>";
const std::string kMinigame = "<extensionName v=\"TestViewExtension\"/>";

class PlayScreensTest : public ::testing::Test {
 protected:
  PlayScreensTest() {
    allocators.init();
    gNextView = 0;
  }
  void load(const std::string& views) {
    KR::XmlDataReader reader;
    const std::string text = "<root><views>" + views + "</views></root>";
    ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
    ASSERT_TRUE(reader.enterChild("views"));
    registry.parseViews(reader, 1.0f);
  }
  HOG::View* v(const char* name) { return registry.findViewByName(name); }
  HOG::IBaseAreaTrigger* t(const char* name, int id) { return v(name)->findTrigger(uint32_t(id)); }
  HOG::HintResult search(const char* active, std::vector<HOG::View*> stack = {}) {
    HOG::HintResult result;
    if (stack.empty() && active) stack.push_back(v(active));
    HOG::HintSearch(registry).run(active ? v(active) : nullptr, stack, &result);
    return result;
  }
  KR::Test::LogCapture log;
  KR::EngineAllocators allocators;
  HOG::ViewRegistry registry;
};

TEST_F(PlayScreensTest, HintSearchPrefersNearestActionThenFirstWayInSortedOrder) {
  load(view("hall", transition(1, "garden") + transition(2, "shed")) + view("garden", item(5) + transition(6, "hall")) +
       view("shed", item(7) + item(8, "<dead v=\"1\"/>")) + view("attic", item(9)));
  EXPECT_EQ(search(nullptr).type, HOG::HT_HINT_NOT_AVAIL);

  // Equal kinds: the higher id sorts first, so the shed's way wins; a cycle back to the hall ends.
  HOG::HintResult hint = search("hall");
  EXPECT_EQ(hint.type, HOG::HT_CHANGE_LOCATION);
  EXPECT_EQ(hint.trigger, t("shed", 7));
  EXPECT_EQ(hint.entranceTrigger, t("hall", 2));
  EXPECT_EQ(hint.entranceView, v("shed"));
  EXPECT_EQ(hint.depth, 1u);
  EXPECT_EQ(hint.startView, v("hall"));
  HOG::HintSearch::logHintInfo(hint, 0.0005);
  EXPECT_TRUE(log.contains("view name shed, trigger id 7 "));
  EXPECT_TRUE(log.contains("HINT TYPE: HT_CHANGE_LOCATION"));
  EXPECT_TRUE(log.contains("Hint finding time: 0.50 msecs"));

  // An action in the start view beats everything reached through it.
  hint = search("garden");
  EXPECT_EQ(hint.type, HOG::HT_DO_ACTION);
  EXPECT_EQ(hint.trigger, t("garden", 5));
  EXPECT_EQ(hint.entranceTrigger, nullptr);

  // Never pointed at: not for hints, disabled or debugging; the walk does not go through them either.
  t("garden", 5)->useByHints = false;
  t("shed", 7)->enabled = 0;
  t("hall", 1)->debug = 1;
  hint = search("garden");
  EXPECT_EQ(hint.type, HOG::HT_HINT_NOT_AVAIL);
  EXPECT_EQ(hint.trigger, nullptr);
}

TEST_F(PlayScreensTest, HintSearchEntersTasksLeavesCloseUpsAndWeighsEveryCandidate) {
  std::string many;
  for (int i = 0; i < 80; ++i) many += item(100 + i, "<useByHints v=\"0\"/>");
  load(view("hall", transition(1, "game") + item(3, "<useByHints v=\"0\"/>")) + view("game", "", kMinigame) +
       view("desk", many + item(300), kCloseUp) + view("drawer", transition(4, "desk"), kCloseUp));

  HOG::HintResult hint = search("hall");
  EXPECT_EQ(hint.type, HOG::HT_CHANGE_LOCATION);
  EXPECT_EQ(hint.trigger, t("hall", 1));
  EXPECT_EQ(hint.entranceTrigger, t("hall", 1));
  v("game")->extension->suspendable = true;  // put aside: no task there
  EXPECT_EQ(search("hall").trigger, nullptr);

  // The one usable trigger sits behind 80 that are not for hints.
  hint = search("desk");
  EXPECT_EQ(hint.trigger, t("desk", 300));

  // Nothing in the drawer: its live way back to the desk comes before leaving the close-up.
  hint = search("drawer", {v("hall"), v("desk"), v("drawer")});
  EXPECT_EQ(hint.type, HOG::HT_CHANGE_LOCATION);
  EXPECT_EQ(hint.entranceTrigger, t("drawer", 4));
  t("drawer", 4)->useByHints = false;
  hint = search("drawer", {v("hall"), v("desk"), v("drawer")});
  EXPECT_EQ(hint.type, HOG::HT_CLOSE_CLOSEUP);
  EXPECT_EQ(hint.trigger, t("desk", 300));
  EXPECT_EQ(hint.entranceTrigger, nullptr);
  EXPECT_EQ(hint.entranceView, v("desk"));
}

TEST_F(PlayScreensTest, HintSearchWalksAViewAgainWhenItIsReachedOnAShorterPath) {
  // The way through the attic (higher id, walked first) reaches the cellar in two steps, the way straight
  // there in one: the item behind the cellar is then two steps away, through the second way.
  load(view("hall", transition(1, "cellar") + transition(2, "attic")) + view("attic", transition(3, "cellar")) +
       view("cellar", transition(4, "vault")) + view("vault", item(5)));
  const HOG::HintResult hint = search("hall");
  EXPECT_EQ(hint.trigger, t("vault", 5));
  EXPECT_EQ(hint.depth, 2u);
  EXPECT_EQ(hint.entranceTrigger, t("hall", 1));
  EXPECT_EQ(hint.entranceView, v("cellar"));
}

TEST_F(PlayScreensTest, HintScoresOrderLiveKindsAndKeepEqualScoresInOrder) {
  load(view("hall", transition(1, "desk") + transition(2, "hall")) + view("desk", "", kCloseUp));
  EXPECT_LT(HOG::hintTriggerScore(t("hall", 1), registry), HOG::hintTriggerScore(t("hall", 2), registry));
  EXPECT_EQ(HOG::transitionTargetWeight(t("hall", 1), registry), 2);
  t("hall", 1)->dead = 1;
  EXPECT_GT(HOG::hintTriggerScore(t("hall", 1), registry), HOG::hintTriggerScore(t("hall", 2), registry));
}

TEST_F(PlayScreensTest, MapReachesThroughCloseUpsEndsCyclesAndSkipsUnknownTargets) {
  load(view("hall", transition(1, "garden") + transition(2, "desk") + transition(3, "nowhere")) +
       view("garden", transition(4, "hall")) + view("desk", item(5) + transition(6, "shed"), kCloseUp) +
       view("shed", "") + view("tower", item(7)));
  HOG::LocationsMap map(registry, nullptr);
  ASSERT_EQ(map.getPlaces().size(), 4u);  // the close-up gets no place
  map.refresh(v("hall"));
  const HOG::MapPlace* hall = map.findPlace("hall");
  EXPECT_TRUE(hall->current);
  EXPECT_TRUE(hall->hasActions);  // the desk's item counts for the hall
  EXPECT_TRUE(map.findPlace("garden")->reachable);
  EXPECT_TRUE(map.findPlace("shed")->reachable);
  EXPECT_FALSE(map.findPlace("shed")->hasActions);
  EXPECT_FALSE(map.findPlace("tower")->reachable);
  EXPECT_FALSE(map.canTravelTo(*hall));

  map.refresh(v("garden"));
  EXPECT_FALSE(map.findPlace("hall")->current);
  EXPECT_TRUE(map.findPlace("garden")->current);
  map.updatePlaces();
  EXPECT_EQ(map.getPlaces().size(), 4u);
}

TEST_F(PlayScreensTest, QuestAdvancesInOrderOnlyAndCountsUsedTriggersAfterRestore) {
  load(view("desk", item(1) + item(2)));
  HOG::HosQuestViewExtension quest;
  quest.view = v("desk");
  KR::XmlDataReader reader;
  const std::string text =
      "<root><stages><v0><breifing v=\"#drawer\"/><trigger v=\"1\"/></v0>"
      "<v1><breifing v=\"Take the key\"/><trigger v=\"2\"/></v1></stages></root>";
  ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
  quest.parseConfig(reader);
  ASSERT_EQ(quest.stages.size(), 2u);

  auto use = [&](int id, uint32_t kind = HOG::kMsgItemActionDone) {
    HOG::GameMessage message;
    message.kind = kind;
    message.setPointer(t("desk", id));
    quest.onMessage(&message);
  };
  use(2);
  EXPECT_EQ(quest.currentStage, 0);
  use(1, HOG::kMsgPauseMenuOpened);
  EXPECT_EQ(quest.currentStage, 0);
  use(1);
  EXPECT_EQ(quest.currentStage, 1);
  EXPECT_EQ(*quest.getExtensionData(), L"Take the key");
  quest.update(0.1f);
  EXPECT_FALSE(quest.finishReported);
  use(2);
  EXPECT_EQ(quest.currentStage, 1);
  quest.update(0.1f);
  EXPECT_TRUE(quest.finishReported);

  // A restored quest starts over; the stages whose triggers are spent count as done.
  HOG::HosQuestViewExtension restored;
  restored.view = v("desk");
  restored.stages = {{"a", false, 1}, {"b", false, 2}};
  t("desk", 1)->dead = 1;
  restored.onActivate();
  EXPECT_EQ(restored.currentStage, 1);
  EXPECT_FALSE(restored.stages[1].done);

  HOG::HosQuestViewExtension empty;
  empty.update(0.1f);
  EXPECT_TRUE(empty.finishReported);
}

TEST_F(PlayScreensTest, DialogueClicksPassiveStagesSkipsToLastActionAndFinishes) {
  HOG::DialogViewExtension dialog;
  dialog.stages = {{"a", false}, {"b", true}, {"c", false}, {"d", true}, {"e", false}};
  HOG::InputState click;
  click.leftReleased = 1;
  EXPECT_EQ(dialog.processMouseEvent(&click), 1);
  EXPECT_EQ(dialog.currentStage, 1);
  EXPECT_FALSE(dialog.isSkipShown());
  EXPECT_EQ(dialog.processMouseEvent(&click), 0);  // the view's triggers get it
  dialog.onNextClicked(true);
  EXPECT_EQ(dialog.currentStage, 1);
  dialog.onSkipClicked();
  EXPECT_EQ(dialog.currentStage, 1);
  dialog.advance();  // the script
  EXPECT_TRUE(dialog.isSkipShown());
  dialog.currentStage = 0;
  dialog.onSkipClicked();
  EXPECT_EQ(dialog.currentStage, 3);
  dialog.advance();
  dialog.onSkipClicked();  // no action stage ahead
  EXPECT_TRUE(dialog.finished);
  // Closed, the dialogue stands past its last stage: no stage is passive, and stages outside the list play nothing.
  dialog.update(0.0f);
  EXPECT_FALSE(dialog.isPassiveStage());
  EXPECT_EQ(dialog.processMouseEvent(&click), 0);
  AE::ISceneNode scene;
  dialog.scene = &scene;
  KR::Test::LogCapture log;
  dialog.playStage(-1);
  dialog.playStage(int32_t(dialog.stages.size()));
  dialog.playStage(4);
  const std::vector<std::string> lines = log.lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("Can't find marker") != std::string::npos; }),
            1)
      << "only the last stage's marker is looked for";
  dialog.scene = nullptr;
}

class PanelTest : public ::testing::Test {
 protected:
  PanelTest() {
    panel.animationTime = 1.0f;
    panel.hiddenPosition = KR::Vector2<float>(0.0f, 100.0f);
    panel.appearCursorYPos = 900.0f;
  }
  KR::Test::LogCapture log;
  HOG::InventoryPanelUI panel;
};

TEST_F(PanelTest, ReversedSlideGoesOnFromTheMirroredPointAndLockKeepsMessagesOut) {
  panel.setShown(true);
  panel.update(0.4f);
  EXPECT_FLOAT_EQ(panel.currentPosition().y, 60.0f);
  panel.setShown(false);
  EXPECT_FLOAT_EQ(panel.disappearClock, 0.6f);
  EXPECT_FLOAT_EQ(panel.currentPosition().y, 60.0f);
  panel.update(0.2f);
  EXPECT_FLOAT_EQ(panel.currentPosition().y, 80.0f);

  // Idle with autoHide: hidden after disappearTime; without it the panel stays.
  panel.setShown(true);
  panel.update(2.0f);
  panel.disappearTime = 3.0f;
  panel.autoHide = false;
  panel.update(5.0f);
  EXPECT_TRUE(panel.shown);
  panel.autoHide = true;
  panel.update(3.5f);
  EXPECT_FALSE(panel.shown);

  panel.setLocked(true);
  HOG::GameMessage open;
  open.kind = HOG::kMsgItemWindowOpened;
  open.payload.bytes[0] = 1;
  panel.onMessage(&open);
  EXPECT_FALSE(panel.shown);
  panel.setLocked(false);
  EXPECT_FALSE(panel.shown);
  panel.onMessage(&open);
  EXPECT_TRUE(panel.shown);
}

// A minigame whose brief is a text of its own.
class BriefedMinigame : public HOG::TestViewExtension {
 public:
  const std::wstring* getExtensionData() override { return &brief; }
  std::wstring brief = L"Open the drawer";
};

TEST_F(PanelTest, ExtensionMessagesSwitchBehavioursAndBadNamesStopTheList) {
  panel.behaviours[0] = std::make_unique<HOG::ObjectsListPanelBehaviour>(&panel);
  panel.behaviours[1] = std::make_unique<HOG::BriefPanelBehaviour>(&panel);
  KR::UIWidget items("objects_list", nullptr), brief("brief", nullptr);
  for (KR::UIWidget* element : {&items, &brief}) {
    element->addDefaultIdleState();
    element->ensureHideState();
  }
  static_cast<HOG::ObjectsListPanelBehaviour&>(*panel.behaviours[0]).element = &items;
  static_cast<HOG::BriefPanelBehaviour&>(*panel.behaviours[1]).element = &brief;
  panel.switchTo(panel.behaviours[0].get());
  BriefedMinigame minigame;
  minigame.suspendable = false;
  HOG::GameMessage changed;
  changed.kind = HOG::kMsgExtensionChanged;
  changed.setPointer(static_cast<HOG::IViewExtension*>(&minigame));
  // Twice into the minigame and out: only the active behaviour's element is shown and visible
  // (a hidden but visible one would come back when the pointer passes over it).
  for (int round = 0; round < 2; ++round) {
    minigame.suspendable = false;
    panel.onMessage(&changed);
    EXPECT_STREQ(panel.activeBehaviour->getClassName(), "BriefPanelBehaviour");
    EXPECT_TRUE(brief.shown && brief.visible) << round;
    EXPECT_FALSE(items.visible) << round;
    minigame.suspendable = true;  // put aside: back to the items
    panel.onMessage(&changed);
    EXPECT_STREQ(panel.activeBehaviour->getClassName(), "ObjectsListPanelBehaviour");
    EXPECT_TRUE(items.shown && items.visible) << round;
    EXPECT_FALSE(brief.visible) << round;
  }
  changed.setPointer(nullptr);
  panel.onMessage(&changed);
  EXPECT_STREQ(panel.activeBehaviour->getClassName(), "ObjectsListPanelBehaviour");

  HOG::InventoryPanelUI other;
  KR::EngineAllocators allocators;
  allocators.init();
  KR::XmlDataReader reader;
  const std::string text =
      "<root><InventoryPanelConfig><Behaviours><v0><class v=\"Nope\"/></v0></Behaviours></InventoryPanelConfig></root>";
  ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
  other.parseConfig(reader);
  EXPECT_TRUE(log.contains("ERORO: Bad panel behaviour name specified: Nope"));
  EXPECT_EQ(other.activeBehaviour, nullptr);
}

class RowTest : public PanelTest {
 protected:
  RowTest() : row(makeRow()) {
    element.visible = true;
    rowWidget = new KR::UIWidget("row", &element);
    element.children.push_back(rowWidget);
    row.element = &element;
    row.row = rowWidget;
    row.itemsDistance = 100.0f;
    row.itemsPageCount = 8;
    row.captionName = "caption";
    for (int i = 0; i < 8; ++i) {
      auto* widget = new KR::UIWidget("item" + std::to_string(i + 1), rowWidget);
      widget->size = KR::Vector2<float>(90.0f, 90.0f);
      rowWidget->children.push_back(widget);
      widget->children.push_back(new KR::UILabel("caption", widget));
      row.slots[i].widget = widget;
    }
    for (int i = 0; i < 5; ++i) {
      snprintf(items[i].name, sizeof(items[i].name), "item%c", 'A' + i);
      HOG::GameMessage fly;
      fly.kind = HOG::kMsgItemFlyToRow;
      fly.item = &items[i];
      row.onMessage(&fly);
    }
    panel.setShown(true);
    landFlight();
  }
  void landFlight() {
    for (int i = 0; i < 40 && row.flyState != 0; ++i) row.update(0.05f);
  }
  int32_t click(float x, float y, float releaseX, float releaseY) {
    HOG::InputState input;
    input.valid = 1;
    input.leftReleased = 1;
    input.pressX = int32_t(x);
    input.pressY = int32_t(y);
    input.x = int32_t(releaseX);
    input.y = int32_t(releaseY);
    return row.processInput(input);
  }
  KR::UILabel* caption(int slot) {
    return static_cast<KR::UILabel*>(row.slots[slot].widget->findDescendant("caption"));
  }
  void send(uint32_t kind, HOG::InventoryItem* item = nullptr) {
    HOG::GameMessage message;
    message.kind = kind;
    message.setPointer(item);
    row.onMessage(&message);
  }
  HOG::ObjectsListPanelBehaviour& makeRow() {
    panel.behaviours[0] = std::make_unique<HOG::ObjectsListPanelBehaviour>(&panel);
    return static_cast<HOG::ObjectsListPanelBehaviour&>(*panel.behaviours[0]);
  }
  KR::UIWidget element{"objects_list", nullptr};
  KR::UIWidget* rowWidget;
  HOG::ObjectsListPanelBehaviour& row;
  HOG::InventoryItem items[5];
};

TEST_F(RowTest, ClicksTakeExchangePutBackAndIgnoreDrags) {
  EXPECT_EQ(click(45, 45, 65, 45), 1);  // a drag of 20: no click, but the row has the pointer
  EXPECT_EQ(row.activeSlot, -1);
  click(45, 45, 50, 50);
  EXPECT_EQ(row.activeSlot, 0);
  EXPECT_TRUE(row.slots[0].taken);
  row.update(0.02f);
  EXPECT_FALSE(row.slots[0].widget->visible);  // the item has left its place
  // Another item while holding one: the clicked one goes onto the cursor, the held one back in its place.
  click(245, 45, 245, 45);
  EXPECT_EQ(row.activeSlot, 0);
  EXPECT_EQ(row.slots[0].item, &items[2]);
  EXPECT_TRUE(row.slots[0].taken);
  EXPECT_EQ(row.slots[2].item, &items[0]);
  EXPECT_FALSE(row.slots[2].taken);
  row.update(0.02f);
  EXPECT_FALSE(row.slots[0].widget->visible);
  EXPECT_TRUE(row.slots[2].widget->visible);
  // The empty place, hidden, still takes the click that puts the item back.
  click(45, 45, 45, 45);
  EXPECT_EQ(row.activeSlot, -1);
  EXPECT_FALSE(row.slots[0].taken);
  row.update(0.02f);
  EXPECT_TRUE(row.slots[0].widget->visible);
}

TEST_F(RowTest, ANewItemFliesIntoItsSlotWhileClicksWait) {
  HOG::InventoryItem found;
  snprintf(found.name, sizeof(found.name), "itemF");
  HOG::GameMessage fly;
  fly.kind = HOG::kMsgItemFlyToRow;
  fly.item = &found;
  fly.payload.xy[0] = 800.0f;
  fly.payload.xy[1] = 100.0f;
  row.onMessage(&fly);
  EXPECT_EQ(row.flyState, 1);
  EXPECT_EQ(row.activeSlot, 5);
  EXPECT_FLOAT_EQ(row.flyPosition.x, 800.0f);
  EXPECT_FALSE(row.slots[5].widget->visible);  // the slot shows up when the icon lands
  click(45, 45, 45, 45);
  EXPECT_FALSE(row.slots[0].taken);
  row.update(0.3f);
  EXPECT_GT(row.flyPosition.y, 100.0f);  // it swoops down first
  landFlight();
  EXPECT_EQ(row.flyState, 0);
  EXPECT_EQ(row.activeSlot, -1);
  EXPECT_FLOAT_EQ(row.flyScale, 0.5f);
  EXPECT_FLOAT_EQ(row.flyPosition.x, row.getSlotIconCentre(5).x);
  row.update(0.02f);
  EXPECT_TRUE(row.slots[5].widget->visible);
  click(45, 45, 45, 45);
  EXPECT_TRUE(row.slots[0].taken);
}

TEST_F(RowTest, RemovingTheFirstClosesTheRowUpAndLeavesTheEmptyRecordLast) {
  HOG::GameMessage removed;
  removed.kind = HOG::kMsgItemRemoved;
  removed.setPointer(&items[0]);
  row.onMessage(&removed);
  EXPECT_EQ(row.slots[0].item, &items[1]);
  EXPECT_EQ(row.slots[3].item, &items[4]);
  EXPECT_FALSE(row.slots[4].occupied);
  EXPECT_EQ(row.occupiedCount(), 4);
  row.update(0.35f);
  const float halfway = row.slots[1].widget->position.x;
  EXPECT_GT(halfway, 100.0f);
  EXPECT_LT(halfway, 200.0f);
  row.update(0.4f);
  EXPECT_FLOAT_EQ(row.slots[1].widget->position.x, 100.0f);
  EXPECT_FALSE(row.slots[4].widget->visible);
  int index = 0;
  EXPECT_EQ(row.findSlotByName("itemE", &index), &row.slots[3]);
  EXPECT_EQ(index, 3);
}

TEST_F(RowTest, IconlessSlotsWaitInOrderAndTheirCaptionsComeWithTheIconAndFollowTheRecords) {
  // No icon is loaded yet: every slot waits, captionless, in the order its item came.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(row.waiting[i], &items[i]);
  EXPECT_EQ(row.waiting[5], nullptr);
  EXPECT_FALSE(caption(1)->visible);
  items[1].spriteLoaded = items[3].spriteLoaded = true;
  row.update(0.02f);
  EXPECT_TRUE(caption(1)->visible);
  EXPECT_EQ(caption(1)->text, L"itemB");
  EXPECT_TRUE(caption(3)->visible);
  EXPECT_FALSE(caption(0)->visible);
  EXPECT_EQ(row.waiting[0], &items[0]);
  EXPECT_EQ(row.waiting[1], &items[2]);
  EXPECT_EQ(row.waiting[2], &items[4]);
  EXPECT_EQ(row.waiting[3], nullptr);

  // The first item leaves: the records move up and their captions with them; it waits no more.
  send(HOG::kMsgItemRemoved, &items[0]);
  EXPECT_TRUE(caption(0)->visible);
  EXPECT_EQ(caption(0)->text, L"itemB");
  EXPECT_FALSE(caption(1)->visible);
  items[2].spriteLoaded = true;
  row.update(0.02f);
  EXPECT_TRUE(caption(1)->visible);
  EXPECT_EQ(caption(1)->text, L"itemC");
  EXPECT_EQ(row.waiting[0], &items[4]);
  EXPECT_EQ(row.waiting[1], nullptr);
}

TEST_F(RowTest, ACaptionsBackingPanelFitsTheNameAndCentresUnderTheSlot) {
  KR::UIFont font;  // every character 10 pixels wide
  font.codeTable.assign(KR::kFontCodeTableSize, 0);
  font.glyphCount = 1;
  font.levels[0].glyphs.push_back(KR::UIFontGlyph{0.0f, 0.0f, 10.0f, 16.0f});
  font.levelCount = 1;
  row.captionPanelName = "caption_panel";
  for (int i : {1, 2}) {
    auto* back = new KR::UIWidget("caption_panel", row.slots[i].widget);
    row.slots[i].widget->children.push_back(back);
    caption(i)->font = &font;
  }
  snprintf(items[2].name, sizeof(items[2].name), "a much longer name");
  items[1].spriteLoaded = items[2].spriteLoaded = true;
  row.update(0.02f);
  for (int i : {1, 2}) {
    const KR::UIWidget* back = row.slots[i].widget->findDescendant("caption_panel");
    const std::wstring& name = caption(i)->text;
    const float width = font.getWStringWidth(name.data(), name.data() + name.size(), 0.0f) + 40.0f;
    EXPECT_GT(width, 80.0f);
    EXPECT_TRUE(back->visible);
    EXPECT_FLOAT_EQ(back->size.x, width) << i;
    EXPECT_FLOAT_EQ(back->position.x, 50.0f - width / 2 - 7.0f) << i;
    // The caption spans its panel, so its centred text sits on it.
    EXPECT_FLOAT_EQ(caption(i)->position.x, back->position.x) << i;
    EXPECT_FLOAT_EQ(caption(i)->size.x, width) << i;
  }
  EXPECT_GT(row.slots[2].widget->findDescendant("caption_panel")->size.x,
            row.slots[1].widget->findDescendant("caption_panel")->size.x + 100.0f);
  for (int i : {1, 2}) caption(i)->font = nullptr;
}

TEST_F(RowTest, AHeldItemLetGoFliesBackIntoItsSlotWhichWorksAgainAfterwards) {
  click(145, 45, 145, 45);
  ASSERT_EQ(row.activeSlot, 1);
  row.heldCentre = KR::Vector2<float>(700.0f, 500.0f);  // where it was last drawn
  send(HOG::kMsgHeldItemCleared);
  EXPECT_EQ(row.flyState, 2);
  EXPECT_EQ(row.activeSlot, 1);
  EXPECT_FLOAT_EQ(row.flyPosition.x, 700.0f);
  EXPECT_FLOAT_EQ(row.flyScale, 0.5f);
  click(145, 45, 145, 45);  // no click while it flies
  EXPECT_TRUE(row.slots[1].taken);
  row.update(0.3f);
  EXPECT_FLOAT_EQ(row.flyScale, 0.5f);  // half size all the way
  EXPECT_GT(row.flyPosition.y, 500.0f);
  landFlight();
  EXPECT_EQ(row.flyState, 0);
  EXPECT_EQ(row.activeSlot, -1);
  EXPECT_FALSE(row.slots[1].taken);
  EXPECT_EQ(row.slots[1].item, &items[1]);
  EXPECT_FLOAT_EQ(row.flyPosition.x, row.getSlotIconCentre(1).x);
  EXPECT_FLOAT_EQ(row.flyPosition.y, row.getSlotIconCentre(1).y);
  click(145, 45, 145, 45);
  EXPECT_EQ(row.activeSlot, 1);
  EXPECT_TRUE(row.slots[1].taken);

  // An earlier item leaving mid-flight lands the returning one at once in its moved record.
  send(HOG::kMsgHeldItemCleared);
  send(HOG::kMsgItemRemoved, &items[0]);
  EXPECT_EQ(row.flyState, 0);
  EXPECT_EQ(row.activeSlot, -1);
  EXPECT_EQ(row.slots[0].item, &items[1]);
  EXPECT_FALSE(row.slots[0].taken);
}

// The hint panel's scene: the charge bar, the button's rim and the map button, each with its markers.
std::unique_ptr<AE::ISceneNode> hintScene() {
  auto scene = std::make_unique<AE::ISceneNode>();
  auto child = [](AE::ISceneNode* parent, const char* name) {
    auto* node = new AE::ISceneNode();
    node->mName = name;
    parent->addChild(node, false);
    return node;
  };
  auto marker = [](AE::ISceneNode* node, const char* name, int from, int to) {
    auto* made = new AE::Marker(name);
    made->addEntry(node, from, to, false, false);
    node->addMarker(made);
  };
  AE::ISceneNode* group = child(scene.get(), "root_group");
  marker(child(group, "hint_progress"), "progress", 0, 48);
  AE::ISceneNode* button = child(group, "hint_btn_controller");
  marker(button, "open", 0, 12);
  marker(button, "close", 12, 0);
  AE::ISceneNode* map = child(group, "map_button_controller");
  marker(map, "force_hide", 0, 10);
  marker(map, "appear", 10, 0);
  marker(map, "open", 20, 26);
  marker(map, "close", 26, 32);
  return scene;
}

TEST_F(RowTest, HintChargesAndPointsAtTheNeededItemsSlot) {
  const std::unique_ptr<AE::ISceneNode> scene = hintScene();
  HOG::HintPanel hint;
  hint.takeSceneMarkers(scene.get());
  AE::ISceneNode* bar = scene->findByPath("/root_group/hint_progress");
  hint.update(10.0f);
  EXPECT_FALSE(hint.ready);  // no recharge time: never ready
  hint.disableTime = 2.0f;
  hint.update(1.0f);
  EXPECT_FALSE(hint.ready);
  EXPECT_FLOAT_EQ(bar->mAnimation->mTime, 1.0f);  // half charged: half way through the bar's two seconds
  EXPECT_EQ(hint.hintOpenMarker->mState, AE::Marker::kStoppedAtStart);
  hint.update(1.1f);
  EXPECT_TRUE(hint.ready);
  EXPECT_FLOAT_EQ(bar->mAnimation->mTime, 2.0f);
  EXPECT_EQ(hint.hintOpenMarker->mState, AE::Marker::kPlaying);  // the full button lights up

  // An item trigger that wants the fourth item: its slot is remembered and the row comes out.
  hint.inventoryPanel = &panel;
  HOG::View place;
  place.position = KR::Vector2<float>(10.0f, 20.0f);
  HOG::ItemTrigger chest;
  chest.center = KR::Vector2<float>(100.0f, 200.0f);
  snprintf(chest.applicableItemName, sizeof(chest.applicableItemName), "itemD");
  HOG::HintResult result;
  result.type = HOG::HT_DO_ACTION;
  result.trigger = &chest;
  result.view = &place;
  panel.setShown(false);
  KR::Vector2<float> target;
  EXPECT_EQ(hint.showHint(result, &target), 2);
  EXPECT_FLOAT_EQ(target.x, 110.0f);
  EXPECT_FLOAT_EQ(target.y, 220.0f);
  EXPECT_EQ(hint.itemSlotIndex, 3);
  EXPECT_TRUE(panel.shown);
  EXPECT_FLOAT_EQ(panel.disappearTime, 9.0f);
  EXPECT_FALSE(hint.ready);  // an action spends the charge
  EXPECT_EQ(hint.hintOpenMarker->mState, AE::Marker::kCompleted);
  EXPECT_EQ(hint.hintCloseMarker->mState, AE::Marker::kPlaying);
  // The item's trail leaves a second after the click, for where its slot is by then.
  const KR::Vector2<float> before = row.getSlotIconCentre(3);
  hint.itemTrailTimer = 0.0f;  // as the click does for a hint with an item
  hint.update(0.9f);
  EXPECT_FALSE(hint.itemTrail->active && hint.itemTrail->endPoint.x == before.x);
  rowWidget->position.x += 40.0f;  // the row pages meanwhile
  hint.update(0.2f);
  EXPECT_TRUE(hint.itemTrail->active);
  EXPECT_FLOAT_EQ(hint.itemTrail->endPoint.x, before.x + 40.0f);
  EXPECT_FLOAT_EQ(hint.itemTrail->endPoint.y, before.y);
  snprintf(chest.applicableItemName, sizeof(chest.applicableItemName), "missing");
  EXPECT_EQ(hint.showHint(result, &target), 1);
  EXPECT_EQ(hint.itemSlotIndex, -1);

  // The script brings the map button out: the map opens (its button pressed) when the appearance ends.
  hint.enableMapButton();
  EXPECT_EQ(hint.mapOpenMarker->mState, AE::Marker::kStoppedAtStart);
  for (int i = 0; i < 15; ++i) scene->update(1.0f / 30.0f);
  EXPECT_EQ(hint.mapOpenMarker->mState, AE::Marker::kPlaying);
  HOG::GameMessage closed;
  closed.kind = HOG::kMsgMapClosed;
  hint.onGameMessage(closed);
  EXPECT_EQ(hint.mapCloseMarker->mState, AE::Marker::kPlaying);
  // A scene without the three nodes: each is named in the log, and the panel goes on without them.
  HOG::HintPanel bare;
  AE::ISceneNode empty;
  bare.takeSceneMarkers(&empty);
  EXPECT_TRUE(log.contains("ERROR: Can't get eccum progress node in hint panel scene"));
  EXPECT_TRUE(log.contains("ERROR: Can't get map button controller node in hint panel scene"));
  bare.disableTime = 1.0f;
  bare.update(2.0f);
  EXPECT_TRUE(bare.ready);
}

TEST_F(PanelTest, HosLinesGroupCountFadeAndGiveTheirSlotToTheNextName) {
  HOG::HOSPanelBehaviour list(&panel);
  KR::UIWidget element("hos_list", nullptr);
  for (int i = 0; i < 2; ++i) {
    auto* slot = new KR::UIWidget("item" + std::to_string(i + 1), &element);
    element.children.push_back(slot);
    list.slotWidgets.push_back(slot);
  }
  HOG::HOSItemTrigger things[5];
  const char* names[] = {"gem", "gem", "gem", "cup", "rope"};
  std::vector<HOG::HOSItemTrigger*> triggers;
  for (int i = 0; i < 5; ++i) {
    snprintf(things[i].itemSceneNode, sizeof(things[i].itemSceneNode), "%s", names[i]);
    things[i].partOfGroup = i < 3 ? 4 : -1;
    triggers.push_back(&things[i]);
  }
  list.buildEntries(triggers);
  list.assignSlots();
  ASSERT_EQ(list.entries.size(), 3u);
  EXPECT_EQ(list.lineText(list.entries[0]), L"gem x3");
  EXPECT_EQ(list.entries[0].slot, 0);
  EXPECT_EQ(list.entries[1].slot, 1);
  EXPECT_EQ(list.entries[2].slot, -1);  // waits for a free slot

  auto find = [&](HOG::HOSItemTrigger* thing) {
    thing->dead = 1;
    HOG::GameMessage found;
    found.kind = HOG::kMsgHosItemFound;
    found.setPointer(thing);
    list.onMessage(&found);
  };
  find(&things[0]);
  EXPECT_EQ(list.lineText(list.entries[0]), L"gem x2");
  find(&things[3]);
  list.update(0.5f);
  EXPECT_EQ(list.entries[1].slot, 1);  // still fading out
  list.update(0.55f);
  EXPECT_EQ(list.entries[1].state, 1);
  EXPECT_EQ(list.entries[1].slot, -1);
  EXPECT_EQ(list.entries[2].slot, 1);
}

TEST_F(PanelTest, HosLineDimsWhileItsThingIsOffTheDesignScreenWhateverTheWindowSize) {
  KR::ConfigManager config{KR::ConfigManager::NoLoad{}};
  config.platforms.resize(1);
  config.platforms[0].resolutionWidth = 1600;
  config.platforms[0].resolutionHeight = 1000;
  config.currentPlatform = &config.platforms[0];
  KR::RenderSystem render(nullptr);
  render.getWindowInfo().mWndWidth = 800;  // a window of half the design size
  render.getWindowInfo().mWndHeight = 500;

  HOG::HOSPanelBehaviour list(&panel);
  KR::UIWidget element("hos_list", nullptr);
  auto* slot = new KR::UIWidget("item1", &element);
  element.children.push_back(slot);
  list.slotWidgets.push_back(slot);
  auto* text = new KR::UILabel("text", slot);
  slot->children.push_back(text);
  list.slotTextName = "text";
  list.regularColor = KR::Color::fromChannels(30, 34, 60, 200);

  HOG::View shed;
  auto scene = std::make_unique<AE::ISceneNode>();
  auto* cup = new AE::ISceneNode();
  cup->mName = "cup";
  scene->addChild(cup, true);
  shed.scene = scene.get();
  list.sceneView = &shed;
  HOG::HOSItemTrigger thing;
  snprintf(thing.itemSceneNode, sizeof(thing.itemSceneNode), "cup");
  thing.enabled = 1;
  list.buildEntries({&thing});
  list.assignSlots();
  auto alphaAt = [&](float x, float y) {
    cup->setPosition(KR::Vector2<float>(x, y));
    cup->updateTransform();
    list.update(1.0f);  // past the fade-in
    return int(text->textColor.alpha());
  };
  EXPECT_EQ(alphaAt(1200.0f, 800.0f), 200);  // on the design screen, beyond the window's size
  EXPECT_EQ(alphaAt(1601.0f, 500.0f), 80);   // just past the right edge
  EXPECT_EQ(alphaAt(-64.0f, -64.0f), 200);   // its corner touches (0, 0)
  EXPECT_EQ(alphaAt(500.0f, -65.0f), 80);
  snprintf(thing.itemSceneNode, sizeof(thing.itemSceneNode), "painted");  // no node of its own: always seen
  EXPECT_EQ(alphaAt(500.0f, -65.0f), 200);
  shed.scene = nullptr;
}

TEST(GuideBoxTest, LayoutCentresClampsPicksTheDimensionByAngleAndRowsTheButtons) {
  HOG::GuideBoxGeometry g;
  g.screenWidth = 1600;
  g.screenHeight = 900;
  g.aspect = 1600.0f / 900.0f;
  g.boxSize = KR::Vector2<float>(300, 100);
  g.arrowLength = 40;
  g.buttonSizes[0] = KR::Vector2<float>(80, 30);
  g.buttonSizes[1] = KR::Vector2<float>(60, 30);
  g.buttonSizes[2] = KR::Vector2<float>(100, 30);

  HOG::GuideLayout centred = HOG::layoutGuideBox(g, false, KR::Vector2<float>(), false, 0b101);
  EXPECT_FLOAT_EQ(centred.boxTopLeft.x, 650);
  EXPECT_FLOAT_EQ(centred.boxTopLeft.y, 400);
  // Bits 0 and 2: 80 + 100 wide, centred on the box, 15 apart, 19 above its lower edge.
  ASSERT_EQ(centred.buttonTopLefts.size(), 2u);
  EXPECT_FLOAT_EQ(centred.buttonTopLefts[0].x, 800 - 90);
  EXPECT_FLOAT_EQ(centred.buttonTopLefts[1].x, 800 - 90 + 80 + 15);
  EXPECT_FLOAT_EQ(centred.buttonTopLefts[0].y, 400 + 100 - 19 - 30);

  // Straight right of the centre: the width counts; the box sits towards the centre from the target.
  HOG::GuideLayout right = HOG::layoutGuideBox(g, true, KR::Vector2<float>(1200, 450), false, 0);
  EXPECT_FLOAT_EQ(right.boxTopLeft.x, std::floor(1200 - (150 + 25) - 150));
  // Straight below: the height counts.
  HOG::GuideLayout below = HOG::layoutGuideBox(g, true, KR::Vector2<float>(800, 800), false, 0);
  EXPECT_FLOAT_EQ(below.boxTopLeft.y, std::floor(800 - (50 + 25) - 50));
  // With the arrow, further away by its length and 45; the arrow 80 from the target.
  HOG::GuideLayout arrow = HOG::layoutGuideBox(g, true, KR::Vector2<float>(800, 800), true, 0);
  EXPECT_FLOAT_EQ(arrow.boxTopLeft.y, std::floor(800 - (50 + 25 + 40 + 45) - 50));
  EXPECT_FLOAT_EQ(arrow.arrowCentre.y, 720);
  // A target in the corner: the box stays on the screen.
  HOG::GuideLayout corner = HOG::layoutGuideBox(g, true, KR::Vector2<float>(1600, 0), false, 0);
  EXPECT_LE(corner.boxTopLeft.x, 1600 - 300);
  EXPECT_GE(corner.boxTopLeft.y, 0);
}

TEST(GuideBoxTest, NewGameResetsSequencesToTheirFirstStep) {
  HOG::GuideSequences guides;
  HOG::GuideSequence two;
  two.steps.resize(2);
  two.steps[0].done = two.steps[0].shown = true;
  two.current = 1;
  two.next = 2;
  guides.sequences = {two, HOG::GuideSequence()};
  guides.start();
  EXPECT_EQ(guides.sequences[0].current, 0);
  EXPECT_EQ(guides.sequences[0].next, 1);
  EXPECT_FALSE(guides.sequences[0].steps[0].done);
  EXPECT_TRUE(guides.sequences[0].active);  // no profile: not hard mode
  EXPECT_EQ(guides.sequences[1].current, -1);
  guides.showStep(guides.sequences[0].steps[0]);
  EXPECT_TRUE(guides.boxShown);
  EXPECT_TRUE(guides.sequences[0].steps[0].shown);
}

// A casket node with the four markers over its frames 0 to 32, and a totems
// scene: "totems" holds "t1" and "t2" (each with a child), beside "other".
class AmuletsTest : public ::testing::Test {
 protected:
  AmuletsTest() {
    allocators.init();
    hud.addChild(controller, false);
    for (auto [name, from, to] : {std::make_tuple("open", 20, 32), std::make_tuple("close", 32, 20),
                                  std::make_tuple("appear", 8, 0), std::make_tuple("disappear", 0, 8)}) {
      auto* marker = new AE::Marker(name);
      marker->addEntry(controller, from, to, false, false);
      controller->addMarker(marker);
    }
  }
  AE::ISceneNode* node(const char* name, AE::ISceneNode* parent) {
    auto* made = new AE::ISceneNode();
    made->mName = name;
    parent->addChild(made, false);
    return made;
  }
  void configure(HOG::AmuletsButton& casket, const std::string& markers) {
    const std::string text =
        "<root><location v=\"progressamulets\"/>" + markers +
        "<getAmuletsScenes><v0 v=\"t1\"/><v1 v=\"t2\"/><v2 v=\"nowhere\"/></getAmuletsScenes></root>";
    KR::XmlDataReader reader;
    ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
    casket.readConfig(reader);
    auto* scene = new AE::ISceneNode();
    AE::ISceneNode* totems = node("totems", scene);
    node("t1_art", node("t1", totems));
    node("t2_art", node("t2", totems));
    node("other", scene);
    casket.setTotemsScene(scene);
  }
  AE::ISceneNode* totem(HOG::AmuletsButton& casket, const char* name) {
    return AE::ISceneNode::findChild(name, casket.totemsScene.get());
  }
  // Seconds of the HUD scene, by frames of a 30th.
  void run(float seconds) {
    for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) hud.update(1.0f / 30.0f);
  }
  const std::string kMarkers =
      "<openingAnim v=\"open\"/><closingAnim v=\"close\"/><appearingAnim v=\"appear\"/>"
      "<disappearingAnim v=\"disappear\"/>";
  KR::EngineAllocators allocators;
  HOG::ProfileSystem profiles{""};
  AE::ISceneNode hud;
  AE::ISceneNode* controller = new AE::ISceneNode();
};

TEST_F(AmuletsTest, CasketIgnoresClicksWhileBusyAndOpensOtherwise) {
  HOG::AmuletsButton casket(nullptr);
  HOG::GameMessage message;
  message.kind = HOG::kMsgPauseMenuOpened;
  casket.onGameMessage(message);
  casket.setOpen(true);
  EXPECT_FALSE(casket.open);
  message.kind = HOG::kMsgPauseMenuClosed;
  casket.onGameMessage(message);
  message.kind = HOG::kMsgNotebookOpened;
  casket.onGameMessage(message);
  casket.setOpen(true);
  EXPECT_FALSE(casket.open);
  message.kind = HOG::kMsgNotebookClosed;
  casket.onGameMessage(message);
  casket.setOpen(true);  // no opening animation: open at once
  EXPECT_TRUE(casket.open);
  casket.setOpen(false);
  EXPECT_FALSE(casket.open);

  // With its animations the casket opens at the end of the opening one, closes at the end of the closing one.
  HOG::AmuletsButton animated(controller);
  configure(animated, kMarkers);
  message.kind = HOG::kMsgPauseMenuOpened;
  animated.onGameMessage(message);
  animated.setOpen(true);
  EXPECT_EQ(animated.openingAnim->mState, AE::Marker::kStoppedAtStart);
  run(1.0f);
  EXPECT_FALSE(animated.open);
  message.kind = HOG::kMsgPauseMenuClosed;
  animated.onGameMessage(message);
  animated.setOpen(true);
  EXPECT_FALSE(animated.open);
  run(0.4f);
  EXPECT_FALSE(animated.open);
  run(0.2f);
  EXPECT_TRUE(animated.open);
  animated.setOpen(false);
  EXPECT_TRUE(animated.open);
  run(0.6f);
  EXPECT_FALSE(animated.open);
}

TEST_F(AmuletsTest, ProfileFlagFollowsTheAppearAndDisappearAnimations) {
  HOG::PlayerProfile* profile = profiles.getCurrentProfile();
  {
    HOG::AmuletsButton casket(controller);
    configure(casket, kMarkers);
    EXPECT_EQ(casket.disappearingAnim->mState, AE::Marker::kStoppedAtStart);  // shown: the flag is set
    casket.disable();
    EXPECT_EQ(profile->options.amuletsButtonEnabled, 0u);
    run(0.5f);
    casket.enable();
    EXPECT_EQ(profile->options.amuletsButtonEnabled, 0u);  // not before the casket is out
    run(0.2f);
    EXPECT_EQ(profile->options.amuletsButtonEnabled, 0u);
    run(0.2f);
    EXPECT_EQ(profile->options.amuletsButtonEnabled, 1u);
    casket.disable();
    run(0.5f);
  }
  // A restarted game: the casket hidden before starts hidden, at the end of its disappearing animation.
  EXPECT_EQ(profile->options.amuletsButtonEnabled, 0u);
  HOG::AmuletsButton restarted(controller);
  configure(restarted, kMarkers);
  EXPECT_EQ(restarted.disappearingAnim->mState, AE::Marker::kCompleted);
  EXPECT_NEAR(controller->mAnimation->mTime, 8.0f / 24.0f, 1e-4f);
  // Without an appearing animation, the script's switch shows it at once.
  HOG::AmuletsButton plain(nullptr);
  plain.enable();
  EXPECT_EQ(profile->options.amuletsButtonEnabled, 1u);
}

TEST_F(AmuletsTest, ATotemPlaysAloneAndTheAmuletsOpenFourSecondsLater) {
  HOG::AmuletsButton casket(controller);
  configure(casket, kMarkers);
  ASSERT_EQ(casket.scenes.size(), 2u);  // "nowhere" is not in the scene
  casket.setScenePlay("t3", true);
  EXPECT_EQ(casket.playingScene, "");
  EXPECT_FALSE(casket.delayedOpen);
  EXPECT_TRUE(totem(casket, "t1")->mEnabled);
  casket.update(5.0f);
  EXPECT_FALSE(casket.open);

  casket.setScenePlay("t2", true);
  EXPECT_EQ(casket.playingScene, "t2");
  for (const char* name : {"t1", "t1_art"}) EXPECT_FALSE(totem(casket, name)->mEnabled) << name;
  for (const char* name : {"totems", "t2", "t2_art"}) EXPECT_TRUE(totem(casket, name)->mEnabled) << name;
  EXPECT_TRUE(totem(casket, "t2_art")->mPlaying);
  EXPECT_TRUE(casket.scenes[1].play);
  for (int i = 0; i < 119; ++i) casket.update(1.0f / 30.0f);
  EXPECT_FALSE(casket.open);
  casket.update(0.05f);
  EXPECT_TRUE(casket.open);
  EXPECT_FALSE(casket.delayedOpen);

  // The next totem replaces it; opening the casket stops them all.
  casket.setScenePlay("t1", false);
  EXPECT_TRUE(totem(casket, "t1_art")->mEnabled);
  EXPECT_FALSE(totem(casket, "t2_art")->mEnabled);
  casket.open = false;
  casket.setOpen(true);
  EXPECT_FALSE(totem(casket, "t1_art")->mPlaying);
}

TEST_F(AmuletsTest, AnOpeningDueWhileThePauseMenuOrTheBookIsUpWaitsForItToClose) {
  // Under the menu or the book no view may open: the casket would think itself open with nothing shown.
  HOG::AmuletsButton casket(controller);
  configure(casket, kMarkers);
  HOG::GameMessage message;
  casket.setScenePlay("t1", true);
  message.kind = HOG::kMsgPauseMenuOpened;
  casket.onGameMessage(message);
  for (int i = 0; i < 150; ++i) casket.update(1.0f / 30.0f);
  EXPECT_FALSE(casket.open);
  message.kind = HOG::kMsgPauseMenuClosed;
  casket.onGameMessage(message);
  casket.update(1.0f / 30.0f);
  EXPECT_TRUE(casket.open);

  // The opening animation ending under the book.
  casket.open = false;
  casket.setOpen(true);
  run(0.3f);
  message.kind = HOG::kMsgNotebookOpened;
  casket.onGameMessage(message);
  run(0.5f);
  casket.update(1.0f / 30.0f);
  EXPECT_FALSE(casket.open);
  message.kind = HOG::kMsgNotebookClosed;
  casket.onGameMessage(message);
  casket.update(1.0f / 30.0f);
  EXPECT_TRUE(casket.open);
}

// A play state over the built content whose locations the test describes.
class PlayStateTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    if (withUi) {
      openDevice();
      openSpritesAndFonts();
      openUiServices();
    }
    gNextView = 0;
    profiles = std::make_unique<HOG::ProfileSystem>(KR::Test::scratchDir("play-screens") + "/");
    game = std::make_unique<HOG::Game>();
    game->resetForNewGame();
    hud = dynamic_cast<HOG::InGameUI*>(game->getHud());
  }
  void TearDown() override {
    game.reset();
    profiles.reset();
    ShowcaseTest::TearDown();
  }
  void load(const std::string& views) {
    game->getRegistry().clear();
    KR::XmlDataReader reader;
    const std::string text = "<root><views>" + views + "</views></root>";
    ASSERT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
    ASSERT_TRUE(reader.enterChild("views"));
    game->getRegistry().parseViews(reader, 1.0f);
  }
  // Opens the view as if streamed in; the HUD hears of its activation.
  HOG::View* open(const char* name) {
    HOG::View* view = game->getRegistry().findViewByName(name);
    view->loaded = true;
    view->controller.doubleClickInterval = -1.0f;
    game->getViewStack().openView(name);
    view->update(0.0f);
    return view;
  }
  static HOG::InputState clickAt(int32_t x, int32_t y) {
    HOG::InputState input;
    input.valid = 1;
    input.leftReleased = 1;
    input.x = input.pressX = x;
    input.y = input.pressY = y;
    return input;
  }
  // The HUD's widget trees, sprites and device as well (set by a derived fixture).
  bool withUi = false;
  // The left button going down there (the click's release comes with clickAt).
  static HOG::InputState pressAt(int32_t x, int32_t y) {
    HOG::InputState input = clickAt(x, y);
    input.leftReleased = 0;
    input.leftPressed = input.leftDown = 1;
    return input;
  }
  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<HOG::Game> game;
  HOG::InGameUI* hud = nullptr;
  // A scene the HUD's panels may keep pointers into; it outlives the game.
  std::unique_ptr<AE::ISceneNode> panelScene;
};

TEST_F(PlayStateTest, HintButtonReadsSkipInAMinigameChargesByDifficultyAndAsksItToSkip) {
  load(view("hall", item(1)) + view("game", item(2), kMinigame) + view("game2", item(3), kMinigame));
  HOG::HintPanel* hint = hud->getHintPanel();
  // The caption is the text node of the panel's scene (the demo's).
  panelScene.reset(AE::loadScene("hint_panel_xml"));
  ASSERT_NE(panelScene, nullptr);
  hint->takeSceneMarkers(panelScene.get());
  auto* caption =
      dynamic_cast<AE::TextSceneNode*>(panelScene->findByPath("/root_group/hint_btn_controller/hint_btn/caption"));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(hint->caption, caption);
  hint->disableTime = hint->disableTimeHard = 100.0f;
  hint->minigameDisableTime = 2.0f;
  hint->minigameDisableTimeHard = 5.0f;
  // A full hint in the hall lights the rim...
  open("hall");
  hint->chargeTime = 150.0f;
  hint->update(0.1f);
  ASSERT_TRUE(hint->ready);
  EXPECT_EQ(hint->hintOpenMarker->mState, AE::Marker::kPlaying);
  hint->chargeTime = 50.0f;
  caption->mDirty = false;
  // ...which goes dark in the minigame: SKIP charges anew and is not full yet.
  HOG::View* minigame = open("game");
  EXPECT_TRUE(hint->minigameMode);
  // The word itself (the localised texts say "Skip"), laid out anew.
  EXPECT_EQ(caption->getDisplayText(), L"SKIP");
  EXPECT_TRUE(caption->mDirty);
  EXPECT_FALSE(hint->ready);
  EXPECT_EQ(hint->hintCloseMarker->mState, AE::Marker::kPlaying);

  // Hard: the minigame's hard time, on its own clock (the half-charged hint clock does not count).
  profiles->getCurrentProfile()->options.difficulty = 1;
  hint->update(2.1f);
  EXPECT_FALSE(hint->ready);
  hint->update(3.0f);
  EXPECT_TRUE(hint->ready);
  EXPECT_EQ(hint->hintOpenMarker->mState, AE::Marker::kPlaying);
  EXPECT_FLOAT_EQ(hint->chargeTime, 50.0f);

  // A full click asks the minigame to skip itself: no trail, the charge stays.
  hint->hintBtnClicked();
  EXPECT_TRUE(minigame->extension->skipRequest);
  EXPECT_FALSE(hint->targetTrail->active);
  EXPECT_TRUE(hint->ready);
  minigame->extension->skipRequest = false;
  // Another minigame shown straight after charges its own SKIP anew.
  open("game2");
  EXPECT_TRUE(hint->minigameMode);
  EXPECT_FALSE(hint->ready);
  open("game");
  hint->update(5.1f);
  ASSERT_TRUE(hint->ready);

  // Put aside, then taken up again without hints (a locked puzzle its script
  // releases): no SKIP is offered, the plain hint is, with its own charge.
  minigame->extension->suspendable = true;
  minigame->extension->setSuspended(true);
  EXPECT_FALSE(hint->minigameMode);
  minigame->extension->announces = false;
  minigame->extension->setSuspended(false);
  EXPECT_FALSE(hint->minigameMode);
  EXPECT_EQ(caption->getDisplayText(), L"HINT");
  EXPECT_FALSE(hint->ready);
  EXPECT_EQ(hint->hintCloseMarker->mState, AE::Marker::kPlaying);
  hint->chargeTime = 150.0f;
  hint->update(0.1f);
  hint->hintBtnClicked();
  EXPECT_FALSE(minigame->extension->skipRequest);
  EXPECT_TRUE(hint->targetTrail->active);
  hint->stopTrails();

  // Hints again, and SKIP with a fresh charge; once the minigame reports its
  // finish the button hints as anywhere else.
  minigame->extension->announces = true;
  minigame->extension->setSuspended(true);
  minigame->extension->setSuspended(false);
  EXPECT_TRUE(hint->minigameMode);
  EXPECT_FALSE(hint->ready);
  minigame->extension->suspendable = false;
  hint->chargeTime = 150.0f;
  minigame->extension->finishReported = true;  // as a puzzle sets it right before its report
  minigame->extension->notifyFinished();
  EXPECT_FALSE(hint->minigameMode);
  EXPECT_EQ(caption->getDisplayText(), L"HINT");
  EXPECT_TRUE(hint->ready);  // the hint's own clock is full
  hint->hintBtnClicked();
  EXPECT_FALSE(minigame->extension->skipRequest);
  EXPECT_TRUE(hint->targetTrail->active);
  EXPECT_FALSE(hint->ready);
  // Taken up again by its script, a finished minigame has nothing to skip.
  minigame->extension->setSuspended(false);
  EXPECT_FALSE(hint->minigameMode);
  EXPECT_EQ(caption->getDisplayText(), L"HINT");

  // Back in a plain location: "HINT" and the normal clock again.
  profiles->getCurrentProfile()->options.difficulty = 0;
  open("hall");
  EXPECT_FALSE(hint->minigameMode);
  EXPECT_EQ(caption->getDisplayText(), L"HINT");
}

TEST_F(PlayStateTest, HintButtonWaitsForTheNotebookAndTheMapCallsTheFirstHintHookOnceAndEmptiesOnStop) {
  load(view("hall", item(1)));
  open("hall");
  lua_State* lua = game->getLuaState().getMainState();
  ASSERT_EQ(luaL_dostring(lua, "firstHints = 0 function onHintFirstClick() firstHints = firstHints + 1 end"), 0);
  auto firstHints = [lua] {
    lua_getglobal(lua, "firstHints");
    const int calls = int(lua_tonumber(lua, -1));
    lua_pop(lua, 1);
    return calls;
  };
  HOG::HintPanel* hint = hud->getHintPanel();
  HOG::NotebookUI* book = hud->getNotebook();
  HOG::LocationsScreen* map = hud->getLocationsMap();
  ASSERT_NE(map, nullptr);
  ASSERT_EQ(profiles->getCurrentProfile()->options.firstHintPending, 1u);
  hint->ready = true;

  // Under the open notebook a full button gives no hint; its map button closes the book and opens the map.
  book->setOpen(true);
  ASSERT_TRUE(book->isOpen());
  hint->hintBtnClicked();
  EXPECT_TRUE(hint->ready);
  EXPECT_EQ(firstHints(), 0);
  hint->mapBtnClicked();
  EXPECT_FALSE(book->isOpen());
  EXPECT_TRUE(map->isOpen());
  // Nor under the map.
  hint->hintBtnClicked();
  EXPECT_TRUE(hint->ready);
  map->close();

  // The item in the hall: the charge is spent and the profile's first hint calls the script once.
  hint->hintBtnClicked();
  EXPECT_FALSE(hint->ready);
  EXPECT_EQ(firstHints(), 1);
  EXPECT_EQ(profiles->getCurrentProfile()->options.firstHintPending, 0u);
  hint->ready = true;
  hint->hintBtnClicked();
  EXPECT_FALSE(hint->ready);
  EXPECT_EQ(firstHints(), 1);

  // Leaving play empties the charge.
  hint->chargeTime = 3.0f;
  game->onDeactivate();
  EXPECT_FLOAT_EQ(hint->chargeTime, 0.0f);
}

TEST_F(PlayStateTest, HintSearchAsksOnlyForShownHiddenObjectsAndEntersTasksFurtherOff) {
  const std::string hos = "<extensionName v=\"HOSViewExtension\"/>";
  auto hosItem = [](int id) {
    return "<@><type v=\"5\"/><triggerID v=\"" + std::to_string(id) + "\"/><enabled v=\"1\"/></@>";
  };
  load(view("hall", transition(2, "shed") + transition(1, "garden")) + view("shed", hosItem(1) + hosItem(2), hos) +
       view("garden", transition(3, "game")) + view("game", "", kMinigame));
  HOG::ViewRegistry& registry = game->getRegistry();
  auto v = [&registry](const char* name) { return registry.findViewByName(name); };
  auto t = [&v](const char* name, int id) { return v(name)->findTrigger(uint32_t(id)); };
  auto search = [&](const char* active) {
    HOG::HintResult result;
    HOG::HintSearch(registry).run(v(active), {v(active)}, &result);
    return result;
  };
  auto* scene = static_cast<HOG::HOSViewExtension*>(v("shed")->extension);
  ASSERT_NE(scene, nullptr);
  scene->activeItems[0] = static_cast<HOG::HOSItemTrigger*>(t("shed", 1));
  scene->activeCount = 1;

  // Item 2 sorts first but is not asked for yet.
  HOG::HintResult hint = search("shed");
  EXPECT_EQ(hint.type, HOG::HT_DO_ACTION);
  EXPECT_EQ(hint.trigger, t("shed", 1));

  // An unfinished scene is a task: the way in is the hint. A way into a task
  // two steps off keeps the first way from the start.
  hint = search("hall");
  EXPECT_EQ(hint.trigger, t("hall", 2));
  EXPECT_EQ(hint.type, HOG::HT_CHANGE_LOCATION);
  scene->finished = true;
  hint = search("hall");
  EXPECT_EQ(hint.trigger, t("shed", 1));
  EXPECT_EQ(hint.depth, 1u);
  scene->activeCount = 0;
  hint = search("hall");
  EXPECT_EQ(hint.type, HOG::HT_CHANGE_LOCATION);
  EXPECT_EQ(hint.trigger, t("garden", 3));
  EXPECT_EQ(hint.entranceTrigger, t("hall", 1));
  EXPECT_EQ(hint.entranceView, v("garden"));
}

// The play state with the HUD built from the demo's widget trees.
TEST_F(PlayStateTest, WithoutThePauseMenusWidgetsEscapeLeavesPlayUnlocked) {
  load(view("hall", item(1)));
  open("hall");
  ASSERT_FALSE(hud->getPauseMenu()->loaded);
  hud->onEscape();
  hud->onEscape();
  EXPECT_FALSE(game->isLocked());
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 0);
  EXPECT_FALSE(hud->modalBlocked);
}

// A new game (a restore goes through it too) reloads the views: nothing of the old game may point into them
// or act on them later.
TEST_F(PlayStateTest, ANewGameUnlocksThePanelLeavesTheHiddenObjectSceneAndDropsAPendingCasketOpening) {
  load(view("hall", item(1)) + view("shed", "<@><type v=\"5\"/><triggerID v=\"1\"/><enabled v=\"1\"/></@>",
                                    "<extensionName v=\"HOSViewExtension\"/>"));
  open("shed");
  HOG::InventoryPanelUI* panel = hud->getInventoryPanel();
  auto* list = static_cast<HOG::HOSPanelBehaviour*>(panel->findBehaviour("HOSPanelBehaviour"));
  ASSERT_EQ(panel->activeBehaviour, list);
  ASSERT_NE(list->sceneView, nullptr);
  // The scene's script locks the panel and the HUD; a totem's casket opening is due.
  panel->setLocked(true);
  hud->scriptBlocked = true;
  HOG::AmuletsButton* casket = hud->getAmuletsButton();
  casket->delayedOpen = true;
  casket->delayTimer = 0.0f;

  game->resetForNewGame();
  EXPECT_FALSE(panel->locked);
  EXPECT_FALSE(hud->scriptBlocked);
  EXPECT_EQ(panel->activeBehaviour, panel->findBehaviour("ObjectsListPanelBehaviour"));
  EXPECT_EQ(list->sceneView, nullptr);
  casket->update(HOG::AmuletsButton::kOpenDelay + 1.0f);
  EXPECT_FALSE(casket->open);
  EXPECT_FALSE(casket->delayedOpen);
}

class HudTest : public PlayStateTest {
 protected:
  HudTest() { withUi = true; }
};

// Keeps the item flights the HUD announces.
struct FlightRecorder : HOG::GameMessageListener {
  void onMessage(const HOG::GameMessage* message) override {
    if (message->kind == HOG::kMsgItemFlyToRow) flights.push_back(*message);
  }
  std::vector<HOG::GameMessage> flights;
};

TEST_F(HudTest, ItemWindowShowsTheIconCentredAndOnlyAPressOutsideSendsItFlyingFromThere) {
  HOG::InventoryItem* key = game->getItemFactory().find("key");
  ASSERT_NE(key, nullptr);
  key->loadSprite();
  ASSERT_NE(key->sprite, nullptr);
  key->sprite->mPosition = KR::Vector2<float>(500.0f, 500.0f);  // where the row last drew it
  auto* image = dynamic_cast<KR::UISprite*>(hud->itemImage);
  ASSERT_NE(image, nullptr);
  FlightRecorder recorder;
  game->getDispatcher().addListener(&recorder);
  HOG::GameMessage added;
  added.kind = HOG::kMsgItemAdded;
  added.setText("key");
  game->getDispatcher().dispatchMessage(&added);
  EXPECT_TRUE(hud->itemWindowShown);
  EXPECT_TRUE(game->isLocked());
  hud->update(0.0f);
  EXPECT_EQ(image->sprite, key->sprite);
  EXPECT_FALSE(image->ownsSprite);
  const KR::Vector2<float> size = key->sprite->mSize;
  EXPECT_FLOAT_EQ(image->offset.x, -size.x / 2);
  EXPECT_FLOAT_EQ(image->offset.y, -size.y / 2);
  EXPECT_FLOAT_EQ(key->sprite->mPosition.x, 0.0f);
  const KR::Vector2<float> centre = image->getAbsolutePosition() + size * 0.5f;

  HOG::InputState press;
  press.valid = 1;
  press.leftPressed = 1;
  const KR::Vector2<float> inside = hud->itemAddedWindow->getAbsolutePosition() + KR::Vector2<float>(20.0f, 20.0f);
  press.x = int32_t(inside.x);
  press.y = int32_t(inside.y);
  hud->processInput(press);
  EXPECT_TRUE(hud->itemWindowShown);
  EXPECT_TRUE(recorder.flights.empty());
  press.x = press.y = 5;
  hud->processInput(press);
  EXPECT_FALSE(hud->itemWindowShown);
  EXPECT_FALSE(game->isLocked());
  ASSERT_EQ(recorder.flights.size(), 1u);
  EXPECT_FLOAT_EQ(recorder.flights[0].payload.xy[0], centre.x);
  EXPECT_FLOAT_EQ(recorder.flights[0].payload.xy[1], centre.y);
  EXPECT_EQ(recorder.flights[0].item, key);
  // The icon stays the factory's.
  EXPECT_EQ(image->sprite, nullptr);
  EXPECT_EQ(hud->itemAddedItem, nullptr);

  // Two items at once: the first flies to the row when the second is announced.
  game->getDispatcher().dispatchMessage(&added);
  added.setText("gem_red");
  game->getDispatcher().dispatchMessage(&added);
  ASSERT_EQ(recorder.flights.size(), 2u);
  EXPECT_EQ(recorder.flights[1].item, key);
  EXPECT_TRUE(hud->itemWindowShown);
  EXPECT_EQ(hud->itemAddedItem, game->getItemFactory().find("gem_red"));
  EXPECT_TRUE(game->isLocked());
  game->getDispatcher().removeListener(&recorder);

  // The factory drops the shown icon (the item left the inventory, a save was restored): the window lets go of it.
  HOG::InventoryItem* gem = game->getItemFactory().find("gem_red");
  gem->loadSprite();
  hud->update(0.0f);
  EXPECT_EQ(image->sprite, gem->sprite);
  game->getItemFactory().unloadSprites();
  hud->update(0.0f);
  EXPECT_EQ(image->sprite, nullptr);
}

TEST_F(HudTest, GoBackJumpsThroughALiveTransitionAndClosesAnUnlockedCloseUpOnly) {
  load(view("hall", transition(0, "garden", "<singleUse v=\"1\"/>")) + view("garden", item(0)) +
       view("cu", item(1), kCloseUp + "<CloseViewOnOutsideAreaClick v=\"1\"/>"));
  HOG::ViewStack& stack = game->getViewStack();
  open("garden")->loaded = true;
  open("hall");
  // Trigger 0 is the way back: taken at once, without the fade of a click.
  hud->goBackwardButtonClicked();
  game->getTasks().update();
  EXPECT_STREQ(stack.getActiveView()->name, "garden");
  EXPECT_LT(game->getLockTimer(), 1e-6f);
  // Now dead: nothing more.
  open("hall");
  hud->goBackwardButtonClicked();
  game->getTasks().update();
  EXPECT_STREQ(stack.getActiveView()->name, "hall");
  // Not a transition: nothing.
  open("garden");
  hud->goBackwardButtonClicked();
  game->getTasks().update();
  EXPECT_STREQ(stack.getActiveView()->name, "garden");

  // A close-up stays while view changes are locked, then closes and lets go of the held item.
  open("cu");
  stack.setTakenInventoryItem(game->getItemFactory().find("key"));
  ++stack.viewChangeLocks;
  hud->goBackwardButtonClicked();
  EXPECT_STREQ(stack.getActiveView()->name, "cu");
  EXPECT_NE(stack.getTakenInventoryItem(), nullptr);
  --stack.viewChangeLocks;
  hud->goBackwardButtonClicked();
  EXPECT_STREQ(stack.getActiveView()->name, "garden");
  EXPECT_EQ(stack.getTakenInventoryItem(), nullptr);
}

TEST_F(HudTest, PauseMenuLocksPlayStopsPostProcessingAndNeverLowersLocksBelowZero) {
  load(view("hall", item(1)));
  open("hall");
  HOG::InGameMenu* menu = hud->getPauseMenu();
  ASSERT_TRUE(menu->loaded);
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  // Not while play is locked (a window or a fade holds it).
  game->setLocked(true);
  hud->onEscape();
  EXPECT_FALSE(menu->shown);
  game->setLocked(false);
  hud->onEscape();
  EXPECT_TRUE(menu->shown);
  EXPECT_TRUE(hud->modalBlocked);
  EXPECT_TRUE(game->isLocked());
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 1);
  EXPECT_FALSE(render->mDistortionEnabled);
  // Escape closes it again.
  hud->onEscape();
  EXPECT_FALSE(menu->shown);
  EXPECT_FALSE(hud->modalBlocked);
  EXPECT_FALSE(game->isLocked());
  EXPECT_TRUE(render->mDistortionEnabled);
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 0);
  menu->hideWindow();
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 0);

  // Back to the main menu: closed, unlocked, and the profile list written first.
  hud->menuClicked();
  const int saves = profiles->getSaveCount();
  menu->exitGame();
  EXPECT_EQ(profiles->getSaveCount(), saves + 1);
  EXPECT_FALSE(menu->shown);
  EXPECT_FALSE(game->isLocked());
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 0);
}

TEST_F(HudTest, ABookOpeningUnderThePauseMenuLeavesTheMenuItsClicks) {
  load(view("hall", item(1)));
  open("hall");
  HOG::InGameMenu* menu = hud->getPauseMenu();
  hud->menuClicked();
  ASSERT_TRUE(menu->shown);
  // The button's animation ends under the menu (the story gave the book meanwhile).
  HOG::NotebookUI* book = hud->getNotebook();
  book->setOpen(true);
  if (book->openMarker) book->onMarker(book->openMarker);
  ASSERT_TRUE(book->widgetTree->shown);
  for (int i = 0; i < 10; ++i) KR::UIManager::getInstance()->update(0.05f);
  KR::UIWidget* resume = menu->menuWidget->findDescendant("resume_btn");
  ASSERT_NE(resume, nullptr);
  const KR::Vector2<float> at = resume->getAbsolutePosition() + resume->getTotalSize() * 0.5f;
  ASSERT_TRUE(book->widgetTree->hitTest(book->toBook(at)));  // the menu lies over the book
  auto* controller = static_cast<KR::UIPCController*>(KR::UIManager::getInstance()->getController());
  controller->position = controller->pressPosition = at;
  for (uint32_t event : {KR::kUIEventLeftPressed, KR::kUIEventLeftHeld, KR::kUIEventLeftReleased})
    controller->route(event);
  EXPECT_FALSE(menu->shown);
  EXPECT_FALSE(game->isLocked());
  // The book's own controls answer again.
  EXPECT_TRUE(KR::UIManager::getInstance()->isInputReachable(book->controlsTree));
}

// The play state with the UI manager and the widgets' commands: the HUD's trees load from the demo content.
TEST_F(HudTest, BriefWindowOpensByCommandShowsTheBriefKeepsItsClicksAndClosesWithTheMinigame) {
  load(view("hall", item(1)) + view("game", item(2), kMinigame));
  HOG::InventoryPanelUI* panel = hud->getInventoryPanel();
  auto* brief = dynamic_cast<HOG::BriefPanelBehaviour*>(panel->findBehaviour("BriefPanelBehaviour"));
  ASSERT_NE(brief, nullptr);
  ASSERT_NE(brief->briefWindow, nullptr);
  ASSERT_NE(brief->briefWindowText, nullptr);
  EXPECT_FALSE(brief->briefWindow->shown);  // closed until asked
  open("game");
  ASSERT_EQ(panel->activeBehaviour, brief);
  BriefedMinigame minigame;
  HOG::GameMessage changed;
  changed.kind = HOG::kMsgExtensionChanged;
  changed.setPointer(static_cast<HOG::IViewExtension*>(&minigame));
  panel->onMessage(&changed);
  EXPECT_EQ(static_cast<KR::UILabel*>(brief->text)->text, L"Open the drawer");
  EXPECT_EQ(static_cast<KR::UILabel*>(brief->briefWindowText)->text, L"Open the drawer");

  // The widgets' command opens it over everything; the held item is not drawn meanwhile.
  KR::ILexBinder* show = KR::LexBindedFunctionManager::getInstance()->findFunction("showBriefWindow");
  ASSERT_NE(show, nullptr);
  show->invoke();
  EXPECT_TRUE(brief->briefWindow->shown);
  EXPECT_TRUE(game->briefWindowShown);
  // The window is modal: clicks are the panel's, not the minigame's, also the release of the
  // click on OK, which arrives after the UI manager has closed the window.
  const KR::Vector2<float> inside = brief->briefWindowText->getAbsolutePosition() + KR::Vector2<float>(5.0f, 5.0f);
  EXPECT_LT(inside.y, panel->appearCursorYPos);
  EXPECT_TRUE(panel->handleInput(clickAt(100, 100)));
  EXPECT_TRUE(panel->handleInput(pressAt(int32_t(inside.x), int32_t(inside.y))));
  KR::LexBindedFunctionManager::getInstance()->findFunction("closeBriefWindow")->invoke();
  EXPECT_FALSE(brief->briefWindow->shown);
  EXPECT_FALSE(game->briefWindowShown);
  EXPECT_TRUE(panel->handleInput(clickAt(int32_t(inside.x), int32_t(inside.y))));
  EXPECT_FALSE(panel->handleInput(pressAt(int32_t(inside.x), int32_t(inside.y))));
  EXPECT_FALSE(panel->handleInput(clickAt(int32_t(inside.x), int32_t(inside.y))));

  // Leaving the minigame with the window open closes it.
  show->invoke();
  open("hall");
  EXPECT_STREQ(panel->activeBehaviour->getClassName(), "ObjectsListPanelBehaviour");
  EXPECT_FALSE(brief->briefWindow->shown);
  EXPECT_FALSE(game->briefWindowShown);
}

// Where a label's text lands, laid out as the label draws it, against its box.
std::string overflow(const KR::UIWidget* widget) {
  const auto* label = dynamic_cast<const KR::UILabel*>(widget);
  if (!label || !label->font) return "no label with a font";
  const KR::Vector2<float> at = label->getAbsolutePosition();
  const KR::Rect ink = label->font->measureWStringRect(at, label->text, label->wordWrap, label->halign, label->valign,
                                                       label->xcoeff, label->ycoeff, label->size.x, label->size.y);
  // Glyph cells snap to whole pixels: half a point either way is the box.
  if (ink.left >= at.x - 0.5f && ink.top >= at.y - 0.5f && ink.right <= at.x + label->size.x + 0.5f &&
      ink.bottom <= at.y + label->size.y + 0.5f)
    return "";
  std::ostringstream why;
  why << "'" << KR::toNarrowString(label->text) << "' covers " << ink.left - at.x << ".." << ink.right - at.x << " x "
      << ink.top - at.y << ".." << ink.bottom - at.y << " of a box " << label->size.x << " x " << label->size.y;
  return why.str();
}

// The demo's views load without an error line, and every puzzle of the gallery (and the desk's quest), as the
// demo describes it, brings its briefing to the brief line and the brief window (or, for a puzzle without one,
// the line stays empty and offers no window), and the briefing fits both boxes.
TEST_F(HudTest, DemoViewsLoadCleanlyAndEveryGalleryBriefingFitsTheBriefLineAndTheBriefWindow) {
  // The briefings that name a key of the localised texts are read with the English strings.
  texts = std::make_unique<KR::TextManager>();
  texts->loadStrings();
  const size_t before = log.lines().size();
  game->getRegistry().loadViews();
  // The demo's views load without a word of complaint: no view lists more neighbours than it holds.
  const std::vector<std::string> lines = log.lines();
  for (size_t i = before; i < lines.size(); ++i) EXPECT_EQ(lines[i].find("ERROR"), std::string::npos) << lines[i];
  HOG::InventoryPanelUI* panel = hud->getInventoryPanel();
  auto* brief = dynamic_cast<HOG::BriefPanelBehaviour*>(panel->findBehaviour("BriefPanelBehaviour"));
  ASSERT_NE(brief, nullptr);
  KR::UIWidget* more = brief->element ? brief->element->findDescendant("brief_more") : nullptr;
  ASSERT_NE(more, nullptr);
  int puzzles = 0;
  for (HOG::View* view : game->getRegistry().getViews()) {
    HOG::IViewExtension* puzzle = view->extension;
    if (!puzzle || puzzle->getType() != 1) continue;
    ++puzzles;
    SCOPED_TRACE(view->name);
    // A locked puzzle shows its briefing once its script releases it.
    const bool locked = puzzle->suspended;
    puzzle->suspended = false;
    HOG::GameMessage changed;
    changed.kind = HOG::kMsgExtensionChanged;
    changed.setPointer(puzzle);
    panel->onMessage(&changed);
    puzzle->suspended = locked;
    const std::wstring* text = puzzle->getExtensionData();
    EXPECT_EQ(static_cast<KR::UILabel*>(brief->text)->text, text ? *text : std::wstring());
    EXPECT_EQ(static_cast<KR::UILabel*>(brief->briefWindowText)->text, text ? *text : std::wstring());
    EXPECT_EQ(brief->element->visible && more->visible, text && !text->empty());
    // The linked circles keep no briefing: their board says what to do, and the
    // line stays out of sight also when the HUD shows its content again.
    if (dynamic_cast<HOG::CircleMinigameViewExtension*>(puzzle)) {
      brief->setContentVisible(false);
      brief->setContentVisible(true);
      EXPECT_FALSE(brief->element->visible);
      continue;
    }
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->empty());
    EXPECT_EQ(overflow(brief->text), "");
    EXPECT_EQ(overflow(brief->briefWindowText), "");
  }
  EXPECT_EQ(puzzles, 26);  // the 25 of the gallery and the desk's quest
}

TEST_F(PlayStateTest, TheMapOpensOverAClosedBookAndKeepsTheClickThatClosedIt) {
  load(view("hall", transition(1, "garden")) + view("garden", transition(2, "hall")));
  open("hall");
  HOG::NotebookUI* notebook = hud->getNotebook();
  notebook->setOpen(true);
  ASSERT_TRUE(notebook->isOpen());
  hud->getHintPanel()->mapBtnClicked();
  HOG::LocationsScreen* map = hud->getLocationsMap();
  EXPECT_TRUE(map->isOpen());
  EXPECT_FALSE(notebook->isOpen());

  // Its Close runs before the frame's input arrives: the release still ends on the map.
  EXPECT_TRUE(map->handleInput(pressAt(1500, 40)));
  map->close();
  EXPECT_TRUE(map->handleInput(clickAt(1500, 40)));
  EXPECT_FALSE(map->handleInput(pressAt(1500, 40)));
  EXPECT_FALSE(map->handleInput(clickAt(1500, 40)));
}

TEST_F(PlayStateTest, GuideStepShowsWhereItsTriggerIsRestrictsClicksAndEndsByClickOrItem) {
  const std::string place = "<center v0=\"400\" v1=\"300\"/><size v0=\"100\" v1=\"100\"/>";
  load(view("hall", item(1, "<center v0=\"800\" v1=\"300\"/><size v0=\"100\" v1=\"100\"/>") + item(2, place)));
  HOG::View* hall = open("hall");
  HOG::ViewStack& stack = game->getViewStack();
  HOG::GuideSequences* guides = game->getGuides();
  ASSERT_NE(guides, nullptr);
  EXPECT_FLOAT_EQ(guides->geometry.aspect, config->getCurrentPlatform()->fullscreenMinimalAspect);
  HOG::GuideSequence lost, walk;
  lost.steps.resize(1);
  lost.steps[0].triggerId = 9;  // not in the hall: never shown
  walk.steps.resize(2);
  walk.steps[0].viewName = "hall";
  walk.steps[0].triggerId = 2;
  walk.steps[0].arrow = true;
  walk.steps[1].itemName = "key";
  guides->sequences = {lost, walk};
  guides->start();
  hall->findTrigger(2)->enabled = 0;
  guides->update(0.1f);
  EXPECT_FALSE(guides->boxShown);
  hall->findTrigger(2)->enabled = 1;
  guides->update(0.1f);
  ASSERT_TRUE(guides->boxShown);
  EXPECT_FALSE(guides->sequences[0].steps[0].shown);
  EXPECT_EQ(guides->shownStep, &guides->sequences[1].steps[0]);

  // Only the pointed trigger takes clicks; no view opens or closes; no panning.
  EXPECT_TRUE(stack.restrictInput);
  EXPECT_TRUE(stack.isAllowed(hall->findTrigger(2)));
  EXPECT_FALSE(stack.isAllowed(hall->findTrigger(1)));
  EXPECT_EQ(stack.viewChangeLocks, 1);
  EXPECT_FALSE(hall->controller.enabled);
  EXPECT_FALSE(guides->processInput(clickAt(800, 300)));
  EXPECT_TRUE(guides->boxShown);
  HOG::InputState drag = clickAt(400, 300);
  drag.pressX = 800;  // pressed elsewhere: no click on the trigger
  guides->processInput(drag);
  EXPECT_TRUE(guides->boxShown);

  // The click on it ends the step before the view sees it: everything is released.
  guides->processInput(clickAt(410, 290));
  EXPECT_FALSE(guides->boxShown);
  EXPECT_FALSE(stack.restrictInput);
  EXPECT_EQ(stack.restrictedCount, 0);
  EXPECT_EQ(stack.viewChangeLocks, 0);
  EXPECT_TRUE(hall->controller.enabled);

  // The next step waits for the key; not while the pause menu is up.
  guides->update(0.1f);
  EXPECT_EQ(guides->sequences[1].current, 1);
  guides->update(0.1f);
  ASSERT_TRUE(guides->boxShown);
  EXPECT_EQ(stack.viewChangeLocks, 1);
  ASSERT_EQ(game->getInventory().addItem("key", false), 0);
  hud->getPauseMenu()->shown = true;
  guides->update(0.1f);
  EXPECT_TRUE(guides->boxShown);
  hud->getPauseMenu()->shown = false;
  guides->update(0.1f);
  EXPECT_FALSE(guides->boxShown);
  EXPECT_EQ(stack.viewChangeLocks, 0);
  EXPECT_EQ(guides->sequences[1].current, -1);

  // A new game takes a box left up down with its locks; hard mode plays without the guide.
  guides->showStep(guides->sequences[1].steps[0]);
  EXPECT_EQ(stack.viewChangeLocks, 1);
  profiles->getCurrentProfile()->options.difficulty = 1;
  guides->start();
  EXPECT_FALSE(guides->boxShown);
  EXPECT_EQ(stack.viewChangeLocks, 0);
  EXPECT_FALSE(guides->sequences[1].active);
}

class NotebookTest : public ::testing::Test {
 protected:
  NotebookTest() {
    section.pageSize = KR::Vector2<float>(400, 300);
    section.recordsDistance = 10;
  }
  HOG::NotebookRecord* add(const std::string& id, float height, bool doublePage = false) {
    EXPECT_TRUE(section.addRecord(id, "", doublePage));
    HOG::NotebookRecord* record = section.findRecord(id);
    record->height = height;
    record->offset.x = 5;
    record->loadState = 2;  // the scene's height is given here
    return record;
  }
  size_t listed(const HOG::NotebookRecord* record) const {
    size_t count = 0;
    for (const auto& page : section.pages)
      count += size_t(std::count(page->records.begin(), page->records.end(), record));
    return count;
  }
  KR::Test::LogCapture log;
  HOG::NotebookSection section;
};

TEST_F(NotebookTest, RecordsStackFillPagesAndADoublePageMovesTheOthersOnOnce) {
  HOG::NotebookRecord* a = add("a", 100);
  section.placeRecord(a);
  ASSERT_EQ(section.pages.size(), 2u);
  EXPECT_EQ(a->page, section.pages[0].get());
  EXPECT_FLOAT_EQ(a->position.x, 5);
  EXPECT_FLOAT_EQ(a->position.y, 0);
  HOG::NotebookRecord* b = add("b", 100);
  section.placeRecord(b);
  EXPECT_FLOAT_EQ(b->position.y, 110);
  EXPECT_TRUE(section.pages[0]->full);  // a third of 100 would not fit under 220
  HOG::NotebookRecord* tall = add("tall", 500);
  section.placeRecord(tall);
  EXPECT_EQ(tall->page, section.pages[1].get());  // an empty page takes anything
  EXPECT_TRUE(section.pages[1]->full);

  // The double page lands on a fresh spread's left page once the first spread is full...
  HOG::NotebookRecord* map = add("map", 200, true);
  section.placeRecord(map);
  ASSERT_EQ(section.pages.size(), 4u);
  EXPECT_EQ(map->page, section.pages[2].get());
  EXPECT_TRUE(section.pages[2]->full);
  EXPECT_TRUE(section.pages[3]->full);
  // ...and on a spread whose left page holds records it moves them on, each listed once.
  HOG::NotebookSection& s = section;
  s.clear();
  EXPECT_FALSE(a->placed);
  for (HOG::NotebookRecord* r : {a, map}) r->loadState = 2;
  HOG::NotebookRecord* first = add("first", 50);
  s.placeRecord(a);
  s.placeRecord(first);
  s.placeRecord(map);
  EXPECT_EQ(map->page, s.pages[0].get());
  for (const HOG::NotebookRecord* r : {a, first, map}) EXPECT_EQ(listed(r), 1u) << r->id;
  EXPECT_TRUE(a->placed);
  EXPECT_NE(a->page, s.pages[0].get());

  s.showPage(s.pages[3].get());
  EXPECT_EQ(s.shownLeft, s.pages[2].get());
  EXPECT_EQ(s.leftLabel, "3");
  EXPECT_EQ(s.rightLabel, "4");
  s.showPage(nullptr);
  EXPECT_TRUE(log.contains("ERROR: Cant show NULL page!"));
  EXPECT_FALSE(section.addRecord(std::string(128, 'x'), "", false));
  EXPECT_TRUE(log.contains("ERROR: Notebook record id is longer than 127 characters"));
}

}  // namespace
