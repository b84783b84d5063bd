#include "input_manager_win_mac.h"

#include <cstring>

#include "platform/input_state.h"

namespace KR {

void KeyboardDevice::poll() {
  std::memcpy(previousKeys, keys, sizeof(keys));
  routedPress = nullptr;
  Platform::pollKeyboard(keys, &strokes);
  keys[1] = 0;
  keys[2] = 0;
  keys[3] = 0;
}

wchar_t KeyboardDevice::typedCharacter(uint8_t key) const {
  if (routedPress && routedPress->key == key) return routedPress->typed;
  return Platform::typedCharacter(key);
}

int KeyboardDevice::presses(uint8_t key) const {
  int count = 0;
  for (const Platform::KeyStroke& stroke : strokes) count += stroke.key == key && stroke.down;
  return count;
}

int KeyboardDevice::releases(uint8_t key) const {
  int count = 0;
  for (const Platform::KeyStroke& stroke : strokes) count += stroke.key == key && !stroke.down;
  return count;
}

InputManager::InputManager(Application* application_) : application(application_) { setInstance(this); }

InputManager::~InputManager() = default;

bool InputManager::initDevices() { return true; }

}  // namespace KR
