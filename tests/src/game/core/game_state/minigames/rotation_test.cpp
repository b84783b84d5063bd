// The path rotation on the gallery's board: two paths of four places, the
// upper one on button 1 (1100, 300), the lower one on button 2 (1100, 550).
#include <gtest/gtest.h>

#include <string>

#include "core/game_state/minigames/rotation_mini_game_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::RotationMiniGameViewExtension;

TEST(RotationTest, APathNamingAnElementAgainCountsItOnce) {
  // The test of a path grows with the square of its length: a path of one
  // element named 2,000 times is a path of one.
  std::string names;
  for (int i = 0; i < 2000; ++i) names += "<v" + std::to_string(i) + " v=\"rt_e3\"/>";
  std::string config = puzzleMedia("puzzle_rotation.xml");
  const std::string upper = "<v0 v=\"rt_e3\"/><v1 v=\"rt_e0\"/><v2 v=\"rt_e1\"/><v3 v=\"rt_e6\"/>";
  config.replace(config.find(upper), upper.size(), names);
  PuzzleRig rig("RotationMiniGameViewExtension", config, puzzleMedia("scene_puzzle_rotation.xml"), "long_path_xml");
  EXPECT_TRUE(rig.log.contains("WARNING: Puzzle configuration 'long_path_xml', key 'pathes'"));
  EXPECT_EQ(rig.as<RotationMiniGameViewExtension>().controls[0].pathCells.size(), 1u);
}

TEST(RotationTest, WithKeyElementsOnlyTheKeysMustBeHome) {
  // rt_e0 belongs at the upper path's first place and starts on its second:
  // three turns of the upper path bring it home.
  std::string config = puzzleMedia("puzzle_rotation.xml");
  config.replace(config.find("<pathes>"), 8, "<keys><v0 v=\"rt_e0\"/></keys><pathes>");
  PuzzleRig rig("RotationMiniGameViewExtension", config, puzzleMedia("scene_puzzle_rotation.xml"));
  for (int turn = 0; turn < 3; ++turn) {
    rig.frames(2);
    EXPECT_FALSE(rig.node("rt_finish")->mPlaying) << turn;
    rig.click(1164, 364);
    rig.frames(20);
  }
  EXPECT_EQ(rig.node("rt_e0")->mPosX, 400.0f);
  EXPECT_EQ(rig.node("rt_e0")->mPosY, 300.0f);
  rig.frames(2);
  EXPECT_TRUE(rig.node("rt_finish")->mPlaying);
}

}  // namespace
}  // namespace Test
}  // namespace KR
