#pragma once
// The UI manager's input controller: once a frame it turns the polled mouse
// and keyboard into one input event, offers it to the widget trees, and then
// runs the commands the widgets queued. It records the pointer, the last
// press, whether a widget took the event and whether the pointer was over
// the user interface; the game reads these to decide whether its views see
// the input.
#include <cstdint>
#include <vector>

#include "vector2.h"

namespace KR {

class UIWidget;

// UIInputEvent: the kind in bits 0-15, the virtual-key code of key kinds in
// bits 16-23.
enum UIInputEventKind : uint32_t {
  kUIEventNone = 0,
  kUIEventLeftPressed = 1,
  kUIEventLeftHeld = 2,
  kUIEventLeftReleased = 3,
  kUIEventKeyPressed = 4,
  kUIEventKeyHeld = 5,
  kUIEventKeyReleased = 6,
  kUIEventWheelForward = 7,
  kUIEventWheelBack = 8,
  // Sent by code to a button: a click without a press.
  kUIEventClick = 9,
};

inline uint32_t uiEventKind(uint32_t event) { return event & 0xFFFFu; }
inline uint8_t uiEventKey(uint32_t event) { return uint8_t((event >> 16) & 0xFFu); }
inline uint32_t makeKeyEvent(uint32_t kind, uint8_t key) { return kind | (uint32_t(key) << 16); }
inline bool isKeyEvent(uint32_t event) {
  const uint32_t kind = uiEventKind(event);
  return kind == kUIEventKeyPressed || kind == kUIEventKeyHeld || kind == kUIEventKeyReleased;
}

class UIController {
 public:
  virtual ~UIController() = default;
  // Polls, routes one event and runs the queued commands.
  virtual void processInput() = 0;
  // A widget was shown or brought to the top (or the topmost after a hide).
  virtual void onWidgetShown(UIWidget*) {}
};

class UIPCController : public UIController {
 public:
  void processInput() override;

  // The frame's event from the input manager's devices (kind 0 without one);
  // updates position, pressPosition and leftDown.
  uint32_t chooseEvent();
  // Offers the event to the captured widget or to every shown root, then
  // runs the queued commands.
  void route(uint32_t event);
  int32_t routeToWidget(uint32_t event, UIWidget* widget);
  // routeToWidget with the pointer (and the press) as the widget's tree draws
  // them: through its root's pointerToTree when it has one.
  int32_t routeInTree(uint32_t event, UIWidget* widget);
  // The roots below the topmost covering root (coversBelow) under the pointer.
  std::vector<UIWidget*> coveredRoots(const std::vector<UIWidget*>& roots);
  void runQueuedCommands();

  Vector2<float> position;       // pointer in design coordinates
  Vector2<float> pressPosition;  // at the last frame a button went down
  bool leftDown = false;
  int32_t taken = 0;   // OR of what the widgets returned for this frame's event
  int32_t overUI = 0;  // bit 0: the event reached a live widget
  bool suspended = false;
  uint32_t lastEvent = 0;  // the event of the last processInput
};

}  // namespace KR
