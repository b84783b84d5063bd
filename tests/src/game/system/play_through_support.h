// What the play-throughs on the headless game driver share: clicks at design
// points, the way from launch into a new game settled in the hall, and the questions whether a view is shown and
// settled, whether an item is held and which trigger a view has.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/game_state/area_trigger.h"
#include "core/game_state/game.h"
#include "core/game_state/save_load_game_progress_system.h"
#include "core/game_state/view.h"
#include "core/game_state/view_registry.h"
#include "core/game_state/view_stack.h"
#include "design_coords.h"
#include "platform/input_state.h"
#include "support/game_driver.h"
#include "user_data_folder.h"

namespace KR {
namespace Test {

inline HOG::Game& play() { return *HOG::Game::getInstance(); }

// The driver takes window pixels; the descriptions give design points.
inline KR::Vector2<int> window(float x, float y) {
  const KR::Viewport2D viewport = KR::calcViewport();
  return KR::Vector2<int>(int(viewport.offset.x + (x + 0.5f) * viewport.scale),
                          int(viewport.offset.y + (y + 0.5f) * viewport.scale));
}
inline void clickAt(GameDriver& game, float x, float y) {
  const KR::Vector2<int> p = window(x, y);
  game.click(p.x, p.y);
}

// The view is on top, loaded, activated and the game unlocked.
inline bool shown(const GameDriver& game, const char* name) {
  if (game.activeView() != name) return false;
  const HOG::View* view = play().getViewStack().getActiveView();
  return view->loaded && view->activated && !play().isLocked();
}

// Design points of the main menu's buttons (media/front_end).
constexpr float kMenuPlay[2] = {720 + 120, 420 + 28};
constexpr float kMenuOptions[2] = {720 + 120, 500 + 28};
constexpr float kMenuProfiles[2] = {720 + 120, 580 + 28};
constexpr float kMenuQuit[2] = {720 + 120, 660 + 28};
// OK of the first-run name window and of the difficulty window, at one place.
constexpr float kWindowOk[2] = {780 + 60, 575 + 24};

// From launch to a new game settled in the hall: the logos, the menu, Play
// through the difficulty window, the intro skipped.
inline ::testing::AssertionResult startNewGame(GameDriver& game) {
  if (!game.startToMenu()) return ::testing::AssertionFailure() << "no main menu";
  if (!game.enterPlay()) return ::testing::AssertionFailure() << "Play did not start play";
  game.click(300, 200);  // skips the intro when it plays
  if (!game.stepUntil([&] { return !game.videoPlaying(); }, 900))
    return ::testing::AssertionFailure() << "the intro does not end";
  if (!game.stepUntil([&] { return shown(game, "location01"); }, 300))
    return ::testing::AssertionFailure() << "the hall is not shown";
  return ::testing::AssertionSuccess();
}

inline bool holds(const GameDriver& game, const char* item) {
  const std::vector<std::string> items = game.inventory();
  return std::find(items.begin(), items.end(), item) != items.end();
}

inline HOG::IBaseAreaTrigger* trigger(const char* view, uint32_t id) {
  return play().getRegistry().findViewByName(view)->findTrigger(id);
}

}  // namespace Test
}  // namespace KR
