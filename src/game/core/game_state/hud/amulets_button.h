#pragma once
// The HUD's casket: a click plays the casket's opening animation, at whose
// end the amulets location (a view named in the configuration) opens; a
// second click or leaving that location plays the closing one. Clicks are
// ignored while the pause menu or the notebook is open. The casket comes and
// goes with its appearing and disappearing animations, whose ends set and
// clear the current profile's amulets-button flag; the click area is shown
// while that flag is set. The level script can show and play one totem of the
// totems scene, after which the amulets location opens 4 seconds later; an
// opening due while the pause menu or the notebook is open waits for it to close.
// Owned by the HUD; main thread only; the HUD passes every game message on.
//
// The casket is a node of the HUD scene; its animations are markers of that
// node, named by the configuration "amulets_button_config_xml" (package
// "default"): "location", "openingAnim", "closingAnim", "appearingAnim",
// "disappearingAnim" and "getAmuletsScenes" (names of totems of the scene
// "window_totems_xml", whose node "totems" holds them).
//
//   HOG::AmuletsButton casket(hudScene->findByPath("/root_group/casket_btn_controller"), clickArea);
//   casket.update(dt);   // the totems and the delayed opening
//   casket.draw();       // the totems
#include <memory>
#include <string>
#include <vector>

#include "animationeditor/marker.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct GameMessage;

class AmuletsButton : public AE::MarkerListener {
 public:
  static constexpr float kOpenDelay = 4.0f;

  struct SceneEntry {
    AE::ISceneNode* node = nullptr;
    std::string name;
    bool play = false;
  };

  // Neither is owned; both may be null. Reads the configuration and the totems.
  explicit AmuletsButton(AE::ISceneNode* buttonNode, KR::UIWidget* button = nullptr);
  // Leaves the markers' listener lists: the button node must still exist,
  // unless forgetButtonNode was called once its scene had gone.
  ~AmuletsButton() override;
  void forgetButtonNode();
  AmuletsButton(const AmuletsButton&) = delete;
  AmuletsButton& operator=(const AmuletsButton&) = delete;

  void load();
  // The location, the marker names and the totem names; then takes the markers.
  void readConfig(KR::XmlDataReader& reader);
  // The totems scene (owned from now on, may be null) with an entry for each
  // configured name it holds.
  void setTotemsScene(AE::ISceneNode* scene);
  void setOpen(bool wantOpen);
  void openAmuletsView();
  void onMarker(AE::Marker* marker) override;
  void onGameMessage(const GameMessage& message);
  // The script's switch: on plays the appearing animation (or sets the flag
  // at once without one); off plays the disappearing one and clears the flag.
  void enable();
  void disable();
  // Shows only the named totem and plays it; the location opens 4 s later.
  void setScenePlay(const std::string& name, bool play);
  void update(float dt);
  void draw();

  AE::ISceneNode* buttonNode = nullptr;
  KR::UIWidget* button = nullptr;
  AE::Marker* openingAnim = nullptr;
  AE::Marker* closingAnim = nullptr;
  AE::Marker* appearingAnim = nullptr;
  AE::Marker* disappearingAnim = nullptr;
  std::string location, previousView, playingScene;
  bool busy = false;
  bool open = false;
  std::vector<SceneEntry> scenes;
  std::unique_ptr<AE::ISceneNode> totemsScene;
  bool delayedOpen = false;
  float delayTimer = 0.0f;

 private:
  void takeMarkers(const std::string names[4]);

  std::vector<std::string> sceneNames;
  bool hasSceneList = false;
};

}  // namespace HOG
