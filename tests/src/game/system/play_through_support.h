// What the play-throughs on the headless game driver share: clicks at design
// points, the way from launch into a new game settled in the hall (and back
// into a saved one), the questions whether a view is shown and settled,
// whether an item is held and which trigger a view has, and looking at the
// screen: the frame against a reference image, and where text is drawn.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory_item_factory.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "platform/input_state.h"
#include "render_system_dx8.h"
#include "scoped_lock.h"
#include "support/game_driver.h"
#include "support/png_file.h"
#include "thread.h"
#include "user_data_folder.h"
#include "video_player.h"

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

// Steps until every held item's icon is loaded. The streamer's thread loads
// them and naps up to a quarter second when idle, while fixed-rate frames can
// run much faster, so a screen showing a new icon (the item window, the
// carried item) is looked at only once it is there. A short nap per frame gives
// the thread its turn on a busy machine; an icon that never loads shows in the
// screen's comparison.
inline void waitForHeldIcons(GameDriver& game) {
  HOG::InventoryItemFactory& items = play().getItemFactory();
  game.stepUntil(
      [&] {
        bool missing = false;
        {
          KR::ScopedLock icons(KR::ScopedLock::lock(items.getIconLock()));
          for (const HOG::InventoryItem* item : items.getItems())
            missing =
                missing || (item->inInventory && item->spriteFile[0] && item->spriteTable[0] && !item->spriteLoaded);
        }
        if (missing) KR::Thread::sleep(1);
        return !missing;
      },
      3000);
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
inline ::testing::AssertionResult startNewGame(GameDriver& game, const std::function<void()>& beforeStart = nullptr) {
  if (!game.startToMenu()) return ::testing::AssertionFailure() << "no main menu";
  if (!game.enterPlay(beforeStart)) return ::testing::AssertionFailure() << "Play did not start play";
  game.click(300, 200);  // skips the intro when it plays
  if (!game.stepUntil([&] { return !game.videoPlaying(); }, 900))
    return ::testing::AssertionFailure() << "the intro does not end";
  if (!game.stepUntil([&] { return shown(game, "location01"); }, 300))
    return ::testing::AssertionFailure() << "the hall is not shown";
  return ::testing::AssertionSuccess();
}

// From launch to a new game settled in the hall, the intro ended at once by a
// click on its SKIP label (the window's top-right corner), as a player in a
// hurry does: the intro's hundreds of frames cost most of a start otherwise.
inline ::testing::AssertionResult startNewGameSkippingIntro(GameDriver& game,
                                                            const std::function<void()>& beforeStart = nullptr) {
  if (!game.startToMenu()) return ::testing::AssertionFailure() << "no main menu";
  if (!game.enterPlay(beforeStart)) return ::testing::AssertionFailure() << "Play did not start play";
  if (!game.stepUntil([&] { return game.videoPlaying(); }, 30))
    return ::testing::AssertionFailure() << "the intro does not play";
  const float margin = KR::VideoPlayer::kLabelMargin;
  clickAt(game, float(KR::RenderSystem::getDesignWidth()) - margin - 4.0f, margin + 4.0f);
  if (!game.stepUntil([&] { return !game.videoPlaying(); }, 10))
    return ::testing::AssertionFailure() << "the intro's SKIP does not end it";
  if (!game.stepUntil([&] { return shown(game, "location01"); }, 300))
    return ::testing::AssertionFailure() << "the hall is not shown";
  return ::testing::AssertionSuccess();
}

// From launch to the saved game continued: the logos, the menu, Play, the
// intro skipped when it plays, then the saved view settles.
inline ::testing::AssertionResult continueSavedGame(GameDriver& game, const char* savedView) {
  if (!game.startToMenu(false)) return ::testing::AssertionFailure() << "no main menu";
  if (!game.enterPlay()) return ::testing::AssertionFailure() << "Play did not start play";
  game.click(300, 200);  // skips the intro when it plays
  if (!game.stepUntil([&] { return !game.videoPlaying(); }, 900))
    return ::testing::AssertionFailure() << "the intro does not end";
  if (!game.stepUntil([&] { return shown(game, savedView); }, 300))
    return ::testing::AssertionFailure() << savedView << " is not shown";
  return ::testing::AssertionSuccess();
}

inline bool holds(const GameDriver& game, const char* item) {
  const std::vector<std::string> items = game.inventory();
  return std::find(items.begin(), items.end(), item) != items.end();
}

inline HOG::IBaseAreaTrigger* trigger(const char* view, uint32_t id) {
  return play().getRegistry().findViewByName(view)->findTrigger(id);
}

// The frame shown now against the reference image tests/data/play_screens/<name>.png: empty when alike, else what
// differs. Play is stepped at a fixed rate, so the frames repeat: one pixel in `share` may differ, 4000 unless
// told (a small icon out of place is more); a frame with particles flying at random allows more. Every frame
// looked at is also written to the build folder's tests/seen_<name>.png, for review.
inline std::string screenMatches(const GameDriver& game, const std::string& name, size_t share = 4000) {
  const int tolerance = 6;
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  if (!game.readFrame(rgba, width, height)) return "no frame to look at";
  const std::vector<uint32_t> argb = rgbaToArgb(rgba, width, height);
  writePng(std::string(KR_TEST_BINARY_DIR) + "/tests/seen_" + name + ".png", argb, width, height);
  // The hint button's rim and charge bar follow the hint's clock, which also
  // counts the frames spent waiting for a view to load (a number the
  // streamer's thread decides): they are left out, and its word and fullness
  // are checked from its state where they matter.
  const KR::Vector2<int> from = window(1470.0f - 70.0f, 949.0f - 34.0f), to = window(1470.0f + 70.0f, 949.0f + 40.0f);
  return compareWithReference("play_screens", name, argb, width, height, tolerance, share,
                              IgnoredRect{from.x, from.y, to.x, to.y});
}

// The columns of a design rectangle of the shown frame that hold ink (a pixel
// the test names), as runs: each run is a stretch of inked window columns.
// Text whose words stand apart shows runs separated by gaps of a space's width.
struct InkRun {
  int first;
  int last;
};
template <typename Ink>
std::vector<InkRun> inkRuns(const GameDriver& game, float left, float top, float right, float bottom, Ink ink,
                            int mergeGap = 0) {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  std::vector<InkRun> runs;
  if (!game.readFrame(rgba, width, height)) return runs;
  const KR::Vector2<int> a = window(left, top), b = window(right, bottom);
  for (int x = std::max(a.x, 0); x < std::min(b.x, int(width)); ++x) {
    bool inked = false;
    for (int y = std::max(a.y, 0); y < std::min(b.y, int(height)) && !inked; ++y) {
      const uint8_t* p = &rgba[(size_t(y) * width + size_t(x)) * 4];
      inked = ink(p[0], p[1], p[2]);
    }
    if (!inked) continue;
    if (!runs.empty() && x - runs.back().last - 1 <= mergeGap)
      runs.back().last = x;
    else
      runs.push_back(InkRun{x, x});
  }
  return runs;
}

}  // namespace Test
}  // namespace KR
