// The guide box in the running game, with a sequence the test supplies (the
// game ships none): the box with its arrow at the hall's desk against its
// reference image; while it is up only the desk takes clicks and no view
// opens or closes; a click on the desk ends the step and goes through to the
// desk; the next step's OK button ends it and the sequence is done.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "core/game_state/hud/guide_box.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "play_through_support.h"
#include "support/png_file.h"
#include "ui/ui_widget.h"

namespace {

using KR::Test::clickAt;
using KR::Test::play;

// The hall's triggers (media/locations/views.xml): the garden door and the desk.
constexpr float kGardenDoor[2] = {1364, 528};
constexpr float kDesk[2] = {428, 664};

}  // namespace

TEST(GuideBoxPlayThrough, TheBoxPointsAtTheDeskKeepsOtherClicksOutAndStepsOn) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game));
  HOG::GuideSequences* guides = play().getGuides();
  ASSERT_NE(guides, nullptr);
  ASSERT_NE(guides->widget, nullptr);
  ASSERT_NE(guides->arrowScene, nullptr);
  HOG::ViewStack& stack = play().getViewStack();

  HOG::GuideSequence sequence;
  sequence.steps.resize(2);
  sequence.steps[0].text = "Open the desk: the key lies in its drawer.";
  sequence.steps[0].triggerId = 2;
  sequence.steps[0].arrow = true;
  sequence.steps[1].text = "Well done.";
  sequence.steps[1].viewName = "closeup01";
  sequence.steps[1].buttons = 0b001;
  guides->sequences = {sequence};
  guides->start();
  game.steps(2);
  ASSERT_TRUE(guides->boxShown);
  EXPECT_TRUE(stack.restrictInput);
  EXPECT_EQ(stack.viewChangeLocks, 1);
  // No buttons on this step; the box lies towards the centre from the desk, the arrow between them.
  EXPECT_FALSE(guides->buttonWidgets[0]->visible);
  const KR::Vector2<float> box = guides->widget->getAbsolutePosition();
  EXPECT_GT(box.x + guides->geometry.boxSize.x / 2, kDesk[0]);
  EXPECT_LT(box.y + guides->geometry.boxSize.y / 2, kDesk[1]);
  EXPECT_NEAR(guides->lastLayout.arrowCentre.x, kDesk[0] + 80 * 0.9f, 20.0f);

  // The box and its arrow over the hall, against the reference image.
  const KR::Vector2<int> away = KR::Test::window(1200, 1000);
  game.moveMouse(away.x, away.y);
  game.steps(30);
  std::vector<uint8_t> frame;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(game.readFrame(frame, width, height));
  EXPECT_EQ(KR::Test::compareWithReference("play_screens", "guide_box_hall", frame, width, height, 6), "");
  // The arrow is too small for the image's tolerance: its light pixels are counted on their own.
  const KR::Vector2<int> arrow = KR::Test::window(guides->lastLayout.arrowCentre.x, guides->lastLayout.arrowCentre.y);
  EXPECT_GT(game.brightPixelsAround(arrow.x, arrow.y, 30), 40);

  // The garden door takes no click while the box is up.
  clickAt(game, kGardenDoor[0], kGardenDoor[1]);
  game.steps(30);
  EXPECT_EQ(game.activeView(), "location01");
  EXPECT_TRUE(guides->boxShown);

  // The desk: the step ends, the box goes, views may change again and the click opens the close-up.
  clickAt(game, kDesk[0], kDesk[1]);
  EXPECT_FALSE(guides->sequences[0].steps[0].shown);
  EXPECT_TRUE(guides->sequences[0].steps[0].done);
  EXPECT_FALSE(stack.restrictInput);
  ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "closeup01" && !play().isLocked(); }, 300));

  // The next step waits for the close-up, then its OK button ends the sequence.
  ASSERT_TRUE(game.stepUntil([&] { return guides->boxShown; }, 60));
  EXPECT_EQ(guides->sequences[0].current, 1);
  ASSERT_TRUE(guides->buttonWidgets[0]->visible);
  game.steps(10);
  const KR::Vector2<float> ok =
      guides->buttonWidgets[0]->getAbsolutePosition() + guides->buttonWidgets[0]->getTotalSize() * 0.5f;
  clickAt(game, ok.x, ok.y);
  ASSERT_TRUE(game.stepUntil([&] { return !guides->boxShown; }, 10));
  game.steps(2);
  EXPECT_EQ(guides->sequences[0].current, -1);
  EXPECT_EQ(stack.viewChangeLocks, 0);
  EXPECT_FALSE(stack.restrictInput);

  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
