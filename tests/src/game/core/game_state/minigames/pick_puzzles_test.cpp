// The pick-and-swap puzzles on the gallery's boards: memory pairs (cards 1 to
// 4 at x 484, 724, 964, 1204, y 364; 5 to 7 at x 604, 844, 1084, y 624;
// pairs 1-4, 2-7, 3-6, card 5 alone) and the rotating carriers.
#include <gtest/gtest.h>

#include <string>

#include "animationeditor/scene_node_animation.h"
#include "core/game_state/minigames/paires_minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"
#include "puzzle_rig.h"

namespace KR {
namespace Test {
namespace {

using HOG::PairesMinigameViewExtension;

TEST(GlideTest, AStepThatReachesTheTargetLandsOnItExactly) {
  KR::Vector2<float> at(0.0f, 0.0f);
  EXPECT_FALSE(HOG::glideStep(&at, KR::Vector2<float>(3.0f, 4.0f), 2.5f));  // half way
  EXPECT_FLOAT_EQ(at.x, 1.5f);
  EXPECT_FLOAT_EQ(at.y, 2.0f);
  EXPECT_TRUE(HOG::glideStep(&at, KR::Vector2<float>(3.0f, 4.0f), 2.5f));  // exactly there
  EXPECT_EQ(at.x, 3.0f);
  EXPECT_EQ(at.y, 4.0f);
  EXPECT_TRUE(HOG::glideStep(&at, KR::Vector2<float>(3.0f, 4.0f), 0.0f));  // nowhere to go
  EXPECT_EQ(at.x, 3.0f);
}

TEST(MemoryPairsTest, EveryWrongPairClosesWhenItsVisibleTimeAndAnimationAreOver) {
  PuzzleRig rig("PairesMinigameViewExtension", puzzleMedia("puzzle_paires.xml"),
                puzzleMedia("scene_puzzle_paires.xml"));
  auto& puzzle = rig.as<PairesMinigameViewExtension>();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    rig.click(724, 364);  // card 2
    rig.click(964, 364);  // card 3: a wrong pair
    rig.frames(38);       // 1.3 s: 0.5 s visible and 20 frames of 1/24 s not yet over
    EXPECT_TRUE(puzzle.elements[1].opened);
    EXPECT_TRUE(puzzle.elements[2].opened);
    rig.quickClick(484, 364);  // a third card waits
    EXPECT_FALSE(puzzle.elements[0].opened);
    rig.frames(2);
    EXPECT_FALSE(puzzle.elements[1].opened);
    EXPECT_FALSE(puzzle.elements[2].opened);
    EXPECT_TRUE(rig.node("pa_2")->mPlaying);  // closing
    rig.frames(15);
  }
}

TEST(MemoryPairsTest, AMatchedPairPlaysOnWithItsChildren) {
  PuzzleRig rig("PairesMinigameViewExtension", puzzleMedia("puzzle_paires.xml"),
                withChild(puzzleMedia("scene_puzzle_paires.xml"), "pa_1", "pa_1_shine", true));
  EXPECT_FALSE(rig.node("pa_1_shine")->mPlaying);  // at rest on the first visit
  rig.click(484, 364);                             // card 1
  rig.click(1204, 364);                            // card 4: a pair
  rig.frames(2);
  EXPECT_TRUE(rig.node("pa_1_shine")->mPlaying);
}

TEST(MemoryPairsTest, TheClickSoundIsQuietOnOpeningAndSoundsOnACard) {
  std::string scene = puzzleMedia("scene_puzzle_paires.xml");
  const std::string quiet = "Playing=\"0\"";
  scene.replace(scene.find(quiet, scene.find("name=\"pa_click\"")), quiet.size(), "Playing=\"1\"");
  PuzzleRig rig("PairesMinigameViewExtension", puzzleMedia("puzzle_paires.xml"), scene);
  EXPECT_FALSE(rig.node("pa_click")->mPlaying);
  rig.click(484, 364);
  EXPECT_TRUE(rig.node("pa_click")->mPlaying);
}

TEST(MemoryPairsTest, OnePairIsAPuzzle) {
  std::string config = puzzleMedia("puzzle_paires.xml");
  const size_t from = config.find("<elements>"), to = config.find("</elements>");
  config.replace(from, to - from,
                 "<elements><v0><id v=\"1\"/><name v=\"pa_1\"/></v0><v1><id v=\"1\"/><name v=\"pa_4\"/></v1>");
  PuzzleRig rig("PairesMinigameViewExtension", config, puzzleMedia("scene_puzzle_paires.xml"));
  EXPECT_FALSE(rig.get().isRefused());
  rig.click(484, 364);
  rig.click(1204, 364);
  rig.frames(100);
  EXPECT_TRUE(rig.finished());
}

TEST(MemoryPairsTest, ALoneCardOfIdMinus1RestsAtFrame2OnceEveryPairIsFound) {
  std::string config = puzzleMedia("puzzle_paires.xml");
  const std::string alone = "<id v=\"4\"/>";
  config.replace(config.find(alone), alone.size(), "<id v=\"-1\"/>");
  PuzzleRig rig("PairesMinigameViewExtension", config, puzzleMedia("scene_puzzle_paires.xml"));
  rig.click(484, 364);  // 1 and 4
  rig.click(1204, 364);
  rig.click(724, 364);  // 2 and 7
  rig.click(1084, 624);
  rig.click(964, 364);  // 3 and 6
  rig.click(844, 624);
  rig.frames(5);
  EXPECT_FALSE(rig.node("pa_5")->mPlaying);
  EXPECT_EQ(rig.frame("pa_5"), 2);
}

// The chains: elements 1 to 4 at x 720, 480, 1200, 960 (y 544) stand on
// places 2, 1, 4, 3; each place's chain light shows its element's frame.
TEST(ChainsTest, APlaceWithoutAFrameForItsNewElementKeepsItsLight) {
  std::string config = puzzleMedia("puzzle_chains.xml");
  const std::string second = "<elementsFrame><v0 v=\"30\"/><v1 v=\"20\"/><v2 v=\"10\"/><v3 v=\"30\"/></elementsFrame>";
  config.replace(config.find(second), second.size(), "<elementsFrame><v0 v=\"30\"/></elementsFrame>");
  PuzzleRig rig("ChainsMinigameViewExtension", config,
                withChild(puzzleMedia("scene_puzzle_chains.xml"), "ch_c1", "ch_c1_glint", true));
  EXPECT_FALSE(rig.node("ch_c1_glint")->mPlaying);
  EXPECT_EQ(rig.frame("ch_c2"), 30);
  rig.click(720, 544);  // element 1 and element 2 trade places
  rig.click(480, 544);
  rig.frames(45);
  EXPECT_EQ(rig.frame("ch_c2"), 30);  // place 2 has no frame for element 2
  EXPECT_EQ(rig.frame("ch_c1"), 20);
}

TEST(ChainsTest, OnOpeningTheArrivalSoundIsQuietAndWithoutItsKeyAPickShowsFrame10) {
  std::string config = puzzleMedia("puzzle_chains.xml");
  const std::string select = "<selectFrame v=\"10\"/>";
  config.replace(config.find(select), select.size(), "");
  PuzzleRig rig("ChainsMinigameViewExtension", config,
                withChild(puzzleMedia("scene_puzzle_chains.xml"), "ch_arrive", "ch_arrive_echo", true));
  EXPECT_FALSE(rig.node("ch_arrive_echo")->mPlaying);
  rig.click(720, 544);
  EXPECT_EQ(rig.frame("ch_e1"), 10);
}

TEST(ChainsTest, AClickOnAnElementIsThePuzzlesAndOneBesideDropsThePickAndGoesOnToTheView) {
  PuzzleRig rig("ChainsMinigameViewExtension", puzzleMedia("puzzle_chains.xml"),
                puzzleMedia("scene_puzzle_chains.xml"));
  rig.click(720, 544);
  EXPECT_EQ(rig.result, 1);
  EXPECT_EQ(rig.frame("ch_e1"), 10);
  rig.click(300, 900);
  EXPECT_EQ(rig.result, 0);
  EXPECT_EQ(rig.frame("ch_e1"), 0);
}

// Swap places: pieces 1 to 4 belong at the corners of a square, clockwise
// from (640, 260) at the top left, and start at frame 20 of their keys one
// corner on: piece 1 at (912, 260).
std::string superswapWith(const std::string& from, const std::string& to) {
  std::string config = puzzleMedia("puzzle_superswap.xml");
  config.replace(config.find(from), from.size(), to);
  return config;
}

TEST(SwapPlacesTest, PiecesScatterToTheBreakFrame) {
  for (const auto& [keys, x] : {std::pair<const char*, float>{"<breakframe v=\"10\"/>", 776.0f}, {"", 912.0f}}) {
    SCOPED_TRACE(keys);
    PuzzleRig rig("SuperSwapMinigameViewExtension", superswapWith("<breakframe v=\"20\"/>", keys),
                  puzzleMedia("scene_puzzle_superswap.xml"));
    EXPECT_EQ(rig.node("ss_p1")->mWorldMatrix.m[6], x);
  }
}

TEST(SwapPlacesTest, APieceRestsAtItsDepthAndItsPickPlaysWithoutASelectFrame) {
  // Piece 1 at depth 3 in every key.
  std::string scene = puzzleMedia("scene_puzzle_superswap.xml");
  const size_t pieceEnd = scene.find("name=\"ss_p1_body\"");
  for (const std::string x : {"640", "640", "912"}) {
    const std::string place = "X=\"" + x + "\" Y=\"260\" Z=\"0\"";
    const size_t at = scene.find(place);
    ASSERT_LT(at, pieceEnd);
    scene.replace(at, place.size(), "X=\"" + x + "\" Y=\"260\" Z=\"3\"");
  }
  scene = withChild(scene, "ss_ok1", "ss_ok1_glow", true);
  PuzzleRig rig("SuperSwapMinigameViewExtension", superswapWith("<selectFrame v=\"10\"/>", "<selectFrame v=\"-1\"/>"),
                scene);
  EXPECT_FALSE(rig.node("ss_ok1_glow")->mPlaying);
  EXPECT_EQ(rig.node("ss_p1_body")->mPosZ, 3.0f);
  EXPECT_EQ(rig.node("ss_p1_sel")->mPosZ, 2.0f);
  rig.click(976, 324);  // piece 1
  EXPECT_TRUE(rig.node("ss_p1_sel")->mPlaying);
  rig.frames(130);  // four seconds unsolved: no finish
  EXPECT_FALSE(rig.node("ss_finish")->mPlaying);
  EXPECT_FALSE(rig.finished());
}

TEST(SwapPlacesTest, AFinishedPuzzleHoldsItsFinishAfterAReturn) {
  PuzzleRig rig("SuperSwapMinigameViewExtension", puzzleMedia("puzzle_superswap.xml"),
                puzzleMedia("scene_puzzle_superswap.xml"));
  rig.skip();
  rig.frames(100);
  ASSERT_TRUE(rig.finished());
  rig.leaveAndReturn();
  rig.frames(2);
  EXPECT_FALSE(rig.node("ss_finish")->mPlaying);
  EXPECT_EQ(rig.frame("ss_finish"), int(rig.node("ss_finish")->mAnimation->mKeyFrames.back()));
}

TEST(SwapPlacesTest, ASwapGlidesASecondByDefaultAndAPieceInPlaceKeepsItsLampLitAfterAReturn) {
  PuzzleRig rig("SuperSwapMinigameViewExtension", superswapWith("<movingTime v=\"1\"/>", ""),
                puzzleMedia("scene_puzzle_superswap.xml"));
  rig.click(976, 324);  // piece 1 and piece 4, on piece 1's place
  EXPECT_EQ(rig.result, 1);
  rig.click(704, 324);
  EXPECT_EQ(rig.result, 1);
  rig.frames(15);
  const float x = rig.node("ss_p1")->mWorldMatrix.m[6];
  EXPECT_GT(x, 700.0f);  // half way
  EXPECT_LT(x, 850.0f);
  rig.frames(30);
  EXPECT_EQ(rig.node("ss_p1")->mWorldMatrix.m[6], 640.0f);
  EXPECT_TRUE(rig.node("ss_ok1")->mPlaying);
  rig.click(704, 324);  // a piece in place takes no pick, but the click is the puzzle's
  EXPECT_EQ(rig.result, 1);
  rig.leaveAndReturn();
  EXPECT_TRUE(rig.node("ss_ok1_lit")->mPlaying);
}

TEST(SwapPlacesTest, TheFinishPlaysItsTimeBeforeThePuzzleIsDone) {
  PuzzleRig rig("SuperSwapMinigameViewExtension", puzzleMedia("puzzle_superswap.xml"),
                puzzleMedia("scene_puzzle_superswap.xml"));
  rig.skip();
  rig.frames(80);  // 2.7 of its 3 s
  EXPECT_TRUE(rig.node("ss_finish")->mPlaying);
  EXPECT_FALSE(rig.finished());
  rig.frames(20);
  EXPECT_TRUE(rig.finished());
}

// Sliding tiles: point 1 (840, 300) starts empty beside point 2 (1065, 430),
// whose tile 1 would slide there.
TEST(SlidingTilesTest, NoTileMovesOnceTheFinishHasBegun) {
  std::string scene = puzzleMedia("scene_puzzle_patnashki.xml");
  scene = withChild(scene, "pt_tile1", "pt_tile1_shine", true);
  scene = withChild(scene, "pt_finish", "pt_finish_sound", true);
  PuzzleRig rig("PatnashkiViewExtension", puzzleMedia("puzzle_patnashki.xml"), scene);
  EXPECT_FALSE(rig.node("pt_tile1_shine")->mPlaying);
  EXPECT_FALSE(rig.node("pt_finish_sound")->mPlaying);
  rig.skip();
  rig.click(1065, 430);
  rig.frames(30);
  EXPECT_EQ(rig.node("pt_tile1")->mWorldMatrix.m[6], 1001.0f);
}

// Gears and motors: gears a (840, 504) and b (560, 504) are of one type, c
// (1120, 784) and d (1120, 504) of another; motor 0 drives b forward, motor
// 1 drives a, motor 2 drives d; the start button is at 544, 764.
TEST(GearsAndMotorsTest, GearsTurnTheirMotorsWayAndASwapInEitherOrderGivesTheMotors) {
  PuzzleRig rig("SwapTypeMinigameViewExtension", puzzleMedia("puzzle_swaptype.xml"),
                withChild(puzzleMedia("scene_puzzle_swaptype.xml"), "gm_gears", "gm_gears_echo"));
  rig.click(544, 764);  // start: the wrong machine runs
  rig.frames(5);
  EXPECT_LT(rig.node("gm_b1_rot")->mRotation, 0.0f);  // forward is against the clock
  EXPECT_GT(rig.node("gm_a1_rot")->mRotation, 0.0f);
  EXPECT_TRUE(rig.node("gm_gears_echo")->mPlaying);
  rig.frames(40);  // it stops by itself, and its sound with it
  EXPECT_FALSE(rig.node("gm_gears_echo")->mPlaying);
  rig.click(560, 504);  // b, then a: the second shows its pick while they glide
  rig.click(840, 504);
  EXPECT_EQ(rig.frame("gm_a1_rot"), 20);
  rig.frames(40);
  rig.click(1120, 784);  // c and d
  rig.click(1120, 504);
  rig.frames(40);
  rig.click(544, 764);  // a right machine
  rig.frames(130);
  EXPECT_TRUE(rig.finished());
}

TEST(GearsAndMotorsTest, APickOfAnotherTypeTakesThePickAndGearsGlideTheirMoveTime) {
  std::string config = puzzleMedia("puzzle_swaptype.xml");
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"<moveTime v=\"1\"/>", "<moveTime v=\"0.5\"/>"},
                                 {"<breakFrame v=\"10\"/>", ""}}) {
    ASSERT_NE(config.find(from), std::string::npos);
    config.replace(config.find(from), from.size(), to);
  }
  PuzzleRig rig("SwapTypeMinigameViewExtension", config, puzzleMedia("scene_puzzle_swaptype.xml"));
  EXPECT_EQ(rig.frame("gm_a1_rot"), 10);  // the break frame
  rig.click(560, 504);                    // b
  EXPECT_EQ(rig.result, 1);
  rig.click(1120, 784);  // c, of another type: b is let go
  EXPECT_EQ(rig.frame("gm_b1_rot"), 0);
  rig.click(1120, 504);  // d: c and d trade places
  rig.frames(8);
  const float y = rig.node("gm_c1")->mWorldMatrix.m[7];
  EXPECT_GT(y, 520.0f);  // half way
  EXPECT_LT(y, 620.0f);
  rig.frames(10);
  EXPECT_EQ(rig.node("gm_c1")->mWorldMatrix.m[7], 440.0f);
  EXPECT_EQ(rig.node("gm_d1")->mWorldMatrix.m[7], 720.0f);
}

// Group swap: pieces 1, 2, 3 of the first group at x 600, 840, 1080 (y 364),
// pieces 4, 5 of the second at 720, 960 (y 664).
TEST(GroupSwapTest, AfterTheChosenPieceIsClickedAgainAClickOnAPieceIsThePuzzles) {
  PuzzleRig rig("SwapGroupsViewExtension", puzzleMedia("puzzle_swapgroups.xml"),
                puzzleMedia("scene_puzzle_swapgroups.xml"));
  rig.frames(1);
  rig.click(720, 664);  // piece 4
  rig.click(720, 664);  // again: the next click only clears the choice
  rig.click(600, 364);
  EXPECT_EQ(rig.result, 1);
  EXPECT_EQ(rig.frame("gs_p1"), 0);
  rig.click(720, 664);
  rig.click(720, 664);
  rig.click(300, 900);  // on nothing: not the puzzle's
  EXPECT_EQ(rig.result, 0);
}

// The telescope: dragging moves the sky (ts_view); a release with it on
// the current spot lights that spot's glow.
TEST(TelescopeTest, ASpotIsFoundWithinItsAccuracyAndTheOpeningRestsItsNodes) {
  std::string scene = withChild(puzzleMedia("scene_puzzle_telescope.xml"), "ts_glow1", "ts_glow1_ray", true);
  scene = withChild(scene, "ts_lens", "ts_lens_flare", true);
  PuzzleRig rig("TelescopeMinigameViewExtension", puzzleMedia("puzzle_telescope.xml"), scene);
  EXPECT_FALSE(rig.node("ts_glow1_ray")->mPlaying);
  EXPECT_FALSE(rig.node("ts_lens_flare")->mPlaying);
  rig.press(1000, 300);  // the sky 41 points from the first spot, (-460, 275)
  rig.move(581, 575);
  rig.release(581, 575);
  EXPECT_FALSE(rig.node("ts_glow1")->mPlaying);
  rig.press(581, 575);  // exactly 40 away
  rig.move(580, 575);
  rig.release(580, 575);
  EXPECT_TRUE(rig.node("ts_glow1")->mPlaying);
  EXPECT_TRUE(rig.node("ts_glow1_ray")->mPlaying);
}

TEST(TelescopeTest, AnAccuracyOfNothingIsTaken) {
  std::string config = puzzleMedia("puzzle_telescope.xml");
  const std::string accuracy = "<accuracy v=\"40\"/>";
  config.replace(config.find(accuracy), accuracy.size(), "<accuracy v=\"0\"/>");
  PuzzleRig rig("TelescopeMinigameViewExtension", config, puzzleMedia("scene_puzzle_telescope.xml"));
  EXPECT_TRUE(rig.log.lines().empty());
  rig.press(1000, 300);
  rig.move(540, 575);
  rig.release(540, 575);
  EXPECT_TRUE(rig.node("ts_glow1")->mPlaying);
}

TEST(TelescopeTest, AFoundSpotTurnsTheLensAndClicksDuringTheFinishStayThePuzzles) {
  PuzzleRig rig("TelescopeMinigameViewExtension", puzzleMedia("puzzle_telescope.xml"),
                puzzleMedia("scene_puzzle_telescope.xml"));
  EXPECT_FALSE(rig.node("ts_lens")->mPlaying);
  rig.press(1000, 300);  // straight onto the first spot
  rig.move(540, 575);
  rig.release(540, 575);
  EXPECT_TRUE(rig.node("ts_glow1")->mPlaying);
  EXPECT_TRUE(rig.node("ts_lens")->mPlaying);  // its frames 0 to 24
  rig.skip();
  rig.frames(2);
  rig.click(300, 900);
  EXPECT_EQ(rig.result, 1);
}

TEST(TelescopeTest, ADragOfManyStepsMovesTheSkyByItsWayAndAGlowOutsideTheSkyRestsAtTheOpening) {
  // Spot 1's glow is a playing node beside the sky.
  std::string config = puzzleMedia("puzzle_telescope.xml");
  const std::string glow = "<finishAnim v=\"ts_glow1\"/>";
  config.replace(config.find(glow), glow.size(), "<finishAnim v=\"ts_mark\"/>");
  PuzzleRig rig("TelescopeMinigameViewExtension", config,
                withChild(puzzleMedia("scene_puzzle_telescope.xml"), "back", "ts_mark", true));
  EXPECT_FALSE(rig.node("ts_mark")->mPlaying);
  rig.press(1000, 300);
  rig.move(800, 400);
  rig.move(800, 400);  // held still
  rig.move(540, 575);
  rig.release(540, 575);
  EXPECT_TRUE(rig.node("ts_mark")->mPlaying);
}

TEST(GroupSwapTest, AChosenPieceStaysWhereItStandsThoughItsKeysSayOtherwise) {
  // Piece 1's own keys put it at its authored place, 536, 300.
  std::string scene = puzzleMedia("scene_puzzle_swapgroups.xml");
  const std::string place =
      "name=\"gs_p1\">\n    <Parameters X=\"536\" Y=\"300\" Z=\"0\" angle=\"0\" scaleX=\"1\" scaleY=\"1\" "
      "R=\"1\" G=\"1\" B=\"1\" A=\"1\" PivotPointX=\"0\" PivotPointY=\"0\" Enable=\"1\" BlendMode=\"0\"/>";
  ASSERT_NE(scene.find(place), std::string::npos);
  scene.insert(scene.find(place) + place.size(),
               "<frames><frame StartFrame=\"0\"><Attributes X=\"536\" Y=\"300\"/></frame>"
               "<frame StartFrame=\"15\"><Attributes X=\"536\" Y=\"300\"/></frame></frames>");
  PuzzleRig rig("SwapGroupsViewExtension", puzzleMedia("puzzle_swapgroups.xml"), scene);
  rig.frames(1);
  rig.click(600, 364);  // pieces 1 and 2 trade places
  rig.click(840, 364);
  rig.frames(20);
  ASSERT_EQ(rig.node("gs_p1")->mWorldMatrix.m[6], 776.0f);
  rig.click(840, 364);  // piece 1 chosen where it now stands
  EXPECT_EQ(rig.frame("gs_p1_face"), 15);
  EXPECT_EQ(rig.node("gs_p1")->mWorldMatrix.m[6], 776.0f);
}

TEST(GroupSwapTest, AGlideCutShortByLeavingPutsBothPiecesBackAndAChoiceIsForgotten) {
  PuzzleRig rig("SwapGroupsViewExtension", puzzleMedia("puzzle_swapgroups.xml"),
                puzzleMedia("scene_puzzle_swapgroups.xml"));
  rig.frames(1);
  rig.click(600, 364);  // piece 1: the click is the puzzle's
  EXPECT_EQ(rig.result, 1);
  ASSERT_EQ(rig.frame("gs_p1_face"), 15);
  rig.leaveAndReturn();
  EXPECT_EQ(rig.frame("gs_p1_face"), 0);
  rig.frames(1);
  rig.click(600, 364);  // pieces 1 and 2 set off, and the player leaves
  rig.click(840, 364);
  rig.frames(3);
  rig.leaveAndReturn();
  rig.frames(2);
  EXPECT_EQ(rig.node("gs_p1")->mWorldMatrix.m[6], 536.0f);
  EXPECT_EQ(rig.node("gs_p2")->mWorldMatrix.m[6], 776.0f);
}

// The rotating carriers: gear A at 576, 200 and gear B at 976, 200 (128 x
// 128); tile 0 below at 576, 700 belongs in the zone at 576, 450 with gear A
// at a quarter turn.
TEST(RotatingCarriersTest, AGearTurnsExactlyAQuarterAndATilePutInPlaceSounds) {
  PuzzleRig rig("RightPlaceMinigameViewExtension", puzzleMedia("puzzle_rightplace.xml"),
                withChild(puzzleMedia("scene_puzzle_rightplace.xml"), "rc_carA", "rc_carA_shine", true));
  EXPECT_FALSE(rig.node("rc_carA_shine")->mPlaying);
  rig.click(640, 264);
  rig.frames(10, 0.07f);  // steps of 12.6 degrees pass 90
  EXPECT_EQ(rig.node("rc_carA")->mRotation, 90.0f);
  EXPECT_FALSE(rig.node("rc_put")->mPlaying);
  rig.press(640, 764);
  rig.move(646, 520);
  rig.release(646, 520);
  EXPECT_EQ(rig.frame("rc_el0"), 10);
  EXPECT_TRUE(rig.node("rc_put")->mPlaying);
}

TEST(RotatingCarriersTest, AGearAuthoredTurnedStandsAtItsTurn) {
  // Gear A authored at a quarter turn: tile 0 fits at once.
  std::string scene = puzzleMedia("scene_puzzle_rightplace.xml");
  const std::string upright = "X=\"576\" Y=\"200\" Z=\"0\" angle=\"0\"";
  ASSERT_NE(scene.find(upright), std::string::npos);
  scene.replace(scene.find(upright), upright.size(), "X=\"576\" Y=\"200\" Z=\"0\" angle=\"90\"");
  PuzzleRig rig("RightPlaceMinigameViewExtension", puzzleMedia("puzzle_rightplace.xml"), scene);
  rig.frames(1);
  rig.press(640, 764);
  rig.move(646, 520);
  rig.release(646, 520);
  EXPECT_EQ(rig.frame("rc_el0"), 10);
}

}  // namespace
}  // namespace Test
}  // namespace KR
