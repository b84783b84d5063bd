#include "core/game_state/minigames/buttons_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

bool listed(const std::vector<int32_t>& list, int32_t value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

ButtonsMinigameViewExtension::ButtonsMinigameViewExtension() { finishTime = 5.0f; }

void ButtonsMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readFloat(reader, "finishDelay", &finishDelay, 2.0f);
  readInt(reader, "pressedFrame", &pressedFrame, 10);
  readInt(reader, "blockedFrame", &blockedFrame, 20);
  groups.clear();
  if (reader.enterChild("controlsGroup")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Group group;
      readInt(reader, "selectCount", &group.selectCount, 4);
      readText(reader, "finishAnim", &group.animationName);
      std::string correct;
      readText(reader, "correct", &correct);
      parseNumberList(correct, &group.correct);
      if (reader.enterChild("buttons")) {
        for (auto b = reader.arrayBegin(); b != reader.arrayEnd(); b.next()) {
          Button button;
          reader.readCurrentString(&button.name);
          button.position = int32_t(group.buttons.size());
          group.buttons.push_back(button);
        }
        reader.leaveChild();
      }
      // A correct position that is no button of the group could never be met.
      for (auto c = group.correct.begin(); c != group.correct.end();) {
        if (*c >= 0 && *c < int32_t(group.buttons.size())) {
          ++c;
          continue;
        }
        KR::log("MINIGAME %s. Group %d has no button at correct position %d", configName.c_str(), it.getIndex(), *c);
        c = group.correct.erase(c);
      }
      if (group.buttons.empty()) refuse("controlsGroup/buttons", "has no entry");
      groups.push_back(std::move(group));
    }
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  if (groups.empty()) refuse("controlsGroup", "has no entry");
}

void ButtonsMinigameViewExtension::forgetNodes() {
  clickSound = nullptr;
  for (Group& group : groups) {
    group.animation = nullptr;
    for (Button& button : group.buttons) button.node = nullptr;
  }
}

void ButtonsMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  clickSound = findNode(clickSoundName, "clickSound");
  if (clickSound) clickSound->stop(true);
  for (Group& group : groups) {
    group.animation = findNode(group.animationName, "controlsGroup/finishAnim");
    if (group.animation) group.animation->stop(true);
    for (Button& button : group.buttons) {
      button.node = findNode(button.name, "controlsGroup/buttons");
      if (!button.node) {
        // A button that must be pressed can't be without its node.
        if (listed(group.correct, button.position))
          refuse("controlsGroup/buttons", "a button of the correct ones has no node");
        button.rect = KR::Rect();
        continue;
      }
      // A finished puzzle (also one restored from a saved game) shows its
      // solution: every correct button of the group pressed.
      const bool shownOn = finishReported ? listed(group.correct, button.position) : button.on;
      button.node->stop(true);
      showFrame(button.node, shownOn ? pressedFrame : 0);
      // The view's position is in the world position at every activation.
      button.rect = nodeRect(button.node);
    }
    if (group.done && group.animation) group.animation->rewindToEnd();
  }
}

ButtonsMinigameViewExtension::Button* ButtonsMinigameViewExtension::nearest(Group& group, float x, float y) {
  Button* best = nullptr;
  int32_t bestDistance = 2048;
  for (Button& button : group.buttons) {
    if (!button.node) continue;
    const float cx = (button.rect.left + button.rect.right) * 0.5f, cy = (button.rect.top + button.rect.bottom) * 0.5f;
    const float distance = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    if (distance < float(bestDistance)) {
      best = &button;
      bestDistance = int32_t(distance);
    }
  }
  return best;
}

bool ButtonsMinigameViewExtension::groupSolved(const Group& group) {
  for (const Button& button : group.buttons)
    if (button.on != listed(group.correct, button.position)) return false;
  return true;
}

void ButtonsMinigameViewExtension::toggle(Group& group, Button& button) {
  if (!button.locked) {
    playSound(clickSound);
    button.on = !button.on;
    group.onCount += button.on ? 1 : -1;
    showFrame(button.node, button.on ? pressedFrame : 0);
  }
  if (!groupSolved(group)) return;
  for (Button& b : group.buttons) b.locked = true;
  group.done = true;
  if (group.animation) group.animation->play(true);
}

int32_t ButtonsMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  for (Group& group : groups) {
    Button* button = nearest(group, x, y);
    if (!button || !contains(button->rect, x, y)) continue;
    result = 1;
    toggle(group, *button);
  }
  return result;
}

bool ButtonsMinigameViewExtension::isSolved() const {
  if (finishReported) return true;
  for (const Group& group : groups)
    if (!group.done) return false;
  return true;
}

void ButtonsMinigameViewExtension::holdAnimationsAtEnd() {
  for (Group& group : groups)
    if (group.animation && !group.animation->mPlaying) group.animation->rewindToEnd();
}

void ButtonsMinigameViewExtension::updatePuzzle(float dt) {
  doneNow = isSolved() || skipWanted();
  if (!doneNow || finishReported) return;
  finishTimer += dt;
  if (finishTimer > finishDelay) {
    if (skipRequest) {
      for (Group& group : groups) {
        if (!group.animation || group.animation->mPlaying) continue;
        if (!finishStarted)
          group.animation->play(true);
        else
          group.animation->rewindToEnd();
      }
    }
    if (finishNode && !finishNode->mPlaying) {
      if (!finishStarted) {
        finishNode->play(true);
        finishStarted = true;
        lengthenLock(finishTime);
      } else {
        finishNode->rewindToEnd();
        holdAnimationsAtEnd();
      }
    }
  }
  if (finishTime <= finishTimer) reportFinish();
}

}  // namespace HOG
