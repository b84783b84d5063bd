// The puzzles played from their replays: each file of the group's folder
// (KR_REPLAY_DIR) starts a new game, walks into the puzzle gallery and plays
// its input and expectations (support/replay.h gives the commands). CMake adds
// one test per file; file names use letters, digits and "_" only.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "lua_script_2.h"
#include "play_through_support.h"
#include "support/game_driver.h"
#include "support/replay.h"

namespace {

constexpr uint32_t kReplaySeed = 1;

class MinigameReplay : public ::testing::TestWithParam<std::string> {};

TEST_P(MinigameReplay, PlaysThrough) {
  // Puzzles draw their random starts when a new game loads its views: every
  // replay seeds the generator right before the click that starts the game,
  // so the starts follow neither what ran before in this process nor how many
  // frames the logos and the menu took.
  KR::Test::GameDriver game;
  ASSERT_TRUE(KR::Test::startNewGame(game, [] { KR::seedSharedRandom(kReplaySeed); }));
  EXPECT_TRUE(KR::Test::playReplay(game, std::string(KR_REPLAY_DIR) + "/" + GetParam()));
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

std::string replayName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Replays, MinigameReplay, ::testing::ValuesIn(KR::Test::listReplays(KR_REPLAY_DIR)),
                         replayName);

}  // namespace
