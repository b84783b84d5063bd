#pragma once
// The button groups: a click toggles the button of each group nearest to the
// point (when the point lies on it); a group is solved when exactly its
// correct buttons are on, which locks its buttons and plays its animation;
// with every group solved the puzzle waits the finish delay, plays its finish
// under the play state's lock and reports after the finish time. Main thread
// only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "finishDelay" (2), "pressedFrame" (10), "blockedFrame" (20), "controlsGroup"
// (entries with "selectCount" (4), "finishAnim", "correct" ("0,2"), "buttons"
// (entries whose own "v" is a node name)), "clickSound".
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class ButtonsMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Button {
    std::string name;
    int32_t position = 0;  // in its group
    AE::ISceneNode* node = nullptr;
    bool locked = false;
    bool on = false;
    KR::Rect rect;
  };
  struct Group {
    std::vector<Button> buttons;
    std::vector<int32_t> correct;  // positions that must be on
    std::string animationName;
    AE::ISceneNode* animation = nullptr;
    bool done = false;
    int32_t selectCount = 4;
    int32_t onCount = 0;
  };

  ButtonsMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  bool isSolved() const;
  // The button of the group nearest to the point (under 2048 points), or null.
  static Button* nearest(Group& group, float x, float y);

  float finishDelay = 2.0f;
  int32_t pressedFrame = 10;
  int32_t blockedFrame = 20;
  std::vector<Group> groups;
  bool finishStarted = false;
  std::string clickSoundName;
  AE::ISceneNode* clickSound = nullptr;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void toggle(Group& group, Button& button);
  static bool groupSolved(const Group& group);
  void holdAnimationsAtEnd();
};

}  // namespace HOG
