// The ring rotation: the angle test around the circle, and drags on the
// gallery's three rings (centres 480, 840, 1200 at y 560, grab radius 128).
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "animationeditor/scene_node_animation.h"
#include "core/game_state/minigames/rpuzzle_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::RPuzzleMinigameViewExtension;

TEST(RPuzzleTest, ARingIsRightWithinLessThan15DegreesAroundTheCircle) {
  EXPECT_TRUE(RPuzzleMinigameViewExtension::isCorrect(104.99f, 90.0f));
  EXPECT_FALSE(RPuzzleMinigameViewExtension::isCorrect(105.0f, 90.0f));
  EXPECT_TRUE(RPuzzleMinigameViewExtension::isCorrect(75.01f, 90.0f));
  EXPECT_FALSE(RPuzzleMinigameViewExtension::isCorrect(75.0f, 90.0f));
  EXPECT_TRUE(RPuzzleMinigameViewExtension::isCorrect(450.0f, 90.0f));
  EXPECT_TRUE(RPuzzleMinigameViewExtension::isCorrect(-350.11f, 0.0f));
  EXPECT_TRUE(RPuzzleMinigameViewExtension::isCorrect(355.0f, 0.0f));
  EXPECT_FALSE(RPuzzleMinigameViewExtension::isCorrect(270.0f, 90.0f));
  EXPECT_FALSE(RPuzzleMinigameViewExtension::isCorrect(std::numeric_limits<float>::quiet_NaN(), 90.0f));
}

TEST(RPuzzleTest, APressWithinAGrabRadiusTakesTheRingWhichTurnsWithThePointer) {
  PuzzleRig rig("RPuzzleMinigameViewExtension", puzzleMedia("puzzle_rpuzzle.xml"),
                puzzleMedia("scene_puzzle_rpuzzle.xml"));
  auto& puzzle = rig.as<RPuzzleMinigameViewExtension>();
  rig.press(480 + 129, 560);  // just beyond ring 1's reach
  EXPECT_EQ(rig.result, 0);
  rig.press(480 + 128, 560);  // at its edge
  EXPECT_EQ(rig.result, 1);
  EXPECT_TRUE(puzzle.rings[0].grabbed);
  rig.move(480, 560 + 128);  // a quarter turn on
  EXPECT_NEAR(puzzle.rings[0].angle, 180.0f, 0.01f);
  rig.release(480, 560 + 128);
  EXPECT_FALSE(puzzle.rings[0].grabbed);
  EXPECT_EQ(rig.result, 1);
  rig.release(100, 100);  // nothing held: not the puzzle's
  EXPECT_EQ(rig.result, 0);
}

TEST(RPuzzleTest, AReloadedSceneShowsTheAnglesTheRingsWereLeftAt) {
  PuzzleRig rig("RPuzzleMinigameViewExtension", puzzleMedia("puzzle_rpuzzle.xml"),
                puzzleMedia("scene_puzzle_rpuzzle.xml"));
  rig.press(480 + 100, 560);
  rig.move(480, 560 + 100);  // ring 1 a quarter on, to 180
  rig.release(480, 560 + 100);
  rig.leaveAndReturn(true);
  EXPECT_NEAR(rig.node("rp_ring1")->mRotation, 180.0f, 0.01f);  // before any frame is drawn
}

TEST(RPuzzleTest, TheFinishIsReportedTheFrameItsTimeIsReachedAndHeldAfterAReturn) {
  std::string config = puzzleMedia("puzzle_rpuzzle.xml");
  const std::string time = "<finishTime v=\"3\"/>";
  config.replace(config.find(time), time.size(), "<finishTime v=\"0.5\"/>");
  PuzzleRig rig("RPuzzleMinigameViewExtension", config, puzzleMedia("scene_puzzle_rpuzzle.xml"));
  rig.get().skipRequest = true;
  rig.frames(1, 0.25f);
  EXPECT_FALSE(rig.finished());
  rig.frames(1, 0.25f);
  EXPECT_TRUE(rig.finished());
  rig.leaveAndReturn();
  rig.frames(2);
  EXPECT_FALSE(rig.node("rp_finish")->mPlaying);
  EXPECT_EQ(rig.frame("rp_finish"), int(rig.node("rp_finish")->mAnimation->mKeyFrames.back()));
}

TEST(RPuzzleTest, TheOpeningStopsTheRingsAndTheCheckSoundWithTheirChildren) {
  std::string scene = withChild(puzzleMedia("scene_puzzle_rpuzzle.xml"), "rp_check", "rp_check_echo", true);
  scene = withChild(scene, "rp_ring1", "rp_ring1_spark", true);
  PuzzleRig rig("RPuzzleMinigameViewExtension", puzzleMedia("puzzle_rpuzzle.xml"), scene);
  EXPECT_FALSE(rig.node("rp_check_echo")->mPlaying);
  EXPECT_FALSE(rig.node("rp_ring1_spark")->mPlaying);
}

TEST(RPuzzleTest, AStartAngleThatIsNoNumberIs90) {
  std::string config = puzzleMedia("puzzle_rpuzzle.xml");
  const std::string start = "<startAngle v=\"180\"/>";
  config.replace(config.find(start), start.size(), "<startAngle v=\"nan\"/>");
  PuzzleRig rig("RPuzzleMinigameViewExtension", config, puzzleMedia("scene_puzzle_rpuzzle.xml"), "angle_xml");
  EXPECT_EQ(rig.as<RPuzzleMinigameViewExtension>().rings[1].angle, 90.0f);
  EXPECT_TRUE(rig.log.contains("key 'elements/startAngle': is not a number; 90 is used"));
}

}  // namespace
}  // namespace Test
}  // namespace KR
