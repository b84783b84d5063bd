#pragma once
// The pause menu: resume, the options window, or back to the main menu. The
// HUD opens it (its menu button or Escape); while it is open the play state
// is locked, its view-change locks are raised and every listener has heard
// kind 25. Main thread only; owned by the HUD.
//
// Config "ingame_menu_config" (package "default"), section "MainMenuConfig":
// "UIInGameMenuFile", "UIInGameMenuTable", "UIOptionsFile", "UIOptionsTable".
#include <memory>
#include <string>

#include "core/game_state/game_message.h"

namespace KR {
class UIWidget;
}

namespace HOG {

class OptionsWindow;

class InGameMenu : public GameMessageListener {
 public:
  InGameMenu();
  ~InGameMenu() override;

  void loadConfig();
  void createUI();
  // Opened by the HUD; the menu only shows itself here.
  void showWidget();
  void hideWindow();
  void showOptions();
  void exitGame();
  void update(float dt);

  KR::UIWidget* menuWidget = nullptr;
  std::unique_ptr<OptionsWindow> optionsWindow;
  bool loaded = false;
  bool shown = false;
  // Names of any length (the data decides).
  std::string uiMenuFile, uiMenuTable, uiOptionsFile, uiOptionsTable;
};

}  // namespace HOG
