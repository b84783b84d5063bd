#pragma once
// Carriers that gate zones: a press on a carrier turns it a quarter at
// "controlsW" degrees per second (after four quarters it is back at 0). An
// element is pressed, follows the pointer centred on it and is let go: the
// first zone under the pointer takes it when the zone is free, names this
// element and both of its carriers stand at the zone's quarter turns; the
// element then shows frame "blockFrame" there with the put sound and both
// carriers lock. Any other release flies the element home in 0.4 s on a path
// bent 150 points aside. Every zone filled (or SKIP) plays the finish,
// reported after the finish time. Angles, placed elements and locks survive
// leaving the view; an element held when the view was left flies home. Main
// thread only.
//
// A zone's "rect" is read as attributes v0 (top), v1 (left), v2 (bottom), v3
// (right), or failing those as children "v0" to "v3" each with "v".
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "controlsW" (5), "controls", "elements", "blockFrame" (10), "activeZones"
// (entries with "firstControl", "secondControl", "fControlAngleID",
// "sControlAngleID", "elementName", "rect"), "putSound".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/game_state/minigames/drag_hold.h"
#include "core/game_state/minigames/minigame_view_extension.h"

namespace KR {
class Animation;
}

namespace HOG {

class RightPlaceMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Control {
    std::string name;
    AE::ISceneNode* node = nullptr;
    KR::Rect rect;
    int32_t angleId = 0;
    float angle = 0.0f;
    bool rotating = false;
    bool locked = false;
  };
  struct Element {
    Element();
    ~Element();
    Element(Element&&) noexcept;
    Element& operator=(Element&&) noexcept;
    std::string name;
    AE::ISceneNode* node = nullptr;
    KR::Rect rect;
    // The way home: a "Position" track of three keys (0.2 s, 0.2 s, 0 s).
    std::unique_ptr<KR::Animation> moveAnimation;
    KR::Vector2<float> position{0.0f, 0.0f};
    KR::Vector2<float> home{0.0f, 0.0f};
    bool placed = false;
    float restZ = 0.0f;
  };
  struct Zone {
    KR::Rect rect;
    std::string firstControlName, secondControlName;
    int32_t firstControl = -1, secondControl = -1;
    int32_t firstAngleId = 0, secondAngleId = 0;
    std::string elementName;
    bool satisfied = false;
  };

  RightPlaceMinigameViewExtension() { finishTime = 5.0f; }

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;

  float controlsW = 5.0f;
  std::string controlsName;
  std::vector<Control> controls;
  std::string elementsName;
  std::vector<Element> elements;
  int32_t blockFrame = 10;
  std::vector<Zone> zones;
  std::string putSoundName;
  AE::ISceneNode* putSound = nullptr;
  DragHold drag;
  bool initialised = false;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void collect();
  void resolveZoneControls();
  void dropElement(Element& element, const KR::Vector2<float>& point);
  void startReturnMove(Element& element);
};

}  // namespace HOG
