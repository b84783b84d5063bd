#include "core/game_state/minigames/r_paires_minigame_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

RPairesMinigameViewExtension::RPairesMinigameViewExtension() { finishTime = 5.0f; }

void RPairesMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  buttons.clear();
  if (reader.enterChild("buttons")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Button button;
      readText(reader, "node", &button.nodeName);
      // States times the step are frames: bounded so that the frames stay
      // within kMaxFrame, and the start among the states.
      readBoundedInt(reader, "frameStep", &button.frameStep, 10, 0, kMaxFrame, "buttons/frameStep");
      readBoundedInt(reader, "maxFrameID", &button.maxFrameID, 10, 0, kMaxFrame / std::max(button.frameStep, 1),
                     "buttons/maxFrameID");
      readBoundedInt(reader, "startFrameID", &button.frameID, 0, 0, std::max(button.maxFrameID - 1, 0),
                     "buttons/startFrameID");
      if (!reader.readRect("rect", &button.rect)) button.rect = KR::Rect();
      buttons.push_back(std::move(button));
    }
    reader.leaveChild();
  }
  combinations.clear();
  if (reader.enterChild("combinations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Combination combination;
      readIntList(reader, "value", &combination.values);
      readText(reader, "animNode", &combination.animNodeName);
      if (reader.enterChild("hideNodes")) {
        for (auto h = reader.arrayBegin(); h != reader.arrayEnd(); h.next()) {
          std::string name;
          reader.readCurrentString(&name);
          combination.hideNodeNames.push_back(std::move(name));
        }
        reader.leaveChild();
      }
      combinations.push_back(std::move(combination));
    }
    reader.leaveChild();
  }
  if (buttons.empty()) refuse("buttons", "has no entry");
  if (combinations.empty()) refuse("combinations", "has no entry");
  // Value i is a state of button i.
  for (const Combination& combination : combinations) {
    bool reachable = combination.values.size() <= buttons.size();
    for (size_t i = 0; i < combination.values.size() && reachable; ++i)
      reachable = combination.values[i] >= 0 && combination.values[i] < std::max(buttons[i].maxFrameID, 1);
    if (!reachable) refuse("combinations/value", "a combination names a state no button has");
  }
}

void RPairesMinigameViewExtension::forgetNodes() {
  for (Button& button : buttons) button.stepper.node = nullptr;
  for (Combination& combination : combinations) {
    combination.animNode = nullptr;
    combination.hideNodes.clear();
  }
}

void RPairesMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  // States and reached combinations survive leaving the view: every
  // activation shows each button where it was left.
  for (Button& button : buttons) {
    button.stepper.node = findStoppedNode(button.nodeName, "buttons/node", kCantFindNodeIn);
    if (!button.stepper.node) refuse("buttons/node", "a button has no node");
    if (button.stepper.node) showFrame(button.stepper.node, button.frameID * button.frameStep);
  }
  for (Combination& combination : combinations) {
    combination.animNode = findStoppedNode(combination.animNodeName, "combinations/animNode", kCantFindNodeIn);
    // Found afresh: the previous activation's nodes may belong to a released scene.
    combination.hideNodes.clear();
    for (const std::string& name : combination.hideNodeNames)
      if (AE::ISceneNode* node = findStoppedNode(name, "combinations/hideNodes", kCantFindNodeIn))
        combination.hideNodes.push_back(node);
    // A scene loaded again shows its nodes: a reached combination's stay off.
    if (combination.reached)
      for (AE::ISceneNode* node : combination.hideNodes) node->setEnabled(false);
  }
}

int32_t RPairesMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  // Every button under the point steps: overlapping rectangles move together.
  for (Button& button : buttons) {
    if (!contains(button.rect, x, y)) continue;
    result = 1;
    if (!button.stepper.node || !button.stepper.click(FrameStepper::WhileMoving::Swallow)) continue;
    button.stepper.pending = 0;
    const int32_t from = button.frameID * button.frameStep, to = (button.frameID + 1) * button.frameStep;
    button.frameID = button.frameID >= button.maxFrameID - 1 ? 0 : button.frameID + 1;
    // The wrap to state 0 plays the stretch after the last state.
    button.stepper.play(from, to);
  }
  return result;
}

void RPairesMinigameViewExtension::updatePuzzle(float dt) {
  std::vector<int32_t> states;
  bool still = true;
  for (const Button& button : buttons) {
    states.push_back(button.frameID);
    still = still && !button.stepper.moving();
  }
  bool all = true;
  for (Combination& combination : combinations) {
    if (!combination.reached && still && combination.matches(states, false)) {
      combination.reached = true;
      if (combination.animNode) combination.animNode->play(true);
      for (AE::ISceneNode* node : combination.hideNodes)
        if (node->mEnabled) node->setEnabled(false);
    }
    all = all && combination.reached;
  }
  doneNow = all || skipWanted() || finishReported;
  if (!doneNow) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
