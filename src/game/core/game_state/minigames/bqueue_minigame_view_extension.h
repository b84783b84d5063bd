#pragma once
// The ordered buttons: every click on a button presses it (its node jumps to
// the pressed frame and its light node shows) and appends its id; once the
// ids pressed depart from the correct sequence, every button springs back
// after the reset delay; when they begin with the whole sequence the puzzle
// is solved and finishes through the shared frame. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (3),
// "pressedFrame" (10), "pressedDelay" (0.5), "enableHint" (true), "buttons"
// (entries with "name", "id", "node"), "correct" (single-digit ids, "3,1,2"),
// "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class BQueueMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Button {
    std::string name;       // the node clicked and set to its pressed frame
    std::string lightName;  // shown while pressed
    AE::ISceneNode* node = nullptr;
    AE::ISceneNode* light = nullptr;
    bool pressed = false;
    int32_t id = 0;
    KR::Rect rect;
  };

  BQueueMinigameViewExtension() = default;

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;

  std::vector<Button> buttons;
  std::vector<int32_t> pressedSequence;
  std::vector<int32_t> correctSequence;
  int32_t pressedFrame = 10;
  float resetDelay = 0.5f;
  // Counts the reset delay; each puzzle has its own.
  float resetTimer = 0.0f;
  bool resetPending = false;
  bool setUp = false;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void press(Button& button);
  void resetButtons();
};

}  // namespace HOG
