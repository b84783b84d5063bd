// The level script's reach and the play screens over a running play state on
// the demo descriptions: the Lua tables (conversions, missing and extra
// arguments, immediate against deferred), animation and hidden-object item
// triggers, the hidden-object scene's refill and misses, the found-item
// dissolve's timing, the scene's penalty and dissolve particle effects, the cut
// scene's stages, the map's zoom, pan and travel, and saved games refused or
// taken with the live game compared before and after.
#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include <cmath>
#include <string>

#include "animationeditor/scene_node.h"
#include "core/game_state/extensions/hos_item_disapperence_effect_manager.h"
#include "core/game_state/extensions/hos_view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/locations_map.h"
#include "core/game_state/input_state.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/script/cut_scene.h"
#include "core/game_state/script/lua_integration.h"
#include "core/game_state/triggers/animation_trigger.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/triggers/scene_node_tasks.h"
#include "core/game_state/triggers/trigger_visualizer.h"
#include "core/game_state/ui_message_manager.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "object_factory.h"
#include "particle_fx.h"
#include "particle_system.h"
#include "platform/safe_file.h"
#include "savetool.h"
#include "src/game/core/showcase_test_support.h"
#include "xml_data_reader.h"

namespace {

using HOG::Game;

class StoryTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    profiles = std::make_unique<HOG::ProfileSystem>(KR::Test::scratchDir("story") + "/");
    game = std::make_unique<Game>();
    game->resetForNewGame();
    L = game->getLuaState().getMainState();
  }
  void TearDown() override {
    game.reset();
    profiles.reset();
    ShowcaseTest::TearDown();
  }
  // Runs a chunk in the game's Lua state; the number it returns, if any.
  double run(const std::string& chunk) {
    const int top = lua_gettop(L);
    EXPECT_EQ(luaL_dostring(L, chunk.c_str()), 0) << chunk;
    double result = -999.0;
    if (lua_gettop(L) > top && lua_isboolean(L, -1)) result = lua_toboolean(L, -1) ? 1.0 : 0.0;
    if (lua_gettop(L) > top && lua_isnumber(L, -1)) result = lua_tonumber(L, -1);
    lua_settop(L, top);
    return result;
  }
  uint32_t queued() { return game->getTasks().getRunNowCount() + game->getTasks().getAfterLockCount(); }
  HOG::View* view(const char* name) { return game->getRegistry().findViewByName(name); }
  HOG::HOSViewExtension* shed() { return static_cast<HOG::HOSViewExtension*>(view("hos01")->extension); }
  // A hidden-object view of its own (id 50) from item entries.
  HOG::HOSViewExtension* scene(const std::string& triggers) {
    const std::string text =
        "<root><views><v0><name v=\"hos_test\"/><id v=\"50\"/>"
        "<extensionName v=\"HOSViewExtension\"/><areaTriggers>" +
        triggers + "</areaTriggers></v0></views></root>";
    KR::XmlDataReader reader;
    EXPECT_EQ(reader.parse(text.data(), text.size()), pugi::status_ok);
    EXPECT_TRUE(reader.enterChild("views"));
    game->getRegistry().parseViews(reader, 1.0f);
    return static_cast<HOG::HOSViewExtension*>(view("hos_test")->extension);
  }
  static std::string item(int id, int group = -1, const std::string& extra = "") {
    return "<v" + std::to_string(id - 1) + "><type v=\"5\"/><triggerID v=\"" + std::to_string(id) +
           "\"/><HOSItemTriggerItemSceneNode v=\"n" + std::to_string(id) + "\"/><HOSItemTriggerPartOfGroup v=\"" +
           std::to_string(group) + "\"/>" + extra + "</v" + std::to_string(id - 1) + ">";
  }
  static HOG::HOSItemTrigger* hos(HOG::HOSViewExtension* e, uint32_t id) {
    return static_cast<HOG::HOSItemTrigger*>(e->view->findTrigger(id));
  }

  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<Game> game;
  lua_State* L = nullptr;
};

TEST_F(StoryTest, LuaTablesConvertArgumentsRefuseShortCallsAndDeferWhatTheyShould) {
  KR::Test::LogCapture log;
  size_t count = 0;
  const HOG::LuaIntegration::FunctionInfo* list = HOG::LuaIntegration::functions(&count);
  ASSERT_EQ(count, 75u);
  for (size_t i = 0; i < count; ++i) {
    const auto& f = list[i];
    const std::string call = std::string(f.table) + "." + f.name;
    std::string args;
    for (const char* k = f.arguments; *k; ++k) {
      if (!args.empty()) args += ", ";
      args += *k == 's' ? "'location01'" : *k == 'b' ? "false" : "1";
    }
    // A full call queues exactly when the function defers.
    game->getTasks().clear();
    run(call + "(" + args + ")");
    EXPECT_EQ(queued() > 0, f.deferred) << call;
    // One argument short: refused, nothing queued, a getter's default.
    if (f.arguments[0]) {
      game->getTasks().clear();
      const std::string shortArgs = args.substr(0, args.rfind(',') == std::string::npos ? 0 : args.rfind(','));
      const double r = run("return " + call + "(" + shortArgs + ")");
      EXPECT_EQ(queued(), 0u) << call;
      if (f.result == 'b') {
        EXPECT_EQ(r, 0.0) << call;
      }
      if (f.result == 'i' && std::string(f.table) == "gView") {
        EXPECT_EQ(r, -1.0) << call;
      }
    }
  }
  EXPECT_TRUE(log.contains("[***LUA ERROR***]: 0 arguments given where 1 are needed."));

  // -1 as an unsigned index is 4294967295, which reads state value 2.
  run("gGame.setViewState(1, 2, 7)");
  EXPECT_EQ(run("return gGame.getViewState(1, -1)"), 7.0);
  EXPECT_EQ(run("return gGame.getViewState(1, 99)"), 7.0);
  // An extra argument takes the last declared one's place.
  view("location01")->visitCount = 3;
  EXPECT_EQ(run("return gGame.getViewVisitsCount(42, 1)"), 3.0);
  // A bool given as a number is refused and reads false.
  run("local x = 1\ngView.setTriggerEnabled(1, 1, 1)");
  EXPECT_EQ(view("location01")->findTrigger(1)->enabled, 0);
  // The line says which call of which script went wrong.
  EXPECT_TRUE(
      log.contains("[***LUA ERROR***]: Failed to pop bool value from stack. (script '[string \"local x = "
                   "1...\"]', function 'setTriggerEnabled', line 2)"));
  EXPECT_EQ(run("return gView.getTriggerState(1, 77, 0)"), -1.0);
  EXPECT_TRUE(log.contains("LuaIntegration::getTriggerState(..), Failed to locate trigger: 77"));
  // Scene-node calls are recorded when their task runs, by view name too.
  game->getTasks().clear();
  run("gScene.setNodeEnableS('nowhere', 'lamp_light', true) gScene.setNodeEnableS('location01', 'lamp_light', true)");
  EXPECT_EQ(queued(), 1u);
  game->getTasks().runAll();
  ASSERT_EQ(game->getNodeStates().getCount(), 1);
  EXPECT_STREQ(game->getNodeStates().getRecords()[0].nodeName, "lamp_light");
  run("gView.lockViewChanging(true) gView.lockViewChanging(false) gView.lockViewChanging(false)");
  game->getTasks().runAll();
  EXPECT_EQ(game->getViewStack().viewChangeLocks, 0);
}

TEST_F(StoryTest, AnimationAndHiddenObjectTriggersActOnceAndReportTheirUse) {
  // The desk's drawer: single use, it enables the key (messages: disabled, then enabled).
  auto* drawer = static_cast<HOG::AnimationTrigger*>(view("closeup01")->findTrigger(2));
  HOG::IBaseAreaTrigger* key = view("closeup01")->findTrigger(1);
  ASSERT_EQ(drawer->getType(), 4);
  EXPECT_EQ(key->enabled, 0);
  game->getTasks().clear();
  drawer->invokeOnClick();
  EXPECT_EQ(drawer->dead, 1);
  EXPECT_EQ(drawer->enabled, 0);
  EXPECT_EQ(key->enabled, 1);
  EXPECT_EQ(key->dead, 0);
  EXPECT_EQ(queued(), 3u);  // enable, rewind, play
  EXPECT_NEAR(game->getLockTimer(), 0.5f, 1e-6f);
  // Shown again dead and reversed: rewound to the beginning.
  drawer->playReverse = true;
  drawer->invokeOnActivate();
  const HOG::SceneNodeStateList& states = game->getNodeStates();
  EXPECT_EQ(states.getRecords()[states.getCount() - 1].kind, uint32_t(HOG::SceneNodeStateRecord::RewindToBegin));

  HOG::HOSItemTrigger parsed;
  parsed.parseRelativeTriggers("3, 12;7 -5");
  EXPECT_EQ(parsed.relativeTriggerCount, 4);
  EXPECT_EQ(parsed.relativeTriggers[1], 12);
  EXPECT_EQ(parsed.relativeTriggers[3], 5);
  parsed.parseRelativeTriggers("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17");
  EXPECT_EQ(parsed.relativeTriggerCount, 16);
  parsed.parseRelativeTriggers("");
  EXPECT_EQ(parsed.relativeTriggerCount, 0);

  // A shed item not asked for ignores clicks; asked for, it is found once.
  HOG::HOSItemTrigger* first = hos(shed(), 1);
  first->activeInHOS = false;
  first->invokeOnClick();
  EXPECT_EQ(first->dead, 0);
  first->activeInHOS = true;
  first->invokeOnClick();
  EXPECT_EQ(first->dead, 1);
  EXPECT_EQ(first->enabled, 0);
  ASSERT_NE(first->localizedName, nullptr);
  EXPECT_EQ(*first->localizedName, L"Key");
}

TEST_F(StoryTest, AreaTriggersHandCarriedItemsToTheScriptAndDoNothingOncePlayIsGone) {
  HOG::AreaTrigger door;
  door.locationId = 77;
  door.triggerId = 5;
  run("function __Generated_L77AT5_onInventoryItemApplied(name) if name == 'key' then return 1 end return 0 end");
  run("function __Generated_L77AT5_getApplicableItemNameScript() return 'key' end");
  HOG::InventoryItem* key = game->getItemFactory().find("key");
  ASSERT_NE(key, nullptr);
  HOG::ViewStack& stack = game->getViewStack();
  HOG::UIMessageManager* messages = game->getMessages();
  // Refused: the item stays on the pointer and the refusal shows.
  stack.setTakenInventoryItem(key);
  EXPECT_EQ(door.invokeOnInventoryItemApplied("gem_red"), 0);
  EXPECT_EQ(stack.getTakenInventoryItem(), key);
  EXPECT_TRUE(messages->hasMessage());
  messages->hideAllMessages();
  // Accepted: the script has it, the pointer lets it go, nothing shows.
  EXPECT_EQ(door.invokeOnInventoryItemApplied("key"), 1);
  EXPECT_EQ(stack.getTakenInventoryItem(), nullptr);
  EXPECT_FALSE(messages->hasMessage());
  // A carried trigger object: the script takes object 3 only.
  run("function __Generated_L77AT5_onObjectApplied(id) if id == 3 then return 1 end return 0 end");
  stack.takeTriggerObject(4);
  EXPECT_EQ(door.invokeOnObjectApplied(4), 0);
  EXPECT_EQ(stack.getTakenObjectId(), 4u);
  EXPECT_TRUE(messages->hasMessage());
  messages->hideAllMessages();
  stack.takeTriggerObject(3);
  EXPECT_EQ(door.invokeOnObjectApplied(3), 1);
  EXPECT_EQ(stack.getTakenObjectId(), HOG::ViewStack::kNoObject);
  EXPECT_FALSE(messages->hasMessage());
  // The item the player should use here; "0" names none.
  door.getApplicableItemName();
  EXPECT_STREQ(door.applicableItemName, "key");
  run("function __Generated_L77AT5_getApplicableItemNameScript() return '0' end");
  door.getApplicableItemName();
  EXPECT_STREQ(door.applicableItemName, "");

  // Once the play state is gone, hooks, item and object hand-overs, scene-node
  // calls and messages do nothing (a trigger may outlive play in a saved block).
  game.reset();
  door.invokeOnClick();
  EXPECT_EQ(door.invokeOnInventoryItemApplied("key"), 0);
  EXPECT_EQ(door.invokeOnObjectApplied(1), 0);
  door.getApplicableItemName();
  EXPECT_STREQ(door.applicableItemName, "");
  HOG::queueSetNodeEnable(1, "lamp_light", true);
  HOG::queueSetNodePlay(1, "lamp_light", true);
  HOG::queueRewindNodeAnimationToBegin(1, "lamp_light");
  HOG::restoreNodeEnable(1, "lamp_light", true);
  HOG::sendGameMessage(HOG::kMsgTriggerChanged, &door);
  EXPECT_EQ(door.findView(), nullptr);
}

TEST_F(StoryTest, HiddenObjectSceneRefillsByEntriesKeepsItsLimitsAndFinishesOnce) {
  // 1..3 alone, 4..6 group 0, 7..8 group 31 (never mixed with the ungrouped),
  // 9 already found, 10 linked to area trigger 11.
  std::string items;
  for (int id = 1; id <= 10; ++id)
    items += item(id,
                  id >= 4 && id <= 6     ? 0
                  : (id == 7 || id == 8) ? 31
                                         : -1,
                  id == 9    ? "<dead v=\"1\"/>"
                  : id == 10 ? "<HOSItemTriggerRelativeTriggersStr v=\"11\"/>"
                             : "");
  items += "<v10><type v=\"0\"/><triggerID v=\"11\"/><enabled v=\"0\"/></v10>";
  HOG::HOSViewExtension* e = scene(items);
  e->maxActiveItems = 5;
  e->onActivate();
  // Entries: 1, 2, 3, group 0 (three items), group 31 (two items).
  EXPECT_EQ(e->activeCount, 8u);
  EXPECT_EQ(e->remainingCount, 9u);
  EXPECT_FALSE(hos(e, 10)->activeInHOS);
  EXPECT_EQ(e->view->findTrigger(11)->enabled, 0);
  // The scene's own limit survives an activation.
  e->onActivate();
  EXPECT_EQ(e->maxActiveItems, 5u);
  EXPECT_EQ(e->activeCount, 8u);

  int finishes = 0;
  for (int round = 0; round < 20 && e->activeCount > 0; ++round) {
    HOG::HOSItemTrigger* next = e->activeItems[0];
    next->invokeOnClick();
    if (next->triggerId == 1) {
      EXPECT_TRUE(hos(e, 10)->activeInHOS);  // 10 takes the freed entry
      EXPECT_EQ(e->view->findTrigger(11)->enabled, 1);
    }
    e->update(0.0f);
    finishes += e->finished;
  }
  EXPECT_EQ(e->remainingCount, 0u);
  EXPECT_EQ(hos(e, 9)->dead, 1);
  e->update(0.0f);
  EXPECT_TRUE(e->finished);
  EXPECT_EQ(finishes, 1);

  // Misses: never counted on the casual difficulty; on hard the sixth blocks
  // clicks and a hit resets the count.
  for (int i = 0; i < 8; ++i) e->updateMissClicks(2, false);
  EXPECT_EQ(e->missCount, 0u);
  for (int i = 0; i < 5; ++i) e->updateMissClicks(2, true);
  EXPECT_EQ(e->processMouseEvent(nullptr), 0);
  e->updateMissClicks(2, true);
  EXPECT_EQ(e->processMouseEvent(nullptr), 2);
  e->updateMissClicks(1, true);
  EXPECT_EQ(e->missCount, 0u);
}

TEST_F(StoryTest, AGroupBeyondTheCapWaitsForALaterRefill) {
  std::string items;
  for (int id = 1; id <= 40; ++id) items += item(id, 2);
  HOG::HOSViewExtension* e = scene(items);
  e->onActivate();
  EXPECT_EQ(e->activeCount, 32u);
  e->activeItems[0]->invokeOnClick();
  EXPECT_EQ(e->activeCount, 32u);
  EXPECT_EQ(e->remainingCount, 39u);
}

TEST_F(StoryTest, FoundItemEffectGridDelaysFadeAndSlots) {
  HOG::HOSItemDisapperenceEffectManager& effect = *HOG::HOSItemDisapperenceEffectManager::getInstance();
  effect.quality = 0;
  const KR::Vector2<float> origin(0.0f, 0.0f);
  ASSERT_EQ(effect.startGrid(100, 50, 0, 0, 100, 50, origin, origin, 0.0f), 0);
  const auto& slot = effect.getSlot(0);
  EXPECT_EQ(slot.columns, 64u);
  EXPECT_EQ(slot.rows, 50u);
  const auto& topRight = slot.pieces[63];
  const auto& bottomLeft = slot.pieces[49 * 64];
  EXPECT_FLOAT_EQ(topRight.delay, 0.0f);
  EXPECT_NEAR(bottomLeft.delay, 0.5f * (1.0f + 63.0f / 64.0f), 1e-5f);
  effect.update(0.01f);
  EXPECT_NE(slot.pieces[63].x, topRight.startX);
  EXPECT_EQ(slot.pieces[49 * 64].x, bottomLeft.startX);
  for (int i = 0; i < 142; ++i) effect.update(0.01f);
  EXPECT_EQ(slot.pieces[0].colour.alpha(), 0);
  EXPECT_GE(slot.pieceWidth, slot.basePieceWidth / 2 - 1e-4f);
  EXPECT_TRUE(slot.active);
  for (int i = 0; i < 30; ++i) effect.update(0.01f);
  EXPECT_FALSE(slot.active);

  // One row: no 0/0 in the delay; the low grid; a ninth dissolve is skipped.
  effect.quality = 1;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(effect.startGrid(100, 1, 0, 0, 1, 1, origin, origin, 0.0f), i);
  EXPECT_EQ(effect.getSlot(1).columns, 16u);
  EXPECT_EQ(effect.getSlot(1).rows, 1u);
  EXPECT_TRUE(std::isfinite(effect.getSlot(1).pieces[0].delay));
  EXPECT_EQ(effect.startGrid(10, 10, 0, 0, 1, 1, origin, origin, 0.0f), -1);
}

TEST_F(StoryTest, PenaltyAndDissolvePlayTheDemosEffectsWhereTheyBelong) {
  KR::ObjectFactory factory;
  KR::ParticleSystem particles;
  // The dissolve's puff starts on the item's centre and keeps its slot's effect for the next item.
  HOG::HOSItemDisapperenceEffectManager& dissolve = *HOG::HOSItemDisapperenceEffectManager::getInstance();
  ASSERT_EQ(dissolve.particleFXFilename, "item_found_fx");
  const KR::Vector2<float> origin(0.0f, 0.0f);
  ASSERT_EQ(dissolve.startGrid(100, 50, 0, 0, 1, 1, KR::Vector2<float>(200.0f, 100.0f), origin, 0.0f), 0);
  const KR::ParticleFX* puff = dissolve.getSlot(0).effect;
  ASSERT_NE(puff, nullptr);
  EXPECT_EQ(puff->mPosition.x, 250.0f);
  EXPECT_EQ(puff->mPosition.y, 125.0f);
  dissolve.update(0.1f);
  EXPECT_GT(puff->getLiveCount(), 0);
  for (int i = 0; i < 20; ++i) dissolve.update(0.1f);
  ASSERT_FALSE(dissolve.getSlot(0).active);
  ASSERT_EQ(dissolve.startGrid(10, 10, 0, 0, 1, 1, origin, origin, 0.0f), 0);
  EXPECT_EQ(dissolve.getSlot(0).effect, puff);
  EXPECT_EQ(puff->mPosition.x, 5.0f);

  // The penalty's blackout is made at the fifth hard miss, plays, and goes back on release.
  HOG::HOSViewExtension* e = scene(item(1));
  EXPECT_EQ(e->penaltyParticle, "blackout_screen_fx");
  for (int i = 0; i < 4; ++i) e->updateMissClicks(2, true);
  EXPECT_EQ(e->penaltyEffect, nullptr);
  e->updateMissClicks(2, true);
  ASSERT_NE(e->penaltyEffect, nullptr);
  EXPECT_TRUE(e->penaltyEffect->mStarted);
  e->update(0.2f);
  EXPECT_GT(e->penaltyEffect->getLiveCount(), 0);
  const size_t pooled = particles.getPoolSize();
  e->release();
  EXPECT_EQ(e->penaltyEffect, nullptr);
  EXPECT_EQ(particles.getPoolSize(), pooled + 1);
}

TEST_F(StoryTest, TriggerHighlightsCycleOverUsableTriggersAndKeepTypesThreeAndFourOut) {
  HOG::TriggerVisualizer highlights;
  highlights.loaded = highlights.visible = true;
  highlights.triggerAnimations = {nullptr, new AE::ISceneNode(), new AE::ISceneNode(), new AE::ISceneNode(),
                                  new AE::ISceneNode()};
  highlights.phase = 2.0f;
  highlights.reset();
  EXPECT_FLOAT_EQ(highlights.timer, 1.0f);  // the first step half a phase away
  // The garden: 0 passage (cursor 2), 1 stone (4), 2 well (1), 3 chest (1), 4 shed (2), 5 talk (3).
  HOG::View* garden = view("location02");
  garden->findTrigger(3)->dead = 1;
  std::vector<int32_t> order;
  for (int i = 0; i < 4; ++i) {
    highlights.advance(garden);
    order.push_back(highlights.currentIndex);
  }
  EXPECT_EQ(order, (std::vector<int32_t>{0, 2, 4, 0}));
  EXPECT_FLOAT_EQ(highlights.timer, 0.0f);
  for (HOG::IBaseAreaTrigger* t : garden->triggers) t->cursorType = 3;
  highlights.advance(garden);
  EXPECT_EQ(highlights.currentIndex, -1);

  // The glow over the places a carried item may go is centred by its scene's
  // own size (the demo's is 96 x 96 from its top-left corner).
  openDevice();
  openSpritesAndFonts();
  HOG::TriggerVisualizer carried;
  carried.load();
  ASSERT_NE(carried.itemApplyingAnimation, nullptr);
  EXPECT_FLOAT_EQ(carried.itemApplyingSize.x, 96.0f);
  EXPECT_FLOAT_EQ(carried.itemApplyingSize.y, 96.0f);
}

TEST_F(StoryTest, MapZoomsOnADoubleClickPansWhenZoomedAndTravelsFromTheZoomedPlace) {
  openDevice();
  openSpritesAndFonts();
  HOG::LocationsScreen screen(game->getRegistry());
  ASSERT_NE(screen.scene, nullptr);
  screen.open();
  screen.map->refresh(view("location01"));
  auto input = [&](int x, int y, int px, int py, bool pressed, bool down, bool released) {
    HOG::InputState record;
    record.valid = 1;
    record.x = x, record.y = y, record.pressX = px, record.pressY = py;
    record.leftPressed = pressed, record.leftDown = down, record.leftReleased = released;
    EXPECT_TRUE(screen.handleInput(record));  // while open the map takes everything
  };
  // A double click on empty paper zooms in about the screen's centre.
  input(100, 1000, 100, 1000, true, true, false);
  input(100, 1000, 100, 1000, false, false, true);
  input(100, 1000, 100, 1000, true, true, false);
  input(100, 1000, 100, 1000, false, false, true);
  screen.update(0.3f);
  EXPECT_FLOAT_EQ(screen.scale, 2.0f);
  EXPECT_FLOAT_EQ(screen.scene->mScaleX, 2.0f);
  EXPECT_FLOAT_EQ(screen.scene->mPosX, 840.0f - 2.0f * 840.0f);
  // A drag pans the zoomed map, and the pan stays within the zoomed paper.
  input(0, 0, 1600, 1000, true, true, false);
  input(0, 0, 1600, 1000, false, false, true);
  screen.update(0.0f);
  EXPECT_FLOAT_EQ(screen.offset.x, -420.0f);
  EXPECT_FLOAT_EQ(screen.offset.y, -262.5f);
  input(100, 100, 100, 100, true, true, false);
  input(720, 462, 100, 100, false, true, false);
  screen.update(0.0f);
  EXPECT_FLOAT_EQ(screen.scene->mPosX, 840.0f + 2.0f * (200.0f - 840.0f));  // the map follows the drag
  input(720, 462, 100, 100, false, false, true);
  screen.update(0.0f);
  const KR::Vector2<float> pan = screen.offset;
  EXPECT_FLOAT_EQ(pan.x, 200.0f);
  EXPECT_FLOAT_EQ(screen.scene->mPosX, 840.0f + 2.0f * (200.0f - 840.0f));
  EXPECT_FLOAT_EQ(screen.scene->mPosY, 525.0f + 2.0f * (pan.y - 525.0f));
  EXPECT_TRUE(screen.isOpen());
  // The garden's place, (810, 310) on the paper, is clicked where the zoom shows it; the map closes and unzooms.
  const int x = int(840 + 2 * (810 + pan.x - 840)), y = int(525 + 2 * (310 + pan.y - 525));
  input(x, y, x, y, true, true, false);
  input(x, y, x, y, false, false, true);
  EXPECT_FALSE(screen.isOpen());
  screen.update(0.3f);
  EXPECT_FLOAT_EQ(screen.scale, 1.0f);
  EXPECT_FLOAT_EQ(screen.offset.x, 0.0f);
}

TEST_F(StoryTest, CutSceneSkipJumpsToTheStageEndAndTheLastFinishesOnce) {
  HOG::CutScene cut;
  int finished = 0;
  cut.finishedCallback = [&] { ++finished; };
  cut.init("no_such_cut_scene", 1);
  EXPECT_TRUE(cut.active);
  EXPECT_FLOAT_EQ(cut.duration, 10.0f);
  cut.stageDurations = {2, 3, 4};
  cut.elapsed = 2.5f;
  cut.skipStage();
  EXPECT_FLOAT_EQ(cut.elapsed, 5.0f);
  cut.elapsed = 6.0f;
  cut.skipStage();
  EXPECT_FALSE(cut.active);
  EXPECT_EQ(finished, 1);

  cut.init("no_such_cut_scene", 1);
  cut.skipStage();  // no stages: ends at once
  EXPECT_EQ(finished, 2);
  cut.init("no_such_cut_scene", 1);
  cut.update(10.5f);
  cut.update(1.0f);
  EXPECT_EQ(finished, 3);
}

TEST_F(StoryTest, SavedGamesComeBackWholeAndRefusedOnesLeaveTheGameAsItWas) {
  KR::Test::LogCapture log;
  // Play a little: a found item, a held item, a node state, a state value.
  hos(shed(), 2)->dead = 1;
  game->getInventory().addItem("key", false);
  run("gScene.setNodeEnable(1, 'lamp_light', true) gGame.setViewState(1, 0, 1)");
  game->getTasks().runAll();
  ASSERT_TRUE(HOG::SaveLoadGameProgressSystem::save(*game, false));
  const std::string path = HOG::SaveLoadGameProgressSystem::getSavePath();
  const std::string good = KR::Test::readFile(path);
  EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 0);
  const std::string saved = HOG::SaveGame::encode(HOG::SaveLoadGameProgressSystem::capture(*game));

  // A new game forgets it all (twice: items keep their slots whatever the
  // number of reloads); the load brings it back.
  game->resetForNewGame();
  game->resetForNewGame();
  EXPECT_EQ(hos(shed(), 2)->dead, 0);
  ASSERT_TRUE(HOG::SaveLoadGameProgressSystem::load(*game));
  EXPECT_EQ(HOG::SaveGame::encode(HOG::SaveLoadGameProgressSystem::capture(*game)), saved);
  EXPECT_EQ(hos(shed(), 2)->dead, 1);
  EXPECT_TRUE(game->getInventory().isItemPresent("key"));
  EXPECT_EQ(*view("location01")->state.get(0), 1);

  // Bad files: damaged, truncated, foreign, and one whose descriptions differ.
  hos(shed(), 3)->dead = 1;  // the live game differs from the file now
  const std::string live = HOG::SaveGame::encode(HOG::SaveLoadGameProgressSystem::capture(*game));
  HOG::SaveGame::Data other = HOG::SaveTool::makeSample();
  std::string changed = good;
  // Trigger slot 0 gets another trigger id, the checksum made right again.
  HOG::SaveTool::corrupt(&changed, HOG::SaveGame::kHeaderSize + 4 + HOG::SaveGame::TriggerSlot::kTriggerId, 0x40, true);
  std::string flipped = good;
  HOG::SaveTool::corrupt(&flipped, good.size() / 3, 0x01, false);
  // Each refused file is set aside unchanged, with its reason, so that no save overwrites it unread.
  // What no save holds stays too: a Lua global, a visit count, a queued task.
  L = game->getLuaState().getMainState();  // made anew by the new games above
  run("refusedProbe = 7 gInventory.addItem('rope')");
  view("location02")->visitCount = 3;
  const uint32_t tasks = queued();
  ASSERT_GT(tasks, 0u);
  for (const std::string& bad : {flipped, good.substr(0, good.size() - 7), HOG::SaveGame::encode(other), changed}) {
    KR::Test::writeFile(path, bad);
    std::string refusal;
    EXPECT_FALSE(HOG::SaveLoadGameProgressSystem::load(*game, &refusal));
    EXPECT_FALSE(refusal.empty());
    EXPECT_EQ(HOG::SaveGame::encode(HOG::SaveLoadGameProgressSystem::capture(*game)), live);
    L = game->getLuaState().getMainState();
    EXPECT_EQ(run("return refusedProbe"), 7.0);
    EXPECT_EQ(view("location02")->visitCount, 3u);
    EXPECT_EQ(queued(), tasks);
    EXPECT_FALSE(KR::Platform::fileExists(path));
    EXPECT_EQ(KR::Test::readFile(path + ".damaged"), bad);
  }
  EXPECT_TRUE(log.contains("ERROR: Saved game '" + path + "' is refused: its checksum is wrong"));
  EXPECT_TRUE(log.contains("is not the one the view descriptions made"));
  EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 2);
  // The changed one passes the check that needs no descriptions.
  EXPECT_EQ(HOG::SaveGame::checkFile(path + ".damaged"), 0);
  // No file at all is no refusal.
  std::string refusal;
  EXPECT_FALSE(HOG::SaveLoadGameProgressSystem::load(*game, &refusal));
  EXPECT_TRUE(refusal.empty());
  // Cut short by zero bytes of its padding: the menu's check, which knows the
  // arena's length, finds the sizes no longer agree.
  const size_t padding = good.size() - good.find_last_not_of(char(0)) - 1;
  ASSERT_GE(padding, 100u);
  KR::Test::writeFile(path, good.substr(0, good.size() - 100));
  EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 1);
  KR::Test::writeFile(path, good);
  EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 0);

  // No profile: nothing saved, the menu hears 2.
  profiles.reset();
  EXPECT_FALSE(HOG::SaveLoadGameProgressSystem::save(*game, false));
  EXPECT_EQ(HOG::SaveLoadGameProgressSystem::checkSaveGame(), 2);
}

}  // namespace
