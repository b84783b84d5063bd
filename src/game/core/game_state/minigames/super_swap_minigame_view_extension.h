#pragma once
// Swap places: every piece node is authored at its right place on frame 0 and
// scattered on the break frame. A first click picks a piece (its selection
// node shows the select frame, or plays with select frame -1), a second click
// sends both gliding to each other's places over the moving time. A piece
// that comes within 5 pixels of its right place, even in passing, plays its
// right-place node and is locked for good. When every piece is locked the
// finish plays and is reported after the finish time. A later visit shows the
// pieces where the player left them. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "breakframe" (20), "movingTime" (whole seconds, 1), "elements" (entries with
// "node", "rightPlaceAnim" (from the scene root), "selectNode", "idleAnimNode"
// and "AABBNode" (under the piece node; the last one's size is the click
// area), "selectFrame" (10)).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class SuperSwapMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    std::string nodeName;
    AE::ISceneNode* node = nullptr;
    std::string rightPlaceAnimName;
    AE::ISceneNode* rightPlaceAnimNode = nullptr;
    std::string selectNodeName;
    AE::ISceneNode* selectNode = nullptr;
    std::string idleAnimNodeName;
    AE::ISceneNode* idleAnimNode = nullptr;
    int32_t selectFrame = 10;
    TimedGlide moveAnimation;
    KR::Rect rect;
    std::string aabbNodeName;
    KR::Vector2<float> aabbSize{0.0f, 0.0f};
    bool inPlace = false;
    KR::Vector2<float> moveTarget{0.0f, 0.0f};
    KR::Vector2<float> current{0.0f, 0.0f};
    KR::Vector2<float> rightPosition{0.0f, 0.0f};
    bool moving = false;
    int32_t depth = 0;
    bool placed = false;  // `current` was taken from the scene once
  };

  // A piece closer than this to its target or right place has reached it.
  static constexpr float kNear = 5.0f;

  SuperSwapMinigameViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Element> elements;
  TwoPicks picks;
  bool solved = false;
  int32_t breakFrame = 20;
  int32_t movingTime = 1;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void showPicked(Element& element);
  void startMove(Element& element);
  void setDepth(Element& element, bool front);
};

}  // namespace HOG
