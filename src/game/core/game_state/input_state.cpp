#include "core/game_state/input_state.h"

#include "design_coords.h"
#include "input_manager_win_mac.h"

namespace HOG {

void InputState::capture(InputState& out) {
  out.clear();
  if (!KR::InputManager::exists()) {
    out.valid = 1;
    return;
  }
  KR::InputManager* input = KR::InputManager::getInstance();
  KR::MouseDevice* mouse = input->getMouseDevice();
  const KR::Vector2<int> cursor = KR::windowToDesignCoords(mouse->cursorX, mouse->cursorY);
  mouse->designX = cursor.x;
  mouse->designY = cursor.y;
  out.x = cursor.x;
  out.y = cursor.y;
  const KR::Vector2<int> press = KR::windowToDesignCoords(mouse->pressX, mouse->pressY);
  out.pressX = press.x;
  out.pressY = press.y;

  out.leftPressed = mouse->wentDown(0) ? 1 : 0;
  out.leftReleased = mouse->wentUp(0) ? 1 : 0;
  out.leftDown = mouse->buttons[0] ? 1 : 0;
  out.rightPressed = mouse->wentDown(1) ? 1 : 0;
  out.rightReleased = mouse->wentUp(1) ? 1 : 0;
  out.rightDown = mouse->buttons[1] ? 1 : 0;

  // Index 0 reads as "none", so the scans start at 1.
  const KR::KeyboardDevice* keyboard = input->getKeyboardDevice();
  for (int key = 1; key < 256 && !out.keyDown; ++key)
    if (keyboard->isDown(uint8_t(key))) out.keyDown = uint8_t(key);
  for (int key = 1; key < 256 && !out.keyPressed; ++key)
    if (keyboard->wentDown(uint8_t(key))) out.keyPressed = uint8_t(key);
  for (int key = 1; key < 256 && !out.keyReleased; ++key)
    if (keyboard->wentUp(uint8_t(key))) out.keyReleased = uint8_t(key);

  out.hasEvent = (out.leftPressed | out.leftReleased | out.leftDown | out.rightPressed | out.rightReleased |
                  out.rightDown | out.keyDown | out.keyPressed | out.keyReleased)
                     ? 1
                     : 0;
  out.valid = 1;
}

}  // namespace HOG
