// The front end on the headless game driver, as a player meets it: the logos
// (a skippable one holding out its first half second, Escape, Space or their
// releases passing one), the first run's name window offering "Player" and
// taking a whole burst of keys typed within one frame, the list written at
// once, the menu music a second after the menu opens, profiles created,
// refused, chosen and deleted by the line chosen (the question naming it),
// the options bars moving the volumes with their test sounds, "Diff" without
// a game, Escape closing the options, "Authors" and back with the music kept,
// Play through the difficulty window showing the stored choice, the intro
// skipped, two quick Escapes in play, the restart of a finished game, damaged
// files reported and set aside, failed writes told before quitting, quit
// saving and exiting with 0; and a game killed in its first session, or left
// by "--play", going on from its saved game at the next start.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "animationeditor/scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "core/authors_movie_state/authors_movie.h"
#include "core/game_application.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/logo_state/logo_game_state.h"
#include "core/main_menu_state/difficult_selection_window.h"
#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/front_end_support.h"
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
#include "sound_system/sound_oal.h"
#include "sound_system/sound_resource_oal.h"
#include "sprite.h"
#include "support/png_file.h"
#include "support/test_support.h"
#include "ui/ui_check_box.h"
#include "ui/ui_label.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_progress_bar.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_text_edit.h"
#include "ui/ui_widget.h"
#include "video_player.h"

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
constexpr float kUsersExit[2] = {990 + 60, 690 + 24};
constexpr float kNameCancel[2] = {900 + 60, 575 + 24};
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

// The keys of the text all arrive within one frame, as on a slow frame; '\b' is Backspace.
void typeInOneFrame(KR::Test::GameDriver& game, const std::string& text) {
  for (char c : text) {
    const uint8_t key = c == '\b' ? uint8_t(KR::Platform::kVkBack) : uint8_t(std::toupper(c));
    game.pressKey(key);
    if (c != '\b') KR::Platform::pushText(std::string(1, c));
    game.releaseKey(key);
  }
  game.step();
}

// Whether a channel plays the named sound now.
bool soundPlays(const char* name) {
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  const uint32_t id = sounds->acquireSoundId(name);
  if (id == 0) return false;
  bool playing = false;
  for (uint32_t handle = 1; handle < KR::SoundManager::kChannelCount; ++handle)
    if (KR::Sound* sound = sounds->getSound(handle))
      playing = playing || (sound->getResource() == sounds->getResource(id) && sounds->isSoundPlaying(handle));
  sounds->releaseSound(id);
  return playing;
}

// Whether the named sound is loaded as one that repeats without end.
bool loops(const char* name) {
  KR::SoundManager* sounds = KR::SoundManager::getInstance();
  const uint32_t id = sounds->acquireSoundId(name);
  const bool looping = id != 0 && sounds->getResource(id)->isLooping();
  if (id != 0) sounds->releaseSound(id);
  return looping;
}

// The per-user folder's files: what a kill leaves on disk is what it holds at that moment.
std::map<std::string, std::string> filesOnDisk() {
  std::map<std::string, std::string> files;
  if (DIR* dir = opendir(folder().c_str())) {
    while (const dirent* entry = readdir(dir))
      if (KR::Platform::fileExists(folder() + entry->d_name))
        files[entry->d_name] = KR::Test::readFile(folder() + entry->d_name);
    closedir(dir);
  }
  return files;
}
void putBackOnDisk(const std::map<std::string, std::string>& files) {
  for (const auto& file : filesOnDisk()) std::remove((folder() + file.first).c_str());
  for (const auto& file : files) KR::Test::writeFile(folder() + file.first, file.second);
}

// From the intro's first frame into the garden, saved there: `killed` is what a
// kill at that moment leaves on disk.
::testing::AssertionResult walkToTheGardenAndSave(KR::Test::GameDriver& game,
                                                  std::map<std::string, std::string>& killed) {
  game.click(300, 200);
  if (!game.stepUntil([&] { return KR::Test::shown(game, "location01"); }, 300))
    return ::testing::AssertionFailure() << "the hall is not shown";
  KR::Test::play().getViewStack().openView("location02");
  if (!game.stepUntil([&] { return KR::Test::shown(game, "location02"); }, 300))
    return ::testing::AssertionFailure() << "the garden is not shown";
  KR::Test::play().saveProgress();
  killed = filesOnDisk();
  return ::testing::AssertionSuccess();
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
  // Only the first picture is made before the first frame; the others follow, one a frame, once it is drawn.
  game.step();
  EXPECT_EQ(logos.getLogos()[1].sprite, nullptr);
  game.steps(5);
  dump(game, "logo_fading_in");
  const KR::Sprite* first = logos.getLogos()[0].sprite;
  for (const HOG::LogoGameState::LogoEntry& entry : logos.getLogos()) EXPECT_NE(entry.sprite, nullptr);
  // Fading in: the logo's own colour is dark, with no black quad over the frame.
  ASSERT_NE(logos.getLogos()[0].sprite, nullptr);
  EXPECT_LT(logos.getLogos()[0].sprite->getMeshVertexColor(0, 0).value & 0xFFu, 128u);
  EXPECT_EQ(KR::RenderSystem::getInstance()->mFadeLevel, 1.0f);
  game.tapKey(KR::Platform::kVkEscape);  // within the first half second: held
  EXPECT_EQ(logos.getCurrentLogo(), 0u);
  game.steps(30);
  EXPECT_EQ(logos.getLogos()[0].sprite, first);  // made once
  dump(game, "logo_studio");
  EXPECT_EQ(matches(game, "logo_studio"), "");  // the whole picture, fitted to the screen's height
  game.pressKey(KR::Platform::kVkSpace);        // a held key does not skip, its release does
  game.steps(3);
  EXPECT_EQ(logos.getCurrentLogo(), 0u);
  game.releaseKey(KR::Platform::kVkSpace);
  game.steps(1);
  EXPECT_EQ(logos.getCurrentLogo(), 1u);
  // The engine's logo of 2.5 s gives way after half a second, though a third of its time is more.
  game.steps(18);
  game.tapKey(KR::Platform::kVkReturn);
  EXPECT_EQ(logos.getCurrentLogo(), 2u);
  // The title runs its time out.
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 400));
  EXPECT_EQ(KR::RenderSystem::getInstance()->mFadeLevel, 1.0f);
  // The parts of play the launch left out were built while the logos showed.
  EXPECT_FALSE(HOG::Game::getInstance()->buildDeferredPart());

  // First run: the name window offers "Player"; the music starts a second after the menu opened.
  game.steps(15);
  dump(game, "menu_first_run");
  ASSERT_TRUE(menu().firstNameWindow->shown);
  EXPECT_FALSE(menu().infoBox->root->shown);
  EXPECT_FALSE(menu().musicStarted);
  // Every key of a slow frame counts, in order: six Backspaces, then 20 letters with 7 Backspaces among them.
  typeInOneFrame(game, "\b\b\b\b\b\b");
  EXPECT_EQ(menu().firstNameWindow->textEdit->getText(), L"");
  // OK on no name says so, and the window waits for one.
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"empty_name");
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  EXPECT_TRUE(menu().firstNameWindow->shown);
  typeInOneFrame(game, "Newk\bcomerr\bOfx\bFezq\b\b\benn\b");
  EXPECT_EQ(menu().firstNameWindow->textEdit->getText(), L"NewcomerOfFen");
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  game.steps(20);
  EXPECT_FALSE(menu().firstNameWindow->shown);
  EXPECT_TRUE(menu().musicStarted);
  EXPECT_TRUE(soundPlays("menu_sound"));
  EXPECT_TRUE(loops("menu_sound"));
  ASSERT_EQ(store().getProfileCount(), 1u);
  EXPECT_TRUE(store().getCurrentProfile()->persistent);
  EXPECT_EQ(store().getCurrentProfile()->name, L"NewcomerOfFen");
  EXPECT_TRUE(KR::Platform::fileExists(folder() + "profile0.opt"));
  // Written at once: a kill before any other list write finds this player.
  HOG::ProfileSystem onDisk(folder());
  ASSERT_TRUE(onDisk.loadProfileList());
  EXPECT_EQ(onDisk.getCurrentProfile()->name, L"NewcomerOfFen");
  dump(game, "menu");
  EXPECT_EQ(matches(game, "main_menu"), "");
  // The hidden profile list got its new line: nothing of it shows under the name.
  for (const KR::UIWidget* line : menu().userDialog->userList->scrollArea->children) EXPECT_EQ(line->alpha, 0.0f);

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
  type(game, "NewcomerOfFen");
  clickAt(game, kNameOk[0], kNameOk[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"name_exist");
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(15);
  clickAt(game, kNameCancel[0], kNameCancel[1]);
  game.steps(15);
  EXPECT_FALSE(menu().nameWindow->shown);
  EXPECT_FALSE(menu().nameWindow->root->shown);
  EXPECT_EQ(store().getProfileCount(), 1u);
  // A new player's own settings take over from the last one's: here the sounds, silenced before.
  store().getCurrentProfile()->options.soundVolume = 0.0f;
  HOG::PlayerProfile::applyVolumes(store().getCurrentProfile());
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(15);
  type(game, "Ann");
  dump(game, "name_entry");
  clickAt(game, kNameOk[0], kNameOk[1]);
  game.steps(15);
  ASSERT_EQ(store().getProfileCount(), 2u);
  EXPECT_EQ(store().getCurrentIndex(), 1);
  EXPECT_EQ(menu().userDialog->userList->selected, 1);
  EXPECT_FALSE(menu().nameWindow->shown);
  EXPECT_GT(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupSounds), 0.5f);
  // The open list shows its lines, the new one among them.
  for (const KR::UIWidget* line : menu().userDialog->userList->scrollArea->children) EXPECT_GT(line->alpha, 0.5f);
  auto* name = dynamic_cast<AE::TextSceneNode*>(menu().playerNameNode);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->getText(), L"Ann");
  // The first line chosen and deleted, the question naming it: "Ann" stays, and is current.
  clickAt(game, 700, 388 + 15);
  game.steps(5);
  EXPECT_EQ(menu().userDialog->userList->selected, 0);
  clickAt(game, kDelete[0], kDelete[1]);
  game.steps(15);
  dump(game, "confirm_delete");
  auto* question =
      dynamic_cast<AE::TextSceneNode*>(HOG::sceneNodeAt(menu().userDialog->confirmDeleteDialog, "/root_group/text"));
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(question->getDisplayText(), L"Delete NewcomerOfFen and their saved game?");
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  game.steps(15);
  ASSERT_EQ(store().getProfileCount(), 1u);
  EXPECT_EQ(store().getCurrentProfile()->name, L"Ann");
  EXPECT_EQ(menu().userDialog->userList->scrollArea->children.size(), 1u);
  EXPECT_FALSE(KR::Platform::fileExists(folder() + "profile0.opt"));
  EXPECT_TRUE(KR::Platform::fileExists(folder() + "profile1.opt"));
  clickAt(game, kUsersOk[0], kUsersOk[1]);
  game.steps(15);
  EXPECT_FALSE(menu().userDialog->root->shown);

  // Options: the music bar follows a drag to its left end and the music group at once, and a move of a
  // twentieth; the sounds bar plays its test sound; Diff sets hard without a game; Escape closes and writes.
  // Opened in full screen, they take the mode in force, which their file keeps for the next start.
  uint8_t* const hostFlag = HOG::ProfileSystem::fullScreenFlag;
  uint8_t fullScreen = 1;  // the headless window stays as it is
  HOG::ProfileSystem::fullScreenFlag = &fullScreen;
  store().getCurrentProfile()->options.fullScreen = 0;
  menu().onOptions();
  HOG::ProfileSystem::fullScreenFlag = hostFlag;
  EXPECT_EQ(store().getCurrentProfile()->options.fullScreen, 1);
  store().getCurrentProfile()->options.fullScreen = 0;
  game.steps(15);
  dump(game, "options");
  EXPECT_EQ(matches(game, "options"), "");
  drag(game, kMusicBar[0] + 150, kMusicBar[1] + 8, kMusicBar[0] - 20, kMusicBar[1] + 8);
  game.steps(10);
  EXPECT_LT(store().getCurrentProfile()->options.musicVolume, 0.01f);
  EXPECT_EQ(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupMusic), 0.0f);
  drag(game, kMusicBar[0], kMusicBar[1] + 8, kMusicBar[0] + 15, kMusicBar[1] + 8);
  game.steps(2);
  EXPECT_NEAR(store().getCurrentProfile()->options.musicVolume, 0.05f, 0.02f);
  const AE::ISceneNode* musicKnob = HOG::sceneNodeAt(menu().optionsWindow->root, "/root_group/music_progress/knob");
  ASSERT_NE(musicKnob, nullptr);
  EXPECT_NEAR(musicKnob->mPosX, -14.0f + 0.05f * 300.0f, 6.0f);
  game.steps(30);
  drag(game, kMusicBar[0] + 150, kMusicBar[1] + 88, kMusicBar[0] + 60, kMusicBar[1] + 88);
  EXPECT_NEAR(store().getCurrentProfile()->options.soundVolume, 0.2f, 0.02f);
  EXPECT_TRUE(soundPlays("2_pliers_sound"));
  EXPECT_FALSE(soundPlays("6_stone_sound"));
  // The ambient bar plays its own test sound, and its knob follows it.
  game.steps(30);
  drag(game, kMusicBar[0] + 225, kMusicBar[1] + 168, kMusicBar[0] + 270, kMusicBar[1] + 168);
  EXPECT_NEAR(store().getCurrentProfile()->options.ambientVolume, 0.9f, 0.02f);
  EXPECT_TRUE(soundPlays("6_stone_sound"));
  const AE::ISceneNode* knob = HOG::sceneNodeAt(menu().optionsWindow->root, "/root_group/ambient_progress/knob");
  ASSERT_NE(knob, nullptr);
  EXPECT_NEAR(knob->mPosX, -14.0f + 0.9f * 300.0f, 6.0f);
  clickAt(game, kDiff[0], kDiff[1]);
  game.steps(15);
  dump(game, "options_difficulty");
  ASSERT_TRUE(menu().optionsWindow->difficultyWindow->shown);
  clickAt(game, kHard[0], kHard[1]);
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  game.steps(5);
  EXPECT_EQ(store().getCurrentProfile()->options.difficulty, 1);
  EXPECT_EQ(game.currentState(), "MainMenu");
  game.tapKey(KR::Platform::kVkEscape);
  game.steps(10);
  EXPECT_FALSE(menu().optionsWindow->isShown());
  HOG::ProfileSystem written(folder());
  ASSERT_TRUE(written.loadProfileList());
  written.readOptionsOf(0);
  EXPECT_EQ(written.getCurrentProfile()->options.difficulty, 1);
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  game.steps(90);
  dump(game, "credits");
  // Still rolling after three seconds, though its title's fade has ended; the title is drawn.
  EXPECT_EQ(game.currentState(), "AuthorsMovie");
  const KR::Vector2<int> title = KR::Test::window(840, 640);
  EXPECT_GT(game.brightPixelsAround(title.x, title.y, 20), 10);
  game.tapKey(KR::Platform::kVkEscape);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 10));
  // Back from the credits the music goes on, and nothing falls silent for a new fade.
  EXPECT_TRUE(soundPlays("menu_sound"));
  EXPECT_GT(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupAmbient), 0.5f);
  for (const KR::UIWidget* tree : KR::UIManager::getInstance()->getRoots()) EXPECT_NE(tree->name, "authors_wnd");

  // Play takes the new game through the difficulty window, which shows the stored choice: the release
  // of the click that opened it is no click in it, even where its casual box lies.
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  clickAt(game, kOptionsClose[0], kOptionsClose[1]);
  game.steps(15);
  const KR::Vector2<int> casual = KR::Test::window(700, 485);
  game.pressMouse(casual.x, casual.y);
  game.step();
  menu().onPlay();
  game.releaseMouse(casual.x, casual.y);
  game.steps(15);
  ASSERT_TRUE(menu().difficultyWindow->shown);
  EXPECT_EQ(menu().difficultyWindow->choice, 1);
  // Its boxes act as one choice.
  clickAt(game, 700, 485);
  EXPECT_EQ(menu().difficultyWindow->choice, 0);
  EXPECT_TRUE(menu().difficultyWindow->casualButton->ticked);
  EXPECT_FALSE(menu().difficultyWindow->hardButton->ticked);
  clickAt(game, kHard[0], kHard[1]);
  EXPECT_EQ(menu().difficultyWindow->choice, 1);
  EXPECT_FALSE(menu().difficultyWindow->casualButton->ticked);
  clickAt(game, kWindowOk[0], kWindowOk[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "Game"; }, 10));
  EXPECT_EQ(store().getCurrentProfile()->gameBegin, 0u);
  // In play the menu holds none of its windows (the pause menu has its own options and difficulty
  // windows), and its buttons' handler names are free.
  std::map<std::string, int> trees;
  for (const KR::UIWidget* tree : KR::UIManager::getInstance()->getRoots()) ++trees[tree->name];
  for (const char* name : {"MainMenu", "UserDialog", "ConfirmDeleteDialog", "InfoMessageBox", "ConfirmExitDialog",
                           "ConfirmRestartDialog", "EnterProfileName", "FirstEnterProfileName"})
    EXPECT_EQ(trees[name], 0) << name;
  EXPECT_EQ(trees["OptionsWindow"], 1);
  EXPECT_EQ(trees["selectdif_window"], 1);
  EXPECT_FALSE(menu().difficultyWindow->loaded);
  EXPECT_FALSE(menu().nameWindow->loaded);
  EXPECT_FALSE(menu().nameWindow->shown);
  for (const std::string& name : {menu().playAction, menu().optionsAction, menu().exitAction,
                                  menu().nameWindow->okAction, menu().firstNameWindow->okAction})
    EXPECT_EQ(KR::LexBindedFunctionManager::getInstance()->findFunction(name), nullptr) << name;
  // The list on disk says so at once, and that the intro has played.
  HOG::ProfileSystem begun(folder());
  ASSERT_TRUE(begun.loadProfileList());
  EXPECT_EQ(begun.getCurrentProfile()->gameBegin, 0u);
  EXPECT_EQ(begun.getCurrentProfile()->reserved, 0u);

  // Escape skips the intro; two quick Escapes in play open the pause menu and close it again.
  game.steps(5);
  ASSERT_TRUE(game.videoPlaying());
  game.tapKey(KR::Platform::kVkEscape);
  game.step();
  EXPECT_FALSE(game.videoPlaying());
  ASSERT_TRUE(game.stepUntil([&] { return KR::Test::shown(game, "location01"); }, 300));
  auto* hud = dynamic_cast<HOG::InGameUI*>(HOG::Game::getInstance()->getHud());
  ASSERT_NE(hud, nullptr);
  for (int i = 0; i < 2; ++i) {
    game.pressKey(KR::Platform::kVkEscape);
    game.releaseKey(KR::Platform::kVkEscape);
    game.step();
  }
  game.steps(5);
  EXPECT_FALSE(hud->isPauseMenuUp());
  // The pause menu's options are the same window; its Authors returns to the game, the menu music stopped.
  game.tapKey(KR::Platform::kVkEscape);
  game.steps(10);
  clickAt(game, 610 + 110 + 120, 330 + 150 + 28);
  game.steps(15);
  dump(game, "pause_options");
  // Over the game nothing darkens the HUD: its Book button stays light.
  const KR::Vector2<int> book = KR::Test::window(1339, 884);
  EXPECT_GT(game.brightPixelsAround(book.x, book.y, 6), 60);
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  game.steps(5);
  EXPECT_TRUE(soundPlays("menu_sound"));
  // Out of play, the music comes in after a moment's silence, as in the menu.
  EXPECT_EQ(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupMusic), 0.0f);
  game.tapKey(KR::Platform::kVkEscape);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "Game"; }, 10));
  EXPECT_FALSE(soundPlays("menu_sound"));
  game.steps(15);
  dump(game, "back_from_credits");
  // Back where the credits were asked for: the options over the pause menu.
  EXPECT_TRUE(hud->isPauseMenuUp());
  clickAt(game, kOptionsClose[0], kOptionsClose[1]);
  game.steps(15);
  clickAt(game, 610 + 110 + 120, 330 + 260 + 28);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 30));
  game.steps(15);
  // Back in the menu its windows work again: the options close, the list and the name window are trees of
  // the UI again.
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  clickAt(game, kOptionsClose[0], kOptionsClose[1]);
  game.steps(15);
  EXPECT_FALSE(menu().optionsWindow->isShown());
  clickAt(game, kMenuProfiles[0], kMenuProfiles[1]);
  game.steps(15);
  EXPECT_TRUE(KR::UIManager::getInstance()->isRoot(menu().userDialog->root));
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(15);
  EXPECT_TRUE(KR::UIManager::getInstance()->isRoot(menu().nameWindow->root));
  EXPECT_TRUE(menu().nameWindow->shown);
  clickAt(game, kNameCancel[0], kNameCancel[1]);
  game.steps(15);
  clickAt(game, kUsersExit[0], kUsersExit[1]);
  game.steps(15);
  clickAt(game, kMenuQuit[0], kMenuQuit[1]);
  game.steps(15);
  dump(game, "confirm_exit");
  // The question is drawn: its Cancel button stands light where the menu is dark.
  const KR::Vector2<int> cancelQuit = KR::Test::window(kDialogOk[0] + 280, kDialogOk[1]);
  EXPECT_GT(game.brightPixelsAround(cancelQuit.x, cancelQuit.y, 6), 60);
  auto* quitQuestion = dynamic_cast<AE::TextSceneNode*>(HOG::sceneNodeAt(menu().confirmExitDialog, "/root_group/text"));
  ASSERT_NE(quitQuestion, nullptr);
  EXPECT_EQ(quitQuestion->getDisplayText(), L"Leave Quellmoor?");
  // Quit writes the list and the options file.
  std::remove((folder() + "profilelist.dat").c_str());
  std::remove((folder() + "profile1.opt").c_str());
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  EXPECT_EQ(game.finish(), 0);
  EXPECT_TRUE(game.quit());
  HOG::ProfileSystem read(folder());
  ASSERT_TRUE(read.loadProfileList());
  EXPECT_EQ(read.getProfiles()[0]->gameBegin, 0u);
  EXPECT_TRUE(KR::Platform::fileExists(folder() + "profile1.opt"));
}

TEST(FrontEndPlayThrough, DamagedFilesAreReportedOnceAndAFinishedGameOffersARestart) {
  // A damaged list is set aside and reported at the first opening of the menu only. The files of its
  // profiles are kept, and the first run's new "Player" takes an id without files.
  KR::Test::GameDriver::forgetProfiles();
  const std::string list = folder() + "profilelist.dat";
  std::remove((list + ".damaged").c_str());
  KR::Test::writeFile(folder() + "savegame0.sav", "Ann's game");
  KR::Test::writeFile(list, "not a profile list");
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.startToMenu(false));
  game.steps(5);
  EXPECT_NE(infoText().find(L"The list of players could not be read"), std::wstring::npos);
  EXPECT_NE(infoText().find(L"(profilelist.dat: it is damaged)"), std::wstring::npos);
  // Shown as it is: a message with a detail is no string-table key.
  EXPECT_EQ(dynamic_cast<AE::TextSceneNode*>(menu().infoBox->textNode)->getDisplayText(), infoText());
  EXPECT_FALSE(store().loadFailed);
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  clickAt(game, kWindowOk[0], kWindowOk[1]);  // the first run's "Player"
  game.steps(15);
  EXPECT_EQ(KR::Test::readFile(list + ".damaged"), "not a profile list");
  EXPECT_EQ(KR::Test::readFile(folder() + "savegame0.sav"), "Ann's game");
  EXPECT_EQ(store().getCurrentProfile()->id, 1);
  HOG::ProfileSystem rewritten(folder());
  EXPECT_TRUE(rewritten.loadProfileList());
  // The options show the player's own volumes, and keep them.
  HOG::PlayerOptions& stored = store().getCurrentProfile()->options;
  stored.musicVolume = 0.3f;
  stored.soundVolume = 0.4f;
  stored.ambientVolume = 0.6f;
  clickAt(game, kMenuOptions[0], kMenuOptions[1]);
  game.steps(15);
  EXPECT_NEAR(stored.musicVolume, 0.3f, 0.01f);
  EXPECT_NEAR(stored.soundVolume, 0.4f, 0.01f);
  EXPECT_NEAR(stored.ambientVolume, 0.6f, 0.01f);
  clickAt(game, kAuthors[0], kAuthors[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "AuthorsMovie"; }, 10));
  // Rolled to their end, the credits return by themselves a moment later.
  HOG::sceneOf(HOG::AuthorsMovie::getInstance()->getRoot())->update(19.0f);
  game.steps(30);
  EXPECT_EQ(game.currentState(), "AuthorsMovie");
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "MainMenu"; }, 90));
  game.steps(5);
  EXPECT_EQ(infoText(), L"");  // once only
  std::remove((folder() + "savegame0.sav").c_str());

  // A finished game: Play asks for a restart; its OK resets the profile and opens the difficulty window.
  HOG::PlayerProfile& profile = *store().getCurrentProfile();
  profile.options.gameCompleted = 1;
  profile.gameBegin = 0;
  profile.reserved = 0;
  KR::Test::writeFile(store().getSaveGamePath(0), "a saved game");
  clickAt(game, kMenuPlay[0], kMenuPlay[1]);
  game.steps(15);
  dump(game, "confirm_restart");
  EXPECT_EQ(matches(game, "confirm_restart"), "");
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
  clickAt(game, kWindowOk[0] + 180, kWindowOk[1] - 164);
  game.steps(5);

  // A list that cannot be written is told before the game goes; Quit again leaves all the same.
  std::remove(list.c_str());
  ASSERT_EQ(mkdir(list.c_str(), 0755), 0);
  clickAt(game, kMenuQuit[0], kMenuQuit[1]);
  game.steps(15);
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  game.steps(5);
  EXPECT_NE(infoText().find(L"could not be saved. (profilelist.dat: cannot replace the file: Is a directory)"),
            std::wstring::npos);
  EXPECT_FALSE(game.quit());
  clickAt(game, kInfoOk[0], kInfoOk[1]);
  game.steps(15);
  clickAt(game, kMenuQuit[0], kMenuQuit[1]);
  game.steps(15);
  clickAt(game, kDialogOk[0], kDialogOk[1]);
  EXPECT_EQ(game.finish(), 0);
  EXPECT_TRUE(game.quit());
  ASSERT_EQ(rmdir(list.c_str()), 0);
}

// A full list of ten, hand-edited: a name like a string-table key and one of 30,000 characters. The list
// opens on the current last line, in sight; names show as typed and cut; the wheel scrolls to the top,
// where the first line can be chosen; Create is refused.
TEST(FrontEndPlayThrough, AFullProfileListScrollsAndShowsNamesAsTyped) {
  KR::Test::GameDriver::forgetProfiles();
  std::vector<HOG::PlayerProfile> people(10);
  std::vector<const HOG::PlayerProfile*> list;
  for (int i = 0; i < 10; ++i) {
    people[i].name = i == 3 ? L"#conf_exit" : i == 5 ? std::wstring(30000, L'W') : L"Person " + std::to_wstring(i);
    people[i].id = i;
    people[i].persistent = true;
    list.push_back(&people[i]);
  }
  KR::Test::writeFile(folder() + "profilelist.dat", HOG::ProfileSystem::encodeList(list, 9));
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.startToMenu(false));
  clickAt(game, kMenuProfiles[0], kMenuProfiles[1]);
  game.steps(15);
  dump(game, "full_profile_list");
  KR::UIListView& lines = *menu().userDialog->userList;
  auto inSight = [&](size_t line) {
    const KR::UIWidget* label = lines.scrollArea->children[line];
    const float top = label->getAbsolutePosition().y;
    return top >= lines.scrollArea->clientRect.top && top + lines.lineHeight <= lines.scrollArea->clientRect.bottom;
  };
  EXPECT_EQ(lines.selected, 9);
  EXPECT_TRUE(inSight(9));
  // Drawn: the list's light lines stand where the menu is dark, left of its buttons.
  const KR::Vector2<int> lineStart = KR::Test::window(680, 500);
  EXPECT_GT(game.brightPixelsAround(lineStart.x, lineStart.y, 6), 60);
  // The bar's dot stands at its foot, and Cancel on the question deletes nothing.
  AE::ISceneNode* dot = HOG::sceneNodeAt(menu().userDialog->root, "/root_group/scroll/dot");
  ASSERT_NE(dot, nullptr);
  EXPECT_NEAR(dot->mPosY, 212.0f, 1.0f);
  clickAt(game, kDelete[0], kDelete[1]);
  game.steps(15);
  clickAt(game, kDialogOk[0] + 240, kDialogOk[1]);
  game.steps(15);
  EXPECT_FALSE(menu().userDialog->confirmDeleteDialog->shown);
  EXPECT_EQ(store().getProfileCount(), 10u);
  EXPECT_FALSE(inSight(0));
  EXPECT_EQ(static_cast<KR::UILabel*>(lines.scrollArea->children[3])->text, L"#conf_exit");
  EXPECT_EQ(static_cast<KR::UILabel*>(lines.scrollArea->children[5])->text, std::wstring(16, L'W'));
  // The bar beside the list scrolls it: dragged to its top the first line comes into sight, back at its
  // foot the last.
  drag(game, 1020, 388 + 220, 1020, 380);
  game.steps(10);
  EXPECT_TRUE(inSight(0));
  drag(game, 1020, 388 + 10, 1020, 640);
  game.steps(10);
  EXPECT_TRUE(inSight(9));
  const KR::Vector2<int> over = KR::Test::window(800, 500);
  game.moveMouse(over.x, over.y);
  for (int i = 0; i < 8; ++i) {
    KR::Platform::pushMouseWheel(1);
    game.steps(3);
  }
  game.steps(10);
  ASSERT_TRUE(inSight(0));
  EXPECT_NEAR(dot->mPosY, 0.0f, 1.0f);
  // The first line chosen, then scrolled out of sight: the list opens on it again, in sight.
  clickAt(game, 700, lines.scrollArea->children[0]->getAbsolutePosition().y + 15);
  drag(game, 1020, 388 + 10, 1020, 640);
  game.steps(10);
  ASSERT_FALSE(inSight(0));
  clickAt(game, kUsersOk[0], kUsersOk[1]);
  game.steps(5);
  EXPECT_EQ(store().getCurrentIndex(), 0);
  clickAt(game, kMenuProfiles[0], kMenuProfiles[1]);
  game.steps(15);
  EXPECT_EQ(lines.selected, 0);
  EXPECT_TRUE(inSight(0));
  clickAt(game, kCreate[0], kCreate[1]);
  game.steps(5);
  EXPECT_EQ(infoText(), L"too_many_profiles");
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

// A kill is what lies on disk when it strikes: the first session of a first run, killed after the
// autosave, and the next start finds its player and continues the game (not a first run deleting its
// save, nor a new game over it).
TEST(FrontEndPlayThrough, AGameKilledInItsFirstSessionGoesOnAtTheNextStart) {
  KR::Test::GameDriver::forgetProfiles();
  std::map<std::string, std::string> killed;
  {
    KR::Test::GameDriver game;
    ASSERT_TRUE(game.startToMenu());
    ASSERT_TRUE(game.enterPlay());  // OK on the offered "Player", Play, OK
    ASSERT_TRUE(walkToTheGardenAndSave(game, killed));
    game.closeWindow();
    game.finish();
  }
  putBackOnDisk(killed);
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.startToMenu(false));
  game.steps(10);
  EXPECT_FALSE(menu().firstNameWindow->shown);
  clickAt(game, kMenuPlay[0], kMenuPlay[1]);
  ASSERT_TRUE(game.stepUntil([&] { return game.currentState() == "Game"; }, 30));
  // Play within the menu's first second: its fade-in does not follow into the game's sounds.
  EXPECT_GT(KR::SoundManager::getInstance()->getGroupVolume(KR::kSoundGroupAmbient), 0.5f);
  EXPECT_FALSE(menu().difficultyWindow->shown);
  EXPECT_FALSE(game.videoPlaying());  // the intro played once
  EXPECT_TRUE(game.stepUntil([&] { return KR::Test::shown(game, "location02"); }, 300));
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}

// "--play" goes past the logos and the menu into the current player's game, the first time a new one
// for the first run's "Player"; after a kill the next "--play" continues it.
TEST(FrontEndPlayThrough, PlayOnTheCommandLineContinuesTheCurrentPlayersGame) {
  KR::Test::GameDriver::forgetProfiles();
  GameApplication::launchMode = GameApplication::LaunchMode::Play;
  std::map<std::string, std::string> killed;
  {
    KR::Test::GameDriver game;
    ASSERT_TRUE(game.start());
    EXPECT_EQ(game.currentState(), "Game");
    EXPECT_TRUE(store().getCurrentProfile()->persistent);
    EXPECT_TRUE(KR::Platform::fileExists(store().getProfileFilePath(0, "opt")));
    ASSERT_TRUE(walkToTheGardenAndSave(game, killed));
    game.closeWindow();
    game.finish();
  }
  putBackOnDisk(killed);
  KR::Test::GameDriver game;
  ASSERT_TRUE(game.start());
  GameApplication::launchMode = GameApplication::LaunchMode::Game;
  EXPECT_EQ(game.currentState(), "Game");
  EXPECT_EQ(store().getProfileCount(), 1u);
  EXPECT_FALSE(game.videoPlaying());
  EXPECT_TRUE(game.stepUntil([&] { return KR::Test::shown(game, "location02"); }, 300));
  game.closeWindow();
  EXPECT_EQ(game.finish(), 0);
}
