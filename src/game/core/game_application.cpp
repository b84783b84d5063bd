#include "core/game_application.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "animationeditor/sprite_scene_node.h"
#include "config_manager.h"
#include "core/game_cursor_manager.h"
#include "core/main_menu_state/profile_system.h"
#include "core/showcase.h"
#include "string_conversion.h"
#include "timer_manager.h"
#include "ui/text_manager.h"

GameApplication::GameApplication() {
  setInstance(this);
  name = KR::toNarrowString(KR::TextManager::getInstance()->getText("QUELLMOOR_TITLE"));
  // The game draws its own cursor.
  windowInfo->hideSystemCursor = 1;
  // Position, normal, diffuse colour and one texture-coordinate set.
  configManager->vertexFormatFlags = 23;
  // Scene range loops restart, and sprite descriptions come from sprite sheets first.
  AE::gLoopEnabled = 1;
  AE::useSpriteSheets = 1;
}

GameApplication::~GameApplication() = default;

void GameApplication::init() {
  cursorManager = new HOG::GameCursorManager();
  profileSystem = new HOG::ProfileSystem();
  // Application states (logo, main menu, game, credits) are registered here
  // as the game core lands; until then the showcase runs.
  showcase = std::make_unique<HOG::Showcase>();
  showcase->showPage(*this, 0);
}

void GameApplication::shutdown() {
  showcase.reset();
  delete profileSystem;
  profileSystem = nullptr;
  delete cursorManager;
  cursorManager = nullptr;
}

void GameApplication::update() {
  float dt = KR::TimerManager::exists() ? KR::TimerManager::getInstance()->getRawFrameTime() : 0.0f;
  dt = std::min(dt, kMaxTimeStep);
  if (showcase) showcase->update(*this, dt);
}

void GameApplication::render() {
  if (showcase) showcase->render(*this);
}

void GameApplication::updateWhileLoading() {}

void GameApplication::renderWhileLoading() { Application::renderWhileLoading(); }

void GameApplication::onPostRender(float) {}
