#pragma once
// The linked circles: dials that turn through a cycle of states. A click in a
// dial's circle gives it one step and every dial it links to its link's step
// size (which may be 0 or negative); steps clicked while a dial turns wait and
// play one after the other. With every dial still at its correct state the
// dials give way to the finish node, and the finish is reported once when the
// finish time has run out. SKIP has no effect. It has no briefing: the brief
// panel shows an empty one rather than the last puzzle's. Main thread only.
//
// States: n frame numbers make the cycle 0 .. n-2; a step to index i plays
// frames states[i] .. states[i+1] (backwards when the first is larger), so a
// dial at state i shows frame states[i+1], from the start and on return.
//
// Config keys: "finishNode", "finishTime" (0), "suspendable", "controls"
// (entries "animNode", "correctState", "states" (entries "v"), "links"
// (entries "stepSize", "linkName")). A dial's start state is drawn from the
// shared random generator at load.
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class CircleMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Link {
    int32_t stepSize = 0;
    std::string linkName;
    int32_t target = -1;  // index into controls, resolved at activation
  };
  struct Control {
    FrameStepper stepper;  // node and queued steps
    int32_t stateIndex = 0;
    int32_t correctState = 0;
    float radius = 0.0f;
    std::string animNode;
    std::vector<int32_t> states;
    std::vector<Link> links;
  };

  // The most steps one click may give a linked dial.
  static constexpr int32_t kMaxSteps = 1000;

  CircleMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;
  // Its finish comes from its own solved test alone: SKIP does nothing here.
  bool takesSkip() const override { return false; }

  bool solved = false;
  std::vector<Control> controls;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  bool allCorrect() const;
  void showFinished();
};

}  // namespace HOG
