// The right zone on the gallery's row of four elements (places 1 to 4 at
// x 416, 656, 896, 1136, y 500; 128 wide).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/game_state/minigames/right_zone_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::RightZoneViewExtension;

std::string swappedNumbers() {
  // Elements 2 and 3 start on each other's numbers (neither right): each
  // stands off its place.
  std::string text = puzzleMedia("puzzle_rightzone.xml");
  const std::string second = "<node v=\"rz_e2\"/><currentPositionID v=\"2\"/>";
  const std::string third = "<node v=\"rz_e3\"/><currentPositionID v=\"3\"/>";
  text.replace(text.find(second), second.size(), "<node v=\"rz_e2\"/><currentPositionID v=\"3\"/>");
  text.replace(text.find(third), third.size(), "<node v=\"rz_e3\"/><currentPositionID v=\"2\"/>");
  return text;
}

TEST(RightZoneTest, AnElementOffItsPlacePickedTwiceGlidesThereAndStaysPlayable) {
  PuzzleRig rig("RightZoneViewExtension", swappedNumbers(), puzzleMedia("scene_puzzle_rightzone.xml"));
  RightZoneViewExtension& puzzle = rig.as<RightZoneViewExtension>();
  rig.frames(2);
  ASSERT_EQ(rig.node("rz_e2")->mWorldMatrix.m[6], 656.0f);  // it waits off place 3
  rig.click(720, 564);
  rig.click(720, 564);  // the same again: an exchange with itself
  rig.frames(18);       // 0.6 s
  EXPECT_FALSE(puzzle.elements[1].moving);
  EXPECT_EQ(rig.node("rz_e2")->mWorldMatrix.m[6], 896.0f);
  EXPECT_EQ(rig.frame("rz_e2_piece"), 0);
  // It can be picked again, where it now stands, and is drawn in front.
  rig.click(960, 564);
  EXPECT_EQ(rig.frame("rz_e2_piece"), 10);
  EXPECT_LT(rig.node("rz_e2_piece")->mPosZ, rig.node("rz_e1_piece")->mPosZ);
  // Its highlight shows, in front of it.
  EXPECT_TRUE(rig.node("rz_e2_hl")->mEnabled);
  EXPECT_LT(rig.node("rz_e2_hl")->mPosZ, rig.node("rz_e2_piece")->mPosZ);
}

TEST(RightZoneTest, AnElementOnItsPlacePickedTwiceIsLetGo) {
  PuzzleRig rig("RightZoneViewExtension", puzzleMedia("puzzle_rightzone.xml"),
                puzzleMedia("scene_puzzle_rightzone.xml"));
  rig.click(720, 564);
  rig.click(720, 564);
  rig.frames(2);
  EXPECT_FALSE(rig.as<RightZoneViewExtension>().elements[1].moving);
  EXPECT_EQ(rig.frame("rz_e2_piece"), 0);
  EXPECT_EQ(rig.node("rz_e2")->mWorldMatrix.m[6], 656.0f);
  rig.click(720, 564);  // and it can be picked again
  EXPECT_EQ(rig.frame("rz_e2_piece"), 10);
}

TEST(RightZoneTest, CorrectPlacesAreCommaSeparatedNumbers) {
  std::vector<int32_t> ids;
  RightZoneViewExtension::parseCommaList("2,10,x", &ids);
  EXPECT_EQ(ids, (std::vector<int32_t>{2, 10, 0}));
}

}  // namespace
}  // namespace Test
}  // namespace KR
