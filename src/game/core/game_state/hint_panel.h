#pragma once
// The HUD's hint button: it charges over the configured time (separate,
// shorter clocks inside a minigame, where it reads "SKIP" and asks the
// minigame to skip itself); a full click asks the hint search what to do
// next, centres the view on it and, when an item is needed, brings the
// inventory row out and remembers that item's slot. Owned by the HUD; main
// thread only; the play state passes every game message on to it.
//
// Config "hint_config_xml" (package "default"): "disableTime",
// "disableTimeHard", "minigameDisableTime", "minigameDisableTimeHard".
// UI "hint_panel_ui" table "HintPanel" with a label "caption".
#include <cstdint>

#include "vector2.h"

namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct GameMessage;
struct HintResult;
class ObjectsListPanelBehaviour;
class InventoryPanelUI;
class LocationsScreen;

class HintPanel {
 public:
  HintPanel();
  ~HintPanel();
  HintPanel(const HintPanel&) = delete;
  HintPanel& operator=(const HintPanel&) = delete;

  void load();
  void readConfig(KR::XmlDataReader& reader);
  void update(float dt);
  void onGameMessage(const GameMessage& message);
  void hintBtnClicked();
  // Points at the hint: 0 nothing, 1 a target, 2 a target and the needed item.
  int showHint(const HintResult& result, KR::Vector2<float>* target);
  // The active view is a minigame that is not put aside.
  static bool isMinigameView();
  // The panel whose row the needed item is looked up in (the HUD's).
  InventoryPanelUI* inventoryPanel = nullptr;
  // The map its map button opens (the HUD's).
  LocationsScreen* locations = nullptr;
  void mapBtnClicked();

  KR::UIWidget* widget = nullptr;
  KR::UIWidget* caption = nullptr;
  float disableTime = 0.0f, disableTimeHard = 0.0f;
  float minigameDisableTime = 0.0f, minigameDisableTimeHard = 0.0f;
  float chargeTime = 0.0f, minigameChargeTime = 0.0f, shownChargeTime = 0.0f;
  bool ready = false;
  bool minigameMode = false;
  bool itemTrailPending = false;
  KR::Vector2<float> itemTarget;
  int32_t itemSlotIndex = -1;
  // The last hint's target on screen (where the trail would fly).
  KR::Vector2<float> lastTarget;

 private:
  float rechargeTime() const;
  void setCaption(const char* text);
};

}  // namespace HOG
