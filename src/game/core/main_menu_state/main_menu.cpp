#include "core/main_menu_state/main_menu.h"

#include <cstring>

#include "animationeditor/text_scene_node.h"
#include "application.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/main_menu_state/difficult_selection_window.h"
#include "core/main_menu_state/enter_profile_name_window.h"
#include "core/main_menu_state/front_end_support.h"
#include "core/main_menu_state/info_message_box.h"
#include "core/main_menu_state/options_window.h"
#include "core/main_menu_state/profile_system.h"
#include "core/main_menu_state/user_dialog.h"
#include "input_manager_win_mac.h"
#include "log_system.h"
#include "particle_system.h"
#include "platform/input_state.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_list_view.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

const char* const kLinkHandlers[] = {"tellFriendsPushed", "subscribePushed", "ratePushed", "banner0Pushed",
                                     "banner1Pushed"};
const char* const kLinkWidgets[] = {"MoreGamesButton", "rateBtn", "tellFriendsBtn",
                                    "subscribeBtn",    "banner0", "banner1"};

bool named(const IAppState* state, const char* name) { return state && std::strcmp(state->getName(), name) == 0; }

ProfileSystem* store() { return ProfileSystem::getInstancePtr(); }
PlayerProfile* currentProfile() { return store() ? store()->getCurrentProfile() : nullptr; }

KR::UIWidget* loadDialog(const char* file, const char* table, const char* text) {
  KR::UIWidget* dialog = KR::UIManager::getInstance()->loadUI(file, table, nullptr, "default");
  if (!dialog) return nullptr;
  dialog->hideForcibly();
  setNodeText(sceneNodeAt(dialog, "/root_group/text"), text);
  return dialog;
}

void render(KR::UIWidget* widget) {
  if (widget) widget->render(false);
}

}  // namespace

MainMenu::MainMenu()
    : optionsWindow(std::make_unique<OptionsWindow>()),
      difficultyWindow(std::make_unique<DifficultSelectionWindow>()),
      nameWindow(std::make_unique<EnterProfileNameWindow>()),
      firstNameWindow(std::make_unique<EnterProfileNameWindow>()),
      userDialog(std::make_unique<UserDialog>()),
      infoBox(std::make_unique<InfoMessageBox>()) {
  KR::Singleton<MainMenu>::setInstance(this);
}

MainMenu::~MainMenu() {
  unload();
  for (const char* name : kLinkHandlers) unbindHandler(name, this);
  for (const char* name : {"confirmExitDialog_btnOkClicked", "confirmExitDialog_btnCancelClicked",
                           "confirmRestartDialog_btnCancelClicked", "confirmRestartDialog_btnOkClicked"})
    unbindHandler(name, this);
  unbindHandler(profileAction, this);
  unbindHandler(moreGamesAction, this);
}

void MainMenu::readConfig() {
  KR::XmlDataReader reader;
  if (!reader.open("default", "main_menu_config_xml") || !reader.enterChild("MainMenuConfig")) {
    KR::log("ERROR: Can't load main menu config file! %s", "main_menu_config_xml");
    return;
  }
  reader.readString("UIMainMenuFile", &uiFile);
  reader.readString("UIMainMenuTable", &uiTable);
  reader.readString("UIOptionsBtnAction", &optionsAction);
  reader.readString("UIPlayBtnAction", &playAction);
  reader.readString("UIExitBtnAction", &exitAction);
  reader.readString("UIProfileBtnAction", &profileAction);
  reader.readString("UIMoreGamesBtnAction", &moreGamesAction);
  reader.readString("UIMoreGamesButton", &moreGamesButton);
  reader.readString("UIMoreGamesNode", &moreGamesNode);
  std::string file, table, ok;
  reader.readString("UIOptionsWidnowFile", &file);
  reader.readString("UIOptionsWidnowTable", &table);
  optionsWindow->setUIFiles(file, table);
  reader.readString("UIEnterProfileNameFILE", &file);
  reader.readString("UIEnterProfileNameTable", &table);
  reader.readString("UIOKAction", &ok);
  nameWindow->setUIFiles(file, table, ok);
  reader.readString("UIFirstEnterProfileNameFILE", &file);
  reader.readString("UIFirstEnterProfileNameTable", &table);
  reader.readString("UIFirstOKAction", &ok);
  firstNameWindow->setUIFiles(file, table, ok);
}

void MainMenu::load() {
  if (!KR::UIManager::exists()) return;
  readConfig();
  bindHandler(playAction, this, &MainMenu::onPlay);
  bindHandler(optionsAction, this, &MainMenu::onOptions);
  bindHandler(exitAction, this, &MainMenu::onExit);
  bindHandler(profileAction, this, &MainMenu::onProfile);
  bindHandler(moreGamesAction, this, &MainMenu::onMoreGames);
  for (const char* name : kLinkHandlers) bindHandler(name, this, &MainMenu::onLinkButton);
  bindHandler("confirmExitDialog_btnOkClicked", this, &MainMenu::onConfirmExitOk);
  bindHandler("confirmExitDialog_btnCancelClicked", this, &MainMenu::onConfirmExitCancel);
  bindHandler("confirmRestartDialog_btnCancelClicked", this, &MainMenu::onConfirmRestartCancel);
  bindHandler("confirmRestartDialog_btnOkClicked", this, &MainMenu::onConfirmRestartOk);

  KR::UIManager* ui = KR::UIManager::getInstance();
  root = ui->loadUI(uiFile, uiTable, nullptr, "default");
  optionsWindow->name = "MMOptions";
  optionsWindow->load();
  difficultyWindow->setUIFiles("selectdiff_ui", "selectdif_window");
  difficultyWindow->name = "MMDiff";
  difficultyWindow->load();
  nameWindow->load();
  nameWindow->menu = this;
  firstNameWindow->load();
  firstNameWindow->menu = this;
  PlayerProfile::applyVolumes(currentProfile());
  userDialog->load();
  infoBox->load();
  AE::ISceneNode* scene = sceneOf(root);
  playerNameNode = scene ? AE::ISceneNode::findChild("player_name", scene) : nullptr;
  confirmExitDialog = loadDialog("confirm_exit_ui", "ConfirmExitDialog", "conf_exit");
  confirmRestartDialog = loadDialog("confirm_restart_ui", "ConfirmRestartDialog", "restart_text");
  if (root)
    for (const char* name : kLinkWidgets)
      if (KR::UIWidget* link = root->findDescendant(name)) link->setVisible(false);
}

void MainMenu::unload() {
  KR::UIManager* ui = KR::UIManager::getInstancePtr();
  if (ui) {
    for (KR::UIWidget** tree : {&root, &confirmExitDialog, &confirmRestartDialog})
      if (*tree) ui->destroyUI(*tree);
  }
  root = confirmExitDialog = confirmRestartDialog = nullptr;
  unbindHandler(playAction, this);
  unbindHandler(optionsAction, this);
  unbindHandler(exitAction, this);
  optionsWindow->unload();
  difficultyWindow->unload();
  nameWindow->unload();
  firstNameWindow->unload();
  userDialog->destroyTrees();
  infoBox->destroyTree();
  if (KR::ParticleSystem* particles = KR::ParticleSystem::getInstancePtr()) {
    particles->clearPrototypes();
    particles->clearEffectPool();
  }
  loaded = false;
}

void MainMenu::onActivate() {
  if (root) {
    root->hideForcibly();
    root->show();
  }
  if (store() && store()->onlyDefaultProfile()) firstNameWindow->show();
  reportProfileProblems();
  AppStateManager* states = AppStateManager::getInstancePtr();
  // Back from the credits the menu music is still playing.
  if (states && named(states->getPreviousState(), "AuthorsMovie")) return;
  if (KR::SoundManager::exists()) KR::SoundManager::getInstance()->startFadeAllGroups(0.0f, 1.0f, 3.0f);
  musicTimer = 0.0f;
  musicStarted = false;
}

void MainMenu::onDeactivate() {
  if (root) root->hide();
  if (optionsWindow->loaded && optionsWindow->isShown()) optionsWindow->hide();
  if (nameWindow->loaded && nameWindow->shown) nameWindow->close();
  if (confirmExitDialog && confirmExitDialog->shown) confirmExitDialog->hide();
  AppStateManager* states = AppStateManager::getInstancePtr();
  if (states && named(states->getNextState(), "AuthorsMovie")) return;
  if (KR::SoundManager::exists()) {
    KR::SoundManager* sounds = KR::SoundManager::getInstance();
    sounds->stopGroup(KR::kSoundGroupMusic);
    sounds->cancelGroupFades();
    sounds->releaseMusic();
  }
  musicStarted = false;
}

void MainMenu::reportProfileProblems() {
  ProfileSystem* profiles = store();
  // One message at a time: a second waits until the first is answered.
  if (!profiles || (infoBox->root && infoBox->root->shown)) return;
  if (profiles->loadFailed) {
    infoBox->showMessage(profiles->loadFailure.empty() ? "loading_failed" : profiles->loadFailure,
                         profiles->loadFailureDetail);
    profiles->loadFailed = false;
  } else if (profiles->writeFailed) {
    infoBox->showMessage("profiles_saving_failed", profiles->writeFailure);
    profiles->writeFailed = false;
  }
}

void MainMenu::update(float dt) {
  if (playAfterInfo && infoBox->closed) {
    playAfterInfo = false;
    startGame();
  }
  reportProfileProblems();
  if (optionsWindow->loaded && optionsWindow->isShown() && KR::InputManager::exists() &&
      KR::InputManager::getInstance()->getKeyboardDevice()->releases(KR::Platform::kVkEscape) > 0) {
    // Its difficulty window first, then the options themselves, as their Close does.
    if (optionsWindow->difficultyWindow->shown)
      optionsWindow->difficultyWindow->hide();
    else
      optionsWindow->onHide();
  }
  if (!musicStarted) {
    musicTimer += dt;
    if (musicTimer >= 1.0f) {
      playMenuMusic();
      musicTimer = 0.0f;
      musicStarted = true;
    }
  }
  if (auto* label = dynamic_cast<AE::TextSceneNode*>(playerNameNode))
    if (const PlayerProfile* profile = currentProfile())
      if (label->getText() != profile->name) label->setText(profile->name);
  if (difficultyWindow->shown) difficultyWindow->update();
  if (optionsWindow->loaded && optionsWindow->isShown()) optionsWindow->update(dt);
  userDialog->update();
}

void MainMenu::draw() {
  render(root);
  if (optionsWindow->loaded) render(optionsWindow->root);
  if (optionsWindow->difficultyWindow->shown) render(optionsWindow->difficultyWindow->root);
  if (difficultyWindow->shown) render(difficultyWindow->root);
  render(userDialog->root);
  render(userDialog->confirmDeleteDialog);
  render(nameWindow->root);
  render(firstNameWindow->root);
  render(infoBox->root);
  render(confirmExitDialog);
  render(confirmRestartDialog);
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->clearDrawnFlags();
}

void MainMenu::onPlay() {
  PlayerProfile* profile = currentProfile();
  if (!profile) return;
  if (profile->options.gameCompleted) {
    if (confirmRestartDialog) confirmRestartDialog->show();
    return;
  }
  if (SaveLoadGameProgressSystem::checkSaveGame() == 1) {
    // Kept beside the new game's save, never overwritten unread.
    SaveLoadGameProgressSystem::setAsideDamaged(SaveLoadGameProgressSystem::getSavePath());
    infoBox->showMessage("loading_failed");
    profile->gameBegin = 1;
    playAfterInfo = true;
    return;
  }
  startGame();
}

void MainMenu::startGame() {
  const PlayerProfile* profile = currentProfile();
  if (!profile) return;
  if (profile->gameBegin == 1) {
    difficultyWindow->startGame = true;
    difficultyWindow->show();
  } else if (profile->gameBegin == 0 && AppStateManager::exists()) {
    AppStateManager::getInstance()->setState("Game");
  }
}

void MainMenu::onOptions() {
  optionsWindow->openedFromMainMenu = true;
  optionsWindow->show();
}

void MainMenu::onExit() {
  if (confirmExitDialog) confirmExitDialog->show();
}

void MainMenu::onProfile() {
  if (!userDialog->root) return;
  userDialog->refreshList();
  userDialog->root->hideForcibly();
  userDialog->root->show();
}

void MainMenu::onConfirmExitOk() {
  if (ProfileSystem* profiles = store()) {
    profiles->saveProfileOptions(profiles->getCurrentIndex());
    profiles->saveProfileList();
    if (profiles->writeFailed && !quitDespiteFailure) {
      // The player hears of it before the game goes; Quit again leaves all the same.
      quitDespiteFailure = true;
      if (confirmExitDialog) confirmExitDialog->hide();
      reportProfileProblems();
      return;
    }
  }
  if (gApplication) gApplication->quitRequested = 1;
}

void MainMenu::onConfirmExitCancel() {
  if (confirmExitDialog) confirmExitDialog->hide();
}

void MainMenu::onConfirmRestartCancel() {
  if (confirmRestartDialog) confirmRestartDialog->hide();
}

void MainMenu::onConfirmRestartOk() {
  if (confirmRestartDialog) confirmRestartDialog->hide();
  if (ProfileSystem* profiles = store()) profiles->resetGameProgress();
  difficultyWindow->startGame = true;
  difficultyWindow->show();
}

}  // namespace HOG
