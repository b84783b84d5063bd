// The play state with its locations, on the built demo content without a
// device: the stack's trim, locks and requestOpenView cases; the input pass
// (nearest candidate, a click needs press and release in one trigger, the
// border is outside, the 20-pixel drag, result 2); one table over trigger
// kinds 0-3 (hook names in the AT and TO forms, messages, tasks, lock time);
// the extension notices; music stopped while its load is pending.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <memory>
#include <string>
#include <vector>

#include "../../showcase_test_support.h"
#include "core/game_state/extensions/view_extension.h"
#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/sound/music_player.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "core/game_state/views/view_streamer.h"
#include "core/main_menu_state/profile_system.h"
#include "sound_system/sound_manager.h"
#include "support/test_support.h"
#include "xml_data_reader.h"

namespace {

class Listener : public HOG::GameMessageListener {
 public:
  void onMessage(const HOG::GameMessage* message) override {
    kinds.push_back(message->kind);
    pointers.push_back(message->getPointer());
  }
  std::vector<uint32_t> kinds;
  std::vector<void*> pointers;
};

// A room of id 7: two overlapping area triggers (1, 2), a trigger object (3),
// a transition (4), an item trigger without requirement (5) and trigger 0.
const char* kRoom =
    "<root><views><v0><name v=\"room\"/><id v=\"7\"/><size v0=\"1680\" v1=\"1050\"/><areaTriggers>"
    "<v0><type v=\"0\"/><triggerID v=\"1\"/><center v0=\"100\" v1=\"100\"/><size v0=\"200\" v1=\"200\"/>"
    "<enabled v=\"1\"/><cursorType v=\"3\"/></v0>"
    "<v1><type v=\"0\"/><triggerID v=\"2\"/><center v0=\"150\" v1=\"100\"/><size v0=\"200\" v1=\"200\"/>"
    "<enabled v=\"1\"/></v1>"
    "<v2><type v=\"1\"/><triggerID v=\"3\"/><center v0=\"600\" v1=\"600\"/><size v0=\"50\" v1=\"50\"/>"
    "<enabled v=\"1\"/></v2>"
    "<v3><type v=\"2\"/><triggerID v=\"4\"/><center v0=\"800\" v1=\"600\"/><size v0=\"50\" v1=\"50\"/>"
    "<enabled v=\"1\"/><targetLocation v=\"location01\"/></v3>"
    "<v4><type v=\"3\"/><triggerID v=\"5\"/><center v0=\"1000\" v1=\"600\"/><size v0=\"50\" v1=\"50\"/>"
    "<enabled v=\"1\"/><itemTriggerItemName v=\"amulet\"/><itemTriggerDelay v=\"0.5\"/></v4>"
    "<v5><type v=\"0\"/><triggerID v=\"0\"/><center v0=\"1500\" v1=\"900\"/><size v0=\"50\" v1=\"50\"/>"
    "<enabled v=\"1\"/></v5>"
    "</areaTriggers></v0></views></root>";

class PlayLocationsTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    openMedia();
    profiles = std::make_unique<HOG::ProfileSystem>(KR::Test::scratchDir("play-locations") + "/");
    game = std::make_unique<HOG::Game>();
    game->resetForNewGame();
    game->getDispatcher().addListener(&listener);
    lua_State* L = game->getLuaState().getMainState();
    luaL_dostring(L,
                  "calls = {} setmetatable(_G, {__index = function(t, k) if type(k) == 'string' and "
                  "k:sub(1, 11) == '__Generated' then return function() table.insert(calls, k) end end end})");
  }
  void TearDown() override {
    game->getDispatcher().removeListener(&listener);
    game.reset();
    profiles.reset();
    ShowcaseTest::TearDown();
  }
  std::string calls() {
    lua_State* L = game->getLuaState().getMainState();
    luaL_dostring(L, "joined = table.concat(calls, ',') calls = {}");
    lua_getglobal(L, "joined");
    std::string text = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    return text;
  }
  // The room, open and (as if streamed) loaded.
  HOG::View* openRoom() {
    game->getRegistry().clear();
    KR::XmlDataReader reader;
    EXPECT_EQ(reader.parse(kRoom, strlen(kRoom)), pugi::status_ok);
    reader.enterChild("views");
    game->getRegistry().parseViews(reader, 1.0f);
    HOG::View* room = game->getRegistry().findViewByName("room");
    room->loaded = true;
    // Quick test clicks are no double clicks here.
    room->controller.doubleClickInterval = -1.0f;
    game->getViewStack().openView("room");
    room->update(0.0f);
    calls();
    listener.kinds.clear();
    listener.pointers.clear();
    return room;
  }
  int32_t click(HOG::View* view, int x, int y, int pressX, int pressY) {
    HOG::InputState input;
    input.valid = 1;
    input.x = x;
    input.y = y;
    input.pressX = pressX;
    input.pressY = pressY;
    input.leftReleased = 1;
    return view->processInput(&input);
  }

  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<HOG::Game> game;
  Listener listener;
};

TEST_F(PlayLocationsTest, StackTrimsToFiveHonoursLocksAndFadesOnlyBetweenPlainLocations) {
  HOG::ViewStack& stack = game->getViewStack();
  KR::Test::LogCapture log;
  stack.openView("nowhere");
  EXPECT_TRUE(log.contains("[***GAME ERROR***]: Failed to open view: nowhere"));
  for (const char* name : {"location01", "location02", "hos01", "talk01", "progressamulets", "closeup01"})
    stack.openView(name);
  ASSERT_EQ(stack.getViews().size(), 5u);
  EXPECT_STREQ(stack.getViews().front()->name, "location02");
  EXPECT_STREQ(stack.getActiveView()->name, "closeup01");

  // Locked: nothing closes; then the close-up closes and the view beneath returns.
  game->lockFor(1.0f);
  stack.closeActiveView();
  EXPECT_EQ(stack.getViews().size(), 5u);
  game->lockFor(0.0f);
  stack.closeActiveView();
  EXPECT_STREQ(stack.getActiveView()->name, "progressamulets");

  // Between plain locations the fade-out runs first (the lock time rises) ...
  game->getTasks().clear();
  stack.requestOpenView("location01");
  EXPECT_FLOAT_EQ(game->getLockTimer(), game->getFadeOut().getDuration());
  EXPECT_EQ(game->getTasks().getAfterLockCount() + game->getTasks().getRunNowCount(), 2u);
  // ... while a close-up opens at once (one task, no lock).
  game->lockFor(0.0f);
  game->getTasks().clear();
  stack.requestOpenView("closeup01");
  EXPECT_FLOAT_EQ(game->getLockTimer(), 0.0f);
  EXPECT_EQ(game->getTasks().getRunNowCount(), 1u);

  ++stack.viewChangeLocks;
  stack.openView("location01");
  EXPECT_STREQ(stack.getActiveView()->name, "progressamulets");
}

TEST_F(PlayLocationsTest, InputPassPicksTheNearestAndNeedsPressAndReleaseInOneTrigger) {
  HOG::View* room = openRoom();
  // 140 lies in both; trigger 2's centre is nearer.
  EXPECT_EQ(click(room, 140, 100, 140, 100), 1);
  EXPECT_EQ(calls(), "__Generated_L7AT2_onClick");
  // Halfway between the centres the earlier trigger keeps the tie.
  EXPECT_EQ(click(room, 125, 100, 125, 100), 1);
  EXPECT_EQ(calls(), "__Generated_L7AT1_onClick");
  // Pressed in trigger 1 only, released where trigger 2 wins: no click.
  EXPECT_EQ(click(room, 140, 100, 10, 100), 0);
  EXPECT_EQ(calls(), "");
  // The right edge of trigger 2 (x = 250) is outside: a release over nothing.
  EXPECT_EQ(click(room, 250, 100, 250, 100), 2);
  // A drag of 20 pixels is not the controller's, 21 is.
  HOG::InputState press;
  press.valid = 1;
  press.leftPressed = press.leftDown = 1;
  press.x = press.pressX = 400;
  press.y = press.pressY = 400;
  room->processInput(&press);
  press.leftPressed = 0;
  press.x = 420;
  EXPECT_EQ(room->processInput(&press), 0);
  press.x = 421;
  EXPECT_EQ(room->processInput(&press), 1);
}

TEST_F(PlayLocationsTest, TriggerKindsCallTheirHooksSendTheirMessagesAndQueueTheirTasks) {
  HOG::View* room = openRoom();
  struct Case {
    uint32_t id;
    const char* hooks;
    std::vector<uint32_t> kinds;
    uint32_t tasks;
    float lock;
  };
  const Case cases[] = {
      {1, "__Generated_L7AT1_onClick", {}, 0, 0.0f},
      {3, "__Generated_L7AT3_onObjectToken", {HOG::kMsgTriggerObjectTaken}, 0, 0.0f},
      {4, "__Generated_L7AT4_beforeActionDone", {HOG::kMsgTransitionUsed}, 2, 0.0f},
      // Item: the given item and the event sound wait for the delay.
      {5, "__Generated_L7AT5_beforeActionDone,__Generated_L7AT5_onActionDone", {HOG::kMsgItemActionDone}, 2, 0.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    game->getTasks().clear();
    game->lockFor(0.0f);
    listener.kinds.clear();
    room->findTrigger(c.id)->invokeOnClick();
    EXPECT_EQ(calls(), c.hooks);
    EXPECT_EQ(listener.kinds, c.kinds);
    EXPECT_EQ(game->getTasks().getRunNowCount() + game->getTasks().getAfterLockCount(), c.tasks);
    EXPECT_FLOAT_EQ(game->getLockTimer(), c.lock);
  }
  EXPECT_EQ(game->getViewStack().getTakenObjectId(), 3u);
  EXPECT_EQ(room->findTrigger(5)->dead, 1);
  EXPECT_EQ(room->findTrigger(5)->enabled, 0);
  // An item trigger without an object leaves trigger 0 alone.
  EXPECT_EQ(room->findTrigger(0)->dead, 0);
  EXPECT_EQ(room->findTrigger(0)->enabled, 1);
  room->findTrigger(3)->invokeOnActivate();
  EXPECT_EQ(calls(), "__Generated_L7TO3_onLocationShowed");
  // Hook names fit whatever the ids.
  char name[HOG::kNameSize * 2];
  HOG::formatHookName(name, -2147483647 - 1, "AT", -2147483647 - 1, "canInteractHandlerScript");
  EXPECT_EQ(std::string(name), "__Generated_L-2147483648AT-2147483648_canInteractHandlerScript");
}

TEST_F(PlayLocationsTest, TheRightItemOpensTheChestAndASingleUseTransitionIsUsedUp) {
  HOG::ViewStack& stack = game->getViewStack();
  HOG::View* garden = game->getRegistry().findViewByName("location02");
  garden->loaded = true;
  garden->controller.doubleClickInterval = -1.0f;
  stack.openView("location02");
  garden->update(0.0f);
  HOG::IBaseAreaTrigger* chest = garden->findTrigger(3);
  // Without the key the chest stays shut.
  EXPECT_EQ(click(garden, 1164, 748, 1164, 748), 1);
  EXPECT_EQ(chest->dead, 0);
  // With the key held it opens: the key goes at once, gem_red after the tasks.
  ASSERT_EQ(game->getInventory().addItem("key", false), 0);
  stack.setTakenInventoryItem(game->getItemFactory().find("key"));
  EXPECT_EQ(click(garden, 1164, 748, 1164, 748), 1);
  EXPECT_EQ(chest->dead, 1);
  EXPECT_FALSE(game->getInventory().isItemPresent("key"));
  EXPECT_FALSE(game->getInventory().isItemPresent("gem_red"));
  game->getTasks().runAll();
  EXPECT_TRUE(game->getInventory().isItemPresent("gem_red"));
  EXPECT_TRUE(game->getInventory().isItemPresent("gems"));
  // The gardener is a single-use way to the talk.
  stack.setTakenInventoryItem(nullptr);
  listener.kinds.clear();
  EXPECT_EQ(click(garden, 748, 396, 748, 396), 1);
  EXPECT_EQ(garden->findTrigger(5)->dead, 1);
  EXPECT_EQ(listener.kinds, (std::vector<uint32_t>{HOG::kMsgTransitionUsed}));
  EXPECT_EQ(click(garden, 748, 396, 748, 396), 2);
  // A release over nothing lets go of the held item.
  stack.setTakenInventoryItem(game->getItemFactory().find("gem_red"));
  EXPECT_EQ(click(garden, 1600, 1000, 1600, 1000), 2);
  EXPECT_EQ(stack.getTakenInventoryItem(), nullptr);
  // The click before a close-up opened over the garden and the first after it
  // closed are no double click, however quick; two more are.
  garden->controller.doubleClickInterval = 10.0f;
  EXPECT_EQ(click(garden, 1500, 100, 1500, 100), 2);
  stack.openView("closeup01");
  stack.closeActiveView();
  EXPECT_EQ(click(garden, 1500, 100, 1500, 100), 2);
  EXPECT_EQ(click(garden, 1500, 100, 1500, 100), 1);
}

TEST_F(PlayLocationsTest, ExtensionNoticesFollowSuspendResumeAndFinish) {
  HOG::View* room = openRoom();
  HOG::TestViewExtension extension;
  extension.view = room;
  room->activated = true;
  // Not suspendable, suspended byte still set: it is suspended at once.
  extension.notifyFinished();
  EXPECT_EQ(listener.kinds, (std::vector<uint32_t>{HOG::kMsgExtensionSuspended, HOG::kMsgExtensionChanged}));
  listener.kinds.clear();
  listener.pointers.clear();
  extension.setSuspended(false);
  EXPECT_EQ(listener.kinds,
            (std::vector<uint32_t>{HOG::kMsgExtensionChanged, HOG::kMsgExtensionResumed, HOG::kMsgExtensionChanged}));
  EXPECT_EQ(listener.pointers[0], &extension);
  EXPECT_EQ(listener.pointers[2], &extension);
  listener.kinds.clear();
  listener.pointers.clear();
  extension.notifyFinished();
  EXPECT_EQ(listener.kinds,
            (std::vector<uint32_t>{HOG::kMsgExtensionChanged, HOG::kMsgExtensionSuspended, HOG::kMsgExtensionChanged}));
  EXPECT_EQ(listener.pointers[0], nullptr);
  room->extension = nullptr;
}

TEST_F(PlayLocationsTest, MusicStoppedWhileItsLoadIsPendingPlaysNothingAndChoosesAgainLater) {
  HOG::MusicPlayer& music = game->getMusic();
  ASSERT_EQ(music.getTrackCount(), 2u);
  music.stop();
  music.update(0.0f);
  music.start();
  ASSERT_TRUE(music.isLoading());
  music.stop();
  game->getStreamer().runPass();
  music.update(0.0f);
  EXPECT_FALSE(music.isLoading());
  EXPECT_EQ(music.getActiveTrack(), -1);
  for (uint32_t i = 0; i < music.getTrackCount(); ++i) EXPECT_EQ(music.getTrack(i).soundId, 0u);
  music.start();
  EXPECT_TRUE(music.isLoading());

  // Each track that ends is followed by the other one, never by itself.
  std::vector<int32_t> played;
  for (int i = 0; i < 12; ++i) {
    game->getStreamer().runPass();
    music.update(0.0f);
    ASSERT_GE(music.getActiveTrack(), 0);
    played.push_back(music.getActiveTrack());
    if (KR::SoundManager::exists())
      KR::SoundManager::getInstance()->stopSound(music.getTrack(uint32_t(played.back())).channel);
    music.update(1.0f);
  }
  for (size_t i = 1; i < played.size(); ++i) EXPECT_NE(played[i], played[i - 1]) << i;
}

}  // namespace
