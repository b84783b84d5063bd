#include "platform/input_injection.h"

#include <SDL.h>

#include <cstring>

#include "platform/input_state.h"
#include "platform/window.h"

namespace KR {
namespace Platform {

namespace {

uint32_t windowId() {
  Window* window = mainWindow();
  return window ? window->id() : 0;
}

bool push(SDL_Event& event) { return SDL_WasInit(SDL_INIT_EVENTS) && SDL_PushEvent(&event) == 1; }

}  // namespace

bool pushMouseMotion(int32_t x, int32_t y) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = windowId();
  event.motion.x = x;
  event.motion.y = y;
  return push(event);
}

bool pushMouseButton(int button, bool down, int32_t x, int32_t y) {
  if (button < 0 || button > 1) return false;
  SDL_Event event{};
  event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  event.button.windowID = windowId();
  event.button.button = button == 0 ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
  event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  return push(event);
}

bool pushMouseWheel(int32_t notches) {
  SDL_Event event{};
  event.type = SDL_MOUSEWHEEL;
  event.wheel.windowID = windowId();
  event.wheel.y = notches;
  event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  return push(event);
}

bool pushKey(uint8_t virtualKey, bool down) {
  for (int code = 1; code < SDL_NUM_SCANCODES; ++code) {
    if (virtualKeyFromScancode(code) != virtualKey) continue;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = SDL_Scancode(code);
    event.key.keysym.sym = SDL_GetKeyFromScancode(SDL_Scancode(code));
    return push(event);
  }
  return false;
}

bool pushText(const std::string& utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = windowId();
  std::strncpy(event.text.text, utf8.c_str(), sizeof(event.text.text) - 1);
  return push(event);
}

}  // namespace Platform
}  // namespace KR
