// The pick-and-swap puzzles on the gallery's boards: memory pairs (cards 1 to
// 4 at x 484, 724, 964, 1204, y 364; 5 to 7 at x 604, 844, 1084, y 624;
// pairs 1-4, 2-7, 3-6, card 5 alone) and the rotating carriers.
#include <gtest/gtest.h>

#include "core/game_state/minigames/paires_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::PairesMinigameViewExtension;

TEST(MemoryPairsTest, AWrongPairClosesWhenItsVisibleTimeAndAnimationAreOver) {
  PuzzleRig rig("PairesMinigameViewExtension", puzzleMedia("puzzle_paires.xml"),
                puzzleMedia("scene_puzzle_paires.xml"));
  auto& puzzle = rig.as<PairesMinigameViewExtension>();
  rig.click(724, 364);  // card 2
  rig.click(964, 364);  // card 3: a wrong pair
  rig.frames(38);       // 1.3 s: 0.5 s visible and 20 frames of 1/24 s not yet over
  EXPECT_TRUE(puzzle.elements[1].opened);
  EXPECT_TRUE(puzzle.elements[2].opened);
  rig.quickClick(484, 364);  // a third card waits
  EXPECT_FALSE(puzzle.elements[0].opened);
  rig.frames(2);
  EXPECT_FALSE(puzzle.elements[1].opened);
  EXPECT_FALSE(puzzle.elements[2].opened);
  EXPECT_TRUE(rig.node("pa_2")->mPlaying);  // closing
}

// The rotating carriers: gear A at 400, 200 and gear B at 800, 200 (128 x
// 128); tile 0 below at 400, 700 belongs in the zone at 400, 450 with gear A
// at a quarter turn.
TEST(RotatingCarriersTest, AGearTurnsExactlyAQuarterAndATilePutInPlaceSounds) {
  PuzzleRig rig("RightPlaceMinigameViewExtension", puzzleMedia("puzzle_rightplace.xml"),
                withChild(puzzleMedia("scene_puzzle_rightplace.xml"), "rc_carA", "rc_carA_shine", true));
  EXPECT_FALSE(rig.node("rc_carA_shine")->mPlaying);
  rig.click(464, 264);
  rig.frames(10, 0.07f);  // steps of 12.6 degrees pass 90
  EXPECT_EQ(rig.node("rc_carA")->mRotation, 90.0f);
  EXPECT_FALSE(rig.node("rc_put")->mPlaying);
  rig.press(464, 764);
  rig.move(470, 520);
  rig.release(470, 520);
  EXPECT_EQ(rig.frame("rc_el0"), 10);
  EXPECT_TRUE(rig.node("rc_put")->mPlaying);
}

}  // namespace
}  // namespace Test
}  // namespace KR
