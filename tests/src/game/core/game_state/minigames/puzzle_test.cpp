// The jigsaw on the gallery's two boards: a 2 x 2 picture whose cells start
// at 600, 300 (tiles of 128). Drag mode: tiles fly apart, a left click picks
// the front tile up, the next drops it. Swap mode: two clicks swap two tiles.
#include <gtest/gtest.h>

#include "core/game_state/minigames/puzzle_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::PuzzleMinigameViewExtension;

class DragJigsawTest : public ::testing::Test {
 protected:
  DragJigsawTest() { rig.frames(20); }  // the tiles fly apart
  PuzzleRig rig{"PuzzleMinigameViewExtension", puzzleMedia("puzzle_jigsaw.xml"),
                puzzleMedia("scene_puzzle_jigsaw.xml")};
  PuzzleMinigameViewExtension& puzzle = rig.as<PuzzleMinigameViewExtension>();
};

TEST_F(DragJigsawTest, ATileLandsWhereItIsLetGoAndKeepsItsPlacedLook) {
  AE::ISceneNode* green = rig.node("jg_p1");
  ASSERT_EQ(green->mPosX, 1000.0f);
  rig.click(1064, 714);  // picked up
  EXPECT_EQ(rig.result, 1);
  rig.move(300, 300);
  // The pointer reaches the tile's cell in the frame of the click that drops it.
  rig.quickClick(792, 364);
  EXPECT_EQ(rig.result, 1);
  EXPECT_EQ(green->mPosX, 728.0f);
  EXPECT_EQ(green->mPosY, 300.0f);
  EXPECT_TRUE(puzzle.pieces[1].placed);
  EXPECT_EQ(green->mColor, KR::Color::fromFloats(0.8f, 0.8f, 0.8f, 1.0f));
  // Back in the view (also with its scene loaded anew) it still looks placed.
  for (bool reload : {false, true}) {
    rig.leaveAndReturn(reload);
    rig.frames(3);
    green = rig.node("jg_p1");
    EXPECT_EQ(green->mPosX, 728.0f);
    EXPECT_EQ(green->mColor, KR::Color::fromFloats(0.8f, 0.8f, 0.8f, 1.0f));
  }
}

TEST_F(DragJigsawTest, ACarriedTileSnapsWithTheRestOnSkipAndStaysThere) {
  AE::ISceneNode* green = rig.node("jg_p1");
  rig.click(1064, 714);  // picked up
  rig.skip();
  rig.move(300, 300);
  EXPECT_EQ(green->mPosX, 728.0f);
  EXPECT_EQ(green->mPosY, 300.0f);
  EXPECT_TRUE(rig.node("jg_finish_sound")->mPlaying);  // the finish plays with its chime
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
  // Back in the view the finish stays at its end, not played again.
  rig.leaveAndReturn();
  rig.frames(2);
  EXPECT_FALSE(rig.node("jg_finish")->mPlaying);
  EXPECT_EQ(rig.frame("jg_finish"), 24);
}

TEST(SwapJigsawTest, ATileInItsColumnButNotItsRowIsNotInPlace) {
  PuzzleRig rig{"PuzzleMinigameViewExtension", puzzleMedia("puzzle_jigsaw_swap.xml"),
                puzzleMedia("scene_puzzle_jigsaw_swap.xml")};
  rig.rightClick(792, 364);  // nothing picked: not the puzzle's
  EXPECT_EQ(rig.result, 0);
  rig.click(792, 364);
  rig.rightClick(792, 364);  // lets the pick go, and is the puzzle's
  EXPECT_EQ(rig.result, 1);
  EXPECT_EQ(rig.frame("js_p0_pic"), 0);
  rig.click(792, 364);  // tiles 0 and 3 trade places
  EXPECT_EQ(rig.result, 1);
  rig.click(664, 492);
  EXPECT_EQ(rig.result, 1);
  rig.frames(21);
  rig.click(664, 364);  // tiles 1 and 2 trade places
  rig.click(792, 492);
  rig.frames(21);
  // Each tile now stands in its own column, a row off.
  EXPECT_EQ(rig.node("js_p0")->mPosX, 600.0f);
  EXPECT_EQ(rig.node("js_p0")->mPosY, 428.0f);
  rig.frames(30);
  EXPECT_FALSE(rig.node("js_finish")->mPlaying);
  EXPECT_FALSE(rig.finished());
}

TEST(SwapJigsawTest, APlacedTileShowsItsBlockFrameAfterLeaveAndReturn) {
  PuzzleRig rig{"PuzzleMinigameViewExtension", puzzleMedia("puzzle_jigsaw_swap.xml"),
                puzzleMedia("scene_puzzle_jigsaw_swap.xml")};
  rig.click(792, 364);
  rig.click(664, 364);
  rig.frames(21);  // 0.7 s
  ASSERT_EQ(rig.frame("js_p0_pic"), 10);
  for (bool reload : {false, true}) {
    rig.leaveAndReturn(reload);
    rig.frames(3);
    EXPECT_EQ(rig.frame("js_p0_pic"), 10);
    EXPECT_EQ(rig.frame("js_p1_pic"), 10);
    EXPECT_EQ(rig.frame("js_p2_pic"), 0);
    EXPECT_TRUE(rig.node("js_p2")->mEnabled);  // tiles hide only once the picture is whole
  }
}

TEST(SwapJigsawTest, AFrameOfExactlyTheLastFrameAndTheLongestFinishAreTakenWithoutALine) {
  std::string config = puzzleMedia("puzzle_jigsaw_swap.xml");
  const std::string block = "<blockFrame v=\"10\"/>";
  config.replace(config.find(block), block.size(), "<blockFrame v=\"100000\"/>");
  const std::string time = "<finishTime v=\"3\"/>";
  config.replace(config.find(time), time.size(), "<finishTime v=\"60\"/>");
  PuzzleRig rig{"PuzzleMinigameViewExtension", config, puzzleMedia("scene_puzzle_jigsaw_swap.xml")};
  EXPECT_TRUE(rig.log.lines().empty());
}

}  // namespace
}  // namespace Test
}  // namespace KR
