#include "ui/ui_widget.h"

#include <algorithm>

#include "animation.h"
#include "function.h"
#include "lua_script_2.h"
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"
#include "ui/ui_state.h"
#include "ui/ui_table_keys.h"

namespace KR {

namespace {

const char* const kIdle = "onIdle";
const char* const kSelect = "onSelect";
const char* const kDisable = "onDisable";
const char* const kHide = "onHide";

bool meets(const Vector2<float>& lt, const Vector2<float>& rb, const Rect& r) {
  return lt.x <= r.right && rb.x >= r.left && lt.y <= r.bottom && rb.y >= r.top;
}

}  // namespace

UIWidget::UIWidget(const std::string& name_, UIWidget* parent_) : name(name_), parent(parent_) {}

UIWidget::~UIWidget() {
  for (auto& entry : states) delete entry.second;
  states.clear();
  currentState = nullptr;
  deleteChildren();
}

void UIWidget::processEvent(const std::string&, IFunction* function) { delete function; }

bool UIWidget::hitTest(const Vector2<float>& point) {
  if (notSelecting) return false;
  const Vector2<float> absolute = getAbsolutePosition();
  Vector2<float> lt = absolute;
  Vector2<float> rb = absolute + getSize();
  if (customContentRectEnabled) {
    lt = absolute + Vector2<float>(customContentRect.left, customContentRect.top);
    rb = absolute + Vector2<float>(customContentRect.right, customContentRect.bottom);
  }
  bool clip = true;
  if (clientRectSet) {
    clip = meets(lt, rb, clientRect) && point.x >= clientRect.left && point.x <= clientRect.right &&
           point.y >= clientRect.top && point.y <= clientRect.bottom;
  }
  if (point.x >= lt.x && point.x <= rb.x && point.y >= lt.y && point.y <= rb.y && clip) return true;
  if (customContentRectEnabled) return false;
  for (UIWidget* child : children)
    if (child->hitTest(point)) return true;
  return false;
}

void UIWidget::setClientRect(const Rect& rect) {
  clientRect = rect;
  clientRectSet = true;
  for (UIWidget* child : children) child->setClientRect(clientRect);
  onClientRectChanged();
}

void UIWidget::load(LuaScript& script) {
  uiReadPair(script, "position", &position);
  uiReadFlag(script, "modal", &modal);
  if (uiReadFloat(script, "hideStateDuration", &hideStateDuration)) {
    for (UIWidget* child : children) child->hideStateDuration = hideStateDuration;
  }
  Rect rect;
  customContentRectEnabled = script.getRect("customClientRect", &rect);
  customContentRect = customContentRectEnabled ? rect : Rect();
  bool flag = false;
  if (uiReadFlag(script, "enabled", &flag) && flag != enabled) {
    if (flag)
      enable();
    else
      disable();
  }
  uiReadFlag(script, "notSelecting", &notSelecting);
  uiReadInt(script, "tabOrder", &tabOrder);
  int32_t number = 0;
  if (uiReadInt(script, "hotkey", &number)) hotkey = uint8_t(number & 0xFF);
  uiReadInt(script, "defaultChildTabOrder", &defaultChildTabOrder);
  uiReadInt(script, "tabNavigation", &tabNavigation);
  processMessageReturnValue = 0;
  uiReadInt(script, "processMessageReturnValue", &processMessageReturnValue);
  uiReadFlag(script, "enableCustomContentRect", &customContentRectEnabled);
  if (script.getRect("customContentRect", &rect)) customContentRect = rect;
}

UIWidget* UIWidget::findDescendant(const std::string& wanted) {
  if (name == wanted) return this;
  for (UIWidget* child : children)
    if (UIWidget* found = child->findDescendant(wanted)) return found;
  return nullptr;
}

bool UIWidget::hasDescendant(const UIWidget* widget) const {
  for (const UIWidget* child : children)
    if (child == widget || child->hasDescendant(widget)) return true;
  return false;
}

int UIWidget::insertChild(int index, UIWidget* child) {
  if (index < 0 || std::find(children.begin(), children.end(), child) != children.end()) return 1;
  child->parent = this;
  if (size_t(index) >= children.size())
    children.push_back(child);
  else
    children.insert(children.begin() + index, child);
  return 0;
}

int UIWidget::removeChild(UIWidget* child) {
  auto found = std::find(children.begin(), children.end(), child);
  if (found == children.end()) return 1;
  children.erase(found);
  return 0;
}

void UIWidget::deleteChildren() {
  std::vector<UIWidget*> doomed;
  doomed.swap(children);
  for (UIWidget* child : doomed) delete child;
}

Vector2<float> UIWidget::getAbsolutePosition() const {
  Vector2<float> result = position + offset;
  if (parent) result += parent->getAbsolutePosition();
  return result;
}

Vector2<float> UIWidget::getTotalSize() const {
  const Vector2<float> absolute = getAbsolutePosition();
  Vector2<float> corner = absolute + size;
  for (const UIWidget* child : children) {
    const Vector2<float> childCorner = child->getAbsolutePosition() + child->getTotalSize();
    corner.x = std::max(corner.x, childCorner.x);
    corner.y = std::max(corner.y, childCorner.y);
  }
  return corner - absolute;
}

bool UIWidget::isClippedOut() const {
  if (!clientRectSet) return false;
  const Vector2<float> lt = getAbsolutePosition();
  return !meets(lt, lt + getTotalSize(), clientRect);
}

void UIWidget::render(bool force) {
  if (ownerDrawn && !force) return;
  if (!visible || drawn) return;
  if (alpha > 0.0f) draw();
  for (UIWidget* child : children) child->render(force);
  if (alpha > 0.0f) drawAfterChildren();
  drawn = true;
}

void UIWidget::update(float dt) {
  if (currentState) {
    for (UIState::IPropertyChange* change : currentState->changes) change->apply(dt);
  }
  onUpdate(dt);
  for (size_t i = 0; i < children.size(); ++i) children[i]->update(dt);
}

void UIWidget::clearDrawnFlag() {
  drawn = false;
  for (UIWidget* child : children) child->clearDrawnFlag();
}

UIState* UIWidget::findState(const std::string& wanted) const {
  auto found = states.find(wanted);
  return found == states.end() ? nullptr : found->second;
}

void UIWidget::enterFound(UIState* state, bool forcibly) {
  currentState = state;
  onStateEntered(state);
  for (UIState::IPropertyChange* change : state->changes) {
    if (forcibly)
      change->finish();
    else
      change->start();
  }
  shown = state->name != kHide;
}

void UIWidget::enterState(const std::string& wanted, bool forcibly) {
  if (locked) return;
  std::string entered = wanted;
  if (!enabled) {
    if (entered == kSelect) return;
    if (entered == kIdle) entered = kDisable;
  }
  if (entered != kSelect) selected = false;
  if (UIState* state = findState(entered)) enterFound(state, forcibly);
  if (entered == kIdle || entered == kHide) {
    for (size_t i = 0; i < children.size(); ++i) children[i]->enterState(entered, forcibly);
  }
}

void UIWidget::setState(const std::string& wanted) { enterState(wanted, false); }

void UIWidget::setStateForcibly(const std::string& wanted) { enterState(wanted, true); }

void UIWidget::applyStateForcibly(UIState* state) {
  if (!state || !enabled || locked) return;
  if (state->name != kSelect) selected = false;
  enterFound(state, true);
  if (state->name == kIdle || state->name == kHide) {
    for (UIWidget* child : children) child->setStateForcibly(state->name);
  }
}

bool UIWidget::addState(const std::string& stateName, UIState* state) {
  if (!state || states.count(stateName)) return false;
  states[stateName] = state;
  applyStateForcibly(state);
  return true;
}

std::string UIWidget::getCurrentStateName() const { return currentState ? currentState->name : std::string(); }

void UIWidget::addDefaultIdleState() {
  auto* state = new UIState(kIdle);
  state->addPropertyChange(new UIState::PropertyChange<float>(this, &alpha, 1.0f, 0.25f));
  if (!addState(kIdle, state)) delete state;
}

void UIWidget::ensureHideState() {
  if (states.count(kHide)) return;
  auto* state = new UIState(kHide);
  state->addPropertyChange(new UIState::PropertyChange<float>(this, &alpha, 0.0f, hideStateDuration));
  addState(kHide, state);
  for (UIWidget* child : children) {
    child->hideStateDuration = hideStateDuration;
    child->ensureHideState();
  }
}

void UIWidget::show() { showWith(false); }

void UIWidget::showForcibly() { showWith(true); }

void UIWidget::showWith(bool forcibly) {
  enterState(kIdle, forcibly);
  if (UIManager::exists()) UIManager::getInstance()->bringToTop(this);
}

void UIWidget::hide() { hideWith(false); }

void UIWidget::hideForcibly() { hideWith(true); }

void UIWidget::hideWith(bool forcibly) {
  enterState(kHide, forcibly);
  if (!UIManager::exists()) return;
  UIManager* manager = UIManager::getInstance();
  manager->getController()->onWidgetShown(manager->getTopmostVisible());
  manager->notifyHidden(this);
}

void UIWidget::enable() {
  if (locked) return;
  enabled = true;
  setStateForcibly(kIdle);
}

void UIWidget::disable() {
  if (locked) return;
  if (enabled) setStateForcibly(kDisable);
  enabled = false;
}

void UIWidget::bindPosTrack(Animation* animation, UIWidget* widget) {
  if (animation && widget) animation->bindVector2Parameter("pos", &widget->position);
}

void UIWidget::bindAlphaTrack(Animation* animation, UIWidget* widget) {
  if (animation && widget) animation->bindFloatTarget("alpha", &widget->alpha);
}

}  // namespace KR
