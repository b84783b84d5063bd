#pragma once
// The polled mouse: buttons and cursor position, read once per engine tick.
#include <cstdint>

namespace KR {

class MouseDevice {
 public:
  // Keeps the previous button states and reads the new ones and the cursor.
  void update();

  // A button went down in this poll.
  bool wentDown(int button) const { return button >= 0 && button < 2 && buttons[button] && !previousButtons[button]; }
  bool wentUp(int button) const { return button >= 0 && button < 2 && !buttons[button] && previousButtons[button]; }

  int32_t cursorX = 0;  // window client pixels
  int32_t cursorY = 0;
  int32_t designX = 0;  // written by the video player in design coordinates
  int32_t designY = 0;
  uint8_t buttons[2] = {0, 0};          // left, right: non-zero while down
  uint8_t previousButtons[2] = {0, 0};  // the same of the previous poll
};

}  // namespace KR
