#pragma once
// The play state's per-frame input record: the mouse and keyboard of this
// frame turned into edges and design coordinates, built once per frame and
// handed to the HUD and the top view. A cleared record (valid 0) stands for
// no input. Main thread only.
#include <cstdint>

namespace HOG {

struct InputState {
  int32_t x = 0, y = 0;            // cursor, design coordinates
  int32_t pressX = 0, pressY = 0;  // the last button press, design coordinates
  uint8_t leftPressed = 0;
  uint8_t leftReleased = 0;
  uint8_t leftDown = 0;
  uint8_t rightPressed = 0;
  uint8_t rightReleased = 0;
  uint8_t rightDown = 0;
  uint8_t keyDown = 0;      // lowest key index down now; 0 none
  uint8_t keyPressed = 0;   // lowest key down now and up in the previous poll
  uint8_t keyReleased = 0;  // lowest key up now and down in the previous poll
  uint8_t hasEvent = 0;     // any of the nine fields above is set
  uint8_t valid = 0;        // 1 in a captured record

  // Fills every field from the input manager's devices. The converted cursor
  // goes to the mouse device's design fields, never over its window
  // positions, so the press point is converted once from window pixels.
  static void capture(InputState& out);
  void copyFrom(const InputState& other) { *this = other; }
  void clear() { *this = InputState(); }
};

}  // namespace HOG
