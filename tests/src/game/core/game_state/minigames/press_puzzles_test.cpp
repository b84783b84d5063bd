// The press puzzles on the gallery's boards: the ordered buttons (ids 1 to 4
// at x 480, 720, 960, 1200, y 544; the sequence 3, 1, 2) and the colour
// buttons (red, green, blue below at x 600, 840, 1080, y 704; places above at
// y 384 wanting green, blue, red), the button groups (A, B, C at x 600, 840,
// 1080, y 424, correct A and C; D, E at 720, 960, y 704, correct E) and the
// linked toggles (lamps 1 to 4 at x 480, 720, 960, 1200, y 544).
#include <gtest/gtest.h>

#include <string>

#include "core/game_state/minigames/bqueue_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

TEST(OrderedButtonsTest, EveryWrongSequenceSpringsBackAHalfSecondAfterItWentWrong) {
  PuzzleRig rig("BQueueMinigameViewExtension", puzzleMedia("puzzle_bqueue.xml"),
                puzzleMedia("scene_puzzle_bqueue.xml"));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    rig.click(960, 544);  // id 3
    rig.click(720, 544);  // id 2: wrong
    rig.frames(13);       // 0.5 s after the wrong press: still down
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    EXPECT_TRUE(rig.node("bq_light3")->mEnabled);
    rig.frames(2);
    EXPECT_EQ(rig.frame("bq_button2"), 0);
    EXPECT_EQ(rig.frame("bq_button3"), 0);
    EXPECT_FALSE(rig.node("bq_light3")->mEnabled);
  }
  // The sequence starts again from nothing.
  rig.click(960, 544);
  rig.click(480, 544);
  rig.click(720, 544);
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
}

TEST(OrderedButtonsTest, ThePressedDelayIsWaitedInFull) {
  for (const auto& [keys, halfFrames] : {std::pair<const char*, int>{"<pressedDelay v=\"1\"/>", 4}, {"", 2}}) {
    SCOPED_TRACE(keys);
    // Without "pressedFrame" a pressed button shows frame 10; the delay is
    // 0.5 s without its key.
    std::string config = puzzleMedia("puzzle_bqueue.xml");
    const std::string given = "<pressedFrame v=\"10\"/>\n    <pressedDelay v=\"0.5\"/>";
    config.replace(config.find(given), given.size(), keys);
    PuzzleRig rig("BQueueMinigameViewExtension", config, puzzleMedia("scene_puzzle_bqueue.xml"));
    rig.click(960, 544);
    rig.press(720, 544);
    rig.release(720, 544, 0.0f);  // wrong, no time yet
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    rig.frames(halfFrames, 0.25f);  // exactly the delay: not yet
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    rig.frames(1, 0.25f);
    EXPECT_EQ(rig.frame("bq_button2"), 0);
  }
}

TEST(OrderedButtonsTest, AButtonOutsideTheSequenceMayLackItsNodeAndIsLoggedOnce) {
  std::string config = puzzleMedia("puzzle_bqueue.xml");
  const std::string fourth = "<name v=\"bq_button4\"/>";
  config.replace(config.find(fourth), fourth.size(), "<name v=\"bq_missing\"/>");
  PuzzleRig rig("BQueueMinigameViewExtension", config, puzzleMedia("scene_puzzle_bqueue.xml"));
  EXPECT_FALSE(rig.get().isRefused());
  rig.leaveAndReturn();
  int lines = 0;
  for (const std::string& line : rig.log.lines()) lines += line.find("Can't open node bq_missing") != std::string::npos;
  EXPECT_EQ(lines, 1);
  rig.click(960, 544);
  rig.click(480, 544);
  rig.click(720, 544);
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
}

TEST(OrderedButtonsTest, TheClickSoundIsQuietOnOpeningAndSoundsOnAPress) {
  std::string scene = puzzleMedia("scene_puzzle_bqueue.xml");
  const std::string quiet = "Playing=\"0\"";
  scene.replace(scene.find(quiet, scene.find("name=\"bq_click\"")), quiet.size(), "Playing=\"1\"");
  PuzzleRig rig("BQueueMinigameViewExtension", puzzleMedia("puzzle_bqueue.xml"), scene);
  EXPECT_FALSE(rig.node("bq_click")->mPlaying);
  rig.click(960, 544);
  EXPECT_TRUE(rig.node("bq_click")->mPlaying);
}

TEST(ColourButtonsTest, EveryWrongFullBoardClearsADelayAfterItFilled) {
  PuzzleRig rig("ColorMinigameViewExtension", puzzleMedia("puzzle_color.xml"), puzzleMedia("scene_puzzle_color.xml"));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    for (int x : {600, 840, 1080}) {
      rig.click(x, 704);  // each colour on the place above it: all wrong
      rig.click(x, 384);
    }
    rig.frames(28);  // just short of the delay of 1 s
    EXPECT_EQ(rig.frame("cl_place3"), 13);
    rig.frames(2);
    EXPECT_EQ(rig.frame("cl_place3"), 0);
    EXPECT_EQ(rig.frame("cl_place1"), 0);
  }
  // Right colours finish it.
  for (const auto& [main, place] : {std::pair<int, int>{840, 600}, {1080, 840}, {600, 1080}}) {
    rig.click(main, 704);
    rig.click(place, 384);
  }
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
}

TEST(ColourButtonsTest, AClearedBoardPreviewsTheNextColourEverywhere) {
  PuzzleRig rig("ColorMinigameViewExtension", puzzleMedia("puzzle_color.xml"), puzzleMedia("scene_puzzle_color.xml"));
  rig.click(600, 704);  // red, with its sound
  EXPECT_TRUE(rig.node("cl_up")->mPlaying);
  rig.click(600, 384);  // on place 1
  rig.click(300, 600);  // empty space: the board clears
  rig.click(840, 704);  // green: every free place shows it
  EXPECT_EQ(rig.frame("cl_place1"), 2);
  EXPECT_EQ(rig.frame("cl_place3"), 2);
}

TEST(ColourButtonsTest, AWrongBoardWaitsItsOwnDelayOrOneSecond) {
  for (const auto& [keys, quarters] : {std::pair<const char*, int>{"<delay v=\"2\"/>", 8}, {"", 4}}) {
    SCOPED_TRACE(keys);
    std::string config = puzzleMedia("puzzle_color.xml");
    const std::string given = "<delay v=\"1\"/>";
    config.replace(config.find(given), given.size(), keys);
    PuzzleRig rig("ColorMinigameViewExtension", config, puzzleMedia("scene_puzzle_color.xml"));
    for (int x : {600, 840, 1080}) {
      rig.click(x, 704);
      rig.press(x, 384);
      rig.release(x, 384, 0.0f);
    }
    rig.frames(quarters - 1, 0.25f);
    EXPECT_EQ(rig.frame("cl_place3"), 13);
    rig.frames(2, 0.25f);
    EXPECT_EQ(rig.frame("cl_place3"), 0);
  }
}

TEST(ColourButtonsTest, ASkippedPuzzleShowsItsSolutionWhenOpenedAgain) {
  PuzzleRig rig("ColorMinigameViewExtension", puzzleMedia("puzzle_color.xml"), puzzleMedia("scene_puzzle_color.xml"));
  rig.skip();
  rig.frames(100);
  ASSERT_TRUE(rig.finished());
  rig.leaveAndReturn();
  EXPECT_EQ(rig.frame("cl_place1"), 2);  // green, blue, red
  EXPECT_EQ(rig.frame("cl_place2"), 3);
  EXPECT_EQ(rig.frame("cl_place3"), 1);
}

TEST(ColourButtonsTest, ABoardLeftWithTheFirstColourPickedIsShownAsItWasLeft) {
  PuzzleRig rig("ColorMinigameViewExtension", puzzleMedia("puzzle_color.xml"), puzzleMedia("scene_puzzle_color.xml"));
  rig.click(600, 704);  // red
  rig.click(600, 384);  // on place 1
  rig.leaveAndReturn();
  EXPECT_EQ(rig.frame("cl_main1"), 5);
  EXPECT_EQ(rig.frame("cl_place1"), 11);
  EXPECT_EQ(rig.frame("cl_place2"), 1);  // the free places preview red
}

TEST(ButtonGroupsTest, AClickSoundsAndASolvedGroupPlaysWithItsChildren) {
  std::string scene = withChild(puzzleMedia("scene_puzzle_buttons.xml"), "bg_glow0", "bg_glow0_spark");
  scene = withChild(scene, "bg_click", "bg_click_echo", true);
  std::string config = puzzleMedia("puzzle_buttons.xml");
  const std::string delay = "<finishDelay v=\"2\"/>";
  config.replace(config.find(delay), delay.size(), "<finishDelay v=\"1\"/>");
  PuzzleRig rig("ButtonsMinigameViewExtension", config, scene);
  EXPECT_FALSE(rig.node("bg_click_echo")->mPlaying);
  rig.click(600, 424);
  EXPECT_TRUE(rig.node("bg_click")->mPlaying);
  rig.click(1080, 424);  // A and C: the top group is solved
  EXPECT_TRUE(rig.node("bg_glow0")->mPlaying);
  EXPECT_TRUE(rig.node("bg_glow0_spark")->mPlaying);
  rig.click(960, 704);  // E: both groups; the finish starts a delay of 1 s later
  rig.frames(28);
  EXPECT_FALSE(rig.node("bg_finish")->mPlaying);
  rig.frames(3);
  EXPECT_TRUE(rig.node("bg_finish")->mPlaying);
  rig.frames(6);  // it plays on, not cut to its end
  EXPECT_TRUE(rig.node("bg_finish")->mPlaying);
  EXPECT_LT(rig.frame("bg_finish"), 24);
}

TEST(LinkedTogglesTest, ALampLightsAtFrame10WithItsChildrenAndEveryClickIsThePuzzles) {
  std::string config = puzzleMedia("puzzle_link.xml");
  const std::string on = "<onFrame v=\"10\"/>";
  config.replace(config.find(on), on.size(), "");
  PuzzleRig rig("LinkViewExtension", config, withChild(puzzleMedia("scene_puzzle_link.xml"), "lk_1", "lk_1_glow"));
  rig.click(100, 900);
  EXPECT_EQ(rig.result, 1);
  rig.click(480, 544);  // lamp 1 on
  EXPECT_EQ(rig.result, 1);
  EXPECT_TRUE(rig.node("lk_1_glow")->mPlaying);
  rig.frames(15);
  EXPECT_EQ(rig.frame("lk_1"), 10);
}

}  // namespace
}  // namespace Test
}  // namespace KR
