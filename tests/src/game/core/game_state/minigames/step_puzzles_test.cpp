// The stepping puzzles on the gallery's boards: the staged controls (squares
// at x 480, 720 and discs at 960, 1200, y 524; four stages of 8 frames; the
// glow needs the two squares right: yellow and green), the slider lock
// (slider 1's buttons at 380 and 1100, y 394; positions 0 to 4 of 6 frames)
// and the slider groups (slider 1's forward button at 820, 304; positions 0
// to 2 of 6 frames) and the linked circles (dials of radius 64 centred at
// 584, 840, 1096, y 504; starts red, green, red; states of 6 frames).
#include <gtest/gtest.h>

#include <string>

#include "animationeditor/scene_node_animation.h"
#include "core/game_state/minigames/circle_minigame_view_extension.h"
#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/key_minigame_view_extension.h"
#include "core/game_state/minigames/slider_minigame_view_extension.h"
#include "lua_script_2.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::KeyMinigameViewExtension;

TEST(StepCombinationTest, EveryControlOrEveryValueMustStandRight) {
  const HOG::StepCombination combination{{1, 3, 2}};
  // With every control needing a value: fewer values never match, more are ignored.
  EXPECT_TRUE(combination.matches({1, 3, 2}, true));
  EXPECT_FALSE(combination.matches({1, 3, 0}, true));
  EXPECT_FALSE(combination.matches({1, 3, 2, 0}, true));
  EXPECT_TRUE(combination.matches({1, 3}, true));
  // With every value needing a control: extra values never match, controls beyond them are free.
  EXPECT_TRUE(combination.matches({1, 3, 2, 7}, false));
  EXPECT_FALSE(combination.matches({1, 3}, false));
  EXPECT_FALSE(combination.matches({0, 3, 2}, false));
}

TEST(StagedControlsTest, TheGlowWaitsForEveryControlOfItsSlots) {
  // A slot naming no control is left out.
  std::string config = puzzleMedia("puzzle_key.xml");
  const std::string slots = "<slots><v0 v=\"0\"/><v1 v=\"1\"/></slots>";
  config.replace(config.find(slots), slots.size(), "<slots><v0 v=\"0\"/><v1 v=\"1\"/><v2 v=\"40000\"/></slots>");
  PuzzleRig rig("KeyMinigameViewExtension", config, puzzleMedia("scene_puzzle_key.xml"));
  rig.click(720, 524);  // square 2: red -> yellow -> green
  rig.frames(20);
  rig.click(720, 524);
  rig.frames(20);
  EXPECT_EQ(rig.frame("ky_ctl2"), 16);
  EXPECT_FALSE(rig.node("ky_glow")->mPlaying);  // square 1 is still red
  rig.click(480, 524);
  rig.frames(20);
  EXPECT_TRUE(rig.node("ky_glow")->mPlaying);
}

TEST(StagedControlsTest, AControlOfTwoValuesIsOneStageAndAStageBeyondTheFramesIsTheLastFrame) {
  {
    std::string config = puzzleMedia("puzzle_key.xml");
    config.replace(config.find("1,2,0,2"), 7, "0,2,0,2");
    const std::string first = "<stages><v0 v=\"0\"/><v1 v=\"8\"/><v2 v=\"16\"/><v3 v=\"24\"/></stages></v0>";
    config.replace(config.find(first), first.size(), "<stages><v0 v=\"0\"/><v1 v=\"8\"/></stages></v0>");
    PuzzleRig rig("KeyMinigameViewExtension", config, puzzleMedia("scene_puzzle_key.xml"));
    auto& puzzle = rig.as<KeyMinigameViewExtension>();
    EXPECT_TRUE(rig.log.lines().empty());
    ASSERT_EQ(puzzle.controls[0].stages.size(), 1u);
    EXPECT_EQ(puzzle.controls[0].stages[0].span, 8.0f);
  }
  std::string config = puzzleMedia("puzzle_key.xml");
  const std::string last = "<v3 v=\"24\"/>";
  config.replace(config.find(last), last.size(), "<v3 v=\"1e10\"/>");
  PuzzleRig rig("KeyMinigameViewExtension", config, puzzleMedia("scene_puzzle_key.xml"));
  auto& puzzle = rig.as<KeyMinigameViewExtension>();
  ASSERT_EQ(puzzle.controls.size(), 4u);
  EXPECT_EQ(puzzle.controls[0].stages[2].span, 100000.0f - 16.0f);
}

TEST(StagedControlsTest, AClickOnAControlSounds) {
  PuzzleRig rig("KeyMinigameViewExtension", puzzleMedia("puzzle_key.xml"), puzzleMedia("scene_puzzle_key.xml"));
  EXPECT_FALSE(rig.node("ky_click")->mPlaying);
  rig.click(720, 524);
  EXPECT_TRUE(rig.node("ky_click")->mPlaying);
}

TEST(StagedControlsTest, OutOfRangeCorrectAndStartStagesAreTheLast) {
  std::string config = puzzleMedia("puzzle_key.xml");
  config.replace(config.find("1,2,0,2"), 7, "1,2,0,9");
  const std::string start = "<startValue v=\"0\"/>";
  config.replace(config.find(start), start.size(), "<startValue v=\"7\"/>");
  PuzzleRig rig("KeyMinigameViewExtension", config, puzzleMedia("scene_puzzle_key.xml"), "stages_xml");
  auto& puzzle = rig.as<KeyMinigameViewExtension>();
  EXPECT_TRUE(puzzle.controls[3].stages[2].correct);
  EXPECT_EQ(puzzle.controls[0].currentStage, 2);
  EXPECT_TRUE(rig.log.contains("WARNING: Puzzle configuration 'stages_xml', key 'controls/startValue'"));
}

TEST(StagedControlsTest, AreasOfAControlInAPlacedViewMoveWithIt) {
  // The same board in a close-up placed at 100, 50.
  PuzzleRig rig("KeyMinigameViewExtension", puzzleMedia("puzzle_key.xml"), puzzleMedia("scene_puzzle_key.xml"),
                KR::Vector2<float>(100.0f, 50.0f));
  rig.click(1200 + 100, 524 + 50 + 60);  // disc 2, near its lower edge
  EXPECT_EQ(rig.result, 1);
  rig.click(480 + 100, 460 + 50 + 1);  // square 1, near its top edge
  EXPECT_EQ(rig.result, 1);
  rig.click(480 + 100, 460 + 50 - 1);
  EXPECT_EQ(rig.result, 0);
}

TEST(StagedControlsTest, TheFinishIsReportedTheFrameItsTimeIsReached) {
  std::string config = puzzleMedia("puzzle_key.xml");
  const std::string time = "<finishTime v=\"3\"/>";
  config.replace(config.find(time), time.size(), "<finishTime v=\"0.5\"/>");
  PuzzleRig rig("KeyMinigameViewExtension", config, puzzleMedia("scene_puzzle_key.xml"));
  rig.get().skipRequest = true;
  rig.frames(1, 0.25f);
  EXPECT_FALSE(rig.finished());
  rig.frames(1, 0.25f);
  EXPECT_TRUE(rig.finished());
}

TEST(SliderLockTest, ASliderStopsAtItsEnds) {
  PuzzleRig rig("CombSliderMinigameViewExtension", puzzleMedia("puzzle_comb_slider.xml"),
                puzzleMedia("scene_puzzle_comb_slider.xml"));
  rig.click(380, 394);  // back at 0: nothing moves
  EXPECT_FALSE(rig.node("cs_knob1")->mPlaying);
  for (int step = 1; step <= 5; ++step) {
    rig.click(1100, 394);
    EXPECT_EQ(rig.result, 1);  // a press on a button is the lock's
    rig.frames(15);
  }
  EXPECT_EQ(rig.frame("cs_knob1"), 24);  // four steps, the fifth goes nowhere
  rig.click(1100, 394);
  EXPECT_FALSE(rig.node("cs_knob1")->mPlaying);
  rig.click(380, 394);
  rig.frames(15);
  EXPECT_EQ(rig.frame("cs_knob1"), 18);
}

TEST(SliderLockTest, ASliderStartsAtItsStartAndStepsTenFramesWithoutAStepKey) {
  std::string config = puzzleMedia("puzzle_comb_slider.xml");
  const std::string keys = "<startID v=\"0\"/><maxID v=\"4\"/><frameStep v=\"6\"/>";
  config.replace(config.find(keys), keys.size(), "<startID v=\"2\"/><maxID v=\"4\"/>");
  const std::string pressed = "<pressedButtonFrame v=\"5\"/>";
  config.replace(config.find(pressed), pressed.size(), "");
  PuzzleRig rig("CombSliderMinigameViewExtension", config, puzzleMedia("scene_puzzle_comb_slider.xml"));
  EXPECT_EQ(rig.frame("cs_knob1"), 20);
  rig.press(1100, 394);
  EXPECT_EQ(rig.frame("cs_fwd1"), 5);  // a pressed button shows frame 5 without its key
  rig.release(1100, 394);
  rig.frames(15);
  EXPECT_EQ(rig.frame("cs_knob1"), 30);
}

TEST(SliderLockTest, TheOpeningRestsAKnobWithItsChildrenAndAReachedCombinationPlaysWithItsChildren) {
  std::string scene = withChild(puzzleMedia("scene_puzzle_comb_slider.xml"), "cs_combo1", "cs_combo1_spark");
  scene = withChild(scene, "cs_knob1", "cs_knob1_glint", true);
  PuzzleRig rig("CombSliderMinigameViewExtension", puzzleMedia("puzzle_comb_slider.xml"), scene);
  EXPECT_FALSE(rig.node("cs_knob1_glint")->mPlaying);
  // Sliders 1, 2, 3 (forward buttons at y 394, 594, 794) to 1, 3, 2.
  for (const auto& [y, steps] : {std::pair<int, int>{394, 1}, {594, 3}, {794, 2}})
    for (int step = 0; step < steps; ++step) {
      rig.click(1100, y);
      rig.frames(15);
    }
  EXPECT_TRUE(rig.node("cs_combo1")->mPlaying);
  EXPECT_TRUE(rig.node("cs_combo1_spark")->mPlaying);
}

TEST(SliderGroupsTest, ASliderStopsAtItsTop) {
  PuzzleRig rig("SliderMinigameViewExtension", puzzleMedia("puzzle_slider.xml"),
                puzzleMedia("scene_puzzle_slider.xml"));
  for (int step = 1; step <= 3; ++step) {
    rig.click(820, 304);
    rig.frames(20);
  }
  EXPECT_EQ(rig.frame("sg_knob1"), 12);
  EXPECT_EQ(rig.frame("sg_group1"), 10);  // 5 frames per unit: 2 + 2 x 0
}

TEST(LinkedCirclesTest, ADialIsHitWithinItsRadiusAndOwedBackwardStepsWait) {
  std::string config = puzzleMedia("puzzle_circle.xml");
  const std::string link = "<stepSize v=\"3\"/>";
  config.replace(config.find(link), link.size(), "<stepSize v=\"-1\"/>");
  KR::seedSharedRandom(1);  // the starts are drawn at load
  PuzzleRig rig("CircleMinigameViewExtension", config, puzzleMedia("scene_puzzle_circle.xml"));
  // A dial at state i shows frame 6 (i + 1); one step on, after state 3 comes 0.
  auto next = [](int frame) { return frame == 24 ? 6 : frame + 6; };
  const int first = rig.frame("ci_dial1"), second = rig.frame("ci_dial2"), third = rig.frame("ci_dial3");
  rig.click(584 + 65, 504);  // beyond dial 1
  EXPECT_EQ(rig.result, 0);
  rig.click(584, 504 + 64);  // on its edge
  EXPECT_EQ(rig.result, 1);
  rig.frames(20);
  EXPECT_EQ(rig.frame("ci_dial1"), next(first));
  EXPECT_EQ(rig.frame("ci_dial2"), next(second));  // turned along
  rig.click(840, 504);                             // dial 2 owes dial 3 a step back: dial 3 waits
  rig.frames(20);
  EXPECT_EQ(rig.frame("ci_dial3"), third);
  rig.click(1096, 504);  // dial 3's own click pays the debt: still no step
  rig.frames(20);
  EXPECT_EQ(rig.frame("ci_dial3"), third);
  rig.click(1096, 504);
  rig.frames(20);
  EXPECT_EQ(rig.frame("ci_dial3"), next(third));
}

TEST(FrameCyclingTest, AButtonWithoutStepKeysCyclesTenStatesOfTenFrames) {
  // Button 1 of the gallery with its "maxFrameID" and "frameStep" left out.
  std::string config = puzzleMedia("puzzle_r_paires.xml");
  const std::string keys = "<maxFrameID v=\"3\"/><frameStep v=\"8\"/>";
  config.replace(config.find(keys), keys.size(), "");
  PuzzleRig rig("RPairesMinigameViewExtension", config, puzzleMedia("scene_puzzle_r_paires.xml"));
  rig.click(300, 300);  // beside every button: not the puzzle's
  EXPECT_EQ(rig.result, 0);
  for (int state = 1; state <= 10; ++state) {
    rig.click(584, 584);
    EXPECT_EQ(rig.result, 1);
    rig.frames(15);
    EXPECT_EQ(rig.frame("rp_btn1"), state * 10) << state;  // the tenth plays the stretch after the last
  }
  rig.leaveAndReturn();
  EXPECT_EQ(rig.frame("rp_btn1"), 0);  // state 0 again
}

TEST(FrameCyclingTest, ALampLightsOnlyOnceEveryButtonStandsStill) {
  // Yellow, green on the first two buttons (x 584 and 840, y 584) lights the left lamp.
  PuzzleRig rig("RPairesMinigameViewExtension", puzzleMedia("puzzle_r_paires.xml"),
                puzzleMedia("scene_puzzle_r_paires.xml"));
  for (int click = 0; click < 2; ++click) {
    rig.click(840, 584);
    rig.frames(15);
  }
  rig.click(584, 584);  // the last right state, the button still turning to it
  EXPECT_FALSE(rig.node("rp_lamp1")->mPlaying);
  rig.frames(15);
  EXPECT_TRUE(rig.node("rp_lamp1")->mPlaying);
}

TEST(LinkedCirclesTest, AStartDrawnAtTheVeryTopWrapsToTheFirstState) {
  uint32_t seed = 0;
  do {
    KR::seedSharedRandom(++seed);
  } while (KR::sharedRandom() != KR::kSharedRandomMax);
  KR::seedSharedRandom(seed);
  PuzzleRig rig("CircleMinigameViewExtension", puzzleMedia("puzzle_circle.xml"),
                puzzleMedia("scene_puzzle_circle.xml"));
  EXPECT_EQ(rig.as<HOG::CircleMinigameViewExtension>().controls[0].stateIndex, 0);
  EXPECT_EQ(rig.frame("ci_dial1"), 6);
}

TEST(LinkedCirclesTest, ADialOfTwoStatesPlaysAndTheFinishWaitsSilently) {
  // Dial 3 with two states only: it always stands at state 0.
  std::string config = puzzleMedia("puzzle_circle.xml");
  const std::string third =
      "<animNode v=\"ci_dial3\"/><correctState v=\"1\"/>\n"
      "        <states><v0 v=\"0\"/><v1 v=\"6\"/><v2 v=\"12\"/><v3 v=\"18\"/><v4 v=\"24\"/></states>";
  ASSERT_NE(config.find(third), std::string::npos);
  config.replace(config.find(third), third.size(),
                 "<animNode v=\"ci_dial3\"/><correctState v=\"0\"/><states><v0 v=\"6\"/><v1 v=\"12\"/></states>");
  std::string scene = puzzleMedia("scene_puzzle_circle.xml");
  const std::string quiet = "Volume=\"0.8\" Playing=\"0\"";
  scene.replace(scene.find(quiet), quiet.size(), "Volume=\"0.8\" Playing=\"1\"");  // the chime
  PuzzleRig rig("CircleMinigameViewExtension", config, scene);
  EXPECT_FALSE(rig.get().isRefused());  // state 0 is a right state like any other
  EXPECT_EQ(rig.as<HOG::CircleMinigameViewExtension>().controls.size(), 3u);
  EXPECT_EQ(rig.frame("ci_dial3"), 12);
  EXPECT_FALSE(rig.node("ci_chime")->mPlaying);
  rig.click(1096, 504);
  rig.frames(20);
  EXPECT_EQ(rig.frame("ci_dial3"), 12);  // played 6 to 12 again
}

TEST(LinkedCirclesTest, AClickDuringTheFinishIsNotThePuzzles) {
  // One dial of two states, right at state 0: solved at once.
  std::string config = puzzleMedia("puzzle_circle.xml");
  const size_t from = config.find("<controls>"), to = config.find("</controls>");
  config.replace(from, to - from,
                 "<controls><v0><animNode v=\"ci_dial1\"/><correctState v=\"0\"/>"
                 "<states><v0 v=\"0\"/><v1 v=\"6\"/></states></v0>");
  PuzzleRig rig("CircleMinigameViewExtension", config, puzzleMedia("scene_puzzle_circle.xml"));
  rig.frames(2);
  ASSERT_TRUE(rig.node("ci_finish")->mPlaying);
  rig.click(584, 504);
  EXPECT_EQ(rig.result, 0);
}

TEST(SliderGroupsTest, AReleaseShowsEveryButtonWithItsChildrenAtRest) {
  PuzzleRig rig("SliderMinigameViewExtension", puzzleMedia("puzzle_slider.xml"),
                withChild(puzzleMedia("scene_puzzle_slider.xml"), "sg_fwd1", "sg_fwd1_face"));
  rig.press(820, 304);
  rig.frames(1);
  rig.release(820, 304);
  EXPECT_EQ(rig.frame("sg_fwd1"), 0);
  EXPECT_EQ(rig.frame("sg_fwd1_face"), 0);
}

TEST(SliderGroupsTest, TheSecondPairDrivesItsMarkerAndItsGlowRestsWhileItMoves) {
  // The click sound authored as off, and slider 1 of no frames at all.
  std::string scene = puzzleMedia("scene_puzzle_slider.xml");
  const std::string off = "Playing=\"0\" Enable=\"1\"";
  scene.replace(scene.find(off, scene.find("name=\"sg_click\"")), off.size(), "Playing=\"0\" Enable=\"0\"");
  std::string config = puzzleMedia("puzzle_slider.xml");
  const std::string step = "<frameStepAbs v=\"6\"/>";
  config.replace(config.find(step), step.size(), "<frameStepAbs v=\"0\"/>");
  PuzzleRig rig("SliderMinigameViewExtension", config, scene);
  EXPECT_FALSE(rig.get().isRefused());
  EXPECT_TRUE(rig.node("sg_click")->mEnabled);
  rig.frames(1);
  EXPECT_TRUE(rig.node("sg_idle2")->mPlaying);
  rig.click(820, 684);  // slider 3 forward
  EXPECT_FALSE(rig.node("sg_idle2")->mPlaying);
  rig.frames(20);
  EXPECT_TRUE(rig.node("sg_idle2")->mPlaying);
  for (int press = 0; press < 2; ++press) {
    rig.click(820, 844);  // slider 4 forward
    rig.frames(20);
  }
  EXPECT_EQ(rig.frame("sg_group2"), 25);  // 5 frames per unit: 1 + 2 x 2
}

TEST(SliderGroupsTest, APressAtAnEndLeavesTheGroupsGlowRunning) {
  PuzzleRig rig("SliderMinigameViewExtension", puzzleMedia("puzzle_slider.xml"),
                puzzleMedia("scene_puzzle_slider.xml"));
  rig.frames(5);
  const float before = rig.node("sg_idle1")->mAnimation->mTime;
  rig.press(280, 304);  // slider 1 back, already at 0
  EXPECT_TRUE(rig.node("sg_idle1")->mPlaying);
  EXPECT_GT(rig.node("sg_idle1")->mAnimation->mTime, before);
}

TEST(SliderGroupsTest, AReleasedSceneLeavesThePuzzleNoNodeOfIt) {
  // The streamer deletes the released scene: a node kept from it would be
  // written to once it is gone.
  PuzzleRig rig("SliderMinigameViewExtension", puzzleMedia("puzzle_slider.xml"),
                puzzleMedia("scene_puzzle_slider.xml"));
  const auto& puzzle = rig.as<HOG::SliderMinigameViewExtension>();
  rig.reloadWithoutActivation();
  EXPECT_EQ(puzzle.clickSoundNode, nullptr);
  for (const auto& slider : puzzle.sliders) {
    EXPECT_EQ(slider.stepper.node, nullptr);
    EXPECT_EQ(slider.forwardNode, nullptr);
    EXPECT_EQ(slider.backwardNode, nullptr);
  }
}

TEST(SliderGroupsTest, AGroupWithoutItsPairIsNamed) {
  // Three sliders: the second group has none, and slider 3 none to drive it.
  std::string config = puzzleMedia("puzzle_slider.xml");
  const size_t fourth = config.find("<v3><slider");
  config.erase(fourth, config.find("</v3>", fourth) + 5 - fourth);
  PuzzleRig rig("SliderMinigameViewExtension", config, puzzleMedia("scene_puzzle_slider.xml"), "three_xml");
  EXPECT_TRUE(rig.log.contains("WARNING: Puzzle configuration 'three_xml', key 'Groups': group sg_group2 has no pair"));
  EXPECT_TRUE(rig.get().isRefused());  // slider 3 can't be moved to its place
}

}  // namespace
}  // namespace Test
}  // namespace KR
