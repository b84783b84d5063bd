#pragma once
// The HUD's hint button: it charges over the configured time (separate,
// shorter clocks inside a minigame that can be skipped, where it reads "SKIP"
// and asks the minigame to skip itself; a minigame without hints, or one
// finished, gets the plain hint); its rim is lit exactly while it is full.
// A full click asks the hint search what to do next, centres the view on it
// and, when an item is needed, brings the inventory row out and remembers
// that item's slot. Owned by the HUD; main
// thread only; the play state passes every game message on to it.
//
// Both flights (to the target, then a second later to the needed item's slot)
// are hint trails that start at the button.
//
// The panel's scene (that of its widget tree) shows the charge through the
// marker "progress" of "/root_group/hint_progress" (set to the charged share
// of its length), lights the full button with the markers "open" and "close"
// of "/root_group/hint_btn_controller", draws the button with its caption
// (text node "/root_group/hint_btn_controller/hint_btn/caption") and animates
// the map button with the markers "appear", "open", "close" and "force_hide"
// of "/root_group/map_button_controller"; the map opens at the end of
// "appear". The map button's widget "map_btn" is shown while the current
// profile's map-button flag is set.
//
// Config "hint_config_xml" (package "default"): "disableTime",
// "disableTimeHard", "minigameDisableTime", "minigameDisableTimeHard", the
// trails' end effect "doActionParticle" and their section "FlashEffect".
// UI "hint_panel_ui" table "HintPanel": the click areas "hint_btn" and
// "map_btn" over the scene's buttons (commands "hintBtnClicked",
// "mapBtnClicked"; "backBtnClicked" is the HUD's go-back).
#include <cstdint>
#include <memory>

#include "animationeditor/marker.h"
#include "core/game_state/hud/hint_trail.h"
#include "vector2.h"

namespace AE {
class TextSceneNode;
}

namespace KR {
class Sprite;
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct GameMessage;
struct HintResult;
class ObjectsListPanelBehaviour;
class InventoryPanelUI;
class LocationsScreen;

class HintPanel : public AE::MarkerListener {
 public:
  HintPanel();
  ~HintPanel() override;
  HintPanel(const HintPanel&) = delete;
  HintPanel& operator=(const HintPanel&) = delete;

  void load();
  void readConfig(KR::XmlDataReader& reader);
  // The markers of the panel's scene (may be null); logs the missing nodes and markers.
  void takeSceneMarkers(AE::ISceneNode* scene);
  void onMarker(AE::Marker* marker) override;
  // The script's switch: the flag set, then the appear animation (the map
  // opens at its end), or the map at once without one; either waits for an
  // open item-added window.
  void enableMapButton();
  void update(float dt);
  void onGameMessage(const GameMessage& message);
  // Nothing while the button charges or the notebook or the map is open.
  void hintBtnClicked();
  // Points at the hint: 0 nothing, 1 a target, 2 a target and the needed item.
  int showHint(const HintResult& result, KR::Vector2<float>* target);
  // The active view is a minigame that takes input and can be skipped now:
  // not put aside, not finished, and taking SKIP (its hints enabled).
  static bool isMinigameView();
  // The panel whose row the needed item is looked up in (the HUD's).
  InventoryPanelUI* inventoryPanel = nullptr;
  // The map its map button opens (the HUD's).
  LocationsScreen* locations = nullptr;
  // Closes the notebook when it is open, then opens the map.
  void mapBtnClicked();
  // The map button's own opening (its appear animation has ended): at once, or once the item-added window that
  // shows now has closed (mapOpenPending meanwhile).
  void openMapWhenFree();
  // The HUD's go-back, for a panel layout that offers one ("backBtnClicked").
  void goBack();
  // The trails' ribbons and end effects, from the HUD's draw.
  void draw();
  void stopTrails();

  KR::UIWidget* widget = nullptr;
  // "HINT", or "SKIP" inside a minigame; null when the scene lacks it.
  AE::TextSceneNode* caption = nullptr;
  KR::UIWidget* mapButton = nullptr;
  AE::Marker* progressMarker = nullptr;
  float progressDuration = 0.0f;
  AE::Marker* hintOpenMarker = nullptr;
  AE::Marker* hintCloseMarker = nullptr;
  AE::Marker* mapAppearMarker = nullptr;
  AE::Marker* mapOpenMarker = nullptr;
  AE::Marker* mapCloseMarker = nullptr;
  float disableTime = 0.0f, disableTimeHard = 0.0f;
  float minigameDisableTime = 0.0f, minigameDisableTimeHard = 0.0f;
  float chargeTime = 0.0f, minigameChargeTime = 0.0f, shownChargeTime = 0.0f;
  bool ready = false;
  // The rim that lights the full button is lit (its "open" marker played last).
  bool rimLit = false;
  bool minigameMode = false;
  bool itemTrailPending = false;
  bool mapOpenPending = false;
  KR::Vector2<float> itemTarget;
  int32_t itemSlotIndex = -1;
  // The last hint's target on screen (where the trail flies).
  KR::Vector2<float> lastTarget;
  std::unique_ptr<HintTrail> targetTrail, itemTrail;
  KR::Sprite* trailPicture = nullptr;
  // Both trails leave from the button (design coordinates).
  KR::Vector2<float> trailSource{1520.0f, 917.0f};
  // Time since the current hint; the item trail starts once it passes the delay.
  float itemTrailTimer = 2.0f;
  float itemTrailDelay = 1.0f;

 private:
  float rechargeTime() const;
  void showCharge(float shownCharge, float total);
  void makeTrails(KR::XmlDataReader* reader);
  void setCaption(const wchar_t* text);
  // Lights or dims the rim when it shows the other state: the button looks
  // full exactly while a click does something.
  void lightRim(bool lit);
};

}  // namespace HOG
