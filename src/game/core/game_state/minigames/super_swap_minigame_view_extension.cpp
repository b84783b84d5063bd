#include "core/game_state/minigames/super_swap_minigame_view_extension.h"

#include "animationeditor/scene_node.h"
#include "core/game_state/input_state.h"
#include "log_system.h"
#include "xml_data_reader.h"

namespace HOG {

namespace {

constexpr const char* kCantFind = "Can't find %2$s in %1$s";

// An empty name (the key left out) finds nothing and says nothing.
AE::ISceneNode* findUnder(AE::ISceneNode* parent, const std::string& name, const AE::ISceneNode* root, const char* key,
                          const std::string& config) {
  if (name.empty()) return nullptr;
  AE::ISceneNode* node = parent ? AE::ISceneNode::findChild(name.c_str(), parent) : nullptr;
  if (!node) KR::log("Can't find %s in %s (key '%s' of '%s')", name.c_str(), root->mName.c_str(), key, config.c_str());
  return node;
}

}  // namespace

void SuperSwapMinigameViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 5.0f);
  readBoundedInt(reader, "breakframe", &breakFrame, 20, 0, kMaxFrame);
  readInt(reader, "movingTime", &movingTime, 1);
  // The glides write into the list: drop them before it goes.
  for (Element& element : elements) element.moveAnimation.drop();
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readText(reader, "node", &element.nodeName);
      readText(reader, "rightPlaceAnim", &element.rightPlaceAnimName);
      readText(reader, "selectNode", &element.selectNodeName);
      readText(reader, "idleAnimNode", &element.idleAnimNodeName);
      readBoundedInt(reader, "selectFrame", &element.selectFrame, 10, -1, kMaxFrame, "elements/selectFrame");
      readText(reader, "AABBNode", &element.aabbNodeName);
      elements.push_back(std::move(element));
    }
    reader.leaveChild();
  }
  if (elements.empty()) refuse("elements", "has no entry");
  picks.drop();
  solved = false;
}

void SuperSwapMinigameViewExtension::forgetNodes() {
  for (Element& element : elements)
    element.node = element.rightPlaceAnimNode = element.selectNode = element.idleAnimNode = nullptr;
}

void SuperSwapMinigameViewExtension::onActivate() {
  AE::ISceneNode* root = sceneRoot();
  if (!root) return;
  bindFinishNode();
  for (size_t i = 0; i < elements.size(); ++i) {
    Element& element = elements[i];
    // A piece not found again loses its node rather than keep a stale one.
    element.node = element.rightPlaceAnimNode = element.selectNode = element.idleAnimNode = nullptr;
    AE::ISceneNode* node = findNode(element.nodeName, "elements/node", kCantFind);
    if (!node) {
      refuse("elements/node", "a piece has no node");
      continue;
    }
    node->stop(true);
    node->setFrame(0);
    element.rightPosition = worldPosition(node);
    node->setFrame(breakFrame);
    element.node = node;
    // The first visit starts from the break frame; later ones keep every
    // piece where the player left it.
    if (!element.placed) element.current = worldPosition(node);
    element.placed = true;
    node->setWorldPosition(element.current);
    element.depth = int32_t(node->mPosZ);
    element.selectNode = findUnder(node, element.selectNodeName, root, "elements/selectNode", configName);
    element.idleAnimNode = findUnder(node, element.idleAnimNodeName, root, "elements/idleAnimNode", configName);
    if (element.idleAnimNode) {
      element.idleAnimNode->mLoop = true;
      element.idleAnimNode->play(true);
    }
    element.rightPlaceAnimNode =
        findUnder(root, element.rightPlaceAnimName, root, "elements/rightPlaceAnim", configName);
    if (element.rightPlaceAnimNode) {
      element.rightPlaceAnimNode->stop(true);
      if (element.inPlace && element.rightPlaceAnimNode->mChildren.size() >= 2)
        element.rightPlaceAnimNode->mChildren[1]->play(true);
    }
    if (AE::ISceneNode* aabb = findUnder(node, element.aabbNodeName, root, "elements/AABBNode", configName))
      element.aabbSize = aabb->getSize();
    if (!element.moveAnimation.exists()) element.moveAnimation.make(&element.current, float(movingTime));
    if (picks.holds(int32_t(i))) showPicked(element);
    setDepth(element, element.moving);
  }
}

void SuperSwapMinigameViewExtension::showPicked(Element& element) {
  if (!element.selectNode) return;
  if (element.selectFrame == -1)
    element.selectNode->play(true);
  else
    showFrame(element.selectNode, element.selectFrame);
}

void SuperSwapMinigameViewExtension::setDepth(Element& element, bool front) {
  if (!element.node) return;
  // The scene draws the smallest posZ last: a moving piece goes in front.
  const std::vector<AE::ISceneNode*>& children = element.node->mChildren;
  for (size_t k = 0; k < children.size(); ++k)
    children[k]->mPosZ = front ? -100000.0f - float(k) : float(element.depth) - float(k);
}

void SuperSwapMinigameViewExtension::startMove(Element& element) {
  if (!element.moveAnimation.exists()) return;
  setDepth(element, true);
  element.moveAnimation.start(element.current, element.moveTarget);
}

int32_t SuperSwapMinigameViewExtension::handleInput(const InputState* input) {
  if (!input || !input->leftReleased) return 0;
  const float x = float(input->x), y = float(input->y);
  int32_t result = 0;
  for (size_t i = 0; i < elements.size(); ++i) {
    Element& element = elements[i];
    if (!contains(element.rect, x, y)) continue;
    result = 1;
    if (element.inPlace) continue;
    switch (picks.take(int32_t(i), true)) {
      case TwoPicks::First: showPicked(element); break;
      case TwoPicks::Second: {
        showPicked(element);
        Element& first = elements[picks.first];
        first.moveTarget = element.current;
        element.moveTarget = first.current;
        first.moving = element.moving = true;
        startMove(first);
        startMove(element);
        break;
      }
      case TwoPicks::Ignored: break;
    }
    return 1;
  }
  if (picks.first >= 0) rest(elements[picks.first].selectNode);
  picks.drop();
  return result;
}

void SuperSwapMinigameViewExtension::updatePuzzle(float dt) {
  for (Element& element : elements) {
    if (element.node) {
      const KR::Vector2<float> at = worldPosition(element.node);
      element.rect = KR::Rect(at.x, at.y, at.x + element.aabbSize.x, at.y + element.aabbSize.y);
      element.node->setWorldPosition(element.current);
    }
    element.moveAnimation.advance(dt);
    if (element.moving && distance(element.current, element.moveTarget) < kNear) {
      rest(element.selectNode);
      element.moveAnimation.stop();
      picks.drop();
      element.current = element.moveTarget;
      setDepth(element, false);
      element.moving = false;
    }
    if (!element.inPlace && distance(element.current, element.rightPosition) < kNear) {
      if (element.rightPlaceAnimNode) element.rightPlaceAnimNode->play(true);
      element.inPlace = true;
    }
  }
  bool done = skipWanted() || finishReported;
  if (!done) {
    done = true;
    for (const Element& element : elements) done = done && element.inPlace;
  }
  if (!done) return;
  finishTimer += dt;
  if (finishNode && !finishNode->mPlaying) {
    if (!solved)
      finishNode->play(true);
    else
      finishNode->rewindToEnd();
  }
  solved = true;
  if (!finishReported && finishTimer >= finishTime) {
    finishTimer = 0.0f;
    reportFinish();
  }
}

}  // namespace HOG
