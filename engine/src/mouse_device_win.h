#pragma once
// The polled mouse: buttons, cursor, wheel and the last press position, read
// once per engine tick from the platform's event-built state.
#include <cstdint>

namespace KR {

class MouseDevice {
 public:
  // Keeps the previous button states and reads the new ones, the cursor and
  // the wheel; a left or right button that went down records the press position.
  void update();

  // A button (0 left, 1 right) went down or up in this poll.
  bool wentDown(int button) const { return button >= 0 && button < 2 && buttons[button] && !previousButtons[button]; }
  bool wentUp(int button) const { return button >= 0 && button < 2 && !buttons[button] && previousButtons[button]; }
  // Either button went down in this poll.
  bool pressedThisPoll() const { return wentDown(0) || wentDown(1); }

  int32_t cursorX = 0;  // window client pixels (beyond the edges while captured)
  int32_t cursorY = 0;
  int32_t designX = 0;  // design coordinates, written by the UI controller and the video player
  int32_t designY = 0;
  int32_t pressX = 0;  // client pixels at the last poll on which a button went down
  int32_t pressY = 0;
  uint8_t buttons[2] = {0, 0};          // left, right: 0x80 while down, else 0
  uint8_t previousButtons[2] = {0, 0};  // the same of the previous poll
  int32_t wheel = 0;                    // notches since the previous poll, forward above 0
};

}  // namespace KR
