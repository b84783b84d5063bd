#pragma once
// The frame cycling buttons: a click steps every button under the point to
// its next state (after the last one back to state 0) and plays the stretch
// of its node between the two; a click on a moving button is taken and lost.
// Whenever the buttons stand still on a combination its node plays once and
// its hide nodes go off; with every combination reached (in any order) the
// finish node plays and holds, and the finish is reported after the finish
// time. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "buttons" (entries "node", "startFrameID", "maxFrameID" (10), "frameStep"
// (10), "rect" (v0 top, v1 left, v2 bottom, v3 right)), "combinations"
// (entries "value" (entries "v"), "animNode", "hideNodes" (entries "v")).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class RPairesMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Button {
    std::string nodeName;
    FrameStepper stepper;
    KR::Rect rect;
    int32_t frameID = 0;
    int32_t maxFrameID = 10;
    int32_t frameStep = 10;
  };
  struct Combination : StepCombination {
    std::vector<std::string> hideNodeNames;
    std::vector<AE::ISceneNode*> hideNodes;
    std::string animNodeName;
    AE::ISceneNode* animNode = nullptr;
  };

  RPairesMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Button> buttons;
  std::vector<Combination> combinations;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;
};

}  // namespace HOG
