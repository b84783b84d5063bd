#include "core/game_state/minigames/rpuzzle_minigame_view_extension.h"

#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
constexpr float kTolerance = 15.0f;
constexpr float kDegreesPerRadian = 57.29577951308232f;
}  // namespace

bool RPuzzleMinigameViewExtension::isCorrect(float angle, float correct) {
  if (!std::isfinite(angle) || !std::isfinite(correct)) return false;
  // The distance around the circle, 0 to 180.
  float apart = std::fmod(std::fabs(double(angle) - double(correct)), 360.0);
  if (apart > 180.0f) apart = 360.0f - apart;
  return apart < kTolerance;
}

void RPuzzleMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  rings.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Ring ring;
      readText(reader, "node", &ring.name);
      reader.readVector2("center", &ring.center);
      readFloat(reader, "radius", &ring.radius, 100.0f);
      readFloat(reader, "correctAngle", &ring.correctAngle, 0.0f);
      readFloat(reader, "startAngle", &ring.angle, 90.0f);
      if (!std::isfinite(ring.correctAngle)) refuse("elements/correctAngle", "is not a number");
      if (!std::isfinite(ring.angle)) {
        warn("elements/startAngle", "is not a number; 90 is used");
        ring.angle = 90.0f;
      }
      rings.push_back(ring);
    }
    reader.leaveChild();
  }
  if (rings.empty()) refuse("elements", "has no entry");
  readText(reader, "rightCheckSound", &rightCheckSoundName);
  solved = false;
  finishTimer = 0.0f;
}

void RPuzzleMinigameViewExtension::forgetNodes() {
  rightCheckSound = nullptr;
  for (Ring& ring : rings) ring.node = nullptr;
}

void RPuzzleMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode(kCantOpenNode);
  rightCheckSound = findNode(rightCheckSoundName, "rightCheckSound");
  if (rightCheckSound) rightCheckSound->stop(true);
  for (Ring& ring : rings) {
    // A ring held when the view was left is let go.
    ring.grabbed = false;
    ring.node = findNode(ring.name, "elements/node", kCantOpenNode);
    if (!ring.node) {
      refuse("elements/node", "a ring has no node");
      continue;
    }
    ring.node->stop(true);
    // A scene loaded again shows the angles the player left.
    ring.node->setRotation(ring.angle);
  }
}

int32_t RPuzzleMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || solved) return 0;
  const KR::Vector2<float> at(float(input->x), float(input->y));
  int32_t result = 0;
  if (input->leftPressed) {
    for (Ring& ring : rings) {
      const float dx = at.x - ring.center.x, dy = at.y - ring.center.y;
      if (std::sqrt(dx * dx + dy * dy) > ring.radius) continue;
      ring.grabbed = true;
      lastVector = KR::Vector2<float>(dx, dy);
      result = 1;
      break;
    }
  }
  if (input->leftReleased) {
    for (Ring& ring : rings) {
      if (!ring.grabbed) continue;
      if (isCorrect(ring.angle, ring.correctAngle)) {
        ring.angle = ring.correctAngle;
        playSound(rightCheckSound);
      }
      ring.grabbed = false;
      result = 1;
    }
  }
  if (input->leftDown) {
    for (Ring& ring : rings) {
      if (!ring.grabbed) continue;
      const KR::Vector2<float> v(at.x - ring.center.x, at.y - ring.center.y);
      const KR::Vector2<float> u = lastVector;
      ring.angle += float(std::atan2(u.x * v.y - u.y * v.x, u.x * v.x + u.y * v.y)) * kDegreesPerRadian;
      lastVector = v;
    }
  }
  return result;
}

void RPuzzleMinigameViewExtension::updatePuzzle(float dt) {
  bool allCorrect = true;
  for (Ring& ring : rings) {
    if (ring.node) ring.node->setRotation(ring.angle);
    if (!isCorrect(ring.angle, ring.correctAngle)) allCorrect = false;
  }
  if (!allCorrect && !skipWanted() && !finishReported) return;
  finishTimer += dt;
  if (finishNode && !finishNode->mPlaying) {
    if (!solved)
      finishNode->play(true);
    else
      finishNode->rewindToEnd();
  }
  solved = true;
  if (finishReported || finishTimer < finishTime) return;
  // A skipped puzzle ends with its rings in place too.
  for (Ring& ring : rings) {
    ring.angle = ring.correctAngle;
    ring.grabbed = false;
    if (ring.node) ring.node->setRotation(ring.angle);
  }
  finishTimer = 0.0f;
  reportFinish();
}

}  // namespace HOG
