#include "mouse_device_win.h"

#include "platform/input_state.h"

namespace KR {

void MouseDevice::update() {
  previousButtons[0] = buttons[0];
  previousButtons[1] = buttons[1];
  Platform::MouseState state = Platform::mouseState();
  buttons[0] = state.buttons[0];
  buttons[1] = state.buttons[1];
  cursorX = state.x;
  cursorY = state.y;
}

}  // namespace KR
