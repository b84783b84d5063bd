// A walk through the demo locations on the headless game driver, clicking the
// points the view descriptions give: the hall, the passage to the garden, the
// stone carried onto the well (gem_blue), back by trigger 0, the desk
// close-up, its drawer, then the key, a click outside; the active view, the inventory and the
// triggers' flags are checked at each step.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/game_cursor_manager.h"
#include "core/game_state/game.h"
#include "core/game_state/sound/music_player.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_effect.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "lex_binded_function_manager.h"
#include "play_through_support.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"

namespace {

using KR::Test::clickAt;
using KR::Test::holds;
using KR::Test::play;
using KR::Test::shown;
using KR::Test::trigger;
using KR::Test::window;

}  // namespace

TEST(LocationsPlayThrough, HallGardenStoneOntoWellBackDeskKeyOutside) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));

  // The close command leaves the last open location where it is.
  KR::LexBindedFunctionManager::getInstance()->findFunction("closeActiveView")->invoke();
  game.steps(2);
  EXPECT_EQ(game.activeView(), "location01");
  EXPECT_EQ(play().getViewStack().getViews().size(), 1u);

  // The cursor changes over the passage (trigger 1 of the hall), which fades
  // into the garden.
  const KR::Vector2<int> passage = window(1364, 528);
  game.moveMouse(passage.x, passage.y);
  game.steps(2);
  EXPECT_EQ(HOG::GameCursorManager::getInstance()->getCurrent(), 2);
  clickAt(game, 1364, 528);
  // Halfway through the fade the camera has zoomed in toward the passage,
  // which lies right of the centre.
  HOG::ViewFadeOutEffect& fade = play().getFadeOut();
  ASSERT_TRUE(game.stepUntil([&] { return fade.isRunning() && fade.progress() >= 0.5f; }, 120));
  fade.beginZoom();
  const float zoom = KR::RenderSystem::getInstance()->mCamera[KR::CAM_ZOOM_X];
  const float toward = KR::RenderSystem::getInstance()->mCamera[KR::CAM_X];
  fade.endZoom();
  EXPECT_GT(zoom, 1.1f);
  EXPECT_LT(toward, 0.0f);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location02"); }, 300));
  EXPECT_EQ(game.activeView(), "location02");

  // The stone follows the pointer and gives gem_blue on the well.
  clickAt(game, 432, 832);
  EXPECT_EQ(play().getViewStack().getTakenObjectId(), 1u);
  const KR::Vector2<int> over = window(900, 700);
  game.moveMouse(over.x, over.y);
  game.steps(2);
  clickAt(game, 964, 664);
  EXPECT_EQ(play().getViewStack().getTakenObjectId(), HOG::ViewStack::kNoObject);
  EXPECT_EQ(trigger("location02", 2)->dead, 1);
  EXPECT_EQ(trigger("location02", 1)->dead, 1);
  EXPECT_EQ(trigger("location02", 1)->enabled, 0);
  ASSERT_TRUE(game.stepUntil([&] { return holds(game, "gem_blue"); }, 120));
  EXPECT_TRUE(holds(game, "gems"));

  // Trigger 0 leads back to the hall.
  clickAt(game, 100, 527);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 300));

  // The desk opens over the hall; the key goes into the inventory.
  clickAt(game, 428, 664);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
  const std::vector<HOG::View*>& stack = play().getViewStack().getViews();
  ASSERT_EQ(stack.size(), 4u);  // hall, garden, hall, desk
  EXPECT_STREQ(stack[2]->name, "location01");
  EXPECT_TRUE(play().getViewStack().hasVisibleCloseup());
  // The key stays out of reach until the drawer (animation trigger 2) opens.
  clickAt(game, 440 + 332, 225 + 282);
  game.steps(10);
  EXPECT_FALSE(holds(game, "key"));
  clickAt(game, 440 + 400, 225 + 470);
  EXPECT_EQ(trigger("closeup01", 2)->dead, 1);
  EXPECT_EQ(trigger("closeup01", 1)->enabled, 1);
  ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 120));
  clickAt(game, 440 + 332, 225 + 282);
  ASSERT_TRUE(game.stepUntil([&] { return holds(game, "key"); }, 120));
  EXPECT_EQ(trigger("closeup01", 1)->dead, 1);

  // A click outside the close-up closes it.
  clickAt(game, 100, 100);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "location01"); }, 60));
  EXPECT_EQ(play().getViewStack().getViews().size(), 3u);
  EXPECT_FALSE(play().getViewStack().hasVisibleCloseup());
  EXPECT_TRUE(play().getMusic().isStarted());
  // The UI command closes a close-up the same way.
  clickAt(game, 428, 664);
  ASSERT_TRUE(game.stepUntil([&] { return shown(game, "closeup01"); }, 300));
  KR::LexBindedFunctionManager::getInstance()->findFunction("closeActiveView")->invoke();
  EXPECT_EQ(game.activeView(), "location01");

  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
