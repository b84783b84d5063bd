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

TEST(RotationTest, AMoveTimeThatIsNoTimeIsNamedWithTheTimeUsed) {
  std::string config = puzzleMedia("puzzle_rotation.xml");
  const std::string time = "<moveCoef v=\"0.5\"/>";
  config.replace(config.find(time), time.size(), "<moveCoef v=\"0\"/>");
  PuzzleRig rig("RotationMiniGameViewExtension", config, puzzleMedia("scene_puzzle_rotation.xml"), "still_xml");
  EXPECT_TRUE(rig.log.contains("WARNING: Puzzle configuration 'still_xml', key 'moveCoef': 0 is no time; 50 is used"));
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

// The gallery's scene with a child under the lower button's animation and
// under the first element.
std::string sceneWithChildren() {
  std::string scene = puzzleMedia("scene_puzzle_rotation.xml");
  const std::string child =
      "<Childs><Object name=\"%s\"><frames><frame StartFrame=\"0\"><Attributes/></frame>"
      "<frame StartFrame=\"12\"><Attributes/></frame></frames></Object></Childs></Object>";
  for (const auto& [node, name] :
       {std::pair<const char*, const char*>{"name=\"rt_anim1\"", "rt_anim1_glow"}, {"name=\"rt_e0\"", "rt_e0_face"}}) {
    const size_t end = scene.find("</Object>", scene.find(node));
    std::string text = child;
    text.replace(text.find("%s"), 2, name);
    scene.replace(end, 9, text);
  }
  return scene;
}

TEST(RotationTest, AButtonPlaysItsOwnAnimationWithItsChildrenUntilTheElementsArrive) {
  PuzzleRig rig("RotationMiniGameViewExtension", puzzleMedia("puzzle_rotation.xml"), sceneWithChildren());
  rig.click(1240, 614);  // beside the lower button, in its row: nothing turns
  EXPECT_EQ(rig.result, 0);
  EXPECT_FALSE(rig.node("rt_anim1")->mPlaying);
  rig.click(1164, 614);  // the lower button
  EXPECT_TRUE(rig.node("rt_anim1")->mPlaying);
  EXPECT_TRUE(rig.node("rt_anim1_glow")->mPlaying);
  EXPECT_FALSE(rig.node("rt_anim0")->mPlaying);
  rig.frames(20);
  EXPECT_FALSE(rig.node("rt_anim1")->mPlaying);
  EXPECT_FALSE(rig.node("rt_anim1_glow")->mPlaying);
}

TEST(RotationTest, TheFinalAnimationPlaysEveryElementFromItsStart) {
  std::string config = puzzleMedia("puzzle_rotation.xml");
  const std::string last = "<lastFinalAnimFrame v=\"0\"/>";
  config.replace(config.find(last), last.size(), "<lastFinalAnimFrame v=\"5\"/>");
  PuzzleRig rig("RotationMiniGameViewExtension", config, sceneWithChildren());
  rig.frames(3);
  rig.skip();
  EXPECT_TRUE(rig.node("rt_e0")->mPlaying);
  EXPECT_TRUE(rig.node("rt_e0_face")->mPlaying);
  EXPECT_LT(rig.frame("rt_e0_face"), 2);
}

}  // namespace
}  // namespace Test
}  // namespace KR
