#include "core/game_state/minigames/swap_type_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr const char* kCantOpenFile = "MINIGAME %s. Can't open file %s";

}  // namespace

void SwapTypeMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 3.0f);
  readSeconds(reader, "moveTime", &moveTime, 1.0f);
  readBoundedInt(reader, "breakFrame", &breakFrame, 10, 0, kMaxFrame);
  readText(reader, "startButton", &startButtonName);
  readSuspendable(reader, &suspendable);
  readBriefing(reader);
  readBoundedInt(reader, "selectedFrame", &selectedFrame, 20, 0, kMaxFrame);
  types.clear();
  if (reader.enterChild("types")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      std::vector<std::string> groups;
      for (auto g = reader.arrayBegin(); g != reader.arrayEnd(); g.next()) {
        std::string name;
        reader.readCurrentString(&name);
        groups.push_back(name);
      }
      types.push_back(groups);
    }
    reader.leaveChild();
  }
  motors.clear();
  if (reader.enterChild("motors")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Motor motor;
      readFlag(reader, "forward", &motor.forward, false);
      readInt(reader, "gearid", &motor.gearid, 0);
      readFloat(reader, "angle", &motor.angle, 0.0f);
      readFloat(reader, "w", &motor.w, 0.0f);
      if (!std::isfinite(motor.angle) || !std::isfinite(motor.w)) {
        warn("motors/w", "a motor's angle or speed is not a number; 0 is used");
        if (!std::isfinite(motor.angle)) motor.angle = 0.0f;
        if (!std::isfinite(motor.w)) motor.w = 0.0f;
      }
      motors.push_back(motor);
    }
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  readText(reader, "gearsSound", &gearsSoundName);
  if (types.empty()) refuse("types", "has no entry");
  if (motors.empty()) refuse("motors", "has no entry");
  gears.clear();
  picks.drop();
  initialized = solved = running = false;
  runTimer = 0.0f;
}

void SwapTypeMinigameViewExtension::forgetNodes() {
  startButtonNode = clickSound = gearsSound = nullptr;
  for (Gear& gear : gears) gear.node = gear.turning = nullptr;
}

void SwapTypeMinigameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  bindFinishNode(kCantOpenFile);
  clickSound = findNode(clickSoundName, "clickSound", kCantOpenFile);
  if (clickSound) clickSound->stop(true);
  gearsSound = findNode(gearsSoundName, "gearsSound", kCantOpenFile);
  if (gearsSound) gearsSound->stop(true);
  startButtonNode = findNode(startButtonName, "startButton", kCantOpenFile);
  // The gears turn only after a press on the start button.
  if (!startButtonNode) refuse("startButton", "names no node");
  startRect = KR::Rect();
  if (startButtonNode) {
    startRect = nodeRect(startButtonNode);
    startButtonNode->stop(true);
    startButtonNode->setEnabled(running);
  }
  if (!initialized) {
    buildGears();
    bindMotors();
    initialized = true;
  } else {
    rebindGears();
  }
}

void SwapTypeMinigameViewExtension::buildGears() {
  gears.clear();
  for (size_t t = 0; t < types.size(); ++t) {
    for (size_t j = 0; j < types[t].size(); ++j) {
      AE::ISceneNode* group = findNode(types[t][j], "types", kCantOpenNode);
      if (!group) continue;
      for (size_t c = 0; c < group->mChildren.size(); ++c) {
        Gear gear;
        gear.node = group->mChildren[c];
        gear.turning = gear.node->mChildren.empty() ? gear.node : gear.node->mChildren[0];
        gear.type = int32_t(t);
        gear.group = int32_t(j);
        gear.childIndex = int32_t(c);
        gear.node->stop(true);
        showFrame(gear.node, breakFrame);
        gear.node->update(0.0f);
        gear.position = worldPosition(gear.node);
        gear.rect = nodeRect(gear.node);
        const KR::Vector2<float> size = gear.turning->getSize();
        gear.rect.right = gear.rect.left + size.x;
        gear.rect.bottom = gear.rect.top + size.y;
        gears.push_back(gear);
      }
    }
  }
}

void SwapTypeMinigameViewExtension::bindMotors() {
  for (size_t k = 0; k < motors.size(); ++k) {
    Motor& motor = motors[k];
    motor.gear = -1;
    // Motor k needs the group of the k-th gear: without that gear it needs
    // nothing it can be given and stays without a gear.
    if (k >= gears.size()) {
      motor.requiredGroup = -1;
      refuse("motors", KR::formatString("motor %d has no gear to take its group", int(k)));
      continue;
    }
    motor.requiredGroup = gears[k].group;
    if (motor.gearid < 0 || size_t(motor.gearid) >= gears.size() || gears[motor.gearid].motor >= 0) {
      refuse("motors/gearid", KR::formatString("motor %d can't take gear %d", int(k), int(motor.gearid)));
      continue;
    }
    Gear& gear = gears[motor.gearid];
    motor.gear = motor.gearid;
    gear.motor = int32_t(k);
    gear.turning->setRotation(motor.angle);
  }
}

void SwapTypeMinigameViewExtension::rebindGears() {
  for (Gear& gear : gears) {
    gear.node = gear.turning = nullptr;
    AE::ISceneNode* group = findNode(types[gear.type][gear.group], "types", nullptr);
    if (!group || size_t(gear.childIndex) >= group->mChildren.size()) continue;
    gear.node = group->mChildren[gear.childIndex];
    gear.turning = gear.node->mChildren.empty() ? gear.node : gear.node->mChildren[0];
    gear.node->stop(true);
    showFrame(gear.node, gear.selected ? selectedFrame : 0);
    // A glide under way goes on from where it was; the others stand on their place.
    if (!gear.moving) gear.node->setWorldPosition(gear.position);
    if (gear.motor >= 0) gear.turning->setRotation(motors[gear.motor].angle);
  }
}

float SwapTypeMinigameViewExtension::motorAngle(const Gear& gear) const {
  return gear.motor >= 0 ? motors[gear.motor].angle : (gear.turning ? gear.turning->mRotation : 0.0f);
}

void SwapTypeMinigameViewExtension::showGear(Gear& gear, bool picked) {
  gear.selected = picked;
  if (!gear.turning) return;
  // The turning node keeps its place on its gear: its world corner swings with
  // the turn about its pivot, so putting it back there would carry the gear off
  // its motor a little further at every pick.
  const float x = gear.turning->mPosX, y = gear.turning->mPosY;
  showFrame(gear.turning, picked ? selectedFrame : 0);
  gear.turning->mPosX = x;
  gear.turning->mPosY = y;
  gear.turning->setRotation(motorAngle(gear));
}

int32_t SwapTypeMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const KR::Vector2<float> at(float(input->x), float(input->y));
  int32_t result = 0;
  int32_t nearest = -1;
  float best = kReach;
  for (size_t i = 0; i < gears.size(); ++i) {
    const Gear& gear = gears[i];
    if (!gear.node || !gear.turning) continue;
    const KR::Vector2<float> size = gear.turning->getSize();
    const KR::Vector2<float> pos = worldPosition(gear.node);
    const float d = distance(KR::Vector2<float>(pos.x + size.x * 0.5f, pos.y + size.y * 0.5f), at);
    if (d < best) {
      best = d;
      nearest = int32_t(i);
    }
  }
  const bool swapping = picks.full() && (gears[picks.first].moving || gears[picks.second].moving);
  if (nearest >= 0 && contains(gears[nearest].rect, at.x, at.y) && !gears[nearest].locked && !gears[nearest].selected &&
      !gears[nearest].spinning) {
    result = 1;
    pick(nearest);
  } else if (!swapping) {
    dropPicks();
  }
  if (contains(startRect, at.x, at.y)) {
    result = 1;
    pressStart();
  }
  return result;
}

void SwapTypeMinigameViewExtension::pick(int32_t i) {
  if (picks.full() && (gears[picks.first].moving || gears[picks.second].moving)) return;
  playSound(clickSound);
  Gear& gear = gears[i];
  if (picks.full()) return;
  if (picks.none()) {
    picks.take(i);
    showGear(gear, true);
    return;
  }
  Gear& first = gears[picks.first];
  if (first.type != gear.type) {
    dropPicks();
    picks.take(i);
    showGear(gear, true);
    return;
  }
  picks.take(i);
  showGear(gear, true);
  // Both are drawn in front of every other gear while they glide.
  float lowest = 2048.0f;
  for (const Gear& g : gears)
    if (g.node) lowest = std::min(lowest, g.node->mPosZ);
  if (gear.node) gear.node->mPosZ = lowest - 1.0f;
  if (first.node) first.node->mPosZ = lowest - 2.0f;
  gear.moveTarget = first.position;
  first.moveTarget = gear.position;
  gear.moving = first.moving = true;
  std::swap(gear.motor, first.motor);
  if (gear.motor >= 0) motors[gear.motor].gear = i;
  if (first.motor >= 0) motors[first.motor].gear = picks.first;
}

void SwapTypeMinigameViewExtension::dropPicks() {
  if (picks.none()) return;
  showGear(gears[picks.first], false);
  if (picks.second >= 0) showGear(gears[picks.second], false);
  picks.drop();
}

void SwapTypeMinigameViewExtension::pressStart() {
  if (solved) return;
  runTimer = 0.0f;
  running = !running;
  if (startButtonNode) startButtonNode->setEnabled(running);
  for (Gear& gear : gears) gear.spinning = !gear.spinning;
  playSound(gearsSound);
}

void SwapTypeMinigameViewExtension::turn(Gear& gear, float dt) {
  if (!gear.spinning) {
    runTimer = 0.0f;
    return;
  }
  if (gear.motor < 0 || !gear.turning) return;
  Motor& motor = motors[gear.motor];
  const float rotation = gear.turning->mRotation + (motor.forward ? -motor.w * dt : motor.w * dt);
  gear.turning->setRotation(rotation);
  motor.angle = rotation;
}

void SwapTypeMinigameViewExtension::move(int32_t i, float dt) {
  Gear& gear = gears[i];
  if (gear.moveTarget.x == -100.0f && gear.moveTarget.y == -100.0f) return;
  const float speed = moveTime > 0.0f ? distance(gear.position, gear.moveTarget) / moveTime : 1e30f;
  KR::Vector2<float> at = gear.node ? worldPosition(gear.node) : gear.position;
  if (!glideStep(&at, gear.moveTarget, speed * dt)) {
    if (gear.node) gear.node->setWorldPosition(at);
    return;
  }
  if (gear.node) gear.node->setWorldPosition(gear.moveTarget);
  gear.position = gear.moveTarget;
  gear.moveTarget = KR::Vector2<float>(-100.0f, -100.0f);
  gear.moving = false;
  if (gear.selected) showGear(gear, false);
  if (gear.turning) gear.turning->setRotation(motorAngle(gear));
  picks.release(i);
}

bool SwapTypeMinigameViewExtension::isSolved() const {
  if (!running) return false;
  for (const Motor& motor : motors) {
    if (motor.gear < 0) return false;
    const Gear& gear = gears[motor.gear];
    if (gear.group != motor.requiredGroup || gear.moving) return false;
  }
  return true;
}

void SwapTypeMinigameViewExtension::updatePuzzle(float dt) {
  for (Gear& gear : gears) {
    if (!gear.node || !gear.turning) continue;
    const KR::Vector2<float> pos = worldPosition(gear.node);
    const KR::Vector2<float> size = gear.turning->getSize();
    gear.rect = KR::Rect(pos.x, pos.y, pos.x + size.x, pos.y + size.y);
  }
  // Copies: an arrival clears its slot.
  const int32_t a = picks.first, b = picks.second;
  if (a >= 0) move(a, dt);
  if (b >= 0) move(b, dt);
  if (!solved) {
    if (runTimer > 1.0f) {
      runTimer = 0.0f;
      pressStart();
      if (gearsSound) gearsSound->stop(true);
    } else {
      for (Gear& gear : gears) turn(gear, dt);
      runTimer += dt;
    }
  } else {
    for (Gear& gear : gears) turn(gear, dt);
  }
  if (!isSolved() && !skipWanted() && !finishReported) return;
  finishTimer += dt;
  if (finishNode && !finishNode->mPlaying) {
    if (!solved)
      finishNode->play(true);
    else
      finishNode->rewindToEnd();
  }
  solved = true;
  for (Gear& gear : gears) gear.locked = true;
  if (!finishReported && finishTimer >= finishTime) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
