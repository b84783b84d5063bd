#include "input_manager_win_mac.h"

#include <cstring>

#include "platform/input_state.h"

namespace KR {

void KeyboardDevice::poll() {
  std::memcpy(previousKeys, keys, sizeof(keys));
  Platform::pollKeyboard(keys);
  keys[1] = 0;
  keys[2] = 0;
  keys[3] = 0;
}

wchar_t KeyboardDevice::typedCharacter(uint8_t key) const { return Platform::typedCharacter(key); }

InputManager::InputManager(Application* application_) : application(application_) { setInstance(this); }

InputManager::~InputManager() = default;

bool InputManager::initDevices() { return true; }

}  // namespace KR
