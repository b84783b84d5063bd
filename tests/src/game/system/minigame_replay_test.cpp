// The puzzles played from their replays: each file of a group's folder under
// KR_REPLAY_ROOT starts a new game, walks into the puzzle gallery and plays
// its input and expectations (support/replay.h gives the commands). A case is
// named <group>__<file name>; CMake adds one test per file. Folder and file
// names use letters, digits and "_" only.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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
  ASSERT_TRUE(KR::Test::startNewGameSkippingIntro(game, [] { KR::seedSharedRandom(kReplaySeed); }));
  EXPECT_TRUE(KR::Test::playReplay(game, std::string(KR_REPLAY_ROOT) + "/" + GetParam()));
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

// "<group>/<file>" for every replay of every group.
std::vector<std::string> allReplays() {
  std::vector<std::string> groups;
  if (DIR* dir = opendir(KR_REPLAY_ROOT)) {
    while (const dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') groups.push_back(entry->d_name);
    closedir(dir);
  }
  std::sort(groups.begin(), groups.end());
  std::vector<std::string> replays;
  for (const std::string& group : groups)
    for (const std::string& file : KR::Test::listReplays(std::string(KR_REPLAY_ROOT) + "/" + group))
      replays.push_back(group + "/" + file);
  return replays;
}

std::string replayName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.size() - 4);
  const size_t slash = name.find('/');
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  // Two underscores between group and file, so that "a_b/c" and "a/b_c" differ.
  return name.replace(slash, 1, "__");
}

INSTANTIATE_TEST_SUITE_P(Replays, MinigameReplay, ::testing::ValuesIn(allReplays()), replayName);

}  // namespace
