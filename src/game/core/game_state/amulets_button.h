#pragma once
// The HUD's casket: a click opens the amulets location (a view named in the
// configuration), a second click or leaving that location closes it again;
// clicks are ignored while the pause menu or the notebook is open. The level
// script can show and play one totem of the totems scene, after which the
// amulets location opens 4 seconds later. The button is shown while the
// current profile's amulets-button flag is set. Owned by the HUD; main thread
// only; the HUD passes every game message on to it.
//
// Config "amulets_button_config_xml" (package "default"): "location", and
// "getAmuletsScenes" (names of the totems scene's children).
#include <string>
#include <vector>

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
class XmlDataReader;
}  // namespace KR

namespace HOG {

struct GameMessage;

class AmuletsButton {
 public:
  static constexpr float kOpenDelay = 4.0f;

  struct SceneEntry {
    AE::ISceneNode* node = nullptr;
    std::string name;
    bool play = false;
  };

  explicit AmuletsButton(KR::UIWidget* button);
  ~AmuletsButton();
  AmuletsButton(const AmuletsButton&) = delete;
  AmuletsButton& operator=(const AmuletsButton&) = delete;

  void load();
  void readConfig(KR::XmlDataReader& reader);
  void setOpen(bool wantOpen);
  void openAmuletsView();
  void onGameMessage(const GameMessage& message);
  // The script's switch turned off: the flag cleared, the button hidden.
  void disable();
  void setScenePlay(const std::string& name, bool play);
  void update(float dt);
  void draw();

  KR::UIWidget* button = nullptr;
  std::string location, previousView, playingScene;
  bool busy = false;
  bool open = false;
  std::vector<SceneEntry> scenes;
  AE::ISceneNode* totemsScene = nullptr;
  bool delayedOpen = false;
  float delayTimer = 0.0f;
};

}  // namespace HOG
