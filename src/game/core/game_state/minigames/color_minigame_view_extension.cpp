#include "core/game_state/minigames/color_minigame_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

// A missing node shows nothing; a colour id that no main button has gives
// frame -1 (plus the offset), which stands for the first frame.
void show(AE::ISceneNode* node, int32_t frame) {
  if (node) node->setFrame(frame < 0 ? 0 : frame);
}

}  // namespace

ColorMinigameViewExtension::ColorMinigameViewExtension() { finishTime = 3.0f; }

void ColorMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  readSeconds(reader, "delay", &delay, 1.0f);
  readBoundedInt(reader, "selectedFrame", &selectedFrame, 5, 0, kMaxFrame);
  mainButtons.clear();
  if (reader.enterChild("mainButtons")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      MainButton button;
      readText(reader, "node", &button.nodeName);
      // Frames add up with the offset below: both bounded.
      readBoundedInt(reader, "frame", &button.frame, 0, 0, kMaxFrame, "mainButtons/frame");
      readInt(reader, "id", &button.id, 0);
      mainButtons.push_back(button);
    }
    reader.leaveChild();
  }
  secondaryButtons.clear();
  if (reader.enterChild("secondaryButtons")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      SecondaryButton button;
      readText(reader, "node", &button.nodeName);
      readInt(reader, "id", &button.id, 0);
      secondaryButtons.push_back(button);
    }
    reader.leaveChild();
  }
  readBoundedInt(reader, "selectFrameOffset", &selectFrameOffset, 10, 0, kMaxFrame);
  readText(reader, "upclickSound", &upClickSoundName);
  readText(reader, "downclickSound", &downClickSoundName);
  if (mainButtons.empty()) refuse("mainButtons", "has no entry");
  if (secondaryButtons.empty()) refuse("secondaryButtons", "has no entry");
  for (const SecondaryButton& button : secondaryButtons)
    if (std::none_of(mainButtons.begin(), mainButtons.end(), [&](const MainButton& m) { return m.id == button.id; }))
      refuse("secondaryButtons/id", KR::formatString("%d is no main button's id", int(button.id)));
  selectedMain = -1;
}

void ColorMinigameViewExtension::forgetNodes() {
  upClickSound = downClickSound = nullptr;
  for (MainButton& button : mainButtons) button.node = nullptr;
  for (SecondaryButton& button : secondaryButtons) button.node = nullptr;
}

void ColorMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  bindSounds();
  bindButtons(!boundOnce);
  boundOnce = true;
}

void ColorMinigameViewExtension::bindSounds() {
  upClickSound = findNode(upClickSoundName, "upclickSound");
  if (upClickSound) upClickSound->stop(true);
  downClickSound = findNode(downClickSoundName, "downclickSound");
  if (downClickSound) downClickSound->stop(true);
}

int32_t ColorMinigameViewExtension::frameOfId(int32_t id) const {
  for (const MainButton& button : mainButtons)
    if (button.id == id) return button.frame;
  return -1;
}

void ColorMinigameViewExtension::showSolution() {
  for (SecondaryButton& button : secondaryButtons)
    if (button.node) button.node->goToFrame(std::max(0, frameOfId(button.id)));
}

void ColorMinigameViewExtension::bindButtons(bool first) {
  for (size_t i = 0; i < mainButtons.size(); ++i) {
    MainButton& button = mainButtons[i];
    button.node = findNode(button.nodeName, "mainButtons/node");
    if (!button.node) {
      refuse("mainButtons/node", "a button has no node");
      button.rect = KR::Rect();
      continue;
    }
    rest(button.node);
    // A view opened again shows the board as it was left.
    if (!first && int32_t(i) == selectedMain) show(button.node, selectedFrame);
    button.rect = nodeRect(button.node);
  }
  for (SecondaryButton& button : secondaryButtons) {
    button.node = findNode(button.nodeName, "secondaryButtons/node");
    if (!button.node) {
      refuse("secondaryButtons/node", "a button has no node");
      button.rect = KR::Rect();
      continue;
    }
    rest(button.node);
    if (!first) {
      if (button.filled)
        show(button.node, selectFrameOffset + frameOfId(button.assignedId));
      else if (selectedMain >= 0 && size_t(selectedMain) < mainButtons.size())
        show(button.node, mainButtons[size_t(selectedMain)].frame);
    }
    button.rect = nodeRect(button.node);
  }
  if (finishReported) showSolution();
}

void ColorMinigameViewExtension::pressMain(size_t index) {
  for (size_t i = 0; i < mainButtons.size(); ++i)
    if (i != index) show(mainButtons[i].node, 0);
  selectedMain = int32_t(index);
  const MainButton& main = mainButtons[index];
  show(main.node, selectedFrame);
  for (SecondaryButton& button : secondaryButtons)
    if (button.assignedId == -1) show(button.node, main.frame);
  playSound(upClickSound);
}

void ColorMinigameViewExtension::pressSecondary(size_t index) {
  const MainButton& main = mainButtons[size_t(selectedMain)];
  SecondaryButton& place = secondaryButtons[index];
  if (!place.filled) {
    // The colour moves here from any other place that held it.
    for (size_t i = 0; i < secondaryButtons.size(); ++i) {
      SecondaryButton& other = secondaryButtons[i];
      if (i == index || (other.assignedId != -1 && other.assignedId != main.id)) continue;
      other.assignedId = -1;
      other.filled = false;
      show(other.node, main.frame);
    }
    show(place.node, main.frame + selectFrameOffset);
    place.assignedId = main.id;
    place.filled = true;
  } else {
    place.assignedId = -1;
    show(place.node, main.frame);
    place.filled = false;
  }
  playSound(downClickSound);
}

void ColorMinigameViewExtension::deselect() {
  if (selectedMain >= 0 && size_t(selectedMain) < mainButtons.size()) show(mainButtons[size_t(selectedMain)].node, 0);
  selectedMain = -1;
  for (SecondaryButton& button : secondaryButtons) {
    show(button.node, 0);
    button.assignedId = -1;
    button.filled = false;
  }
}

int32_t ColorMinigameViewExtension::handleInput(const InputState* input) {
  if (finishStarted || !input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  bool mainHit = false;
  for (size_t i = 0; i < mainButtons.size(); ++i) {
    if (!mainButtons[i].node || !contains(mainButtons[i].rect, x, y)) continue;
    pressMain(i);
    mainHit = true;
    break;
  }
  if (selectedMain >= 0 && size_t(selectedMain) < mainButtons.size()) {
    for (size_t j = 0; j < secondaryButtons.size(); ++j) {
      if (!secondaryButtons[j].node || !contains(secondaryButtons[j].rect, x, y)) continue;
      pressSecondary(j);
      return 0;
    }
  }
  if (!mainHit) deselect();
  return 0;
}

bool ColorMinigameViewExtension::isSolved() {
  if (finishReported) return true;
  for (const SecondaryButton& button : secondaryButtons)
    if (!button.filled) return false;
  for (const SecondaryButton& button : secondaryButtons)
    if (button.assignedId != button.id) {
      resetPending = true;
      return false;
    }
  return true;
}

void ColorMinigameViewExtension::clearBoard() {
  for (MainButton& button : mainButtons) show(button.node, 0);
  for (SecondaryButton& button : secondaryButtons) {
    show(button.node, 0);
    button.assignedId = -1;
    button.filled = false;
  }
  selectedMain = -1;
  wrongComboTimer = 0.0f;
  resetPending = false;
}

void ColorMinigameViewExtension::updatePuzzle(float dt) {
  if (resetPending) {
    wrongComboTimer += dt;
    if (delay <= wrongComboTimer) clearBoard();
  }
  doneNow = isSolved() || skipWanted();
  if (!doneNow) return;
  if (finishNode && !finishNode->mPlaying) {
    if (!finishStarted && !finishReported) {
      finishNode->play(true);
      lengthenLock(finishTime);
    } else {
      finishNode->rewindToEnd();
    }
  }
  finishStarted = true;
  if (!finishReported) {
    finishTimer += dt;
    if (finishTime <= finishTimer) {
      finishTimer = 0.0f;
      reportFinish();
    }
  }
}

}  // namespace HOG
