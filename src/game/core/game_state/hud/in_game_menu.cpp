#include "core/game_state/hud/in_game_menu.h"

#include <algorithm>

#include "core/app_state.h"
#include "core/game_state/game.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view_stack.h"
#include "core/main_menu_state/options_window.h"
#include "core/main_menu_state/profile_system.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"
#include "xml_data_reader.h"

namespace HOG {

InGameMenu::InGameMenu() : optionsWindow(std::make_unique<OptionsWindow>()) {}

InGameMenu::~InGameMenu() {
  if (!loaded) return;
  optionsWindow->unload();
  if (KR::UIManager::exists()) KR::UIManager::getInstance()->destroyUI(menuWidget);
  loaded = false;
}

void InGameMenu::loadConfig() {
  KR::XmlDataReader reader;
  if (!reader.open("default", "ingame_menu_config") || !reader.enterChild("MainMenuConfig")) return;
  reader.readString("UIInGameMenuFile", &uiMenuFile);
  reader.readString("UIInGameMenuTable", &uiMenuTable);
  reader.readString("UIOptionsFile", &uiOptionsFile);
  reader.readString("UIOptionsTable", &uiOptionsTable);
  optionsWindow->setUIFiles(uiOptionsFile, uiOptionsTable);
}

void InGameMenu::createUI() {
  if (loaded || !KR::UIManager::exists() || uiMenuFile.empty()) return;
  KR::LexBindedFunctionManager* commands =
      KR::LexBindedFunctionManager::exists() ? KR::LexBindedFunctionManager::getInstance() : nullptr;
  if (commands) {
    commands->registerFunction("hideWindow", new KR::LexBinder<InGameMenu>(this, &InGameMenu::hideWindow));
    commands->registerFunction("showOptions", new KR::LexBinder<InGameMenu>(this, &InGameMenu::showOptions));
    commands->registerFunction("exitGame", new KR::LexBinder<InGameMenu>(this, &InGameMenu::exitGame));
  }
  menuWidget = KR::UIManager::getInstance()->loadUI(uiMenuFile, uiMenuTable, nullptr, "default");
  if (commands)
    for (const char* name : {"hideWindow", "showOptions", "exitGame"}) commands->unregisterFunction(name);
  if (!menuWidget) return;
  menuWidget->hideForcibly();
  optionsWindow->setUIFiles("ingame_options_ui", "OptionsWindow");
  optionsWindow->name = "IGOptions";
  optionsWindow->load();
  loaded = true;
}

void InGameMenu::showWidget() {
  if (!loaded) return;
  menuWidget->hideForcibly();
  menuWidget->show();
  shown = true;
}

void InGameMenu::hideWindow() {
  sendGameMessage(kMsgPauseMenuClosed, nullptr);
  if (!Game::exists()) return;
  Game* game = Game::getInstance();
  int32_t& locks = game->getViewStack().viewChangeLocks;
  locks = std::max(locks - 1, 0);
  if (loaded) {
    menuWidget->hide();
    optionsWindow->hide();
    shown = false;
    if (KR::RenderSystem::exists()) KR::RenderSystem::getInstance()->mDistortionEnabled = true;
  }
  game->setLocked(false);
}

void InGameMenu::exitGame() {
  hideWindow();
  if (ProfileSystem::exists()) ProfileSystem::getInstance()->saveProfileList();
  if (Game::exists()) Game::getInstance()->setLocked(false);
  if (AppStateManager::exists()) AppStateManager::getInstance()->setState("MainMenu");
}

void InGameMenu::showOptions() {
  optionsWindow->openedFromMainMenu = false;
  if (optionsWindow->loaded) optionsWindow->show();
}

void InGameMenu::update(float dt) { optionsWindow->update(dt); }

}  // namespace HOG
