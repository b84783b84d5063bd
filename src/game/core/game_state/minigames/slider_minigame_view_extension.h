#pragma once
// The slider groups: sliders of positions 0 .. max, stepped on the press by a
// forward and a backward button each (the button shows its pressed frame
// until any release). Sliders come in pairs, each pair driving a group node
// to 5 frames per unit of first + first's max x second; while a group node
// plays, presses on its pair are ignored. A pair whose sliders both stand
// right shines and locks; with every slider right (or SKIP) the finish node
// plays and holds, and the finish is reported after the finish time.
// Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "sliderShiningFrame" (5), "buttonsPressedFrame" (10), "Groups" (entries
// "v": group node names; group g is driven by sliders 2g and 2g+1),
// "buttons" (entries "slider", "forwardNode", "backwardNode",
// "startSliderID", "correctSliderID" (1), "frameStepAbs" (5), "maxSliderID"
// (1)), "clickSound". A slider's first child is its shine node, a group
// node's first child its idle node.
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class SliderMinigameViewExtension : public MinigameViewExtension {
 public:
  // The most positions a slider may have.
  static constexpr int32_t kMaxPositions = 1000;
  struct Slider {
    std::string sliderName, forwardName, backwardName;
    FrameStepper stepper;  // the slider node and its lock
    AE::ISceneNode* forwardNode = nullptr;
    AE::ISceneNode* backwardNode = nullptr;
    int32_t correctId = 1;
    int32_t currentId = 0;
    int32_t maxId = 1;
    int32_t frameStep = 5;
    KR::Rect forwardRect, backwardRect;
    int32_t group = -1;  // index into groups
  };
  struct Group {
    std::string name;
    int32_t value = 0;
    int32_t first = -1, second = -1;  // indices into sliders; -1 without a pair
    AE::ISceneNode* node = nullptr;
  };

  SliderMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Slider> sliders;
  std::vector<Group> groups;
  int32_t shiningFrame = 5;
  int32_t pressedFrame = 10;
  std::string clickSoundName;
  AE::ISceneNode* clickSoundNode = nullptr;
  bool finishStarted = false;

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  int32_t valueOf(const Group& group) const;
  void step(Slider& slider, int32_t by);
  void updateGroup(Group& group);
  void updateGroups();
};

}  // namespace HOG
