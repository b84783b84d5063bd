#pragma once
// Group swap: a first click chooses a piece (it shows the chosen frame), a
// second click on another piece of its group sends both gliding to each
// other's places in 0.5 s; they trade position numbers when the glide ends.
// A click on a piece of another group moves the choice to it, a click on
// nothing drops it. Solved when every piece stands on its correct number; the
// finish node jumps to its end and the finish is reported after the finish
// time. Leaving the view during a glide puts both pieces back with their old
// numbers. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "enableHint" (true), "elements" (entries with "node", "group",
// "current_position", "correct_position").
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"
#include "core/game_state/minigames/pick_and_glide.h"

namespace HOG {

class SwapGroupsViewExtension : public MinigameViewExtension {
 public:
  struct Element {
    std::string nodeName;
    AE::ISceneNode* node = nullptr;
    int32_t group = 0;
    int32_t currentPosition = 0;
    int32_t correctPosition = 0;
    KR::Rect hitRect;
    TimedGlide moveAnimation;
    KR::Vector2<float> position{0.0f, 0.0f};
    KR::Vector2<float> targetPosition{0.0f, 0.0f};
    int32_t pendingPosition = -1;
  };

  static constexpr float kMoveTime = 0.5f;

  SwapGroupsViewExtension() { finishTime = 5.0f; }

  void updatePuzzle(float dt) override;
  void onActivate() override;
  void onDeactivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;

  std::vector<Element> elements;
  TwoPicks picks;
  int32_t selectFrame = 15;
  bool solved = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void step(Element& element, float dt);
  void clearChoice();
  void choose(int32_t i);
};

}  // namespace HOG
