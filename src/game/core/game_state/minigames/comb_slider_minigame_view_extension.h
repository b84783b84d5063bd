#pragma once
// The slider lock: sliders of positions 0 .. max, each stepped by a forward
// and a backward button on the press (the button shows its pressed frame until
// any release). A step starts at once, also over a running one, and plays from
// the new frame. Whenever the sliders stand still on a combination its node
// plays once; with every combination reached (in any order) the finish node
// plays and holds, and the finish is reported after the finish time. Only
// the release of a press the lock took is the lock's. Main thread only.
//
// Config keys: "suspendable", "briefing", "finish", "finishTime" (5),
// "pressedButtonFrame" (5), "sliders" (entries "fbutton", "sbutton",
// "startID", "maxID" (5), "frameStep" (10), "sliderNode"), "combinations"
// (entries "values" (entries "v"), "finish").
#include <cstdint>
#include <string>
#include <vector>

#include "core/game_state/minigames/frame_stepper.h"
#include "core/game_state/minigames/minigame_view_extension.h"

namespace HOG {

class CombSliderMinigameViewExtension : public MinigameViewExtension {
 public:
  struct Slider {
    std::string fbuttonName, sbuttonName, sliderNodeName;
    AE::ISceneNode* fbuttonNode = nullptr;
    AE::ISceneNode* sbuttonNode = nullptr;
    AE::ISceneNode* sliderNode = nullptr;
    int32_t position = 0;
    int32_t maxID = 5;
    int32_t frameStep = 10;
    KR::Rect fbuttonRect, sbuttonRect;
  };
  struct Combination : StepCombination {
    std::string finishName;
    AE::ISceneNode* finishNode = nullptr;
  };

  CombSliderMinigameViewExtension();

  void updatePuzzle(float dt) override;
  void onActivate() override;
  int32_t handleInput(const InputState* input) override;

  std::vector<Slider> sliders;
  std::vector<Combination> combinations;
  int32_t pressedButtonFrame = 5;
  bool finishStarted = false;
  bool buttonHeld = false;  // the last press stepped a slider

 protected:
  void readConfig(KR::XmlDataReader& reader) override;
  void forgetNodes() override;

 private:
  void step(Slider& slider, AE::ISceneNode* button, int32_t by);
};

}  // namespace HOG
