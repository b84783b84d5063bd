#include "core/authors_movie_state/authors_movie.h"

#include <cstring>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/main_menu_state/front_end_support.h"
#include "input_manager_win_mac.h"
#include "sound_system/sound_manager.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

namespace {

constexpr uint8_t kVkEscape = 0x1B;

bool named(const IAppState* state, const char* name) { return state && std::strcmp(state->getName(), name) == 0; }

// Seconds the last credit stays on screen before the credits leave by themselves.
constexpr float kLingerSeconds = 1.5f;

// Every animation of the tree has played to its end and none loops; a still
// scene (nothing animated) never plays out.
bool playedOut(const AE::ISceneNode* node, bool* animated) {
  const AE::SceneNodeAnimation* animation = node->mAnimation;
  if (animation && animation->getDuration() > 0.0f) {
    if (animation->isLooping() || (node->mPlaying && animation->mTime < animation->getDuration())) return false;
    *animated = true;
  }
  for (const AE::ISceneNode* child : node->mChildren)
    if (!playedOut(child, animated)) return false;
  return true;
}

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
}

void AuthorsMovie::onActivate() {
  finishedFor = 0.0f;
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
  // The tree goes with the unload that follows.
  AppStateManager* states = AppStateManager::getInstancePtr();
  if (states && named(states->getNextState(), "Game") && KR::SoundManager::exists()) {
    KR::SoundManager::getInstance()->stopGroup(KR::kSoundGroupMusic);
    KR::SoundManager::getInstance()->cancelGroupFades();
  }
}

void AuthorsMovie::update(float dt) {
  if (!sceneLoaded) return;
  if (KR::InputManager::exists() && KR::InputManager::getInstance()->getKeyboardDevice()->releases(kVkEscape) > 0) {
    changeState();
    return;
  }
  // Rolled to its end, the screen would stay empty: the credits leave.
  bool animated = false;
  if (!playedOut(scene, &animated) || !animated) return;
  finishedFor += dt;
  if (finishedFor > kLingerSeconds) {
    finishedFor = 0.0f;
    changeState();
  }
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
