#pragma once
// The inventory panel while a minigame or a quest runs: its element shows the
// extension's brief text (kind 14; a minigame without one leaves the element
// out of sight), and the panel may be pinned shown or
// hidden for the whole minigame. A separate brief window shows the same text
// large; the panel's commands "showBriefWindow" and "closeBriefWindow" open
// and close it, and while it is open the minigame under it takes no clicks.
// Main thread only; owned by the panel.
//
// Config section "Behaviour": "UIElement", "UIText", "canDisappear",
// "UIBriefWindowFile", "UIBriefWindowTable", "UIBriefWindowText",
// "overridePanelVisibleState", "panelVisibleState".
#include "core/game_state/inventory_panel/inventory_panel_ui.h"

namespace HOG {

class BriefPanelBehaviour : public InventoryPanelBehaviour {
 public:
  using InventoryPanelBehaviour::InventoryPanelBehaviour;
  ~BriefPanelBehaviour() override;

  void loadConfig(const std::string& fileName) override;
  void parseConfig(KR::XmlDataReader& reader);
  void update(float dt) override;
  void activate() override;
  void deactivate() override;
  const char* getClassName() const override { return "BriefPanelBehaviour"; }
  void setContentVisible(bool flag) override;
  void onMessage(const GameMessage* message) override;

  // The brief window on top of the UI, or hidden at once; both keep the play
  // state's brief-window flag (the held item is not drawn over the window).
  void showBriefWindow();
  void closeBriefWindow();
  bool isBriefWindowShown() const;

  KR::UIWidget* element = nullptr;
  KR::UIWidget* text = nullptr;
  bool canDisappear = false;
  KR::UIWidget* briefWindow = nullptr;
  KR::UIWidget* briefWindowText = nullptr;
  bool overridePanelVisibleState = false;
  bool panelVisibleState = false;
  bool panelShownOnActivate = false;
  // The shown minigame has a brief; without one the element stays invisible.
  bool hasBrief = true;
};

}  // namespace HOG
