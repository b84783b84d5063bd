#include "ui/ui_controller.h"

#include <algorithm>

#include "design_coords.h"
#include "input_manager_win_mac.h"
#include "scoped_lock.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace KR {

namespace {

// A widget hidden or disabled (itself or above it) while it holds the capture
// never sees the release that would let go of it.
bool canHoldCapture(const UIWidget* widget) {
  for (const UIWidget* w = widget; w; w = w->parent)
    if (!w->enabled || !w->visible || w->destroyPending) return false;
  return true;
}

}  // namespace

uint32_t UIPCController::chooseEvent() {
  if (!InputManager::exists()) return kUIEventNone;
  InputManager* input = InputManager::getInstance();
  MouseDevice* mouse = input->getMouseDevice();
  const KeyboardDevice* keyboard = input->getKeyboardDevice();

  const Vector2<int> design = windowToDesignCoords(mouse->cursorX, mouse->cursorY);
  mouse->designX = design.x;
  mouse->designY = design.y;
  position = Vector2<float>(float(design.x), float(design.y));
  leftDown = mouse->buttons[0] != 0;
  if (mouse->pressedThisPoll()) pressPosition = position;

  uint8_t pressedKey = 0, releasedKey = 0, heldKey = 0;
  for (int code = 0; code < 256 && !(pressedKey && releasedKey && heldKey); ++code) {
    const bool now = (keyboard->keys[code] & 0x80) != 0;
    const bool before = (keyboard->previousKeys[code] & 0x80) != 0;
    if (now && !before && !pressedKey) pressedKey = uint8_t(code);
    if (!now && before && !releasedKey) releasedKey = uint8_t(code);
    if (now && !heldKey) heldKey = uint8_t(code);
  }

  const bool left = mouse->buttons[0] != 0;
  const bool previousLeft = mouse->previousButtons[0] != 0;
  if (left && !previousLeft) return kUIEventLeftPressed;
  if (left) return kUIEventLeftHeld;
  if (previousLeft) return kUIEventLeftReleased;
  if (pressedKey) return makeKeyEvent(kUIEventKeyPressed, pressedKey);
  if (releasedKey) return makeKeyEvent(kUIEventKeyReleased, releasedKey);
  if (heldKey) return makeKeyEvent(kUIEventKeyHeld, heldKey);
  if (mouse->wheel > 0) return kUIEventWheelForward;
  if (mouse->wheel < 0) return kUIEventWheelBack;
  return kUIEventNone;
}

void UIPCController::processInput() {
  lastEvent = chooseEvent();
  KeyboardDevice* keyboard = InputManager::exists() ? InputManager::getInstance()->getKeyboardDevice() : nullptr;
  bool keyStrokes = false;
  if (keyboard)
    for (const Platform::KeyStroke& stroke : keyboard->strokes) keyStrokes = keyStrokes || stroke.down;
  const bool keyFrame = uiEventKind(lastEvent) == kUIEventKeyPressed;
  if (!keyFrame || !keyStrokes) route(lastEvent);
  if (!keyStrokes) return;
  // Every press of the frame reaches the widgets on its own, in the order it
  // came, however many a slow frame holds: a text edit loses no letter. What
  // the pointer did this frame decides what the game reads of it.
  const int32_t frameTaken = taken, frameOverUI = overUI;
  int32_t keysTaken = 0, keysOverUI = 0;
  for (const Platform::KeyStroke& stroke : keyboard->strokes) {
    if (!stroke.down) continue;
    keyboard->routedPress = &stroke;
    route(makeKeyEvent(kUIEventKeyPressed, stroke.key));
    keysTaken |= taken;
    keysOverUI |= overUI;
  }
  keyboard->routedPress = nullptr;
  taken = keyFrame ? keysTaken : frameTaken;
  overUI = keyFrame ? keysOverUI : frameOverUI;
}

void UIPCController::route(uint32_t event) {
  if (suspended) return;
  overUI = 0;
  int32_t result = 0;
  UIManager* manager = UIManager::getInstance();
  {
    ScopedLock guard(ScopedLock::lock(manager->getLock()));
    if (UIWidget* held = manager->getCapturedWidget())
      if (!canHoldCapture(held)) manager->setCapturedWidget(nullptr, manager->getCaptureExcludesChildren());
    if (UIWidget* captured = manager->getCapturedWidget()) {
      result = routeInTree(event, captured);
    } else {
      // A widget's input may show, hide or load trees: walk a copy.
      const std::vector<UIWidget*> roots = manager->getRoots();
      const std::vector<UIWidget*> covered = isKeyEvent(event) ? std::vector<UIWidget*>() : coveredRoots(roots);
      for (UIWidget* root : roots) {
        if (!root || !root->shown || !manager->isRoot(root)) continue;
        if (std::find(covered.begin(), covered.end(), root) == covered.end()) {
          result |= routeInTree(event, root);
          continue;
        }
        // Routed with the pointer off every widget, so that what was under it before lets go of its hover.
        const Vector2<float> screen = position;
        position = Vector2<float>(-1.0e9f, -1.0e9f);
        result |= routeToWidget(event, root);
        position = screen;
      }
    }
  }
  runQueuedCommands();
  taken = result;
}

std::vector<UIWidget*> UIPCController::coveredRoots(const std::vector<UIWidget*>& roots) {
  const std::vector<UIWidget*> stack = UIManager::getInstance()->getShownStack();
  size_t cover = stack.size();
  for (size_t i = stack.size(); i-- > 0;) {
    UIWidget* entry = stack[i];
    if (!entry->coversBelow || !entry->shown || !entry->visible || entry->parent) continue;
    if (entry->hitTest(entry->pointerToTree ? entry->pointerToTree(position) : position)) {
      cover = i;
      break;
    }
  }
  std::vector<UIWidget*> covered;
  if (cover == stack.size()) return covered;
  for (UIWidget* root : roots) {
    if (root == stack[cover]) continue;
    bool above = false;
    for (size_t i = cover + 1; i < stack.size() && !above; ++i)
      above = stack[i] == root || root->hasDescendant(stack[i]);
    if (!above) covered.push_back(root);
  }
  return covered;
}

int32_t UIPCController::routeInTree(uint32_t event, UIWidget* w) {
  const UIWidget* root = w;
  while (root->parent) root = root->parent;
  if (!root->pointerToTree) return routeToWidget(event, w);
  const Vector2<float> screen = position, screenPress = pressPosition;
  position = root->pointerToTree(screen);
  pressPosition = root->pointerToTree(screenPress);
  const int32_t result = routeToWidget(event, w);
  position = screen;
  pressPosition = screenPress;
  return result;
}

int32_t UIPCController::routeToWidget(uint32_t event, UIWidget* w) {
  UIManager* manager = UIManager::getInstance();
  int32_t result = 0;
  const bool reachable = manager->isInputReachable(w);
  const bool captured = w == manager->getCapturedWidget();
  const bool keyEvent = isKeyEvent(event);
  if ((captured || (reachable && !w->isClippedOut())) && keyEvent) result = w->processMessage(event);
  if (!w->enabled || !w->visible || w->destroyPending) return result;

  bool hit = false;
  bool walkChildren = true;
  if (captured) {
    hit = true;
    walkChildren = !manager->getCaptureExcludesChildren();
  } else if (reachable) {
    hit = keyEvent || w->hitTest(position);
  }
  if (!hit) {
    if (w->selected) {
      w->setState("onIdle");
      w->selected = false;
    }
    return result;
  }
  if (walkChildren) {
    for (size_t i = 0; i < w->children.size(); ++i) result |= routeToWidget(event, w->children[i]);
  }
  if (!keyEvent && !w->selected) {
    w->setState("onSelect");
    w->selected = true;
  }
  const uint32_t kind = uiEventKind(event);
  if (kind == kUIEventLeftPressed || kind == kUIEventLeftHeld || kind == kUIEventLeftReleased ||
      kind == kUIEventWheelForward || kind == kUIEventWheelBack)
    result |= w->processMessage(event);
  overUI |= 1;
  return result;
}

void UIPCController::runQueuedCommands() {
  UIManager* manager = UIManager::getInstance();
  UIManager::QueuedCommands entry;
  while (manager->takeQueuedCommands(&entry)) manager->runCommands(entry);
}

}  // namespace KR
