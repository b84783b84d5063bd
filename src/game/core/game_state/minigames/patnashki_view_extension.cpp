#include "core/game_state/minigames/patnashki_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "core/game_state/minigames/pick_and_glide.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

// Where the tile's node stands when it is centred on the point.
KR::Vector2<float> tilePlace(const AE::ISceneNode* node, const KR::Vector2<float>& center) {
  const KR::Vector2<float> size = node->getSize();
  return KR::Vector2<float>(center.x - size.x * 0.5f, center.y - size.y * 0.5f);
}

}  // namespace

void PatnashkiViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readInt(reader, "id", &element.id, 0);
      readText(reader, "nodeName", &element.nodeName);
      elements.push_back(element);
    }
    reader.leaveChild();
  }
  points.clear();
  if (reader.enterChild("points")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Point point;
      readInt(reader, "id", &point.id, 0);
      readInt(reader, "startNode", &point.elementId, 0);
      if (!reader.readVector2("center", &point.center)) point.center = KR::Vector2<float>(0.0f, 0.0f);
      readInt(reader, "correctNode", &point.correctNode, 0);
      readIntList(reader, "neightbours", &point.neightbours);
      points.push_back(point);
    }
    reader.leaveChild();
  }
  if (elements.empty()) refuse("elements", "has no entry");
  if (points.empty()) refuse("points", "has no entry");
  // A tile moves only into an empty point.
  const bool anyEmpty = std::any_of(points.begin(), points.end(), [this](const Point& point) {
    return std::none_of(elements.begin(), elements.end(),
                        [&point](const Element& element) { return element.id == point.elementId; });
  });
  if (!points.empty() && !anyEmpty) refuse("points/startNode", "no point starts empty");
  finishStarted = false;
}

void PatnashkiViewExtension::forgetNodes() {
  for (Point& point : points) point.node = nullptr;
}

void PatnashkiViewExtension::onActivate() {
  if (!sceneRoot()) return;
  finishNode = findNode(finishName, "finish", nullptr);
  if (finishNode) finishNode->stop(true);
  for (Point& point : points) {
    point.node = nullptr;
    for (const Element& element : elements) {
      if (element.id != point.elementId) continue;
      point.node = findNode(element.nodeName, "elements/nodeName");
      if (!point.node) refuse("elements/nodeName", "a tile has no node");
      break;
    }
    if (!point.node) continue;
    point.node->stop(true);
    point.node->setWorldPosition(tilePlace(point.node, point.center));
  }
}

int32_t PatnashkiViewExtension::handleInput(const InputState* input) {
  if (!input || finishStarted || !input->leftReleased) return 0;
  const KR::Vector2<float> at(float(input->x), float(input->y));
  Point* clicked = nullptr;
  for (Point& point : points) {
    if (distance(point.center, at) <= kReach) {
      clicked = &point;
      break;
    }
  }
  if (!clicked) return 0;
  // An empty point has no tile to send anywhere.
  if (!clicked->node) return 1;
  for (int32_t id : clicked->neightbours) {
    Point* target = nullptr;
    for (Point& point : points) {
      if (point.id == id) {
        target = &point;
        break;
      }
    }
    if (!target || target->node) continue;
    target->elementId = clicked->elementId;
    target->node = clicked->node;
    clicked->elementId = -1;
    clicked->node = nullptr;
    break;
  }
  return 1;
}

bool PatnashkiViewExtension::isSolved() const {
  for (const Point& point : points) {
    const bool right = point.node ? point.elementId == point.correctNode : point.elementId == -1;
    if (!right) return false;
  }
  return true;
}

void PatnashkiViewExtension::updatePuzzle(float dt) {
  for (Point& point : points) {
    if (!point.node) continue;
    KR::Vector2<float> at = worldPosition(point.node);
    glideStep(&at, tilePlace(point.node, point.center), kSpeed * dt);
    point.node->setWorldPosition(at);
  }
  if (!isSolved() && !skipWanted() && !finishReported) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
