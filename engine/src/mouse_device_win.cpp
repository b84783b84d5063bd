#include "mouse_device_win.h"

#include "platform/input_state.h"

namespace KR {

void MouseDevice::update() {
  const Platform::MousePoll poll = Platform::pollMouse();
  for (int i = 0; i < 2; ++i) {
    previousButtons[i] = buttons[i];
    buttons[i] = poll.buttons[i];
  }
  cursorX = poll.x;
  cursorY = poll.y;
  wheel = poll.wheel;
  if (pressedThisPoll()) {
    pressX = cursorX;
    pressY = cursorY;
  }
}

}  // namespace KR
