#pragma once
// Rings turned by dragging around their centres. A press within a ring's grab
// radius takes the first such ring in list order; while the button is down the
// ring turns with the pointer around its centre (the angle is not wrapped); on
// the release a ring within 15 degrees of its correct angle, measured around
// the circle, snaps to it exactly and plays the check sound. Every ring within
// 15 degrees solves the puzzle: the finish node plays once and stays at its
// end, and after the finish time every ring shows its correct angle (a skipped
// puzzle too) and the finish is reported. Angles survive leaving the view, not
// the saved game. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3),
// "elements" (entries with "node", "center" (v0, v1), "radius" (100),
// "correctAngle" (0), "startAngle" (90)), "rightCheckSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "vector2.h"

namespace HOG {

class RPuzzleMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Ring {
    AE::ISceneNode* node = nullptr;
    std::string name;
    KR::Vector2<float> center{0.0f, 0.0f};
    float radius = 100.0f;
    float correctAngle = 0.0f;
    float angle = 90.0f;
    bool grabbed = false;
  };

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // Within 15 degrees of `correct` around the circle (450 matches 90, -350 matches 0).
  static bool isCorrect(float angle, float correct);

  std::vector<Ring> rings;
  std::string rightCheckSoundName;
  AE::ISceneNode* rightCheckSound = nullptr;
  KR::Vector2<float> lastVector{0.0f, 0.0f};
  bool solved = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;
};

}  // namespace HOG
