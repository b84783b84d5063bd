#include "core/game_state/minigames/chains_minigame_view_extension.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

void ChainsMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  readInt(reader, "selectFrame", &selectFrame, 10);
  readSeconds(reader, "moveTime", &moveTime, 1.0f);
  places.clear();
  if (reader.enterChild("targetNodes")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Place place;
      readText(reader, "node", &place.name);
      readText(reader, "addnode", &place.chainName);
      readIntList(reader, "elementsFrame", &place.elementFrames);
      places.push_back(place);
    }
    reader.leaveChild();
  }
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readText(reader, "node", &element.name);
      readInt(reader, "target", &element.place, 0);
      elements.push_back(element);
    }
    reader.leaveChild();
  }
  readInt(reader, "correctframe", &correctFrame, 100);
  readText(reader, "clickSound", &clickSoundName);
  readText(reader, "endMoveSound", &arrivalSoundName);
  if (places.empty()) refuse("targetNodes", "has no entry");
  if (elements.empty()) refuse("elements", "has no entry");
  picks.drop();
  setUp = finishStarted = false;
}

void ChainsMinigameViewExtension::forgetNodes() {
  clickSound = arrivalSound = nullptr;
  for (Place& place : places) place.node = place.chain = nullptr;
  for (Element& element : elements) element.node = nullptr;
}

void ChainsMinigameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  const bool first = !setUp;
  bindFinishNode();
  clickSound = findNode(clickSoundName, "clickSound");
  if (clickSound) clickSound->stop(true);
  arrivalSound = findNode(arrivalSoundName, "endMoveSound");
  if (arrivalSound) arrivalSound->stop(true);
  for (Place& place : places) {
    place.occupant = -1;
    place.chain = nullptr;
    place.node = findNode(place.name, "targetNodes/node", first ? kCantFindNode : nullptr);
    if (!place.node) {
      refuse("targetNodes/node", "a place has no node");
      continue;
    }
    place.node->stop(true);
    place.chain = findNode(place.chainName, "targetNodes/addnode", first ? kCantFindNode : nullptr);
    if (place.chain) place.chain->stop(true);
  }
  // Each place takes one element: a target outside the places or taken
  // already leaves that element out of the game.
  for (size_t i = 0; i < elements.size(); ++i) {
    Element& element = elements[i];
    element.pickable = false;
    element.node = findNode(element.name, "elements/node", first ? kCantFindNode : nullptr);
    if (!element.node) refuse("elements/node", "an element has no node");
    if (element.place < 0 || size_t(element.place) >= places.size() || places[element.place].occupant >= 0) {
      if (first)
        KR::log("MINIGAME %s. Element %s has no free place %d (key 'elements/target' of '%s')", root->mName.c_str(),
                element.name.c_str(), element.place, configName.c_str());
      continue;
    }
    Place& place = places[element.place];
    place.occupant = int32_t(i);
    if (i < place.elementFrames.size()) {
      place.currentFrame = place.elementFrames[i];
      showFrame(place.chain, place.currentFrame);
    } else if (first) {
      KR::log("MINIGAME %s. Place %s has no frame for element %s (key 'targetNodes/elementsFrame' of '%s')",
              root->mName.c_str(), place.name.c_str(), element.name.c_str(), configName.c_str());
    }
    if (!element.node) continue;
    const KR::Vector2<float> at = worldPosition(element.node);
    element.node->stop(true);
    if (picks.holds(int32_t(i))) showFrameInPlace(element.node, selectFrame);
    // A glide under way when the view was left goes on from where it stood.
    element.node->setWorldPosition(element.moving ? element.position : at);
    if (element.node->mChildren.empty()) {
      if (first)
        KR::log("MINIGAME %s. Element %s has nothing to click (key 'elements/node' of '%s')", root->mName.c_str(),
                element.name.c_str(), configName.c_str());
      continue;
    }
    element.pickable = true;
  }
  setUp = true;
}

bool ChainsMinigameViewExtension::chainPlaying() const {
  for (const Place& place : places)
    if (place.chain && place.chain->mPlaying) return true;
  return false;
}

int32_t ChainsMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || finishStarted || chainPlaying() || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  for (size_t i = 0; i < elements.size(); ++i) {
    const Element& element = elements[i];
    if (!element.pickable || !element.node || !contains(element.rect, x, y)) continue;
    result = 1;
    select(int32_t(i));
  }
  if (result) return 1;
  for (int32_t* slot : {&picks.first, &picks.second}) {
    if (*slot < 0 || elements[*slot].moving) continue;
    Element& element = elements[*slot];
    showFrameInPlace(element.node, 0);
    *slot = -1;
  }
  return 0;
}

void ChainsMinigameViewExtension::select(int32_t i) {
  Element& element = elements[i];
  switch (picks.take(i)) {
    case TwoPicks::First: showFrameInPlace(element.node, selectFrame); break;
    case TwoPicks::Second: {
      showFrameInPlace(element.node, selectFrame);
      Element& other = elements[picks.first];
      for (Element* e : {&element, &other}) {
        e->moving = true;
        e->moveStart = worldPosition(e->node);
        e->position = e->moveStart;
      }
      std::swap(element.place, other.place);
      places[element.place].occupant = i;
      places[other.place].occupant = picks.first;
      break;
    }
    case TwoPicks::Ignored:
      // The same element again: nothing, not even the sound.
      if (!picks.full()) return;
      break;
  }
  playSound(clickSound);
}

void ChainsMinigameViewExtension::glide(int32_t i, float dt) {
  Element& element = elements[i];
  if (!element.moving) return;
  const Place& place = places[element.place];
  if (!place.node || !element.node) {
    arrive(i);
    return;
  }
  const KR::Vector2<float> target = worldPosition(place.node);
  const float speed = moveTime > 0.0f ? distance(element.moveStart, target) / moveTime : 1e30f;
  if (glideStep(&element.position, target, speed * dt))
    arrive(i);
  else
    element.node->setWorldPosition(element.position);
}

void ChainsMinigameViewExtension::arrive(int32_t i) {
  Element& element = elements[i];
  Place& place = places[element.place];
  playSound(arrivalSound);
  element.moving = false;
  element.moveStart = KR::Vector2<float>(-100.0f, -100.0f);
  if (element.node) {
    element.node->rewindToBegin();
    if (place.node) element.position = worldPosition(place.node);
    element.node->setWorldPosition(element.position);
  }
  picks.release(i);
  if (size_t(i) >= place.elementFrames.size()) return;
  const int32_t from = place.currentFrame, to = place.elementFrames[i];
  place.currentFrame = to;
  // Playing an empty range would play the whole animation.
  if (!place.chain || from == to) {
    showFrame(place.chain, to);
    return;
  }
  place.chain->setTime(float(from) * place.chain->mAnimation->mFrameTime, true);
  place.chain->playRange(from, to, from > to, true);
}

bool ChainsMinigameViewExtension::isSolved() const {
  for (const Place& place : places)
    if (place.currentFrame != correctFrame) return false;
  return true;
}

void ChainsMinigameViewExtension::updatePuzzle(float dt) {
  for (Element& element : elements) {
    if (!element.node) continue;
    element.rect = element.node->mChildren.empty() ? KR::Rect() : nodeRect(element.node->mChildren[0]);
    if (!element.moving) element.position = worldPosition(element.node);
  }
  for (Place& place : places) {
    if (!place.node || place.occupant < 0) continue;
    Element& occupant = elements[place.occupant];
    if (occupant.moving || !occupant.node) continue;
    occupant.position = worldPosition(place.node);
    occupant.node->setWorldPosition(occupant.position);
  }
  // Both elements of a swap cover the same share of their way each frame and
  // normally arrive together; each goes on until it has arrived.
  for (size_t i = 0; i < elements.size(); ++i) glide(int32_t(i), dt);
  const bool done = isSolved() || skipWanted() || finishReported;
  if (!done) return;
  if (finishNode && !finishNode->mPlaying) {
    if (!finishStarted) {
      finishNode->play(true);
      if (!finishReported) lengthenLock(finishTime);
    } else {
      finishNode->rewindToEnd();
    }
  }
  finishStarted = true;
  if (finishReported) return;
  finishTimer += dt;
  if (finishTime <= finishTimer) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
