#pragma once
// The play screen's heads-up display: the HUD widget tree with its buttons,
// the window that announces a newly found item (with the item's icon, which
// it borrows from the item factory), and the pause menu. It takes
// the frame's input before the views; Escape opens and closes the pause menu
// even while a modal window blocks the rest. Owned by the play state; main
// thread only; a listener on the play state's bus.
//
// Resources (package "default"): "ingame_ui" table "InGame",
// "item_added_window_ui" table "ItemAddedWindow" (its sprite child "image",
// where the icon is centred, its label "itemName"), the pause menu's
// (in_game_menu.h).
#include <memory>

#include "core/game_state/game_components.h"
#include "core/game_state/game_message.h"

namespace KR {
class UIWidget;
}

namespace HOG {

class AmuletsButton;
class HintPanel;
class LocationsScreen;
class InGameMenu;
class InventoryPanelUI;
class NotebookUI;
struct InventoryItem;

class InGameUI : public IHud, public GameMessageListener {
 public:
  static constexpr uint8_t kEscape = 0x1B;

  InGameUI();
  ~InGameUI() override;

  // IHud
  bool processInput(const InputState& input) override;
  int requestedCursor() const override { return 0; }
  bool isPauseMenuUp() const override;
  void setHudVisible(bool visible) override;
  void update(float dt) override;

  void onMessage(const GameMessage* message) override;

  void showItemAddedWindow(const char* name);
  void closeItemAddedWindow();
  void menuClicked();
  void goBackwardButtonClicked();
  // Escape this frame: opens the menu, or closes it when it is open.
  void onEscape();

  InGameMenu* getPauseMenu() { return pauseMenu.get(); }
  InventoryPanelUI* getInventoryPanel() { return inventoryPanel.get(); }
  HintPanel* getHintPanel() { return hintPanel.get(); }
  LocationsScreen* getLocationsMap() { return locationsMap.get(); }
  AmuletsButton* getAmuletsButton() { return amuletsButton.get(); }
  NotebookUI* getNotebook() { return notebook.get(); }
  // The HUD's book button: opens the notebook, or closes it when open.
  void notebookPushed();
  void casketClicked();
  void draw() override;
  void start() override;

  KR::UIWidget* hudWidget = nullptr;
  KR::UIWidget* itemAddedWindow = nullptr;
  KR::UIWidget* itemImage = nullptr;
  InventoryItem* itemAddedItem = nullptr;
  std::unique_ptr<NotebookUI> notebook;
  std::unique_ptr<LocationsScreen> locationsMap;
  std::unique_ptr<InventoryPanelUI> inventoryPanel;
  std::unique_ptr<HintPanel> hintPanel;
  std::unique_ptr<InGameMenu> pauseMenu;
  bool modalBlocked = false;
  bool scriptBlocked = false;
  bool itemWindowShown = false;
  std::unique_ptr<AmuletsButton> amuletsButton;

 private:
  // Puts the shown item's icon, once loaded, centred into the window's image.
  void dressItemImage();
};

}  // namespace HOG
