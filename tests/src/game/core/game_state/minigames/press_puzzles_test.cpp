// The press puzzles on the gallery's boards: the ordered buttons (ids 1 to 4
// at x 544, 784, 1024, 1264, y 544; the sequence 3, 1, 2) and the colour
// buttons (red, green, blue below at x 664, 904, 1144, y 824; places above at
// y 424 wanting green, blue, red).
#include <gtest/gtest.h>

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
    rig.click(1024, 544);  // id 3
    rig.click(784, 544);   // id 2: wrong
    rig.frames(13);        // 0.5 s after the wrong press: still down
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    EXPECT_TRUE(rig.node("bq_light3")->mEnabled);
    rig.frames(2);
    EXPECT_EQ(rig.frame("bq_button2"), 0);
    EXPECT_EQ(rig.frame("bq_button3"), 0);
    EXPECT_FALSE(rig.node("bq_light3")->mEnabled);
  }
  // The sequence starts again from nothing.
  rig.click(1024, 544);
  rig.click(544, 544);
  rig.click(784, 544);
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
    rig.click(1024, 544);
    rig.press(784, 544);
    rig.release(784, 544, 0.0f);  // wrong, no time yet
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    rig.frames(halfFrames, 0.25f);  // exactly the delay: not yet
    EXPECT_EQ(rig.frame("bq_button2"), 10);
    rig.frames(1, 0.25f);
    EXPECT_EQ(rig.frame("bq_button2"), 0);
  }
}

TEST(ColourButtonsTest, EveryWrongFullBoardClearsADelayAfterItFilled) {
  PuzzleRig rig("ColorMinigameViewExtension", puzzleMedia("puzzle_color.xml"), puzzleMedia("scene_puzzle_color.xml"));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    for (int x : {664, 904, 1144}) {
      rig.click(x, 824);  // each colour on the place above it: all wrong
      rig.click(x, 424);
    }
    rig.frames(28);  // just short of the delay of 1 s
    EXPECT_EQ(rig.frame("cl_place3"), 13);
    rig.frames(2);
    EXPECT_EQ(rig.frame("cl_place3"), 0);
    EXPECT_EQ(rig.frame("cl_place1"), 0);
  }
  // Right colours finish it.
  for (const auto& [main, place] : {std::pair<int, int>{904, 664}, {1144, 904}, {664, 1144}}) {
    rig.click(main, 824);
    rig.click(place, 424);
  }
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
}

}  // namespace
}  // namespace Test
}  // namespace KR
