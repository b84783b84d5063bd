#include "core/game_state/minigames/link_view_extension.h"

#include "animationeditor/scene_node.h"
#include "animationeditor/scene_node_animation.h"
#include "core/game_state/input_state.h"
#include "xml_data_reader.h"

namespace HOG {

LinkViewExtension::LinkViewExtension() { finishTime = 3.0f; }

void LinkViewExtension::readConfig(KR::XmlDataReader& reader) {
  readCommonKeys(reader, 3.0f);
  readBoundedInt(reader, "onFrame", &onFrame, 10, 0, kMaxFrame);
  elements.clear();
  if (reader.enterChild("elements")) {
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
      Element element;
      readInt(reader, "id", &element.id, 0);
      readText(reader, "node", &element.nodeName);
      readFlag(reader, "startState", &element.state, false);
      if (!reader.readRect("actionArea", &element.actionArea)) element.actionArea = KR::Rect();
      readIntList(reader, "links", &element.links);
      elements.push_back(std::move(element));
    }
    reader.leaveChild();
  }
  if (elements.empty()) refuse("elements", "has no entry");
}

void LinkViewExtension::forgetNodes() {
  for (Element& element : elements) element.node = nullptr;
}

void LinkViewExtension::onActivate() {
  if (!sceneRoot()) return;
  finishNode = findStoppedNode(finishName, "finish", nullptr);
  for (Element& element : elements) {
    element.node = findStoppedNode(element.nodeName, "elements/node");
    if (!element.node) {
      refuse("elements/node", "a toggle has no node");
      continue;
    }
    showFrame(element.node, frameOf(element.state));
  }
}

void LinkViewExtension::flip(Element& element) {
  element.state = !element.state;
  const int32_t to = frameOf(element.state);
  const int32_t from = to != onFrame ? onFrame : 0;
  if (!element.node) return;
  showFrame(element.node, from);
  element.node->playRange(from, to, to < from, true);
}

int32_t LinkViewExtension::handleInput(const InputState* input) {
  if (finishStarted || !input || !input->leftReleased) return 1;
  const float x = float(input->x), y = float(input->y);
  for (Element& element : elements) {
    if (!contains(element.actionArea, x, y)) continue;
    flip(element);
    // One level deep: the links of a linked element are not followed.
    for (int32_t id : element.links)
      for (Element& other : elements)
        if (other.id == id) {
          flip(other);
          break;
        }
  }
  return 1;
}

bool LinkViewExtension::allOn() const {
  for (const Element& element : elements)
    if (!element.state) return false;
  return true;
}

void LinkViewExtension::updatePuzzle(float dt) {
  doneNow = allOn() || skipWanted() || finishReported;
  if (!doneNow) return;
  holdFinish(dt, &finishStarted);
}

}  // namespace HOG
