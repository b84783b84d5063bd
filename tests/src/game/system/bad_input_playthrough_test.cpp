// Bad input played through the real game: a refused save is told to the
// player and kept aside, never overwritten; a failed save is shown with its
// reason; a stale temporary file goes at start-up; a level-script hook in an
// endless loop fails with a named error and play goes on; SIGTERM ends the
// game as its close button does, saving on the way out.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <lua.hpp>

#include <csignal>
#include <cstdio>
#include <string>

#include "core/game_application.h"
#include "core/game_state/game.h"
#include "core/game_state/saves/save_game_file.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/profile_system.h"
#include "lua_script_2.h"
#include "platform/safe_file.h"
#include "platform/termination.h"
#include "support/game_driver.h"
#include "support/test_support.h"
#include "user_data_folder.h"

namespace {

using KR::Test::GameDriver;

std::string userFolder() { return KR::getUserDataFolder("Quellmoor", "Marlowick"); }

// The game started straight in play (--play) for "Player", whose game is
// under way: its saved game is read at once.
bool startInPlay(GameDriver& game) {
  HOG::PlayerProfile player;
  player.name = L"Player";
  player.persistent = true;
  player.gameBegin = 0;
  KR::Test::writeFile(userFolder() + "profilelist.dat", HOG::ProfileSystem::encodeList({&player}, 0));
  GameApplication::launchMode = GameApplication::LaunchMode::Play;
  const bool started = game.start();
  GameApplication::launchMode = GameApplication::LaunchMode::Game;
  return started;
}

// In play, the intro skipped, the hall shown.
void enterPlay(GameDriver& game) {
  ASSERT_EQ(game.currentState(), "Game");
  game.click(300, 200);  // skips the intro when it plays
  ASSERT_TRUE(game.stepUntil([&] { return !game.videoPlaying(); }, 900));
  ASSERT_TRUE(game.stepUntil([&] { return game.activeView() == "location01"; }, 300));
}

bool activated(GameDriver& game, const char* view) {
  return game.activeView() == view && HOG::Game::getInstance()->getViewStack().getActiveView()->activated;
}

bool showsMessage(GameDriver& game, const std::string& part, int frames = 600) {
  return game.stepUntil([&] { return game.message().find(part) != std::string::npos; }, frames);
}

}  // namespace

TEST(BadInputPlayThrough, ADamagedSaveIsToldAndKeptAsideAndAStaleTemporaryGoes) {
  const std::string folder = userFolder();
  const std::string path = folder + "savegame0.sav";
  const std::string damaged = std::string("\x53\0\0\0\x01\x02\x03\x04\x05\x06\x07", 11);  // truncated to 11 bytes
  KR::Test::writeFile(path, damaged);
  KR::Test::writeFile(path + ".tmp", "left by a killed save");

  GameDriver game;
  ASSERT_TRUE(startInPlay(game));
  EXPECT_FALSE(KR::Platform::fileExists(path + ".tmp"));
  ASSERT_EQ(HOG::SaveLoadGameProgressSystem::getSavePath(), path);
  enterPlay(game);
  // The player hears of it (after the hall's greeting), and the file is kept as it was.
  EXPECT_TRUE(showsMessage(game, "The saved game is damaged and could not be loaded"));
  EXPECT_EQ(KR::Test::readFile(path + ".damaged"), damaged);

  // Leaving play saves the new game beside it, not over it.
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
  EXPECT_EQ(HOG::SaveGame::checkFile(path), 0);
  EXPECT_EQ(KR::Test::readFile(path + ".damaged"), damaged);
}

TEST(BadInputPlayThrough, AFailedSaveIsShownWithItsReasonAndSigtermEndsTheGameSaving) {
  const std::string path = userFolder() + "savegame0.sav";
  std::remove(path.c_str());
  GameDriver game;
  ASSERT_TRUE(startInPlay(game));
  enterPlay(game);
  // A folder took the saved game's place: the write fails, and the player is told why.
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  HOG::Game::getInstance()->saveProgress();
  EXPECT_TRUE(showsMessage(game, "The game could not be saved: cannot replace the file: Is a directory"));
  EXPECT_FALSE(KR::Platform::fileExists(path));
  ASSERT_EQ(rmdir(path.c_str()), 0);

  // A termination signal ends the run through the loop, and play saves on its way out.
  ASSERT_FALSE(KR::Platform::fileExists(path));
  std::raise(SIGTERM);
  EXPECT_FALSE(game.stepUntil([] { return false; }, 30));
  EXPECT_TRUE(game.quit());
  EXPECT_EQ(game.finish(), 0);
  KR::Platform::clearTerminationRequest();
  EXPECT_EQ(HOG::SaveGame::checkFile(path), 0);
}

TEST(BadInputPlayThrough, AnEndlessViewHookFailsByNameAndPlayGoesOn) {
  const std::string path = userFolder() + "savegame0.sav";
  std::remove(path.c_str());
  GameDriver game;
  ASSERT_TRUE(startInPlay(game));
  KR::Test::LogCapture log;
  enterPlay(game);
  // The garden's activation hook loops for ever.
  lua_State* L = HOG::Game::getInstance()->getLuaState().getMainState();
  ASSERT_EQ(luaL_dostring(L, "function __Generated_L2_onActivate()\n  while true do end\nend"), 0);
  HOG::Game::getInstance()->getViewStack().openView("location02");
  ASSERT_TRUE(game.stepUntil([&] { return activated(game, "location02"); }, 300));
  EXPECT_TRUE(log.contains("function '__Generated_L2_onActivate' ran over its budget of " +
                           std::to_string(KR::kLuaInstructionBudget) + " instructions"));
  // The game still runs: back to the hall, whose hooks work.
  HOG::Game::getInstance()->getViewStack().openView("location01");
  EXPECT_TRUE(game.stepUntil([&] { return activated(game, "location01"); }, 300));
  // A hostile hook neither reaches the machine nor ends the game, nor spins in C.
  const std::string folder = KR::Test::scratchDir("hostile-hook");
  const std::string hostile = "function __Generated_L2_onActivate()\n  os.execute('touch " + folder +
                              "/ran')\n  os.exit(7)\n  string.find(string.rep('a', 200000), '.-.-.-.-.-.-b')\nend";
  ASSERT_EQ(luaL_dostring(L, hostile.c_str()), 0);
  HOG::Game::getInstance()->getViewStack().openView("location02");
  ASSERT_TRUE(game.stepUntil([&] { return activated(game, "location02"); }, 300));
  EXPECT_TRUE(log.contains("ERROR: Lua: os.execute is refused to content scripts"));
  EXPECT_TRUE(log.contains("ERROR: Lua: os.exit is refused to content scripts"));
  EXPECT_TRUE(log.contains("instructions in string.find"));
  EXPECT_FALSE(KR::Platform::fileExists(folder + "/ran"));
  HOG::Game::getInstance()->getViewStack().openView("location01");
  EXPECT_TRUE(game.stepUntil([&] { return activated(game, "location01"); }, 300));
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
