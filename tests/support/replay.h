#pragma once
// Replays: a small text file of player input fed to the running game through
// the headless driver at its fixed step, with expectations along the way.
// One command a line; "#" starts a comment; coordinates are design points.
//
//   open <view>            click the active view's transition to <view>, wait until it is shown
//   leave                  click the active view's first transition (a puzzle's way back), wait
//   return                 open again the view last left
//   press|release|move X Y the left button down, up, or the pointer moved; one step
//   click X Y              press, a step, release, a step;   rclick X Y: the same with the right button
//   wait S                 S seconds of steps;   frames N: N steps
//   skip                   waits for the hint button to charge, then clicks it (SKIP in a puzzle)
//   save | load            the play state saves; restores the saved game and waits for its view
//   clear                  forgets the game messages counted so far
//   shot NAME              writes the last frame to the build folder's tests/NAME.png (for a look)
//   expect hooks V N       the level script's finish hook of view V ran N times (galleryFinished)
//   expect messages K N    N game messages of kind K since the start or the last clear
//   expect lock > S | = 0  the play state's lock timer
//   expect frame NODE F    the node of the active view's scene stands at frame F (its clock)
//   expect position NODE X Y   its world position (within half a point)
//   expect rotation NODE D its own rotation in degrees (within 0.05)
//   expect enabled NODE 0|1    expect playing NODE 0|1
//   expect view NAME       the active view
//   expect finished V 0|1  expect suspended V 0|1: flags of view V's extension
//   expect hint WORD [0|1] the hint button reads WORD (HINT or SKIP), its rim lit exactly while it is
//                          full; when given, whether it is full (a click acts) or not
//   expect brief TEXT      the active view's extension's briefing (UTF-8)
//   expect text TEXT       the on-screen message (UTF-8)
//   expect picture NAME    the last frame, the hint button blacked out, looks like
//                          tests/data/replays/pictures/NAME.png (a missing one is written to the build folder's
//                          tests/NAME.png; the run goes on and fails at its end)
//
// A failed expectation fails the run with the file's line.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/game_driver.h"

namespace KR {
namespace Test {

// The replay files of a folder (*.txt), sorted; for parameterised tests.
std::vector<std::string> listReplays(const std::string& folder);

// Plays the file on a started game in play.
::testing::AssertionResult playReplay(GameDriver& game, const std::string& path);

}  // namespace Test
}  // namespace KR
