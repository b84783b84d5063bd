#include "core/game_state/minigames/right_zone_view_extension.h"

#include <algorithm>
#include <cstdlib>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

void RightZoneViewExtension::parseCommaList(const std::string& text, std::vector<int32_t>* out) {
  size_t from = 0;
  while (true) {
    const size_t comma = text.find(',', from);
    const std::string piece = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    out->push_back(int32_t(std::strtol(piece.c_str(), nullptr, 10)));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
}

void RightZoneViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readText(reader, "node", &element.name);
      readInt(reader, "currentPositionID", &element.placeId, 0);
      std::string correct;
      readText(reader, "currectPositionID", &correct);
      parseCommaList(correct, &element.correctPlaceIds);
      elements.push_back(element);
    }
    reader.leaveChild();
  }
  if (elements.empty()) refuse("elements", "has no entry");
  // Place k is where element k stands: a correct place outside 1 to n is none.
  for (const Element& element : elements) {
    if (element.placeId < 1 || size_t(element.placeId) > elements.size())
      refuse("elements/currentPositionID", KR::formatString("element %s starts on no place", element.name.c_str()));
    if (std::none_of(element.correctPlaceIds.begin(), element.correctPlaceIds.end(),
                     [this](int32_t id) { return id >= 1 && size_t(id) <= elements.size(); }))
      refuse("elements/currectPositionID", KR::formatString("element %s has no place", element.name.c_str()));
  }
  places.clear();
  picks.drop();
  finishStarted = false;
}

void RightZoneViewExtension::forgetNodes() {
  for (Element& element : elements) element.node = element.piece = element.highlight = nullptr;
}

void RightZoneViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  // The places of the first activation stay in force.
  const bool first = places.empty();
  finishNode = findNode(finishName, "finish", nullptr);
  if (finishNode) finishNode->stop(true);
  for (size_t k = 0; k < elements.size(); ++k) {
    Element& element = elements[k];
    element.node = findNode(element.name, "elements/node", first ? kCantFindNode : nullptr);
    element.piece = element.highlight = nullptr;
    if (element.node) {
      element.node->stop(true);
      if (element.node->mChildren.empty()) {
        if (first)
          KR::log("MINIGAME %s. Element %s has no piece (key 'elements/node' of '%s')", root->mName.c_str(),
                  element.name.c_str(), configName.c_str());
      } else {
        element.piece = element.node->mChildren[0];
        element.restZ = element.piece->mPosZ;
        if (!element.piece->mChildren.empty()) {
          element.highlight = element.piece->mChildren[0];
          element.highlight->play(true);
          element.highlight->setEnabled(false);
        }
      }
      // Later visits show every element where the player left it.
      if (first)
        element.position = worldPosition(element.node);
      else
        element.node->setWorldPosition(element.position);
    }
    if (first) {
      Place place;
      place.id = int32_t(k) + 1;
      place.at = element.position;
      places.push_back(place);
    }
    if (!element.piece) {
      refuse("elements/node", KR::formatString("element %s has no piece to move", element.name.c_str()));
      continue;
    }
    if (picks.holds(int32_t(k)) || element.moving)
      showPicked(element);
    else if (element.inPlace)
      element.piece->setFrame(correctFrame);
  }
}

const RightZoneViewExtension::Place* RightZoneViewExtension::findPlace(int32_t id) const {
  for (const Place& place : places)
    if (place.id == id) return &place;
  return nullptr;
}

void RightZoneViewExtension::showPicked(Element& element) {
  element.piece->setFrame(selectedFrame);
  element.piece->mPosZ = -100.0f;
  if (!element.highlight) return;
  element.highlight->setEnabled(true);
  element.highlight->mPosZ = -101.0f;
}

int32_t RightZoneViewExtension::handleInput(const InputState* input) {
  if (!input || finishStarted || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  for (size_t i = 0; i < elements.size(); ++i) {
    Element& element = elements[i];
    if (!element.piece || element.inPlace || element.moving || !contains(element.rect, x, y)) continue;
    const TwoPicks::Result taken = picks.take(int32_t(i), true);
    showPicked(element);
    if (taken == TwoPicks::Second) {
      Element& other = elements[picks.first];
      std::swap(element.placeId, other.placeId);
      element.moving = other.moving = true;
      // Each glides to its new place in 0.5 s, also an element picked twice
      // that stood off its place.
      for (Element* moved : {&element, &other}) {
        const Place* place = findPlace(moved->placeId);
        moved->speed = place ? distance(moved->position, place->at) : 0.0f;
      }
      picks.drop();
    }
    break;
  }
  return 0;
}

void RightZoneViewExtension::moveElements(float dt) {
  for (Element& element : elements) {
    const Place* place = findPlace(element.placeId);
    if (!place || !element.piece) continue;
    if (!glideStep(&element.position, place->at, 2.0f * element.speed * dt)) {
      // Not there yet (an element that never swapped has no speed and waits).
    } else if (element.moving) {
      element.piece->mPosZ = element.restZ;
      element.piece->setFrame(0);
      if (element.highlight) element.highlight->setEnabled(false);
      element.moving = false;
    }
    if (element.node) element.node->setWorldPosition(element.position);
    if (element.highlight) element.highlight->update(0.0f);
  }
}

bool RightZoneViewExtension::isSolved() {
  bool solved = true;
  for (Element& element : elements) {
    const bool right = !element.moving && std::find(element.correctPlaceIds.begin(), element.correctPlaceIds.end(),
                                                    element.placeId) != element.correctPlaceIds.end();
    if (!right) {
      solved = false;
      continue;
    }
    if (!element.inPlace && element.piece) element.piece->setFrame(correctFrame);
    element.inPlace = true;
  }
  return solved;
}

void RightZoneViewExtension::updatePuzzle(float dt) {
  for (Element& element : elements) {
    if (!element.piece) continue;
    const KR::Vector2<float> size = element.piece->getSize();
    element.rect =
        KR::Rect(element.position.x, element.position.y, element.position.x + size.x, element.position.y + size.y);
  }
  moveElements(dt);
  if (!isSolved() && !skipWanted() && !finishReported) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
