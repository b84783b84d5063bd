#include "ui/ui_scene_list.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "animationeditor/marker.h"
#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "animationeditor/scene_render.h"
#include "animationeditor/sprite_scene_node.h"
#include "animationeditor/text_scene_node.h"
#include "log_system.h"
#include "report_assert.h"
#include "ui/book_scrolling_helper.h"
#include "ui/strip_scrolling_helper.h"
#include "ui/ui_pointer.h"
#include "ui/ui_scene_node.h"
#include "ui/ui_state.h"

namespace KR {

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.compare(0, strlen(prefix), prefix) == 0; }

// "x/y" or one number for both; missing numbers read as 0.
Vector2<float> readPair(const std::string& text, bool* two = nullptr) {
  const char* p = text.c_str();
  char* end = nullptr;
  Vector2<float> v;
  v.x = std::strtof(p, &end);
  v.y = v.x;
  const char* slash = std::strchr(p, '/');
  if (two) *two = slash != nullptr;
  if (slash) v.y = std::strtof(slash + 1, nullptr);
  return v;
}

// The node itself or one of its ancestors is `holder`.
bool isWithin(const AE::ISceneNode* node, const AE::ISceneNode* holder) {
  for (const AE::ISceneNode* up = node; up; up = up->mParent)
    if (up == holder) return true;
  return false;
}

bool hitsNode(AE::ISceneNode* node, const Vector2<float>& at) {
  return node && node->hitTest(int(at.x), int(at.y), false);
}

}  // namespace

template <typename Node>
Node* UISceneListItem::TElement<Node>::typedNode() const {
  return dynamic_cast<Node*>(node);
}
template class UISceneListItem::TElement<AE::ISceneNode>;
template class UISceneListItem::TElement<AE::TextSceneNode>;
template class UISceneListItem::TElement<AE::SpriteSceneNode>;

// ---------------------------------------------------------------------------
// Items

UISceneListItem::UISceneListItem(const std::string& name_, AE::ISceneNode* node_, bool borrows)
    : node(node_), name(name_), borrowsNode(borrows) {
  if (name.empty() && node) name = node->mName;
  collectElements();
}

UISceneListItem::UISceneListItem(const std::string& sceneFile, const std::string& name_)
    : UISceneListItem(name_, AE::loadScene(sceneFile)) {
  if (!node) log("ERROR: Can't load scene node from %s!", sceneFile.c_str());
}

UISceneListItem::~UISceneListItem() {
  while (!elements.empty()) {
    delete elements.back();
    elements.pop_back();
  }
  if (!borrowsNode) delete node;
}

void UISceneListItem::collectElements() {
  if (!node) return;
  for (AE::ISceneNode* child : node->mChildren) {
    const std::string& childName = child->mName;
    Element* element = nullptr;
    if (startsWith(childName, "#btn:"))
      element = new TElement<AE::ISceneNode>(kButtonElement, childName.substr(5), child);
    else if (startsWith(childName, "#text:"))
      element = new TElement<AE::TextSceneNode>(kTextElement, childName.substr(6), child);
    else if (startsWith(childName, "#icon:"))
      element = new TElement<AE::SpriteSceneNode>(kIconElement, childName.substr(6), child);
    if (!element) continue;
    if (AE::Marker* regular = child->getMarker("regular")) {
      if (regular->mClock == 0.0f) regular->play();
      regular->jumpToEnd();
    }
    element->interactive = child->getMarker("regular>select") || child->getMarker("select>pressed");
    elements.push_back(element);
  }
  for (AE::Marker* marker : node->mMarkers) {
    if (!startsWith(marker->mName, "#size:")) continue;
    const Vector2<float> size = readPair(marker->mName.substr(6));
    width = size.x;
    height = size.y;
    break;
  }
}

UISceneListItem::Element* UISceneListItem::findElement(const std::string& elementName) const {
  for (Element* element : elements)
    if (element->name == elementName) return element;
  return nullptr;
}

void UISceneListItem::setElementState(Element* element, int32_t state) {
  if (!element) return;
  if (element->state >= 0 && element->state <= 2 && state >= 0 && state <= 2) {
    const std::string marker = std::string(elementStateName(element->state)) + ">" + elementStateName(state);
    if (AE::Marker* found = element->node->getMarker(marker)) found->play();
  }
  element->state = state;
}

int UISceneListItem::processInput(const Vector2<float>& position, bool leftDown) {
  if (elements.empty()) return 0;
  lastPointer = position;
  if (!pressedElement) {
    for (Element* element : elements) {
      if (element->interactive && element->state != 3 && hitsNode(element->node, position)) {
        setElementState(element, 1);
        pressedElement = element;
        return 1;
      }
    }
    return 0;
  }
  Element* element = pressedElement;
  if (!hitsNode(element->node, position)) {
    if (leftDown) return 0;
    setElementState(element, 0);
    pressedElement = nullptr;
    return 2;
  }
  if (leftDown) {
    if (element->state != 2) setElementState(element, 2);
  } else if (element->state == 2) {
    setElementState(element, 1);
    if (element->kind == kButtonElement) {
      const std::vector<UISceneListItemListener*> told = listeners;
      for (UISceneListItemListener* listener : told) listener->onItemButtonClicked(this, element->name);
    }
  }
  return 0;
}

// ---------------------------------------------------------------------------
// The list

UISceneList::UISceneList(const std::string& name_, UIWidget* parent_, AE::ISceneNode* scene_, int32_t type_,
                         bool ownsScene_, bool vertical_, uint32_t flags)
    : UIWidget(name_, parent_),
      type(type_),
      scene(scene_),
      vertical(vertical_),
      ownsScene(ownsScene_),
      scrollingFlags(flags) {
  if (!scene) return;
  list = AE::ISceneNode::findChildFrom(scene, "#list");
  if (!list) KR_FATAL("Not found #list scene node!");
  mask = AE::ISceneNode::findChildFrom(scene, "#mask");
  if (!mask) KR_FATAL("Not found #mask scene node!");
  if (AE::ISceneNode* pattern = AE::ISceneNode::findChildFrom(scene, "#item")) {
    // A pattern that holds the list or the mask only gives the padding.
    const bool holdsParts = isWithin(list, pattern) || isWithin(mask, pattern);
    padding = Vector2<float>(pattern->mPosX - list->mPosX, pattern->mPosY - list->mPosY);
    if (!holdsParts) delete pattern;
  }
  areaSize = mask->getSize();
  const float turn = std::round(mask->mRotation);
  if (turn == 90.0f || turn == -90.0f) std::swap(areaSize.x, areaSize.y);
  list->setPosition(Vector2<float>(0.0f, 0.0f));
  cursor = padding * 2.0f;
  size = scene->getBoundsSize();
  readListMarkers();
  // Last: the scrollers read the area and the settings.
  if (type == 1)
    scroller = new BookScrollingHelper(this, scene);
  else
    scroller = new StripScrollingHelper(this, scene);
}

UISceneList::~UISceneList() {
  pressedItem = nullptr;
  for (UISceneListItem* item : items) delete item;
  items.clear();
  delete scroller;
  if (ownsScene) delete scene;
}

void UISceneList::readListMarkers() {
  for (AE::Marker* marker : list->mMarkers) {
    const std::string& n = marker->mName;
    if (startsWith(n, "#indent:")) {
      indent = std::strtof(n.c_str() + 8, nullptr);
    } else if (startsWith(n, "#outside:")) {
      outside = std::strtof(n.c_str() + 9, nullptr);
    } else if (startsWith(n, "#correctionTime:")) {
      const float v = std::strtof(n.c_str() + 16, nullptr);
      correctionTime = v > 0.0f ? v : 0.25f;
    } else if (startsWith(n, "#padding:")) {
      bool two = false;
      const Vector2<float> v = readPair(n.substr(9), &two);
      padding.x = v.x;
      if (two) padding.y = v.y;
      cursor = padding * 2.0f;
    } else if (startsWith(n, "#area_scale:")) {
      const Vector2<float> v = readPair(n.substr(12));
      areaSize = Vector2<float>(areaSize.x * v.x, areaSize.y * v.y);
    }
  }
}

void UISceneList::addItem(UISceneListItem* item) {
  if (!item) return;
  items.push_back(item);
  if (item->node && list) list->addChild(item->node, true);
  layoutItems();
}

void UISceneList::layoutItems() {
  if (!scene) return;
  cursor = padding * 2.0f;
  for (UISceneListItem* item : items) {
    if (item->node) item->node->setPosition(cursor - padding);
    if (vertical)
      cursor.y += item->height + indent;
    else
      cursor.x += item->width + indent;
  }
  if (needsCorrection()) range = std::min(along(areaSize) - along(cursor), 0.0f);
  scene->update(0.0f);
}

bool UISceneList::needsCorrection() const {
  return !items.empty() && (outside > 0.0f || along(cursor) > along(areaSize));
}

void UISceneList::updateCorrection(float dt) {
  if (!list) return;
  float& position = vertical ? list->mPosY : list->mPosX;
  if (correction.remaining <= 0.0f) {
    if (position > 0.0f)
      correction = Correction{correctionTime, position, 0.0f};
    else if (position < range)
      correction = Correction{correctionTime, position, range};
    else
      return;
  }
  correction.remaining = std::max(0.0f, correction.remaining - dt);
  position = correction.end - (correction.end - correction.start) * correction.remaining / correctionTime;
}

UIWidget* UISceneList::rootWidget() {
  UIWidget* w = this;
  while (w->parent) w = w->parent;
  return w;
}

int32_t UISceneList::processMessage(uint32_t event) {
  if (!scroller) return 0;
  if (event == kUIEventWheelForward)
    scroller->processMessage(true);
  else if (event == kUIEventWheelBack)
    scroller->processMessage(false);
  return 0;
}

bool UISceneList::hitTest(const Vector2<float>& point) {
  if (clientRectSet)
    return point.x >= clientRect.left && point.x <= clientRect.right && point.y >= clientRect.top &&
           point.y <= clientRect.bottom;
  return hitsNode(scene, point);
}

void UISceneList::setVisible(bool value) {
  visible = value;
  if (scene) scene->setEnabled(value);
}

void UISceneList::draw() {
  if (scene && ownsScene) AE::renderScene(scene);
}

void UISceneList::onStateEntered(UIState* state) {
  if (!state) return;
  const std::string left = previousState;
  previousState = state->name;
  if (!scene) return;
  // The widget's current state is already the new one when this runs, so
  // the transition is named by the state it left.
  AE::Marker* marker = nullptr;
  if (!left.empty() && left != state->name) marker = scene->findMarker(left + ">" + state->name);
  if (!marker) marker = scene->findMarker(state->name);
  if (marker) marker->play();
}

void UISceneList::onUpdate(float dt) {
  if (!scene || !rootWidget()->shown) return;
  tintSceneNode(scene, *this);
  if (ownsScene) {
    scene->setPosition(getAbsolutePosition());
    scene->update(dt);
  }
  // An item that takes the pointer ends the update.
  if (UIManager::getInstance()->getTopmostVisible() == rootWidget() && !handleInput(dt)) return;
  if (scroller && !scroller->busy && needsCorrection()) updateCorrection(dt);
}

bool UISceneList::handleInput(float dt) {
  const UIPCController& pointer = *uiPointer();
  const Vector2<float> at = pointer.position;
  const bool down = pointer.leftDown;
  if (pressedItem) {
    int result = 0;
    if (!hitsNode(mask, at) || scrolling) {
      if (pressedItem->pressedElement) pressedItem->setElementState(pressedItem->pressedElement, 0);
      pressedItem->pressedElement = nullptr;
      result = 2;
    } else {
      if (down) {
        const Vector2<float> d = at - pressPosition;
        if (std::sqrt(d.x * d.x + d.y * d.y) >= 3.5f) scrolling = true;
      } else {
        pressPosition = at;
      }
      if (!scrolling) result = pressedItem->processInput(at, down);
    }
    if (result == 2) {
      UISceneListItem* released = pressedItem;
      pressedItem = nullptr;
      pressPosition = at;
      const std::vector<UISceneListListener*> told = listeners;
      for (UISceneListListener* listener : told) listener->onItemReleased(this, released);
      scrolling = down;
    }
    if (pressedItem) return true;
  }
  if (scroller && !scroller->busy && !scroller->isMoving() && hitsNode(mask, at) && !scrolling) {
    for (UISceneListItem* item : items) {
      if (item->processInput(at, down) != 1) continue;
      pressedItem = item;
      pressPosition = at;
      const std::vector<UISceneListListener*> told = listeners;
      for (UISceneListListener* listener : told) listener->onItemPressed(this, item);
      return false;
    }
  }
  if (!scroller) return true;
  scroller->update(dt);
  if (!scroller->busy) {
    scrolling = down;
    if (!down) pressPosition = at;
  }
  return true;
}

}  // namespace KR
