#pragma once
// The inventory panel while a minigame or a quest runs: its element shows the
// extension's brief text (kind 14), and the panel may be pinned shown or
// hidden for the whole minigame. Main thread only; owned by the panel.
//
// Config section "Behaviour": "UIElement", "UIText", "canDisappear",
// "overridePanelVisibleState", "panelVisibleState".
#include "core/game_state/inventory_panel_ui.h"

namespace HOG {

class BriefPanelBehaviour : public InventoryPanelBehaviour {
 public:
  using InventoryPanelBehaviour::InventoryPanelBehaviour;

  void loadConfig(const std::string& fileName) override;
  void parseConfig(KR::XmlDataReader& reader);
  void update(float dt) override;
  void activate() override;
  void deactivate() override;
  const char* getClassName() const override { return "BriefPanelBehaviour"; }
  void setContentVisible(bool flag) override;
  void onMessage(const GameMessage* message) override;

  KR::UIWidget* element = nullptr;
  KR::UIWidget* text = nullptr;
  bool canDisappear = false;
  bool overridePanelVisibleState = false;
  bool panelVisibleState = false;
  bool panelShownOnActivate = false;
};

}  // namespace HOG
