#pragma once
// The input manager: the keyboard and mouse devices the engine tick polls.
#include <cstdint>
#include <vector>

#include "mouse_device_win.h"
#include "platform/input_state.h"
#include "singleton.h"

class Application;

namespace KR {

// Two key tables indexed by virtual-key code, 0x80 set while a key is down.
class KeyboardDevice {
 public:
  // Copies current to previous, refills current from the system and clears
  // the mouse-button entries (1, 2, 3), which the mouse device reports. A key
  // tapped between two polls shows as down in this one.
  void poll();
  // What the key's press typed in this frame under the current layout; 0 when
  // nothing (text edits use it). While the UI routes one of the frame's
  // presses, what that press typed.
  wchar_t typedCharacter(uint8_t key) const;
  // How often the key went down, or up, since the previous poll: a key tapped
  // in each of two frames in a row counts in each, where the tables show one
  // long press.
  int presses(uint8_t key) const;
  int releases(uint8_t key) const;

  bool isDown(uint8_t key) const { return (keys[key] & 0x80) != 0; }
  bool wentDown(uint8_t key) const { return isDown(key) && !(previousKeys[key] & 0x80); }
  bool wentUp(uint8_t key) const { return !isDown(key) && (previousKeys[key] & 0x80); }

  uint8_t keys[256] = {};
  uint8_t previousKeys[256] = {};
  // Every stroke since the previous poll, in the order it came.
  std::vector<Platform::KeyStroke> strokes;
  // The press of strokes the UI is routing now, or null.
  const Platform::KeyStroke* routedPress = nullptr;
};

class InputManager : public Singleton<InputManager> {
 public:
  explicit InputManager(Application* application);
  ~InputManager() override;

  // Called once the window and the render device exist. The devices read the
  // platform's event-built state, so nothing has to be opened; the result is
  // kept for callers that check it.
  bool initDevices();

  MouseDevice* getMouseDevice() { return &mouse; }
  KeyboardDevice* getKeyboardDevice() { return &keyboard; }
  Application* getApplication() const { return application; }

 private:
  Application* application;
  MouseDevice mouse;
  KeyboardDevice keyboard;
};

}  // namespace KR
