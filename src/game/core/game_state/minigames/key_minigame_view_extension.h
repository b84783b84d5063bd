#pragma once
// The staged controls: each control (a rectangle or a circle of the scene)
// cycles through its stages; a click plays its node from the current stage's
// frame to the next one's, and after the last stage it starts over. A click on
// a moving control only sounds. Anim groups play, and lock their controls,
// while all of their controls stand at their correct stages; with every
// control still and correct all controls lock, the finish node plays and the
// finish is reported after the finish time. Main thread only.
//
// Controls are hit in depth order (nearest first by the nodes' Z, then in
// configuration order); the list itself keeps configuration order, which
// the anims' slots index.
//
// Config keys: "correct" ("2,0,1": correct stage per control), "finish",
// "finishTime" (0), "enableHint" (true), "suspendable", "controls" (entries
// "animNode", "controlType" ("circle" or a rectangle), "actionArea" (v0 top,
// v1 left, v2 bottom, v3 right), "actionCenter", "actionRadius", "startValue"
// (drawn from the shared random generator when missing), "stages" (entries
// "v": N frames make N-1 stages)), "briefing", "clickSound", "anims" (entries
// "animName", "slots" (entries "v")).
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/minigame_view_extension.h"
#include "vector2.h"

namespace HOG {

class KeyMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Stage {
    float frame = 0.0f;
    float span = 0.0f;
    bool correct = false;
  };
  struct Control {
    FrameStepper stepper;  // node, swallowed clicks, lock
    std::vector<Stage> stages;
    std::string animNode;
    KR::Rect actionArea;
    int32_t currentStage = 0;
    bool isRect = true;
    KR::Vector2<float> actionCenter;
    float actionRadius = 0.0f;
  };
  struct Anim {
    std::vector<int32_t> slots;
    std::string animName;
    AE::ISceneNode* node = nullptr;
  };

  KeyMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Control> controls;
  std::vector<Anim> anims;
  KR::Vector2<float> viewOffset;
  std::string clickSoundName;
  AE::ISceneNode* clickSoundNode = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void readControl(KR::XmlDataReader& reader, int32_t correct);
  bool hits(const Control& control, float x, float y) const;
  static int32_t frameOf(const Control& control);
  bool solvedNow();
};

}  // namespace HOG
