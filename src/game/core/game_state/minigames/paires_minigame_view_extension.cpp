#include "core/game_state/minigames/paires_minigame_view_extension.h"

#include <map>

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "format_string.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

float frameTime(const AE::ISceneNode* node) { return node->mAnimation->mFrameTime; }

// Length of the node's animation: its last key in seconds.
float animationLength(const AE::ISceneNode* node) {
  const std::vector<uint32_t>& keys = node->mAnimation->mKeyFrames;
  return keys.empty() ? 0.0f : float(keys.back()) * frameTime(node);
}

}  // namespace

void PairesMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readText(reader, "finish", &finishName);
  readSeconds(reader, "finishTime", &finishTime, 0.0f);
  readSuspendable(reader, &suspendable);
  readBriefing(reader);
  readEnableHint(reader);
  readBoundedInt(reader, "openFrame", &openFrame, 0, 0, kMaxFrame);
  readBoundedInt(reader, "blockedFrame", &blockedFrame, 0, 0, kMaxFrame);
  readSeconds(reader, "visibleTime", &visibleTime, 0.0f);
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readInt(reader, "id", &element.id, 0);
      readText(reader, "name", &element.name);
      elements.push_back(element);
    }
    reader.leaveChild();
  }
  readText(reader, "clickSound", &clickSoundName);
  // One card may stay alone at the end; two or more can never be matched.
  std::map<int32_t, size_t> counts;
  for (const Element& element : elements) ++counts[element.id];
  size_t alone = 0;
  for (const auto& [id, count] : counts) alone += count % 2;
  if (elements.size() < 2) refuse("elements", "has fewer than two cards");
  if (alone > 1) refuse("elements/id", KR::formatString("%u cards have no pair", unsigned(alone)));
  clearSelection();
  finishStarted = false;
}

void PairesMinigameViewExtension::forgetNodes() {
  clickSound = nullptr;
  for (Element& element : elements) element.node = nullptr;
}

void PairesMinigameViewExtension::clearSelection() {
  firstSelect = secondSelect = firstSelectId = secondSelectId = -1;
  revealTimer = 0.0f;
}

void PairesMinigameViewExtension::onActivate() {
  if (!sceneRoot()) return;
  bindFinishNode();
  clickSound = findNode(clickSoundName, "clickSound");
  if (clickSound) clickSound->stop(true);
  if (finishReported) {
    if (finishNode) finishNode->stop(true);
    for (Element& element : elements) {
      element.node = findNode(element.name, "elements/name", nullptr);
      if (element.node) element.node->setEnabled(false);
    }
    return;
  }
  for (Element& element : elements) {
    element.node = findNode(element.name, "elements/name");
    if (!element.node) {
      refuse("elements/name", "a card has no node");
      continue;
    }
    element.rect = nodeRect(element.node->mChildren.empty() ? element.node : element.node->mChildren[0]);
    if (element.blocked) {
      element.node->setTime(float(blockedFrame) * frameTime(element.node), true);
      element.node->update(0.0f);
    } else {
      element.node->setTime(0.0f, true);
    }
    element.node->stop(true);
    // A blocked card keeps showing its frame: stop() set its clock back.
    if (element.blocked) element.node->setTime(float(blockedFrame) * frameTime(element.node), true);
  }
}

int32_t PairesMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  for (size_t i = 0; i < elements.size(); ++i) {
    Element& card = elements[i];
    if (!card.node || !contains(card.rect, x, y)) continue;
    if (card.opened || card.blocked || secondSelect != -1) continue;
    card.opened = true;
    playSound(clickSound);
    if (firstSelect == -1) {
      firstSelect = int32_t(i);
      firstSelectId = card.id;
    } else {
      secondSelect = int32_t(i);
      secondSelectId = card.id;
    }
    card.node->setTime(0.0f, true);
    card.node->playRange(0, openFrame, false, true);
    result = 1;
  }
  return result;
}

void PairesMinigameViewExtension::pairStep(float dt) {
  if (firstSelect < 0 || secondSelect < 0) return;
  Element& a = elements[firstSelect];
  Element& b = elements[secondSelect];
  if (!a.node || !b.node) return;
  revealTimer += dt;
  if (firstSelectId == secondSelectId) {
    for (Element* card : {&a, &b}) {
      card->blocked = true;
      card->node->play(true);
    }
    clearSelection();
    return;
  }
  if (revealTimer < visibleTime + animationLength(b.node)) return;
  for (Element* card : {&a, &b}) {
    card->opened = false;
    card->node->setTime(float(openFrame) * frameTime(card->node), true);
    card->node->playRange(0, openFrame, true, true);
  }
  clearSelection();
}

void PairesMinigameViewExtension::updatePuzzle(float dt) {
  pairStep(dt);
  size_t left = 0;
  for (const Element& card : elements)
    if (!card.blocked) ++left;
  if (left > 1 && !skipWanted() && !finishReported) return;
  for (Element& card : elements) {
    if (card.blocked) continue;
    card.blocked = true;
    if (!card.node) continue;
    if (card.id == -1)
      card.node->setTime(2.0f * frameTime(card.node), true);
    else
      card.node->play(true);
  }
  if (finishNode) {
    if (!finishStarted) {
      finishNode->play(true);
      finishStarted = true;
      if (!finishReported) lengthenLock(finishTime);
    } else if (finishNode->mAnimation->mTime >= animationLength(finishNode)) {
      // The finish picture takes over once it has played in full.
      for (Element& card : elements)
        if (card.node) card.node->setEnabled(false);
      finishNode->rewindToEnd();
    }
  }
  if (finishReported) return;
  finishTimer += dt;
  if (finishTime <= finishTimer) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
