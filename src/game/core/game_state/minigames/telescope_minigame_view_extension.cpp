#include "core/game_state/minigames/telescope_minigame_view_extension.h"

#include <algorithm>
#include <cmath>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/pick_and_glide.h"
#include "xml_data_reader.h"

namespace HOG {

void TelescopeMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  readText(reader, "changeCombAnim", &changeCombAnimName);
  readText(reader, "moveNode", &moveNodeName);
  readFloat(reader, "accuracy", &accuracy, 0.0f);
  if (!(accuracy >= 0.0f)) {
    warn("accuracy", "is no distance; 0 is used");
    accuracy = 0.0f;
  }
  reader.readVector2("inputCircleCenter", &inputCircleCenter);
  readFloat(reader, "inputCircleRadius", &inputCircleRadius, 0.0f);
  spots.clear();
  if (reader.enterChild("combinations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Spot spot;
      reader.readVector2("correctPosition", &spot.correctPosition);
      readBoundedInt(reader, "startframe", &spot.startFrame, 0, 0, kMaxFrame, "combinations/startframe");
      readBoundedInt(reader, "endframe", &spot.endFrame, 0, 0, kMaxFrame, "combinations/endframe");
      readText(reader, "finishAnim", &spot.finishAnimName);
      // The view moves within its bounds only.
      const KR::Vector2<float>& at = spot.correctPosition;
      if (!(at.x >= kMinX - accuracy && at.x <= kMaxX + accuracy && at.y >= kMinY - accuracy &&
            at.y <= kMaxY + accuracy))
        refuse("combinations/correctPosition", "a spot lies where the view can't be moved");
      spots.push_back(spot);
    }
    reader.leaveChild();
  }
  if (spots.empty()) refuse("combinations", "has no entry");
  current = -1;
  allFound = false;
  finishStarted = false;
  finishTimer = 0.0f;
}

void TelescopeMinigameViewExtension::forgetNodes() {
  changeCombAnim = moveNode = nullptr;
  for (Spot& spot : spots) spot.finishAnim = nullptr;
}

void TelescopeMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  finishNode = findNode(finishName, "finish", nullptr);
  changeCombAnim = findNode(changeCombAnimName, "changeCombAnim", nullptr);
  moveNode = findNode(moveNodeName, "moveNode");
  // Without the view to move every release would find a spot.
  if (!moveNode) refuse("moveNode", "names no node");
  for (AE::ISceneNode* node : {finishNode, changeCombAnim, moveNode})
    if (node) node->stop(true);
  current = spots.empty() ? -1 : 0;
  for (Spot& spot : spots) {
    spot.finishAnim = findNode(spot.finishAnimName, "combinations/finishAnim", nullptr);
    if (spot.finishAnim) spot.finishAnim->stop(true);
  }
}

bool TelescopeMinigameViewExtension::onCurrentSpot() const {
  if (!moveNode || current < 0) return true;
  const KR::Vector2<float> at = worldPosition(moveNode);
  const float dx = at.x - spots[size_t(current)].correctPosition.x;
  const float dy = at.y - spots[size_t(current)].correctPosition.y;
  return std::sqrt(dx * dx + dy * dy) <= accuracy;
}

void TelescopeMinigameViewExtension::findCurrent() {
  const int32_t justFound = current;
  if (current >= 0) {
    Spot& spot = spots[size_t(current)];
    if (spot.finishAnim) spot.finishAnim->play(true);
    spot.found = true;
  }
  const auto next = std::find_if(spots.begin(), spots.end(), [](const Spot& spot) { return !spot.found; });
  if (next == spots.end()) {
    allFound = true;
    return;
  }
  // The change runs the frames of the spot just found.
  if (changeCombAnim && justFound >= 0) {
    const Spot& found = spots[size_t(justFound)];
    changeCombAnim->setFrame(found.startFrame);
    changeCombAnim->playRange(found.startFrame, found.endFrame, false, true);
  }
  current = int32_t(next - spots.begin());
}

int32_t TelescopeMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || finishStarted) return 1;
  const KR::Vector2<float> pointer(float(input->x), float(input->y));
  if (input->leftPressed) lastPointer = pointer;
  if (input->leftDown) {
    if (moveNode) {
      KR::Vector2<float> at = worldPosition(moveNode);
      at.x = std::clamp(at.x + pointer.x - lastPointer.x, kMinX, kMaxX);
      at.y = std::clamp(at.y + pointer.y - lastPointer.y, kMinY, kMaxY);
      moveNode->setWorldPosition(at);
    }
    lastPointer = pointer;
  }
  if (input->leftReleased && onCurrentSpot()) findCurrent();
  return 1;
}

void TelescopeMinigameViewExtension::updatePuzzle(float dt) {
  if (!allFound && !skipWanted() && !finishReported) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
