#include "core/game_state/minigames/bqueue_minigame_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "xml_data_reader.h"

namespace HOG {

void BQueueMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  readInt(reader, "pressedFrame", &pressedFrame, 10);
  readFloat(reader, "pressedDelay", &resetDelay, 0.5f);
  readEnableHint(reader);
  buttons.clear();
  if (reader.enterChild("buttons")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Button button;
      readText(reader, "name", &button.name);
      readInt(reader, "id", &button.id, 0);
      readText(reader, "node", &button.lightName);
      buttons.push_back(button);
    }
    reader.leaveChild();
  }
  std::string correct;
  readText(reader, "correct", &correct);
  correctSequence.clear();
  parseNumberList(correct, &correctSequence);
  readText(reader, "clickSound", &clickSoundName);
  // Every button is pressed once at most: each id of the sequence needs a
  // button of its own.
  if (buttons.empty()) refuse("buttons", "has no entry");
  if (correctSequence.empty()) refuse("correct", "names no button");
  for (int32_t id : correctSequence) {
    const auto wanted = std::count(correctSequence.begin(), correctSequence.end(), id);
    const auto offered =
        std::count_if(buttons.begin(), buttons.end(), [id](const Button& button) { return button.id == id; });
    if (wanted > offered) refuse("correct", KR::formatString("names id %d more often than buttons have it", int(id)));
  }
}

void BQueueMinigameViewExtension::forgetNodes() {
  clickSound = nullptr;
  for (Button& button : buttons) button.node = button.light = nullptr;
}

void BQueueMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode(kCantOpenNode);
  clickSound = findNode(clickSoundName, "clickSound", kCantOpenNode);
  if (clickSound) clickSound->stop(true);
  // Every activation finds the nodes again (the scene may have been loaded
  // anew) and takes the rectangles from where the nodes stand in the view.
  for (Button& button : buttons) {
    button.node = findNode(button.name, "buttons/name", setUp ? nullptr : kCantOpenNode);
    button.light = findNode(button.lightName, "buttons/node", nullptr);
    if (!button.node && std::count(correctSequence.begin(), correctSequence.end(), button.id) > 0)
      refuse("buttons/name", KR::formatString("button %d has no node", int(button.id)));
    if (button.light) button.light->setEnabled(button.pressed);
    if (button.node) {
      if (button.pressed)
        showFrame(button.node, pressedFrame);
      else
        rest(button.node);
    }
    button.rect = nodeRect(button.node);
  }
  setUp = true;
}

void BQueueMinigameViewExtension::press(Button& button) {
  if (!button.node || button.pressed) return;
  playSound(clickSound);
  button.pressed = true;
  showFrame(button.node, pressedFrame);
  if (button.light) button.light->setEnabled(true);
  pressedSequence.push_back(button.id);
}

int32_t BQueueMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  for (Button& button : buttons) {
    if (!button.node || !contains(button.rect, x, y)) continue;
    result = 1;
    press(button);
    // Presses past the end of the sequence have nothing to compare with: the
    // puzzle is solved by then and they change nothing.
    const size_t n = std::min(pressedSequence.size(), correctSequence.size());
    for (size_t i = 0; i < n; ++i)
      if (pressedSequence[i] != correctSequence[i]) resetPending = true;
  }
  return result;
}

void BQueueMinigameViewExtension::resetButtons() {
  pressedSequence.clear();
  for (Button& button : buttons) {
    button.pressed = false;
    if (button.node) rest(button.node);
    if (button.light) button.light->setEnabled(false);
  }
}

bool BQueueMinigameViewExtension::isSolved() const {
  if (pressedSequence.size() < correctSequence.size()) return false;
  for (size_t i = 0; i < correctSequence.size(); ++i)
    if (pressedSequence[i] != correctSequence[i]) return false;
  return true;
}

void BQueueMinigameViewExtension::updatePuzzle(float dt) {
  if (resetPending) {
    resetTimer += dt;
    if (resetTimer > resetDelay) {
      resetPending = false;
      resetTimer = 0.0f;
      resetButtons();
    }
  }
  runFinishSequence(dt, isSolved());
}

}  // namespace HOG
