// The front end on the headless game driver, as a player meets it: the logos
// (a skippable one holding out its first half second, Escape passing it),
// the first run's name window offering "Player", the menu music a second
// after the menu opens, profiles created, refused, chosen and deleted, the
// options bars moving the volumes, "Diff" without a game, "Authors" and back,
// Play through the difficulty window, the restart of a finished game, the
// damaged files reported once, and quit saving and exiting with 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "animationeditor/text_scene_node.h"
#include "core/authors_movie_state/authors_movie.h"
#include "core/game_application.h"
#include "core/game_state/game.h"
#include "core/game_state/in_game_ui.h"
#include "core/logo_state/logo_game_state.h"
#include "core/main_menu_state/difficult_selection_window.h"
#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/info_message_box.h"
#include "core/main_menu_state/main_menu.h"
#include "core/main_menu_state/options_window.h"
#include "core/main_menu_state/profile_system.h"
#include "core/main_menu_state/user_dialog.h"
#include "lex_binded_function_manager.h"
#include "platform/input_injection.h"
#include "platform/safe_file.h"
#include "play_through_support.h"
#include "render_system_dx8.h"
#include "sound_system/sound_manager.h"
#include "sprite.h"
#include "support/png_file.h"
#include "support/test_support.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_widget.h"

namespace {

using KR::Test::clickAt;
using KR::Test::kMenuOptions;
using KR::Test::kMenuPlay;
using KR::Test::kMenuProfiles;
using KR::Test::kMenuQuit;
using KR::Test::kWindowOk;

// Design points of the windows' buttons (media/front_end).
constexpr float kDialogOk[2] = {660 + 60, 565 + 24};
constexpr float kInfoOk[2] = {780 + 60, 565 + 24};
constexpr float kNameOk[2] = {660 + 60, 575 + 24};
constexpr float kCreate[2] = {600 + 60, 690 + 24};
constexpr float kDelete[2] = {730 + 60, 690 + 24};
constexpr float kUsersOk[2] = {860 + 60, 690 + 24};
constexpr float kDiff[2] = {560 + 60, 640 + 24};
constexpr float kAuthors[2] = {780 + 60, 640 + 24};
constexpr float kOptionsClose[2] = {1000 + 60, 640 + 24};
constexpr float kHard[2] = {680 + 20, 520 + 20};
constexpr float kMusicBar[2] = {800, 420};

HOG::MainMenu& menu() { return *HOG::MainMenu::getInstance(); }
HOG::ProfileSystem& store() { return *HOG::ProfileSystem::getInstance(); }
std::string folder() { return KR::getUserDataFolder("Quellmoor", "Marlowick"); }

std::wstring infoText() {
  auto* text = dynamic_cast<AE::TextSceneNode*>(menu().infoBox->textNode);
  return menu().infoBox->root && menu().infoBox->root->shown && text ? text->getText() : std::wstring();
}

void dump(KR::Test::GameDriver& game, const char* name) {
  if (!std::getenv("KR_FRONT_END_DUMP")) return;
  std::vector<uint8_t> rgba;
  uint32_t w = 0, h = 0;
  if (!game.readFrame(rgba, w, h)) return;
  const std::vector<uint32_t> argb = KR::Test::rgbaToArgb(rgba, w, h);
  KR::Test::writePng(std::string(std::getenv("KR_FRONT_END_DUMP")) + "/" + name + ".png", argb, w, h);
}

// Press at one design point, move to another over some frames, release.
void drag(KR::Test::GameDriver& game, float x0, float y0, float x1, float y1) {
  const KR::Vector2<int> from = KR::Test::window(x0, y0), to = KR::Test::window(x1, y1);
  game.moveMouse(from.x, from.y);
  game.pressMouse(from.x, from.y);
  game.steps(2);
  for (int i = 1; i <= 8; ++i) {
    game.moveMouse(from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8);
    game.step();
  }
  game.releaseMouse(to.x, to.y);
  game.steps(2);
}

// The last frame against its reference image in tests/data/front_end.
std::string matches(KR::Test::GameDriver& game, const char* name) {
  std::vector<uint8_t> rgba;
  uint32_t w = 0, h = 0;
  if (!game.readFrame(rgba, w, h)) return "no frame";
  return KR::Test::compareWithReference("front_end", name, rgba, w, h, 6);
}

void type(KR::Test::GameDriver& game, const std::string& text) {
  for (char c : text) {
    game.pressKey(uint8_t(std::toupper(c)));
    KR::Platform::pushText(std::string(1, c));
    game.step();
    game.releaseKey(uint8_t(std::toupper(c)));
    game.step();
  }
}

}  // namespace

TEST(FrontEndPlayThrough, FirstRunProfilesOptionsCreditsPlayAndQuit) {
  KR::Test::GameDriver game;
  KR::Test::GameDriver::forgetProfiles();  // a first run
  ASSERT_TRUE(game.start());
  ASSERT_EQ(game.currentState(), "LogoGameState");
  HOG::LogoGameState& logos = *HOG::LogoGameState::getInstance();
  ASSERT_EQ(logos.getLogos().size(), 3u);
  game.steps(6);
  dump(game, "logo_fading_in");
  // The pictures the launch left out are made while the first logo shows.
  for (const HOG::LogoGameState::LogoEntry& entry : logos.getLogos()) EXPECT_NE(entry.sprite, nullptr);
  // Fading in: the logo's own colour is dark, with no black quad over the frame.
  ASSERT_NE(logos.getLogos()[0].sprite, nullptr);
  EXPECT_LT(logos.getLogos()[0].sprite->getMeshVertexColor(0, 0).value & 0xFFu, 128u);
  EXPECT_EQ(KR::RenderSystem::getInstance()->mFadeLevel, 1.0f);
  game.tapKey(KR::Platform::kVkEscape);  // within the first half second: held
  EXPECT_EQ(logos.getCurrentLogo(), 0u);
  game.steps(30);
  dump(game, "logo_studio");
  EXPECT_EQ(matches(game, "logo_studio"), "");  // the whole picture, fitted to the screen's height
  game.pressKey(KR::Platform::kVkSpace);        // a held key does not skip, its release does
  game.steps(3);
  EXPECT_EQ(logos.getCurrentLogo(), 0u);
  game.releaseKey(KR::Platform::kVkSpace);
  game.steps(1);
  EXPECT_EQ(logos.getCurrentLogo(), 1u);
  // The others run their time out.
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 400));
  EXPECT_EQ(KR::RenderSystem::getInstance()->mFadeLevel, 1.0f);
  // The parts of play the launch left out were built while the logos showed.
  EXPECT_FALSE(HOG::Game::getInstance()->buildDeferredPart());

  // First run: the name window offers "Player"; the music starts a second after the menu opened.
  game.steps(15);
  dump(game, "menu_first_run");
  ASSERT_TRUE(menu().firstNameWindow->shown);
  EXPECT_FALSE(menu().musicStarted);
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  game.steps(20);
  EXPECT_TRUE(menu().musicStarted);
  ASSERT_EQ(store().getProfileCount(), 1u);
  EXPECT_TRUE(store().getCurrentProfile()->persistent);
  EXPECT_EQ(store().getCurrentProfile()->name, L"Player");
  EXPECT_TRUE(KR::Platform::fileExists(folder() + "profile0.opt"));
  dump(game, "menu");
  EXPECT_EQ(matches(game, "main_menu"), "");

  // Profiles: Delete refuses the last one; Create refuses an empty or taken name and makes "Ann".
  clickAt(game, kMenuProfiles[0], kMenuProfiles[1]);
  game.steps(15);
  dump(game, "profiles");
  clickAt(game, kDelete[0], kDelete[1]);
  game.steps(5);
  dump(game, "refused_delete");
  EXPECT_EQ(infoText(), L"profile_cant_be_removed");
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  EXPECT_TRUE(menu().infoBox->closed);
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(15);
  ASSERT_TRUE(menu().nameWindow->shown);
  clickAt(game, kNameOk[0], kNameOk[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"empty_name");
  EXPECT_TRUE(menu().nameWindow->shown);
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  type(game, "Player");
  clickAt(game, kNameOk[0], kNameOk[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"name_exist");
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(15);
  type(game, "Ann");
  dump(game, "name_entry");
  clickAt(game, kNameOk[0], kNameOk[1]);
  game.steps(15);
  ASSERT_EQ(store().getProfileCount(), 2u);
  EXPECT_EQ(store().getCurrentIndex(), 1);
  EXPECT_EQ(menu().userDialog->userList->selected, 1);
  EXPECT_TRUE(KR::Platform::fileExists(folder() + "profilelist.dat"));
  auto* name = dynamic_cast<AE::TextSceneNode*>(menu().playerNameNode);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->getText(), L"Ann");
  // Delete "Ann" with the confirmation: "Player" takes her place as current.
  clickAt(game, kDelete[0], kDelete[1]);
  game.steps(15);
  dump(game, "confirm_delete");
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  game.steps(15);
  ASSERT_EQ(store().getProfileCount(), 1u);
  EXPECT_EQ(store().getCurrentIndex(), 0);
  EXPECT_FALSE(KR::Platform::fileExists(folder() + "profile1.opt"));
  clickAt(game, kUsersOk[0], kUsersOk[1]);
  game.steps(15);
  EXPECT_FALSE(menu().userDialog->root->shown);

  // Options: the music bar follows a click at its left end and the music group at once; Diff sets hard
  // without a game; Close writes the options file.
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  dump(game, "options");
  EXPECT_EQ(matches(game, "options"), "");
  drag(game, kMusicBar[0] + 150, kMusicBar[1] + 8, kMusicBar[0] - 20, kMusicBar[1] + 8);
  game.steps(10);
  EXPECT_LT(store().getCurrentProfile()->options.musicVolume, 0.1f);
  EXPECT_EQ(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupMusic), 0.0f);
  clickAt(game, kDiff[0], kDiff[1]);
  game.steps(15);
  dump(game, "options_difficulty");
  ASSERT_TRUE(menu().optionsWindow->difficultyWindow->shown);
  clickAt(game, kHard[0], kHard[1]);
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  game.steps(5);
  EXPECT_EQ(store().getCurrentProfile()->options.difficulty, 1);
  EXPECT_EQ(game.currentState(), "MainMenu");
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  game.steps(60);
  dump(game, "credits");
  game.tapKey(KR::Platform::kVkEscape);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 10));
  EXPECT_TRUE(menu().musicStarted);  // back from the credits the music goes on

  // Play takes the new game through the difficulty window, which shows the stored choice.
  clickAt(game, kMenuPlay[0], kMenuPlay[1]);
  game.steps(15);
  ASSERT_TRUE(menu().difficultyWindow->shown);
  EXPECT_EQ(menu().difficultyWindow->choice, 1);
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "Game"; }, 10));
  EXPECT_EQ(store().getCurrentProfile()->gameBegin, 0u);

  // Past the intro, the pause menu's "Main menu" leads back; quit asks, saves and exits with 0.
  game.click(300, 200);
  ASSERT_TRUE(game.stepUntil([&] { return !game.videoPlaying(); }, 900));
  ASSERT_TRUE(game.stepUntil([&] { return KR::Test::shown(game, "location01"); }, 300));
  // The pause menu's options are the same window; its Authors returns to the game.
  game.tapKey(KR::Platform::kVkEscape);
  game.steps(10);
  clickAt(game, 610 + 110 + 120, 330 + 150 + 28);
  game.steps(15);
  dump(game, "pause_options");
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  game.tapKey(KR::Platform::kVkEscape);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "Game"; }, 10));
  game.steps(15);
  dump(game, "back_from_credits");
  // Back where the credits were asked for: the options over the pause menu.
  auto* hud = dynamic_cast<HOG::InGameUI*>(HOG::Game::getInstance()->getHud());
  ASSERT_NE(hud, nullptr);
  EXPECT_TRUE(hud->isPauseMenuUp());
  clickAt(game, kOptionsClose[0], kOptionsClose[1]);
  game.steps(15);
  clickAt(game, 610 + 110 + 120, 330 + 260 + 28);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 30));
  game.steps(15);
  clickAt(game, kMenuQuit[0], kMenuQuit[1]);
  game.steps(15);
  dump(game, "confirm_exit");
  std::remove((folder() + "profilelist.dat").c_str());
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  EXPECT_EQ(game.finish(), 0);
  EXPECT_TRUE(game.quit());
  HOG::ProfileSystem read(folder());
  ASSERT_TRUE(read.loadProfileList());
  EXPECT_EQ(read.getProfiles()[0]->gameBegin, 0u);
}

TEST(FrontEndPlayThrough, DamagedFilesAreReportedOnceAndAFinishedGameOffersARestart) {
  // A damaged list is refused (and kept as it is) and reported at the first opening of the menu only.
  KR::Test::GameDriver::forgetProfiles();
  const std::string list = folder() + "profilelist.dat";
  KR::Test::writeFile(list, "not a profile list");
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.startToMenu(false));
  game.steps(5);
  EXPECT_EQ(infoText(), L"loading_failed");
  EXPECT_FALSE(store().loadFailed);
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  clickAt(game, kWindowOk[0], kWindowOk[1]);  // the first run's "Player"
  game.steps(15);
  std::string bytes;
  ASSERT_TRUE(KR::Platform::readWholeFile(list, &bytes));
  EXPECT_EQ(bytes, "not a profile list");
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  game.tapKey(KR::Platform::kVkEscape);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 10));
  game.steps(5);
  EXPECT_EQ(infoText(), L"");  // once only

  // A finished game: Play asks for a restart; its OK resets the profile and opens the difficulty window.
  HOG::PlayerProfile& profile = *store().getCurrentProfile();
  profile.options.gameCompleted = 1;
  profile.gameBegin = 0;
  profile.reserved = 0;
  KR::Test::writeFile(store().getSaveGamePath(0), "a saved game");
  clickAt(game, kMenuPlay[0], kMenuPlay[1]);
  game.steps(15);
  dump(game, "confirm_restart");
  ASSERT_TRUE(menu().confirmRestartDialog->shown);
  EXPECT_EQ(game.currentState(), "MainMenu");
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  game.steps(15);
  EXPECT_EQ(profile.options.gameCompleted, 0);
  EXPECT_EQ(profile.gameBegin, 1u);
  EXPECT_EQ(profile.reserved, HOG::PlayerProfile::kFreshGame);
  EXPECT_FALSE(KR::Platform::fileExists(store().getSaveGamePath(0)));
  ASSERT_TRUE(menu().difficultyWindow->shown);
  EXPECT_TRUE(menu().difficultyWindow->startGame);
  clickAt(game, kWindowOk[0] + 180, kWindowOk[1] - 164);  // the window's close box: no game
  game.steps(5);
  EXPECT_FALSE(menu().difficultyWindow->shown);

  // A damaged saved game: "loading_failed" first, then the new-game flow once the box is closed.
  profile.gameBegin = 0;
  KR::Test::writeFile(store().getSaveGamePath(0), "damaged");
  clickAt(game, kMenuPlay[0], kMenuPlay[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"loading_failed");
  EXPECT_EQ(profile.gameBegin, 1u);
  EXPECT_FALSE(KR::Platform::fileExists(store().getSaveGamePath(0)));
  EXPECT_TRUE(KR::Platform::fileExists(store().getSaveGamePath(0) + ".damaged"));
  EXPECT_FALSE(menu().difficultyWindow->shown);
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  EXPECT_TRUE(menu().difficultyWindow->shown);
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

TEST(FrontEndPlayThrough, PlayOnTheCommandLineGoesPastTheLogosAndTheMenu) {
  KR::Test::GameDriver::forgetProfiles();
  GameApplication::launchMode = GameApplication::LaunchMode::Play;
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.start());
  GameApplication::launchMode = GameApplication::LaunchMode::Game;
  EXPECT_EQ(game.currentState(), "Game");
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
