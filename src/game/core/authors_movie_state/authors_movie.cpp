#include "core/authors_movie_state/authors_movie.h"

#include <cstring>

#include "animationeditor/scene_node.h"
#include "core/main_menu_state/front_end_support.h"
#include "input_manager_win_mac.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

constexpr uint8_t kVkEscape = 0x1B;

bool named(const IAppState* state, const char* name) { return state && std::strcmp(state->getName(), name) == 0; }

}  // namespace

AuthorsMovie::AuthorsMovie() { KR::Singleton<AuthorsMovie>::setInstance(this); }

AuthorsMovie::~AuthorsMovie() { unload(); }

void AuthorsMovie::load() {
  if (sceneLoaded || root || !KR::UIManager::exists()) return;
  bindHandler("changeState", this, &AuthorsMovie::changeState);
  root = KR::UIManager::getInstance()->loadUI("authors_ui", "authors_wnd", nullptr, "default");
  scene = sceneOf(root);
  if (scene) {
    scene->play(true);
    sceneLoaded = true;
  }
}

void AuthorsMovie::unload() {
  if (root && KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(root);
  root = nullptr;
  scene = nullptr;
  unbindHandler("changeState", this);
  sceneLoaded = false;
  loaded = false;
}

void AuthorsMovie::onActivate() {
  if (root) {
    root->hideForcibly();
    root->show();
  }
  AppStateManager* states = AppStateManager::getInstancePtr();
  if (states && named(states->getPreviousState(), "Game")) {
    if (KR::SoundManager::exists()) KR::SoundManager::getInstance()->startFadeAllGroups(0.0f, 1.0f, 3.0f);
    playMenuMusic();
  }
}

void AuthorsMovie::onDeactivate() {
  if (root) root->hide();
  AppStateManager* states = AppStateManager::getInstancePtr();
  if (states && named(states->getNextState(), "Game") && KR::SoundManager::exists()) {
    KR::SoundManager::getInstance()->stopGroup(KR::kSoundGroupMusic);
    KR::SoundManager::getInstance()->cancelGroupFades();
  }
}

void AuthorsMovie::update(float) {
  if (!sceneLoaded) return;
  if (KR::InputManager::exists() && KR::InputManager::getInstance()->getKeyboardDevice()->wentUp(kVkEscape))
    changeState();
}

void AuthorsMovie::draw() {
  if (!sceneLoaded || !root) return;
  root->render(true);
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->clearDrawnFlags();
}

void AuthorsMovie::changeState() {
  if (AppStateManager::exists()) AppStateManager::getInstance()->setState(returnToMainMenu ? "MainMenu" : "Game");
}

}  // namespace HOG
