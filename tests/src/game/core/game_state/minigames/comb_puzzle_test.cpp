// The combination drop on the gallery's board: zones 0 to 3 in a row at the
// top (x 360, 560, 760, 960, y 300, 128 wide), pieces 1 to 3 below the first
// three (y 600); zones 0 and 1 make the first combination. The book stands at
// 1180, 300.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

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
  drag(424, 664, 430, 370);  // piece 1 into zone 0
  ASSERT_TRUE(puzzle.zones[0].occupied);
  drag(424, 364, 1000, 900);  // out again, let go on no zone: it glides home
  EXPECT_TRUE(puzzle.zones[0].occupied);
  rig.frames(6);
  const KR::Vector2<float> halfWay = puzzle.elements[0].position;
  ASSERT_GT(halfWay.y, 500.0f);                              // caught where no zone lies
  drag(int(halfWay.x) + 60, int(halfWay.y) + 60, 630, 370);  // into zone 1
  rig.frames(20);                                            // its way home is over: it stays
  EXPECT_EQ(rig.node("cp_piece1")->mWorldMatrix.m[6], 560.0f);
  EXPECT_EQ(rig.node("cp_piece1")->mWorldMatrix.m[7], 300.0f);
  EXPECT_FALSE(puzzle.zones[0].occupied);
  EXPECT_TRUE(puzzle.zones[1].occupied);
  EXPECT_FALSE(rig.node("cp_comb1")->mPlaying);  // one piece on the board
  // Its home is zone 1 now, and zone 0 takes another piece.
  drag(624, 664, 430, 370);
  EXPECT_TRUE(rig.node("cp_comb1")->mPlaying);
  EXPECT_FALSE(puzzle.combinations[1].reached);
}

TEST_F(CombPuzzleTest, ACombinationIsReachedOnlyByExactlyItsZones) {
  drag(424, 664, 830, 370);  // piece 1 into zone 2
  drag(624, 664, 430, 370);  // piece 2 into zone 0
  drag(824, 664, 630, 370);  // piece 3 into zone 1: zones 0, 1 and 2
  EXPECT_FALSE(puzzle.combinations[0].reached);
  EXPECT_FALSE(rig.node("cp_comb1")->mPlaying);
  drag(624, 364, 1030, 370);  // zone 1's piece to zone 3: zones 0, 2, 3
  drag(424, 364, 630, 370);   // zone 0's piece to zone 1: zones 1, 2, 3
  EXPECT_TRUE(puzzle.combinations[1].reached);
  EXPECT_FALSE(puzzle.combinations[0].reached);
}

TEST(CombPuzzleConfigTest, ACombinationOfTheFirstZoneAloneLightsItsLampWithItsChildren) {
  std::string config = puzzleMedia("puzzle_combpuzzle.xml");
  const std::string first = "<value><v0 v=\"0\"/><v1 v=\"1\"/></value>";
  config.replace(config.find(first), first.size(), "<value><v0 v=\"0\"/></value>");
  PuzzleRig rig("CombPuzzleMinigameViewExtension", config,
                withChild(puzzleMedia("scene_puzzle_combpuzzle.xml"), "cp_comb1", "cp_comb1_glint"));
  EXPECT_FALSE(rig.get().isRefused());
  rig.press(424, 664);
  rig.move(430, 370);
  rig.release(430, 370);
  EXPECT_TRUE(rig.node("cp_comb1")->mPlaying);
  EXPECT_TRUE(rig.node("cp_comb1_glint")->mPlaying);
}

TEST(CombPuzzleConfigTest, ATakenPieceShowsFrame5WhenTheKeyIsMissing) {
  std::string config = puzzleMedia("puzzle_combpuzzle.xml");
  const std::string key = "<selectedFrame v=\"5\"/>";
  config.replace(config.find(key), key.size(), "");
  PuzzleRig rig("CombPuzzleMinigameViewExtension", config, puzzleMedia("scene_puzzle_combpuzzle.xml"));
  rig.press(424, 664);
  EXPECT_EQ(rig.frame("cp_piece1"), 5);
}

TEST(CombPuzzleBookTest, TheBookTurnsPagesOfItsStepAndTheDropSoundWaitsForADrop) {
  for (const auto& [keys, step, pages] :
       {std::tuple<std::string, int, int>{"<frames v=\"3\"/><bookStep v=\"7\"/>", 7, 3}, {"", 5, 5}}) {
    SCOPED_TRACE(keys);
    std::string config = puzzleMedia("puzzle_combpuzzle.xml");
    const std::string book = "<frames v=\"3\"/>\n    <bookStep v=\"5\"/>";
    ASSERT_NE(config.find(book), std::string::npos);
    config.replace(config.find(book), book.size(), keys);
    // The drop sound authored as playing.
    std::string scene = puzzleMedia("scene_puzzle_combpuzzle.xml");
    const std::string quiet = "Playing=\"0\"";
    scene.replace(scene.find(quiet, scene.find("name=\"cp_drop\"")), quiet.size(), "Playing=\"1\"");
    PuzzleRig rig("CombPuzzleMinigameViewExtension", config, scene);
    EXPECT_FALSE(rig.node("cp_drop")->mPlaying);
    for (int page = 1; page <= pages; ++page) {
      rig.click(1244, 364);
      EXPECT_EQ(rig.frame("cp_book"), page % pages * step);
    }
  }
}

}  // namespace
}  // namespace Test
}  // namespace KR
