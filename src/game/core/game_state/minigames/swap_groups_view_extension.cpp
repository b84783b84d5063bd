#include "core/game_state/minigames/swap_groups_view_extension.h"

#include <algorithm>
#include <map>

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "xml_data_reader.h"

namespace HOG {

void SwapGroupsViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readEnableHint(reader);
  for (Element& element : elements) element.moveAnimation.drop();
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readText(reader, "node", &element.nodeName);
      readInt(reader, "group", &element.group, 0);
      readInt(reader, "current_position", &element.currentPosition, 0);
      readInt(reader, "correct_position", &element.correctPosition, 0);
      elements.push_back(std::move(element));
    }
    reader.leaveChild();
  }
  if (elements.empty()) refuse("elements", "has no entry");
  // Pieces trade positions within their group only: each group must hold
  // the positions it has to end on.
  std::map<int32_t, std::vector<int32_t>> current, correct;
  for (const Element& element : elements) {
    current[element.group].push_back(element.currentPosition);
    correct[element.group].push_back(element.correctPosition);
  }
  for (auto& [group, positions] : current) {
    std::sort(positions.begin(), positions.end());
    std::sort(correct[group].begin(), correct[group].end());
    if (positions != correct[group])
      refuse("elements/correct_position", KR::formatString("group %d can't reach its positions", int(group)));
  }
  picks.drop();
  solved = false;
}

void SwapGroupsViewExtension::forgetNodes() {
  for (Element& element : elements) element.node = nullptr;
}

void SwapGroupsViewExtension::onActivate() {
  if (!sceneRoot()) return;
  finishNode = findStoppedNode(finishName, "finish", nullptr);
  for (Element& element : elements) {
    element.node = findStoppedNode(element.nodeName, "elements/node");
    if (!element.node) {
      refuse("elements/node", "a piece has no node");
      continue;
    }
    element.position = worldPosition(element.node);
    element.moveAnimation.make(&element.position, kMoveTime);
  }
}

void SwapGroupsViewExtension::onDeactivate() {
  // A glide under way is undone: both pieces go back where they stood (each
  // on the place its partner was heading for) and keep their numbers.
  if (picks.full() && picks.first != picks.second) {
    Element& a = elements[picks.first];
    Element& b = elements[picks.second];
    if (a.moveAnimation.running() || b.moveAnimation.running()) {
      const KR::Vector2<float> backA = b.targetPosition, backB = a.targetPosition;
      a.position = backA;
      b.position = backB;
      for (Element* e : {&a, &b}) {
        e->pendingPosition = -1;
        if (e->node) {
          e->node->setWorldPosition(e->position);
          rest(e->node);
          e->node->setWorldPosition(e->position);
        }
      }
    }
  }
  // A choice would show nothing at the next visit: it goes too.
  for (int32_t i : {picks.first, picks.second})
    if (i >= 0 && elements[i].node) rest(elements[i].node);
  picks.drop();
  for (Element& element : elements) element.moveAnimation.drop();
}

void SwapGroupsViewExtension::step(Element& element, float dt) {
  if (!element.node) return;
  const KR::Vector2<float> at = worldPosition(element.node);
  element.hitRect = KR::Rect();
  if (!element.node->mChildren.empty()) {
    const KR::Vector2<float> size = element.node->mChildren[0]->getSize();
    element.hitRect = KR::Rect(at.x, at.y, at.x + size.x, at.y + size.y);
  }
  if (element.moveAnimation.advance(dt)) {
    element.currentPosition = element.pendingPosition;
    element.pendingPosition = -1;
    rest(element.node);
    element.position = element.targetPosition;
    picks.drop();
  }
  element.node->setWorldPosition(element.position);
}

void SwapGroupsViewExtension::clearChoice() {
  for (int32_t* slot : {&picks.first, &picks.second}) {
    if (*slot < 0 || elements[*slot].moveAnimation.running()) continue;
    rest(elements[*slot].node);
    if (elements[*slot].node) elements[*slot].node->setWorldPosition(elements[*slot].position);
    *slot = -1;
  }
}

void SwapGroupsViewExtension::choose(int32_t i) {
  Element& element = elements[i];
  picks.first = i;
  showFrameInPlace(element.node, selectFrame);
}

int32_t SwapGroupsViewExtension::handleInput(const InputState* input) {
  if (!input || solved || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  // The chosen piece was clicked again: this click, wherever it lands, only
  // clears the choice.
  if (picks.full() && picks.first == picks.second) {
    const bool onPiece = [&] {
      for (const Element& e : elements)
        if (e.node && contains(e.hitRect, x, y)) return true;
      return false;
    }();
    clearChoice();
    return onPiece ? 1 : 0;
  }
  int32_t result = 0;
  bool hit = false;
  for (size_t n = 0; n < elements.size(); ++n) {
    const int32_t p = int32_t(n);
    Element& piece = elements[p];
    if (!piece.node || !contains(piece.hitRect, x, y)) continue;
    hit = true;
    if (picks.none()) {
      choose(p);
      result = 1;
      continue;
    }
    if (picks.second >= 0) continue;
    Element& first = elements[picks.first];
    if (piece.group != first.group) {
      clearChoice();
      choose(p);
      continue;
    }
    picks.second = p;
    if (p == picks.first) continue;
    showFrameInPlace(piece.node, selectFrame);
    first.pendingPosition = piece.currentPosition;
    piece.pendingPosition = first.currentPosition;
    piece.targetPosition = first.position;
    first.targetPosition = piece.position;
    piece.moveAnimation.start(piece.position, first.position);
    first.moveAnimation.start(first.position, piece.position);
    result = 1;
  }
  if (!hit) clearChoice();
  return result;
}

bool SwapGroupsViewExtension::isSolved() const {
  for (const Element& element : elements)
    if (element.currentPosition != element.correctPosition) return false;
  return true;
}

void SwapGroupsViewExtension::updatePuzzle(float dt) {
  for (Element& element : elements) step(element, dt);
  if (!isSolved() && !skipWanted()) return;
  solved = true;
  finishTimer += dt;
  if (finishTimer < finishTime) return;
  if (finishNode && !finishNode->mPlaying) finishNode->rewindToEnd();
  if (!finishReported) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
