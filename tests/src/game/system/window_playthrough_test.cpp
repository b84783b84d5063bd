// The window as a player meets it, on the headless game driver (whose step
// is the host's own loop pass): what the player did takes effect at the next
// frame, also when it comes behind a backlog of window messages or is the
// click that brings the game back; a window hidden and shown again draws and
// runs at once, without waiting for the keyboard focus.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "application.h"
#include "core/game_state/hud/hint_panel.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "platform/input_injection.h"
#include "platform/window.h"
#include "play_through_support.h"
#include "support/game_driver.h"
#include "ui/ui_widget.h"

namespace {

using KR::Test::play;

HOG::InGameUI* hud() { return dynamic_cast<HOG::InGameUI*>(play().getHud()); }

// What the window system sends about the game's window.
void pushWindowEvent(uint8_t kind) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = kind;
  event.window.windowID = gApplication->windowInfo->window->id();
  SDL_PushEvent(&event);
}

// The Book button's centre in window pixels.
KR::Vector2<int> bookButton() {
  const KR::UIWidget* button = hud()->hudWidget->findDescendant("book_btn");
  const KR::Vector2<float> centre = button->getAbsolutePosition() + button->getTotalSize() * 0.5f;
  return KR::Test::window(centre.x, centre.y);
}

// Pixels of two frames that differ within the radius of a point.
int changedPixelsAround(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, uint32_t width, int32_t x,
                        int32_t y, int32_t radius) {
  int count = 0;
  for (int32_t py = y - radius; py <= y + radius; ++py)
    for (int32_t px = x - radius; px <= x + radius; ++px) {
      const size_t at = (size_t(py) * width + size_t(px)) * 4;
      if (at + 3 < a.size() && at + 3 < b.size() && std::abs(int(a[at]) - int(b[at])) > 24) ++count;
    }
  return count;
}

}  // namespace

TEST(WindowPlayThrough, InputTakesEffectAtTheNextFrame) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  HOG::InGameUI* ui = hud();
  ASSERT_NE(ui, nullptr);

  // Away from the game: it stops.
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  game.step();
  EXPECT_EQ(gApplication->active, 0);
  // Back, behind the cursor's travel over the window meanwhile: Escape, pressed at once, opens the pause menu
  // in the next frame, not once the backlog has gone one message a pass.
  for (int i = 0; i < 40; ++i) game.moveMouse(200 + i * 5, 300);
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  game.pressKey(HOG::InGameUI::kEscape);
  game.releaseKey(HOG::InGameUI::kEscape);
  game.steps(2);
  EXPECT_EQ(gApplication->active, 1);
  EXPECT_TRUE(ui->isPauseMenuUp());
  game.pressKey(HOG::InGameUI::kEscape);
  game.releaseKey(HOG::InGameUI::kEscape);
  game.steps(2);
  ASSERT_FALSE(ui->isPauseMenuUp());
  ASSERT_TRUE(game.stepUntil([&] { return !play().isLocked(); }, 30));

  // Away again; the click on Book that brings the player back opens the book with nothing after it: no
  // later mouse move, no focus report.
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  game.step();
  ASSERT_EQ(gApplication->active, 0);
  const KR::Vector2<int> book = bookButton();
  game.pressMouse(book.x, book.y);
  game.releaseMouse(book.x, book.y);
  game.steps(2);
  EXPECT_EQ(gApplication->active, 1);
  EXPECT_TRUE(ui->getNotebook()->isOpen());
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

TEST(WindowPlayThrough, HiddenWindowShownAgainDrawsAndRunsAtOnce) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  HOG::HintPanel* hint = hud()->getHintPanel();
  game.moveMouse(400, 300);
  game.steps(2);
  std::vector<uint8_t> before, after;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(game.readFrame(before, width, height));

  // Hidden: no focus, nothing runs; the cursor moves on meanwhile.
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  pushWindowEvent(SDL_WINDOWEVENT_HIDDEN);
  game.steps(2);
  ASSERT_EQ(gApplication->active, 0);
  const float charged = hint->chargeTime;
  game.moveMouse(700, 500);
  game.steps(2);
  EXPECT_EQ(hint->chargeTime, charged);

  // Shown again, with no keyboard focus: the next frames run and draw the cursor where it now is.
  pushWindowEvent(SDL_WINDOWEVENT_SHOWN);
  pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  game.steps(2);
  EXPECT_EQ(gApplication->active, 1);
  EXPECT_GT(hint->chargeTime, charged);
  ASSERT_TRUE(game.readFrame(after, width, height));
  EXPECT_GT(changedPixelsAround(before, after, width, 704, 508, 6), 10);
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
