#include "core/game_state/minigames/slider_minigame_view_extension.h"

#include <algorithm>
#include "animationeditor/scene_node.h"

#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

// A group node's animation runs 5 frames per unit of its value.
constexpr int32_t kFramesPerValue = 5;

AE::ISceneNode* firstChild(AE::ISceneNode* node) {
  return node && !node->mChildren.empty() ? node->mChildren.front() : nullptr;
}

}  // namespace

SliderMinigameViewExtension::SliderMinigameViewExtension() { finishTime = 5.0f; }

void SliderMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readBoundedInt(reader, "sliderShiningFrame", &shiningFrame, 5, 0, kMaxFrame);
  readBoundedInt(reader, "buttonsPressedFrame", &pressedFrame, 10, 0, kMaxFrame);
  groups.clear();
  if (reader.enterChild("Groups")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Group group;
      reader.readCurrentString(&group.name);
      groups.push_back(std::move(group));
    }
    reader.leaveChild();
  }
  sliders.clear();
  if (reader.enterChild("buttons")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Slider slider;
      readText(reader, "slider", &slider.sliderName);
      readText(reader, "forwardNode", &slider.forwardName);
      readText(reader, "backwardNode", &slider.backwardName);
      readInt(reader, "correctSliderID", &slider.correctId, 1);
      // Positions times the step are frames, and a pair's value is first +
      // first's max x second: bounded, they stay far within 32 bits.
      readBoundedInt(reader, "frameStepAbs", &slider.frameStep, 5, 0, kMaxFrame, "buttons/frameStepAbs");
      readBoundedInt(reader, "maxSliderID", &slider.maxId, 1, 0,
                     std::min(kMaxPositions, kMaxFrame / std::max(slider.frameStep, 1)), "buttons/maxSliderID");
      readBoundedInt(reader, "startSliderID", &slider.currentId, 0, 0, slider.maxId, "buttons/startSliderID");
      if (slider.correctId < 0 || slider.correctId > slider.maxId)
        refuse("buttons/correctSliderID",
               KR::formatString("slider %s can't stand at %d", slider.sliderName.c_str(), int(slider.correctId)));
      sliders.push_back(std::move(slider));
    }
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  // Group g is driven by sliders 2g and 2g+1; a group without both is left
  // without a pair and drives nothing.
  for (size_t g = 0; g < groups.size(); ++g) {
    if (2 * g + 1 >= sliders.size()) {
      warn("Groups", KR::formatString("group %s has no pair of sliders", groups[g].name.c_str()));
      continue;
    }
    groups[g].first = int32_t(2 * g);
    groups[g].second = int32_t(2 * g + 1);
    sliders[2 * g].group = sliders[2 * g + 1].group = int32_t(g);
    groups[g].value = valueOf(groups[g]);
  }
  if (sliders.empty()) refuse("buttons", "has no entry");
  // Only a slider of a pair can be stepped.
  for (const Slider& slider : sliders)
    if (slider.group < 0 && slider.currentId != slider.correctId)
      refuse("Groups", KR::formatString("slider %s belongs to no group and stands wrong", slider.sliderName.c_str()));
}

void SliderMinigameViewExtension::forgetNodes() {
  clickSoundNode = nullptr;
  for (Slider& slider : sliders) slider.stepper.node = slider.forwardNode = slider.backwardNode = nullptr;
  for (Group& group : groups) group.node = nullptr;
}

int32_t SliderMinigameViewExtension::valueOf(const Group& group) const {
  const Slider& first = sliders[size_t(group.first)];
  return first.currentId + first.maxId * sliders[size_t(group.second)].currentId;
}

void SliderMinigameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  bindFinishNode();
  clickSoundNode = findNode(clickSoundName, "clickSound");
  if (clickSoundNode) {
    if (!clickSoundNode->mEnabled) clickSoundNode->setEnabled(true);
    clickSoundNode->stop(true);
  }
  // Every activation shows each slider and group node at its position, so
  // leaving and coming back finds the puzzle where it was left.
  for (Group& group : groups) {
    group.node = nullptr;
    if (group.first < 0) continue;
    group.node = findNode(group.name, "Groups", kCantFindNodeIn);
    // Presses on a pair wait for its group node.
    if (!group.node) {
      refuse("Groups", "a group has no node");
      continue;
    }
    group.node->stop(true);
    group.node->setFrame(kFramesPerValue * group.value);
  }
  for (Slider& slider : sliders) {
    slider.forwardNode = slider.backwardNode = slider.stepper.node = nullptr;
    slider.forwardRect = slider.backwardRect = KR::Rect();
    AE::ISceneNode* found[3] = {};
    const std::string* names[3] = {&slider.forwardName, &slider.backwardName, &slider.sliderName};
    const char* keys[3] = {"buttons/forwardNode", "buttons/backwardNode", "buttons/slider"};
    bool all = true;
    for (int i = 0; i < 3 && all; ++i) {
      found[i] = findNode(*names[i], keys[i], kCantFindNodeIn);
      if (found[i]) {
        found[i]->stop(true);
      } else {
        refuse(keys[i], "a slider has no node");
        all = false;
      }
    }
    slider.forwardNode = found[0];
    slider.backwardNode = found[1];
    slider.stepper.node = found[2];
    if (!all) continue;
    showFrame(slider.stepper.node, slider.currentId * slider.frameStep);
    slider.forwardRect = nodeRect(slider.forwardNode);
    slider.backwardRect = nodeRect(slider.backwardNode);
  }
}

void SliderMinigameViewExtension::step(Slider& slider, int32_t by) {
  if (!slider.stepper.node) return;
  const int32_t from = slider.currentId * slider.frameStep;
  if (by > 0 && slider.currentId < slider.maxId) ++slider.currentId;
  if (by < 0 && slider.currentId > 0) --slider.currentId;
  slider.stepper.play(from, slider.currentId * slider.frameStep);
  playSound(clickSoundNode);
}

void SliderMinigameViewExtension::updateGroup(Group& group) {
  if (!group.node || group.first < 0) return;
  const int32_t value = valueOf(group);
  if (value == group.value) return;
  FrameStepper::play(group.node, kFramesPerValue * group.value, kFramesPerValue * value);
  if (AE::ISceneNode* idle = firstChild(group.node)) idle->stop(true);
  group.value = value;
}

int32_t SliderMinigameViewExtension::handleInput(const InputState* input) {
  if (!input) return 0;
  int32_t result = 0;
  const float x = float(input->x), y = float(input->y);
  for (Slider& slider : sliders) {
    if (input->leftPressed && !slider.stepper.locked && slider.group >= 0) {
      Group& group = groups[size_t(slider.group)];
      // While the pair's group node plays, presses on the pair wait.
      if (group.node && !group.node->mPlaying) {
        int32_t by = 0;
        if (KR::isPointInRect(x, y, slider.forwardRect)) {
          by = 1;
          if (slider.forwardNode) slider.forwardNode->goToFrame(pressedFrame);
        } else if (KR::isPointInRect(x, y, slider.backwardRect)) {
          by = -1;
          if (slider.backwardNode) slider.backwardNode->goToFrame(pressedFrame);
        }
        if (by != 0) {
          step(slider, by);
          updateGroup(group);
          result = 1;
        }
      }
    }
    if (input->leftReleased)
      for (AE::ISceneNode* button : {slider.forwardNode, slider.backwardNode})
        if (button) button->setTime(0.0f, true);
  }
  return result;
}

void SliderMinigameViewExtension::updateGroups() {
  for (Group& group : groups) {
    if (AE::ISceneNode* idle = firstChild(group.node)) {
      if (group.node->mPlaying)
        idle->stop(true);
      else if (!idle->mPlaying)
        idle->play(true);
    }
    if (group.first < 0) continue;
    Slider& first = sliders[size_t(group.first)];
    Slider& second = sliders[size_t(group.second)];
    const bool right = first.currentId == first.correctId && second.currentId == second.correctId;
    for (Slider* slider : {&first, &second}) {
      if (!slider->stepper.node) continue;
      if (AE::ISceneNode* shine = firstChild(slider->stepper.node)) shine->goToFrame(right ? shiningFrame : 0);
      if (right) slider->stepper.locked = true;
    }
  }
}

void SliderMinigameViewExtension::updatePuzzle(float dt) {
  for (Slider& slider : sliders)
    if (AE::ISceneNode* shine = firstChild(slider.stepper.node)) shine->setPlaying(slider.stepper.moving(), true);
  updateGroups();
  bool solved = true;
  for (const Slider& slider : sliders) solved = solved && slider.currentId == slider.correctId;
  doneNow = solved || skipWanted() || finishReported;
  if (!doneNow) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
