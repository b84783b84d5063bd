// The combination drop on the gallery's board: zones 0 to 3 in a row at the
// top, pieces 1 to 3 below them; zones 0 and 1 make the first combination.
#include <gtest/gtest.h>

#include "core/game_state/minigames/comb_puzzle_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::CombPuzzleMinigameViewExtension;

class CombPuzzleTest : public ::testing::Test {
 protected:
  PuzzleRig rig{"CombPuzzleMinigameViewExtension", puzzleMedia("puzzle_combpuzzle.xml"),
                puzzleMedia("scene_puzzle_combpuzzle.xml")};
  CombPuzzleMinigameViewExtension& puzzle = rig.as<CombPuzzleMinigameViewExtension>();

  void drag(int fromX, int fromY, int toX, int toY) {
    rig.press(fromX, fromY);
    rig.move(toX, toY);
    rig.release(toX, toY);
  }
};

TEST_F(CombPuzzleTest, APieceCaughtOnItsWayHomeFreesItsZone) {
  drag(464, 764, 470, 370);  // piece 1 into zone 0
  ASSERT_TRUE(puzzle.zones[0].occupied);
  drag(464, 364, 1000, 900);  // out again, let go on no zone: it glides home
  EXPECT_TRUE(puzzle.zones[0].occupied);
  rig.frames(6);
  const KR::Vector2<float> halfWay = puzzle.elements[0].position;
  ASSERT_GT(halfWay.y, 500.0f);                              // caught where no zone lies
  drag(int(halfWay.x) + 60, int(halfWay.y) + 60, 670, 370);  // into zone 1
  EXPECT_FALSE(puzzle.zones[0].occupied);
  EXPECT_TRUE(puzzle.zones[1].occupied);
  EXPECT_FALSE(rig.node("cp_comb1")->mPlaying);  // one piece on the board
  // Its home is zone 1 now, and zone 0 takes another piece.
  drag(664, 764, 470, 370);
  EXPECT_TRUE(rig.node("cp_comb1")->mPlaying);
  EXPECT_FALSE(puzzle.combinations[1].reached);
}

}  // namespace
}  // namespace Test
}  // namespace KR
