#pragma once
// A picture seen through a telescope: while the left button is down the
// picture node follows the pointer's movement (by its delta, never centred on
// it), kept within fixed bounds; a release with the picture within "accuracy"
// of the current spot's position finds that spot: its animation plays, the
// change animation runs the frames of the spot just found, and the first spot
// of the list not yet found becomes the current one. Every spot found (or
// SKIP) plays the finish, reported after the finish time. Every event is taken
// (result 1). Found spots survive leaving the view; each activation makes the
// first spot of the list current again. Main thread only.
//
// Without a picture node every release finds a spot; a list without spots is
// found on the first release.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3),
// "changeCombAnim", "moveNode", "accuracy" (0), "inputCircleCenter" (v0, v1)
// and "inputCircleRadius" (kept, unused), "combinations" (entries with
// "correctPosition" (v0, v1), "startframe", "endframe", "finishAnim").
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "vector2.h"

namespace HOG {

class TelescopeMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Spot {
    KR::Vector2<float> correctPosition{0.0f, 0.0f};
    bool found = false;
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    std::string finishAnimName;
    AE::ISceneNode* finishAnim = nullptr;
  };

  // The picture's world position stays within these bounds.
  static constexpr float kMinX = -1949.0f, kMaxX = 1949.0f, kMinY = -997.0f, kMaxY = 839.0f;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  // The picture stands on the current spot (always, without picture or spot).
  bool onCurrentSpot() const;

  std::string changeCombAnimName;
  AE::ISceneNode* changeCombAnim = nullptr;
  std::string moveNodeName;
  AE::ISceneNode* moveNode = nullptr;
  KR::Vector2<float> inputCircleCenter{0.0f, 0.0f};
  float inputCircleRadius = 0.0f;
  float accuracy = 0.0f;
  KR::Vector2<float> lastPointer{0.0f, 0.0f};
  std::vector<Spot> spots;
  int32_t current = -1;
  bool allFound = false;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void findCurrent();
};

}  // namespace HOG
