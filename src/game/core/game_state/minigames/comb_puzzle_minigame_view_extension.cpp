#include "core/game_state/minigames/comb_puzzle_minigame_view_extension.h"

#include <algorithm>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {
constexpr float kGlideHomeSeconds = 0.5f;
// Nearer to its home than this a piece rests at its own depth.
constexpr float kRestDistance = 5.0f;
}  // namespace

bool CombPuzzleMinigameViewExtension::Combination::matches(const std::vector<Zone>& all) const {
  for (size_t i = 0; i < all.size(); ++i) {
    bool listed = false;
    for (int32_t zone : zones) listed = listed || zone == int32_t(i);
    if (listed != all[i].occupied) return false;
  }
  return true;
}

void CombPuzzleMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readBoundedInt(reader, "selectedFrame", &selectedFrame, 5, 0, kMaxFrame);
  readText(reader, "elements", &elementsName);
  zones.clear();
  if (reader.enterChild("activeZones")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Zone zone;
      reader.readRect("rect", &zone.rect);
      zones.push_back(zone);
    }
    reader.leaveChild();
  }
  combinations.clear();
  if (reader.enterChild("combinations")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Combination combination;
      readIntList(reader, "value", &combination.zones);
      readText(reader, "finish", &combination.finishName);
      combinations.push_back(combination);
    }
    reader.leaveChild();
  }
  readText(reader, "dropSound", &dropSoundName);
  readText(reader, "book", &bookName);
  readBoundedInt(reader, "frames", &frames, 5, 1, kMaxPages);
  readBoundedInt(reader, "bookStep", &bookStep, 5, 0, kMaxFrame / kMaxPages);
  if (zones.empty()) refuse("activeZones", "has no entry");
  if (combinations.empty()) refuse("combinations", "has no entry");
  // A combination is tested after a drop, which leaves a zone occupied: one
  // without a zone of the board can never be reached.
  for (const Combination& combination : combinations)
    if (std::none_of(combination.zones.begin(), combination.zones.end(),
                     [this](int32_t zone) { return zone >= 0 && size_t(zone) < zones.size(); }))
      refuse("combinations/value", "a combination names no zone of the board");
  elements.clear();
  drag.letGo();
  boundOnce = finishStarted = false;
  finishTimer = 0.0f;
}

void CombPuzzleMinigameViewExtension::forgetNodes() {
  dropSound = bookNode = nullptr;
  for (Element& element : elements) element.node = nullptr;
  for (Combination& combination : combinations) combination.finishNode = nullptr;
}

void CombPuzzleMinigameViewExtension::bindElementsFirst() {
  elements.clear();
  AE::ISceneNode* container = findNode(elementsName, "elements", kCantFindNodeIn);
  if (!container) {
    refuse("elements", "names no node");
    return;
  }
  for (AE::ISceneNode* child : container->mChildren) {
    if (!child) continue;
    child->stop(true);
    Element element;
    element.name = child->mName;
    element.node = child;
    element.home = element.position = worldPosition(child);
    element.rect = nodeRect(child);
    element.restDepth = DragHold::picture(child)->mPosZ;
    elements.push_back(std::move(element));
  }
  // The glides write through the positions: made once the list stands.
  for (Element& element : elements) {
    element.glide.make(&element.position, kGlideHomeSeconds);
    element.zone = zoneAt(element.position);
  }
  for (const Combination& combination : combinations) {
    std::vector<int32_t> wanted;
    for (int32_t zone : combination.zones)
      if (zone >= 0 && size_t(zone) < zones.size() && std::count(wanted.begin(), wanted.end(), zone) == 0)
        wanted.push_back(zone);
    if (wanted.size() > elements.size()) refuse("combinations/value", "a combination needs more pieces than there are");
  }
}

void CombPuzzleMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  dropSound = findNode(dropSoundName, "dropSound");
  if (dropSound) dropSound->stop(true);
  if (!boundOnce) {
    bindElementsFirst();
  } else {
    for (Element& element : elements) {
      element.node = findNode(element.name, "elements", nullptr);
      if (!element.node) continue;
      // A scene loaded again shows the pieces where the player left them.
      element.node->stop(true);
      element.node->setWorldPosition(element.position);
      element.rect = nodeRect(element.node);
    }
  }
  boundOnce = true;
  // A piece held when the view was left goes home.
  const int32_t held = drag.letGo();
  if (held >= 0 && size_t(held) < elements.size()) returnHome(elements[size_t(held)]);
  for (const Element& element : elements)
    if (element.zone >= 0) zones[size_t(element.zone)].occupied = true;
  for (Combination& combination : combinations) {
    combination.finishNode = findNode(combination.finishName, "combinations/finish", kCantFindNodeIn);
    if (combination.finishNode) combination.finishNode->stop(true);
  }
  bookNode = findNode(bookName, "book", "Can't find %2$s in %1$s");
  bookRect = KR::Rect();
  page = 0;
  if (!bookNode) return;
  bookNode->stop(true);
  if (!bookNode->mChildren.empty() && bookNode->mChildren[0]) {
    const KR::Vector2<float> at = worldPosition(bookNode);
    const KR::Vector2<float> size = bookNode->mChildren[0]->getSize();
    bookRect = KR::Rect(at.x, at.y, at.x + size.x, at.y + size.y);
  }
}

int32_t CombPuzzleMinigameViewExtension::zoneAt(const KR::Vector2<float>& point) const {
  for (size_t i = 0; i < zones.size(); ++i)
    if (contains(zones[i].rect, point.x, point.y)) return int32_t(i);
  return -1;
}

void CombPuzzleMinigameViewExtension::turnPage() {
  page = (frames <= 0 || page >= frames - 1) ? 0 : page + 1;
  showFrame(bookNode, page * bookStep);
  if (bookNode->mChildren.size() > 1) playSound(bookNode->mChildren[1]);
}

void CombPuzzleMinigameViewExtension::returnHome(Element& element) {
  element.glide.start(element.position, element.home);
  // Its zone (it rested there) is its own again, so no other piece takes it.
  if (element.zone >= 0) zones[size_t(element.zone)].occupied = true;
}

void CombPuzzleMinigameViewExtension::freeZone(const Element& taken) {
  if (taken.zone < 0) return;
  // Content may stand two pieces in one zone: the other still holds it.
  for (const Element& other : elements)
    if (&other != &taken && other.zone == taken.zone) return;
  zones[size_t(taken.zone)].occupied = false;
}

void CombPuzzleMinigameViewExtension::checkCombinations() {
  for (Combination& combination : combinations) {
    if (combination.reached || !combination.matches(zones)) continue;
    combination.reached = true;
    if (combination.finishNode) combination.finishNode->play(true);
  }
}

int32_t CombPuzzleMinigameViewExtension::handleInput(const InputState* input) {
  if (!input) return 0;
  const KR::Vector2<float> pointer(float(input->x), float(input->y));
  int32_t result = 0;
  if (input->leftPressed) {
    for (size_t i = 0; i < elements.size() && !drag.holding(); ++i) {
      Element& element = elements[i];
      if (!contains(element.rect, pointer.x, pointer.y)) continue;
      element.glide.stop();
      drag.take(int32_t(i));
      showFrame(DragHold::picture(element.node), selectedFrame);
      // The zone it holds, also when it is caught on its way home.
      freeZone(element);
      result = 1;
    }
    if (bookNode && contains(bookRect, pointer.x, pointer.y)) {
      turnPage();
      result = 1;
    }
  }
  if (input->leftReleased && drag.holding()) {
    Element& element = elements[size_t(drag.letGo())];
    showFrame(DragHold::picture(element.node), 0);
    const int32_t zone = zoneAt(pointer);
    if (zone >= 0 && !zones[size_t(zone)].occupied) {
      playSound(dropSound);
      element.position = element.home = KR::Vector2<float>(zones[size_t(zone)].rect.left, zones[size_t(zone)].rect.top);
      element.zone = zone;
      zones[size_t(zone)].occupied = true;
      checkCombinations();
    } else {
      returnHome(element);
    }
    result = 1;
  }
  if (input->leftDown && drag.holding()) {
    Element& element = elements[size_t(drag.held())];
    AE::ISceneNode* picture = DragHold::picture(element.node);
    const KR::Vector2<float> size = picture ? picture->getSize() : KR::Vector2<float>(0.0f, 0.0f);
    element.position = drag.follow(pointer, KR::Vector2<float>(size.x * 0.5f, size.y * 0.5f));
  }
  return result;
}

bool CombPuzzleMinigameViewExtension::isSolved() const {
  for (const Combination& combination : combinations)
    if (!combination.reached) return false;
  return true;
}

void CombPuzzleMinigameViewExtension::updatePuzzle(float dt) {
  for (Element& element : elements) {
    if (element.node) {
      element.node->setWorldPosition(element.position);
      AE::ISceneNode* picture = DragHold::picture(element.node);
      picture->mPosZ = distance(element.position, element.home) < kRestDistance ? element.restDepth : DragHold::kFrontZ;
      element.rect = nodeRect(element.node);
    }
    if (element.glide.running()) element.glide.advance(dt);
  }
  if (!isSolved() && !skipWanted() && !finishReported) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
