#include "platform/input_state.h"

#include <SDL.h>

#include <cstring>
#include <mutex>

namespace KR {
namespace Platform {

namespace {

struct InputData {
  MouseState mouse;
  uint8_t keys[256] = {};
  // Each generic modifier is down while either of its sides is.
  uint8_t sides[256] = {};
  // Went down since the last poll: a tap released before the poll still counts.
  uint8_t keyTapped[256] = {};
  uint8_t buttonTapped[3] = {};
  uint8_t polledButtons[2] = {};
  // The key whose press the next text event belongs to, and what each press
  // typed since the last keyboard poll.
  uint8_t lastPressed = 0;
  wchar_t pendingTyped[256] = {};
  // Every stroke since the last keyboard poll, in order; the press the next
  // text event belongs to (none after a release or a repeat).
  std::vector<KeyStroke> strokes;
  bool textForLastStroke = false;
};

InputData gInput;
std::mutex gInputLock;

uint8_t genericModifier(uint8_t vk) {
  switch (vk) {
    case kVkLShift:
    case kVkRShift: return kVkShift;
    case kVkLControl:
    case kVkRControl: return kVkControl;
    case kVkLMenu:
    case kVkRMenu: return kVkMenu;
    default: return 0;
  }
}

// What the keyboard poll hands out for this frame.
wchar_t gFrameTyped[256] = {};

void setKey(uint8_t vk, bool down) {
  if (vk == 0) return;
  gInput.sides[vk] = down ? 1 : 0;
  gInput.keys[vk] = down ? kKeyDown : 0;
  if (down) gInput.keyTapped[vk] = 1;
  uint8_t generic = genericModifier(vk);
  if (generic) {
    bool any = false;
    switch (generic) {
      case kVkShift: any = gInput.sides[kVkLShift] || gInput.sides[kVkRShift]; break;
      case kVkControl: any = gInput.sides[kVkLControl] || gInput.sides[kVkRControl]; break;
      default: any = gInput.sides[kVkLMenu] || gInput.sides[kVkRMenu]; break;
    }
    gInput.keys[generic] = any ? kKeyDown : 0;
    if (down) gInput.keyTapped[generic] = 1;
  }
}

// The code point of a UTF-8 text of exactly one character; 0 when it is
// empty, broken or longer (a press that typed two characters typed no one
// character a text edit could take).
wchar_t onlyCodePoint(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  if (p[0] < 0x80) return p[0] != 0 && p[1] == 0 ? wchar_t(p[0]) : 0;
  int extra = 0;
  uint32_t code = 0;
  if ((p[0] & 0xE0) == 0xC0) {
    extra = 1;
    code = p[0] & 0x1F;
  } else if ((p[0] & 0xF0) == 0xE0) {
    extra = 2;
    code = p[0] & 0x0F;
  } else if ((p[0] & 0xF8) == 0xF0) {
    extra = 3;
    code = p[0] & 0x07;
  } else {
    return 0;
  }
  for (int i = 1; i <= extra; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (p[i] & 0x3F);
  }
  return p[extra + 1] == 0 ? wchar_t(code) : 0;
}

int buttonIndex(uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
  }
}

const uint8_t kButtonKeys[3] = {kVkLButton, kVkRButton, kVkMButton};

}  // namespace

uint8_t virtualKeyFromScancode(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return uint8_t('A' + (scancode - SDL_SCANCODE_A));
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return uint8_t('1' + (scancode - SDL_SCANCODE_1));
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return uint8_t(kVkF1 + (scancode - SDL_SCANCODE_F1));
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    return uint8_t(0x7C + (scancode - SDL_SCANCODE_F13));
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return uint8_t(0x61 + (scancode - SDL_SCANCODE_KP_1));
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: return kVkReturn;
    case SDL_SCANCODE_KP_ENTER: return kVkReturn;
    case SDL_SCANCODE_ESCAPE: return kVkEscape;
    case SDL_SCANCODE_BACKSPACE: return kVkBack;
    case SDL_SCANCODE_TAB: return kVkTab;
    case SDL_SCANCODE_SPACE: return kVkSpace;
    case SDL_SCANCODE_MINUS: return 0xBD;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_BACKSLASH: return 0xDC;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
    case SDL_SCANCODE_SCROLLLOCK: return 0x91;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_INSERT: return 0x2D;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_PAGEUP: return 0x21;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_PAGEDOWN: return 0x22;
    case SDL_SCANCODE_RIGHT: return kVkRight;
    case SDL_SCANCODE_LEFT: return kVkLeft;
    case SDL_SCANCODE_DOWN: return kVkDown;
    case SDL_SCANCODE_UP: return kVkUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x90;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_MINUS: return 0x6D;
    case SDL_SCANCODE_KP_PLUS: return 0x6B;
    case SDL_SCANCODE_KP_0: return 0x60;
    case SDL_SCANCODE_KP_PERIOD: return 0x6E;
    case SDL_SCANCODE_APPLICATION: return 0x5D;
    case SDL_SCANCODE_LCTRL: return kVkLControl;
    case SDL_SCANCODE_RCTRL: return kVkRControl;
    case SDL_SCANCODE_LSHIFT: return kVkLShift;
    case SDL_SCANCODE_RSHIFT: return kVkRShift;
    case SDL_SCANCODE_LALT: return kVkLMenu;
    case SDL_SCANCODE_RALT: return kVkRMenu;
    case SDL_SCANCODE_LGUI: return 0x5B;
    case SDL_SCANCODE_RGUI: return 0x5C;
    default: return 0;
  }
}

void applyInputEvent(const SDL_Event& event) {
  std::lock_guard<std::mutex> lock(gInputLock);
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const uint8_t vk = virtualKeyFromScancode(event.key.keysym.scancode);
      const bool down = event.type == SDL_KEYDOWN;
      setKey(vk, down);
      if (down) gInput.lastPressed = vk;
      gInput.textForLastStroke = false;
      if (vk != 0 && !(down && event.key.repeat)) {
        gInput.strokes.push_back(KeyStroke{vk, down, 0});
        gInput.textForLastStroke = down;
      }
      break;
    }
    case SDL_TEXTINPUT: {
      // SDL sends the text right after the press that typed it.
      const wchar_t typed = onlyCodePoint(event.text.text);
      if (gInput.lastPressed) gInput.pendingTyped[gInput.lastPressed] = typed;
      gInput.lastPressed = 0;
      if (gInput.textForLastStroke) gInput.strokes.back().typed = typed;
      gInput.textForLastStroke = false;
      break;
    }
    case SDL_MOUSEMOTION:
      gInput.mouse.x = event.motion.x;
      gInput.mouse.y = event.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int index = buttonIndex(event.button.button);
      if (index < 0) break;
      bool down = event.type == SDL_MOUSEBUTTONDOWN;
      gInput.mouse.buttons[index] = down ? 1 : 0;
      if (down) gInput.buttonTapped[index] = 1;
      gInput.mouse.x = event.button.x;
      gInput.mouse.y = event.button.y;
      gInput.keys[kButtonKeys[index]] = down ? kKeyDown : 0;
      break;
    }
    case SDL_MOUSEWHEEL:
      gInput.mouse.wheel += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
      break;
    default: break;
  }
}

MouseState mouseState() {
  std::lock_guard<std::mutex> lock(gInputLock);
  return gInput.mouse;
}

int32_t takeMouseWheel() {
  std::lock_guard<std::mutex> lock(gInputLock);
  int32_t wheel = gInput.mouse.wheel;
  gInput.mouse.wheel = 0;
  return wheel;
}

void keyboardState(uint8_t table[256]) {
  std::lock_guard<std::mutex> lock(gInputLock);
  std::memcpy(table, gInput.keys, 256);
}

MousePoll pollMouse() {
  std::lock_guard<std::mutex> lock(gInputLock);
  MousePoll poll;
  poll.x = gInput.mouse.x;
  poll.y = gInput.mouse.y;
  for (int i = 0; i < 2; ++i) {
    poll.previousButtons[i] = gInput.polledButtons[i];
    poll.buttons[i] = (gInput.mouse.buttons[i] || gInput.buttonTapped[i]) ? kKeyDown : 0;
    gInput.polledButtons[i] = poll.buttons[i];
  }
  for (uint8_t& tapped : gInput.buttonTapped) tapped = 0;
  poll.wheel = gInput.mouse.wheel;
  gInput.mouse.wheel = 0;
  return poll;
}

void pollKeyboard(uint8_t table[256], std::vector<KeyStroke>* strokes) {
  std::lock_guard<std::mutex> lock(gInputLock);
  if (strokes) strokes->swap(gInput.strokes);
  gInput.strokes.clear();
  gInput.textForLastStroke = false;
  for (int i = 0; i < 256; ++i) {
    table[i] = (gInput.keys[i] & kKeyDown) || gInput.keyTapped[i] ? kKeyDown : 0;
    gInput.keyTapped[i] = 0;
    gFrameTyped[i] = gInput.pendingTyped[i];
    gInput.pendingTyped[i] = 0;
  }
}

wchar_t typedCharacter(uint8_t virtualKey) {
  std::lock_guard<std::mutex> lock(gInputLock);
  return gFrameTyped[virtualKey];
}

void startTextInput() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_StartTextInput();
}

void stopTextInput() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_StopTextInput();
}

void clearInputState() {
  std::lock_guard<std::mutex> lock(gInputLock);
  int32_t x = gInput.mouse.x, y = gInput.mouse.y;
  gInput = InputData();
  for (wchar_t& c : gFrameTyped) c = 0;
  // The cursor stays where it was.
  gInput.mouse.x = x;
  gInput.mouse.y = y;
}

}  // namespace Platform
}  // namespace KR
