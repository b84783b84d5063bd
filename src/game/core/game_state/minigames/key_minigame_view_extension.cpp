#include "core/game_state/minigames/key_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "core/game_state/views/view.h"
#include "format_string.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "xml_data_reader.h"

namespace HOG {

KeyMinigameViewExtension::KeyMinigameViewExtension() { finishTime = 0.0f; }

void KeyMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  viewOffset = view ? view->position : KR::Vector2<float>();
  std::string correctText;
  readText(reader, "correct", &correctText);
  std::vector<int32_t> correct;
  parseNumberList(correctText, &correct);
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 0.0f);
  readEnableHint(reader);
  readSuspendable(reader, &suspendable);
  controls.clear();
  if (reader.enterChild("controls")) {
    int32_t index = 0;
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next(), ++index) {
      int32_t wanted = 0;
      if (size_t(index) < correct.size())
        wanted = correct[size_t(index)];
      else
        warn("correct", KR::formatString("control %d has no correct stage; stage 0 is taken", int(index)));
      readControl(reader, wanted);
    }
    reader.leaveChild();
  }
  if (controls.empty()) refuse("controls", "has no entry");
  readBriefing(reader);
  readText(reader, "clickSound", &clickSoundName);
  anims.clear();
  if (reader.enterChild("anims")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Anim anim;
      readText(reader, "animName", &anim.animName);
      readIntList(reader, "slots", &anim.slots);
      anims.push_back(std::move(anim));
    }
    reader.leaveChild();
  }
}

void KeyMinigameViewExtension::readControl(KR::XmlDataReader& reader, int32_t correct) {
  Control control;
  readText(reader, "animNode", &control.animNode);
  std::string type;
  readText(reader, "controlType", &type);
  control.isRect = type != "circle";
  if (!reader.readRect("actionArea", &control.actionArea)) control.actionArea = KR::Rect();
  if (!reader.readVector2("actionCenter", &control.actionCenter)) control.actionCenter = KR::Vector2<float>();
  readFloat(reader, "actionRadius", &control.actionRadius, 0.0f);
  control.actionArea = KR::Rect(control.actionArea.left + viewOffset.x, control.actionArea.top + viewOffset.y,
                                control.actionArea.right + viewOffset.x, control.actionArea.bottom + viewOffset.y);
  control.actionCenter =
      KR::Vector2<float>(control.actionCenter.x + viewOffset.x, control.actionCenter.y + viewOffset.y);
  int32_t start = 0;
  const bool hasStart = reader.readInt("startValue", &start);
  std::vector<float> values;
  if (reader.enterChild("stages")) {
    for (auto s = reader.arrayBegin(); s != reader.arrayEnd(); s.next()) {
      std::string text;
      reader.readCurrentString(&text);
      // Stage values are frames: a value that is not a frame number is bounded.
      float value = std::strtof(text.c_str(), nullptr);
      if (!(value >= 0.0f && value <= float(kMaxFrame))) {
        const float to = std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, float(kMaxFrame));
        warn("controls/stages",
             KR::formatString("%s is no frame from 0 to %d; %g is used", text.c_str(), int(kMaxFrame), double(to)));
        value = to;
      }
      values.push_back(value);
    }
    reader.leaveChild();
  }
  if (values.size() < 2) {
    // One stage that goes nowhere: the control stands still and counts as correct.
    warn("controls/stages", KR::formatString("control %s needs two stage values", control.animNode.c_str()));
    values.resize(2, values.empty() ? 0.0f : values[0]);
    values[1] = values[0];
  }
  const int32_t count = int32_t(values.size()) - 1;
  if (correct < 0 || correct >= count) {
    warn("correct", KR::formatString("control %s has no stage %d", control.animNode.c_str(), int(correct)));
    correct = std::clamp(correct, 0, count - 1);
  }
  // The draw happens for every control without a start, in configuration order.
  if (!hasStart) {
    const float share = float(KR::sharedRandom()) / float(KR::kSharedRandomMax);
    start = int32_t(std::floor(float(count) * share));
    if (start >= count) start = 0;
  } else if (start < 0 || start >= count) {
    warn("controls/startValue",
         KR::formatString("control %s has no start stage %d", control.animNode.c_str(), int(start)));
    start = std::clamp(start, 0, count - 1);
  }
  control.currentStage = start;
  for (int32_t i = 0; i < count; ++i) {
    Stage stage;
    stage.frame = values[size_t(i)];
    stage.span = std::trunc(values[size_t(i) + 1]) - std::trunc(values[size_t(i)]);
    stage.correct = i == correct;
    control.stages.push_back(stage);
  }
  controls.push_back(std::move(control));
}

void KeyMinigameViewExtension::forgetNodes() {
  clickSoundNode = nullptr;
  for (Control& control : controls) control.stepper.node = nullptr;
  for (Anim& anim : anims) anim.node = nullptr;
}

void KeyMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  clickSoundNode = findNode(clickSoundName, "clickSound");
  if (clickSoundNode) clickSoundNode->stop(true);
  // Stages, waiting steps and locks survive leaving the view; the next
  // update shows every control at its stage.
  for (Control& control : controls) {
    control.stepper.node = findNode(control.animNode, "controls/animNode");
    if (!control.stepper.node) refuse("controls/animNode", "a control has no node");
    if (control.stepper.node) control.stepper.node->stop(true);
  }
  for (Anim& anim : anims) {
    anim.node = findNode(anim.animName, "anims/animName", nullptr);
    if (anim.node) anim.node->stop(true);
  }
}

int32_t KeyMinigameViewExtension::frameOf(const Control& control) {
  return int32_t(control.stages[size_t(control.currentStage)].frame);
}

bool KeyMinigameViewExtension::hits(const Control& control, float x, float y) const {
  if (control.isRect) return contains(control.actionArea, x, y);
  return std::hypot(x - control.actionCenter.x, y - control.actionCenter.y) < control.actionRadius;
}

int32_t KeyMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  // Depth order without moving the controls, so that the anims' slots keep
  // naming the same controls.
  std::vector<size_t> order;
  for (size_t i = 0; i < controls.size(); ++i)
    if (controls[i].stepper.node) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return controls[a].stepper.node->mPosZ < controls[b].stepper.node->mPosZ;
  });
  for (size_t i : order) {
    Control& control = controls[i];
    if (control.stepper.locked || !hits(control, x, y)) continue;
    playSound(clickSoundNode);
    control.stepper.click(FrameStepper::WhileMoving::Swallow);
    return 1;
  }
  return 0;
}

bool KeyMinigameViewExtension::solvedNow() {
  if (finishReported) return true;
  for (const Control& control : controls)
    if (!control.stages[size_t(control.currentStage)].correct || control.stepper.moving()) return false;
  for (Control& control : controls) control.stepper.locked = true;
  return true;
}

void KeyMinigameViewExtension::updatePuzzle(float dt) {
  for (Control& control : controls) {
    if (!control.stepper.node || control.stepper.moving()) continue;
    showFrame(control.stepper.node, frameOf(control));
    if (!control.stepper.takePending()) continue;
    const Stage& stage = control.stages[size_t(control.currentStage)];
    control.stepper.play(int32_t(stage.frame), int32_t(stage.frame + stage.span));
    if (++control.currentStage >= int32_t(control.stages.size())) control.currentStage = 0;
  }
  for (Anim& anim : anims) {
    bool ready = anim.node && !anim.node->mPlaying;
    for (int32_t slot : anim.slots)
      if (ready && slot >= 0 && size_t(slot) < controls.size()) {
        const Control& control = controls[size_t(slot)];
        ready = control.stages[size_t(control.currentStage)].correct;
      }
    if (!ready) continue;
    anim.node->play(true);
    for (int32_t slot : anim.slots)
      if (slot >= 0 && size_t(slot) < controls.size()) controls[size_t(slot)].stepper.locked = true;
  }
  doneNow = solvedNow() || skipWanted();
  if (!doneNow) return;
  if (finishNode) {
    if (!finishReported)
      finishNode->play(true);
    else
      finishNode->rewindToEnd();
  }
  if (finishReported) return;
  finishTimer += dt;
  if (finishTime <= finishTimer) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
