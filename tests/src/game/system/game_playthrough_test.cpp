// The first play-through on the headless game driver: the real game starts
// on the demo content, the logos pass on to the menu, Play starts a new game,
// the intro plays once, play runs as "Game", the window closes, the run ends
// with 0 and the profile's list and options are saved; the music's pieces
// last minutes. The engine showcase
// (--showcase) shows the loading screen while one of its pages runs a job.
#include <gtest/gtest.h>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_application.h"
#include "core/game_cursor_manager.h"
#include "core/game_state/game.h"
#include "core/game_state/sound/music_player.h"
#include "core/main_menu_state/profile_system.h"
#include "platform/input_state.h"
#include "platform/safe_file.h"
#include "play_through_support.h"
#include "sound_system/vorbis_decoder.h"
#include "support/game_driver.h"

TEST(GamePlayThrough, LaunchLogoMenuPlayIntroGameCloseExit) {
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.startToMenu());
  EXPECT_EQ(HOG::GameCursorManager::getInstance()->getCursorCount(), 5u);

  // The game's cursor is drawn over the menu, at the mouse.
  game.moveMouse(300, 200);
  game.steps(2);
  EXPECT_GT(game.brightPixelsAround(304, 208, 6), 10);

  ASSERT_TRUE(game.enterPlay());
  HOG::ProfileSystem* profiles = HOG::ProfileSystem::getInstance();
  EXPECT_TRUE(game.videoPlaying());
  EXPECT_EQ(profiles->getCurrentProfile()->reserved, 0u);  // the intro plays once
  // A click skips the intro; play goes on under it.
  game.click(300, 200);
  ASSERT_TRUE(game.stepUntil([&] { return !game.videoPlaying(); }, 900));
  game.steps(10);
  EXPECT_EQ(game.currentState(), "Game");
  EXPECT_EQ(HOG::GameCursorManager::getInstance()->getCurrent(), 0);

  // The music starts, and its pieces last minutes: a play list of pieces of a few seconds changed and reloaded
  // them all the time.
  HOG::MusicPlayer& music = HOG::Game::getInstance()->getMusic();
  ASSERT_TRUE(game.stepUntil([&] { return music.getActiveTrack() >= 0; }, 300));
  ASSERT_EQ(music.getTrackCount(), 2u);
  for (uint32_t i = 0; i < music.getTrackCount(); ++i) {
    KR::VorbisDecoder piece;
    ASSERT_TRUE(piece.open(music.getTrack(i).fileName)) << music.getTrack(i).fileName;
    EXPECT_GE(piece.getTotalFrames(), 60 * piece.getSampleRate()) << music.getTrack(i).fileName;
  }
  game.moveMouse(500, 300);
  game.steps(2);
  EXPECT_GT(game.brightPixelsAround(504, 308, 6), 10);
  EXPECT_EQ(game.brightPixelsAround(304, 208, 6), 0);

  // Closing the window writes the list (the intro played) and the play state's stop the options.
  const std::string folder = profiles->getFolder();
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
  EXPECT_TRUE(game.quit());
  HOG::ProfileSystem read(folder);
  ASSERT_TRUE(read.loadProfileList());
  EXPECT_EQ(read.getCurrentProfile()->reserved, 0u);
  EXPECT_EQ(read.getCurrentProfile()->gameBegin, 0u);
  EXPECT_TRUE(KR::Platform::fileExists(folder + "profile0.opt"));
}

TEST(GamePlayThrough, TheLoadingScreenPlaysWhileAnEngineJobRuns) {
  // The engine showcase (--showcase) has a page whose Enter starts a job.
  GameApplication::launchMode = GameApplication::LaunchMode::Showcase;
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.start());
  GameApplication::launchMode = GameApplication::LaunchMode::Game;
  AE::ISceneNode* screen = game.application()->getLoadingScreen();
  ASSERT_NE(screen, nullptr);
  AE::ISceneNode* ring = AE::ISceneNode::findChild("ring", screen);
  ASSERT_NE(ring, nullptr);
  ASSERT_EQ(game.currentState(), "Showcase");
  game.steps(5);
  // The fonts page starts a two-second job on Enter.
  for (int page = 0; page < 5; ++page) game.tapKey(KR::Platform::kVkRight);
  const float before = ring->mAnimation->mTime;
  game.tapKey(KR::Platform::kVkReturn);
  game.steps(10);
  EXPECT_GT(ring->mAnimation->mTime, before + 0.2f);
  EXPECT_EQ(game.currentState(), "Showcase");
  game.closeWindow();
  EXPECT_EQ(game.finish(600), 0);
}
