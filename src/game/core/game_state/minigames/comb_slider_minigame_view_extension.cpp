#include "core/game_state/minigames/comb_slider_minigame_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

// A puzzle whose configuration can't be read still needs a finish time and a
// pressed frame: the loader's defaults.
CombSliderMinigameViewExtension::CombSliderMinigameViewExtension() { finishTime = 5.0f; }

void CombSliderMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readBoundedInt(reader, "pressedButtonFrame", &pressedButtonFrame, 5, 0, kMaxFrame);
  sliders.clear();
  if (reader.enterChild("sliders")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Slider slider;
      readText(reader, "fbutton", &slider.fbuttonName);
      readText(reader, "sbutton", &slider.sbuttonName);
      // Positions times the step are frames: both bounded so that the frames
      // stay within kMaxFrame.
      readBoundedInt(reader, "frameStep", &slider.frameStep, 10, 0, kMaxFrame, "sliders/frameStep");
      readBoundedInt(reader, "maxID", &slider.maxID, 5, 0, kMaxFrame / std::max(slider.frameStep, 1), "sliders/maxID");
      readBoundedInt(reader, "startID", &slider.position, 0, 0, slider.maxID, "sliders/startID");
      readText(reader, "sliderNode", &slider.sliderNodeName);
      sliders.push_back(std::move(slider));
    }
    reader.leaveChild();
  }
  combinations.clear();
  if (reader.enterChild("combinations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Combination combination;
      readIntList(reader, "values", &combination.values);
      readText(reader, "finish", &combination.finishName);
      combinations.push_back(std::move(combination));
    }
    reader.leaveChild();
  }
  if (sliders.empty()) refuse("sliders", "has no entry");
  if (combinations.empty()) refuse("combinations", "has no entry");
  // Each slider needs a value it can stand on.
  for (const Combination& combination : combinations) {
    bool reachable = combination.values.size() >= sliders.size();
    for (size_t i = 0; i < sliders.size() && reachable; ++i)
      reachable = combination.values[i] >= 0 && combination.values[i] <= sliders[i].maxID;
    if (!reachable) refuse("combinations/values", "a combination has no position of every slider");
  }
}

void CombSliderMinigameViewExtension::forgetNodes() {
  for (Slider& slider : sliders) slider.fbuttonNode = slider.sbuttonNode = slider.sliderNode = nullptr;
  for (Combination& combination : combinations) combination.finishNode = nullptr;
}

void CombSliderMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  // Positions and reached combinations survive leaving the view: every
  // activation shows each slider where it was left.
  for (Slider& slider : sliders) {
    slider.fbuttonNode = findStoppedNode(slider.fbuttonName, "sliders/fbutton", kCantFindNodeIn);
    slider.sbuttonNode = findStoppedNode(slider.sbuttonName, "sliders/sbutton", kCantFindNodeIn);
    slider.fbuttonRect = slider.fbuttonNode ? nodeRect(slider.fbuttonNode) : KR::Rect();
    slider.sbuttonRect = slider.sbuttonNode ? nodeRect(slider.sbuttonNode) : KR::Rect();
    slider.sliderNode = findStoppedNode(slider.sliderNodeName, "sliders/sliderNode", kCantFindNodeIn);
    if (!slider.sliderNode) refuse("sliders/sliderNode", "a slider has no node");
    if (!slider.fbuttonNode && !slider.sbuttonNode) refuse("sliders/fbutton", "a slider has no button");
    if (slider.sliderNode) showFrame(slider.sliderNode, slider.position * slider.frameStep);
  }
  for (Combination& combination : combinations)
    combination.finishNode = findStoppedNode(combination.finishName, "combinations/finish", kCantFindNodeIn);
}

void CombSliderMinigameViewExtension::step(Slider& slider, AE::ISceneNode* button, int32_t by) {
  if (!slider.sliderNode) return;
  showFrame(button, pressedButtonFrame);
  const int32_t from = slider.position * slider.frameStep;
  slider.position = std::clamp(slider.position + by, 0, std::max(slider.maxID, 0));
  const int32_t to = slider.position * slider.frameStep;
  // A press over a running step starts again from the new frame.
  if (from != to) FrameStepper::play(slider.sliderNode, from, to);
}

int32_t CombSliderMinigameViewExtension::handleInput(const InputState* input) {
  if (!input) return 0;
  int32_t result = 0;
  if (input->leftPressed) {
    const float x = float(input->x), y = float(input->y);
    for (Slider& slider : sliders) {
      if (contains(slider.fbuttonRect, x, y)) {
        step(slider, slider.fbuttonNode, 1);
      } else if (contains(slider.sbuttonRect, x, y)) {
        step(slider, slider.sbuttonNode, -1);
      } else {
        continue;
      }
      result = 1;
      break;
    }
  }
  if (result) buttonHeld = true;
  if (input->leftReleased) {
    for (Slider& slider : sliders)
      for (AE::ISceneNode* button : {slider.fbuttonNode, slider.sbuttonNode})
        if (button) showFrame(button, 0);
    // Only the release of a press the lock took is its own: any other
    // release goes on to the view's triggers, the way back among them.
    if (buttonHeld) result = 1;
    buttonHeld = false;
  }
  return result;
}

void CombSliderMinigameViewExtension::updatePuzzle(float dt) {
  std::vector<int32_t> positions;
  bool still = true;
  for (const Slider& slider : sliders) {
    positions.push_back(slider.position);
    still = still && !FrameStepper::moving(slider.sliderNode);
  }
  bool all = true;
  for (Combination& combination : combinations) {
    if (!combination.reached && still && combination.matches(positions, true)) {
      combination.reached = true;
      if (combination.finishNode) combination.finishNode->play(true);
    }
    all = all && combination.reached;
  }
  doneNow = all || skipWanted() || finishReported;
  if (!doneNow) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
