#include "core/game_cursor_manager.h"

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "application.h"
#include "core/main_menu_state/profile_system.h"
#include "input_manager_win_mac.h"
#include "log_system.h"
#include "platform/window.h"
#include "xml_data_reader.h"

namespace HOG {

GameCursorManager::GameCursorManager() {
  setInstance(this);
  cursors.reserve(8);
}

GameCursorManager::~GameCursorManager() {
  for (AE::ISceneNode* scene : cursors) delete scene;
  cursors.clear();
}

void GameCursorManager::load(const std::string& name) {
  KR::XmlDataReader reader;
  if (!reader.open("default", name)) {
    KR::log("Failed to load '%s'", name.c_str());
    return;
  }
  if (!reader.enterChild("cursors")) {
    KR::log("Failed to open table 'cursors' in '%s'", name.c_str());
    return;
  }
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string sceneFile;
    reader.readString("sceneFile", &sceneFile);
    AE::ISceneNode* scene = sceneFile.empty() ? nullptr : AE::loadScene(sceneFile);
    if (!scene) {
      KR::log("Failed to load cursor %s", sceneFile.c_str());
      continue;
    }
    addCursor(scene);
  }
}

void GameCursorManager::addCursor(AE::ISceneNode* scene) {
  scene->play(true);
  cursors.push_back(scene);
}

void GameCursorManager::setCursor(int32_t index) {
  previous = current;
  current = index;
}

AE::ISceneNode* GameCursorManager::getCurrentScene() const {
  return current >= 0 && size_t(current) < cursors.size() ? cursors[size_t(current)] : nullptr;
}

void GameCursorManager::update(float dt) {
  if (AE::ISceneNode* scene = getCurrentScene()) scene->update(dt);
}

void GameCursorManager::draw(float scale) {
  sceneDrawn = false;
  if (!ProfileSystem::exists()) return;
  const PlayerProfile* profile = ProfileSystem::getInstance()->getCurrentProfile();
  systemArrowShown = profile && profile->options.systemCursor;
  // No cursor resources here: the option shows the platform arrow under the scene cursor.
  if (!arrowStateKnown || arrowState != systemArrowShown) {
    if (gApplication && gApplication->windowInfo && gApplication->windowInfo->window)
      gApplication->windowInfo->window->setSystemCursorHidden(!systemArrowShown);
    arrowState = systemArrowShown;
    arrowStateKnown = true;
  }
  if (systemArrowShown && current == 0) return;
  AE::ISceneNode* scene = getCurrentScene();
  if (!scene || !KR::InputManager::exists()) return;
  const KR::MouseDevice* mouse = KR::InputManager::getInstance()->getMouseDevice();
  scene->setPosition(KR::Vector2<float>(float(mouse->cursorX), float(mouse->cursorY)));
  scene->setScaleX(scale);
  scene->setScaleY(scale);
  scene->update(0.0f);
  AE::renderScene(scene);
  sceneDrawn = true;
}

}  // namespace HOG
