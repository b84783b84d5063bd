// The symbol combination on a small board: type 0 ("qa") and type 1 ("qb"),
// one group node each at the origin, symbols of 64 x 64.
#include <gtest/gtest.h>

#include <string>

#include "core/game_state/minigames/queue_minigame_view_extension.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::QueueMinigameViewExtension;

std::string config(const std::string& combinations) {
  return "<root><MinigameConfig><finishTime v=\"0.1\"/><finishDelay v=\"0\"/><types><v0 v=\"qa\"/><v1 "
         "v=\"qb\"/></types>"
         "<combinations>" +
         combinations + "</combinations></MinigameConfig></root>";
}

// Symbol a at 0, 0; symbols of type b at the given x.
std::string board(const std::string& bSymbols) {
  return "<Scene><Object name=\"qa\"><Childs><Object name=\"a\"><Parameters X=\"0\" Y=\"0\" w=\"64\" "
         "h=\"64\"/></Object>"
         "</Childs></Object><Object name=\"qb\"><Childs>" +
         bSymbols + "</Childs></Object></Scene>";
}

std::string symbol(const char* name, const std::string& x, const char* w = "64") {
  return std::string("<Object name=\"") + name + "\"><Parameters X=\"" + x + "\" Y=\"0\" w=\"" + w +
         "\" h=\"64\"/></Object>";
}

TEST(QueueTest, BesideMeansWithinOneSymbolOfTheLast) {
  // A symbol's probes reach one size and one step beyond its centre: from
  // x 97 the last one lands on a's right edge, from 98 just past it.
  for (const auto& [x, beside] : {std::pair<const char*, bool>{"64", true}, {"97", true}, {"98", false}}) {
    SCOPED_TRACE(x);
    PuzzleRig rig("QueueMinigameViewExtension", config("<v0><v0 v=\"0\"/><v1 v=\"1\"/></v0>"), board(symbol("b", x)));
    rig.click(10, 10);
    rig.click(std::stoi(x) + 40, 10);
    EXPECT_EQ(rig.as<QueueMinigameViewExtension>().combinations[0].found, beside);
  }
}

TEST(QueueTest, AChainCutBackToItsNewestSymbolStillNeedsNeighbours) {
  // Symbol b2 lies far from a: a, b2, a, b2 never makes "a then b".
  PuzzleRig rig("QueueMinigameViewExtension", config("<v0><v0 v=\"0\"/><v1 v=\"1\"/></v0>"),
                board(symbol("b1", "64") + symbol("b2", "400")));
  for (int round = 0; round < 2; ++round) {
    rig.click(10, 10);
    EXPECT_EQ(rig.result, 1);  // a click on a symbol is the puzzle's
    rig.click(410, 10);
  }
  EXPECT_FALSE(rig.as<QueueMinigameViewExtension>().combinations[0].found);
  rig.click(300, 300);  // beside every symbol it is not
  EXPECT_EQ(rig.result, 0);
}

TEST(QueueTest, AProbeFromAFarOffHugeSymbolEnds) {
  // Its centre lies where a step of 5 no longer moves a float; its probes
  // reach back over a, so it counts as beside a.
  PuzzleRig rig("QueueMinigameViewExtension", config("<v0><v0 v=\"0\"/><v1 v=\"1\"/></v0>"),
                board(symbol("b", "200000000", "640000000")));
  rig.click(10, 10);
  rig.click(200000100, 10);
  EXPECT_TRUE(rig.as<QueueMinigameViewExtension>().combinations[0].found);
}

TEST(QueueTest, ACombinationWithoutTypesIsNamedAndFoundWithTheFirstSymbol) {
  PuzzleRig rig("QueueMinigameViewExtension", config("<v0><v0 v=\"0\"/><v1 v=\"1\"/></v0><v1/>"),
                board(symbol("b", "64")), "empty_combination_xml");
  EXPECT_TRUE(rig.log.contains("WARNING: Puzzle configuration 'empty_combination_xml', key 'combinations'"));
  EXPECT_FALSE(rig.get().isRefused());
  rig.click(10, 10);
  EXPECT_TRUE(rig.as<QueueMinigameViewExtension>().combinations[1].found);
  rig.click(100, 10);
  rig.frames(5);
  EXPECT_TRUE(rig.finished());
}

TEST(QueueTest, TheFinishIsReportedTheFrameItsTimeIsReached) {
  std::string text = config("<v0><v0 v=\"0\"/><v1 v=\"1\"/></v0>");
  const std::string time = "<finishTime v=\"0.1\"/>";
  text.replace(text.find(time), time.size(), "<finishTime v=\"0.5\"/>");
  PuzzleRig rig("QueueMinigameViewExtension", text, board(symbol("b", "64")));
  rig.click(10, 10);
  rig.press(100, 10);
  rig.release(100, 10, 0.0f);  // solved, no time yet
  rig.frames(1, 0.25f);
  EXPECT_FALSE(rig.finished());
  rig.frames(1, 0.25f);
  EXPECT_TRUE(rig.finished());
}

}  // namespace
}  // namespace Test
}  // namespace KR
