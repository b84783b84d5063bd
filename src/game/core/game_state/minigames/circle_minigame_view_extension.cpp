#include "core/game_state/minigames/circle_minigame_view_extension.h"

#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace HOG {

CircleMinigameViewExtension::CircleMinigameViewExtension() { finishTime = 0.0f; }

void CircleMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finishNode", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 0.0f);
  readSuspendable(reader, &suspendable);
  controls.clear();
  if (!reader.enterChild("controls")) {
    refuse("controls", "is missing");
    return;
  }
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    Control control;
    readText(reader, "animNode", &control.animNode);
    readInt(reader, "correctState", &control.correctState, 0);
    readIntList(reader, "states", &control.states);
    // The start is drawn for every entry, so a broken entry does not shift
    // the draws of the dials after it.
    const int32_t last = int32_t(control.states.size()) - 1;
    const float share = float(KR::sharedRandom()) / float(KR::kSharedRandomMax);
    control.stateIndex = last > 0 ? int32_t(std::floor(float(last) * share)) : 0;
    if (control.stateIndex >= last) control.stateIndex = 0;
    if (reader.enterChild("links")) {
      for (auto l = reader.arrayBegin(); l != reader.arrayEnd(); l.next()) {
        Link link;
        readInt(reader, "stepSize", &link.stepSize, 0);
        // Steps owed add up click by click: a bounded size keeps them in range.
        link.stepSize = bounded("controls/links/stepSize", link.stepSize, -kMaxSteps, kMaxSteps);
        readText(reader, "linkName", &link.linkName);
        control.links.push_back(std::move(link));
      }
      reader.leaveChild();
    }
    if (control.states.size() < 2) {
      warn("controls/states",
           KR::formatString("control %s has fewer than two states and is left out", control.animNode.c_str()));
      continue;
    }
    for (int32_t& frame : control.states) frame = bounded("controls/states", frame, 0, kMaxFrame);
    if (control.correctState < 0 || control.correctState > last - 1)
      refuse("controls/correctState", KR::formatString("control %s can never reach state %d", control.animNode.c_str(),
                                                       int(control.correctState)));
    controls.push_back(std::move(control));
  }
  reader.leaveChild();
  if (controls.empty()) refuse("controls", "has no control with two states");
}

void CircleMinigameViewExtension::forgetNodes() {
  for (Control& control : controls) control.stepper.node = nullptr;
}

void CircleMinigameViewExtension::onActivate() {
  solved = false;
  if (!sceneRoot()) return;
  for (Control& control : controls) {
    AE::ISceneNode* node = findNode(control.animNode, "controls/animNode");
    if (!node) refuse("controls/animNode", "a control has no node");
    control.stepper.node = node;
    control.radius = 0.0f;
    if (node) {
      node->stop(true);
      node->setEnabled(true);
      // A step to state i ends on frame states[i+1]: that frame is what the
      // dial looks like at state i, also when the view is opened again.
      showFrame(node, control.states[size_t(control.stateIndex) + 1]);
      control.radius = node->getSize().x * 0.5f;
    }
    for (Link& link : control.links) {
      link.target = -1;
      for (size_t i = 0; i < controls.size() && link.target < 0; ++i)
        if (controls[i].animNode == link.linkName) link.target = int32_t(i);
      if (link.target < 0)
        KR::log("Can't find control %s (key 'controls/links/linkName' of '%s')", link.linkName.c_str(),
                configName.c_str());
    }
  }
  finishNode = findNode(finishName, "finishNode", nullptr);
  if (finishNode) {
    finishNode->stop(true);
    finishNode->setTime(0.0f, true);
    finishNode->setEnabled(false);
  }
  if (finishReported) showFinished();
}

// A finished puzzle (also one restored from a saved game) shows its finish
// node at its end in place of the dials.
void CircleMinigameViewExtension::showFinished() {
  for (Control& control : controls)
    if (control.stepper.node) control.stepper.node->setEnabled(false);
  if (!finishNode) return;
  finishNode->setEnabled(true);
  finishNode->rewindToEnd();
}

int32_t CircleMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased || solved || finishReported) return 0;
  const float x = float(input->x), y = float(input->y);
  for (size_t i = controls.size(); i-- > 0;) {
    Control& control = controls[i];
    const AE::ISceneNode* node = control.stepper.node;
    if (!node) continue;
    const float cx = node->mWorldMatrix.m[6] + control.radius, cy = node->mWorldMatrix.m[7] + control.radius;
    if (std::hypot(x - cx, y - cy) > control.radius) continue;
    control.stepper.click(FrameStepper::WhileMoving::Queue);
    for (const Link& link : control.links)
      if (link.target >= 0) controls[size_t(link.target)].stepper.pending += link.stepSize;
    return 1;
  }
  return 0;
}

bool CircleMinigameViewExtension::allCorrect() const {
  // A dial without a node can't be shown or clicked: it does not hold the puzzle up.
  for (const Control& control : controls)
    if (control.stepper.node && (control.stepper.moving() || control.stateIndex != control.correctState)) return false;
  return true;
}

void CircleMinigameViewExtension::updatePuzzle(float dt) {
  if (finishReported) return;
  if (!solved) {
    for (Control& control : controls) {
      if (!control.stepper.node || !control.stepper.takePending()) continue;
      const int32_t last = int32_t(control.states.size()) - 1;
      if (++control.stateIndex == last) control.stateIndex = 0;
      control.stepper.play(control.states[size_t(control.stateIndex)], control.states[size_t(control.stateIndex) + 1]);
    }
    solved = allCorrect();
    doneNow = solved;
    return;
  }
  if (finishTimer >= finishTime) {
    reportFinish();
    return;
  }
  // The finish node starts again whenever it stops before the delay is over.
  if (finishNode && !finishNode->mPlaying) {
    for (Control& control : controls)
      if (control.stepper.node) control.stepper.node->setEnabled(false);
    finishNode->setEnabled(true);
    finishNode->play(true);
  }
  finishTimer += dt;
}

}  // namespace HOG
