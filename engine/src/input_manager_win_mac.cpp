#include "input_manager_win_mac.h"

#include <cstring>

#include "platform/input_state.h"

namespace KR {

void KeyboardDevice::poll() {
  std::memcpy(previousKeys, keys, sizeof(keys));
  Platform::keyboardState(keys);
  keys[1] = 0;
  keys[2] = 0;
  keys[3] = 0;
}

InputManager::InputManager(Application* application_) : application(application_) { setInstance(this); }

InputManager::~InputManager() = default;

bool InputManager::initDevices() { return true; }

}  // namespace KR
