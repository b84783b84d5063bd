#pragma once
// The main menu state "MainMenu": the menu's widget tree (from the
// configuration "main_menu_config_xml") with the current player's name, its
// music a second after it opens, and its windows: options, difficulty, the
// two name windows, the profile list, the info box and the quit and restart
// questions. Play continues the current profile's game, starts a new one
// through the difficulty window, or offers a restart once the game is
// finished; a damaged saved game shows "loading_failed" first. A profile
// file that could not be read or written is reported in the info box (what
// happened, the file and the reason) as soon as the box is free. Escape
// closes the options window. Main thread only.
#include <memory>
#include <string>

#include "core/app_state.h"
#include "core/game_state/game_message.h"
#include "singleton.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

class DifficultSelectionWindow;
class EnterProfileNameWindow;
class InfoMessageBox;
class OptionsWindow;
class UserDialog;

class MainMenu : public KR::Singleton<MainMenu>, public IAppState, public GameMessageListener {
 public:
  MainMenu();
  ~MainMenu() override;
  const char* getName() const override { return "MainMenu"; }
  void update(float dt) override;
  void draw() override;
  void load() override;
  void unload() override;
  void onActivate() override;
  void onDeactivate() override;

  void onPlay();
  void onOptions();
  void onExit();
  void onProfile();
  // Nothing: this game has no more-games window, and the link buttons stay hidden.
  void onMoreGames() {}
  void onLinkButton() {}
  void onConfirmExitOk();
  void onConfirmExitCancel();
  void onConfirmRestartOk();
  void onConfirmRestartCancel();
  // The difficulty window for a game that has not begun, else straight to "Game".
  void startGame();

  // Configuration values (any length).
  std::string uiFile, uiTable, playAction, optionsAction, exitAction, profileAction, moreGamesAction;
  std::string moreGamesButton, moreGamesNode;

  KR::UIWidget* root = nullptr;
  AE::ISceneNode* playerNameNode = nullptr;
  std::unique_ptr<OptionsWindow> optionsWindow;
  std::unique_ptr<DifficultSelectionWindow> difficultyWindow;
  std::unique_ptr<EnterProfileNameWindow> nameWindow;
  std::unique_ptr<EnterProfileNameWindow> firstNameWindow;
  std::unique_ptr<UserDialog> userDialog;
  std::unique_ptr<InfoMessageBox> infoBox;
  KR::UIWidget* confirmExitDialog = nullptr;
  KR::UIWidget* confirmRestartDialog = nullptr;
  float musicTimer = 0.0f;
  bool musicStarted = false;
  bool playAfterInfo = false;

 private:
  void readConfig();
  // The profile store's unread or unwritten file, once, when the info box is free.
  void reportProfileProblems();
  // Quit was asked for after the profiles could not be written: the next Quit goes.
  bool quitDespiteFailure = false;
};

}  // namespace HOG
