#include "core/main_menu_state/main_menu.h"

#include "core/game_application.h"
#include "core/showcase.h"
#include "input_manager_win_mac.h"
#include "platform/input_state.h"
#include "platform/window.h"

namespace HOG {

MainMenu::MainMenu(GameApplication& application_) : application(application_) {
  KR::Singleton<MainMenu>::setInstance(this);
}

MainMenu::~MainMenu() = default;

void MainMenu::load() { showcase = std::make_unique<Showcase>(); }

void MainMenu::unload() { showcase.reset(); }

void MainMenu::onActivate() {
  if (showcase) showcase->showPage(application, showcase->getCurrentPage());
}

// The showcase names its page in the title bar; the states after the menu show
// the game's own title.
void MainMenu::onDeactivate() {
  if (application.windowInfo && application.windowInfo->window)
    application.windowInfo->window->setTitle(application.name);
}

void MainMenu::update(float dt) {
  if (!showcase) return;
  if (KR::InputManager::exists() && KR::InputManager::getInstance()->getKeyboardDevice()->wentDown('P')) {
    if (AppStateManager::exists()) AppStateManager::getInstance()->setState("Game");
    return;
  }
  showcase->update(application, dt);
}

void MainMenu::draw() {
  if (showcase) showcase->render(application);
}

}  // namespace HOG
