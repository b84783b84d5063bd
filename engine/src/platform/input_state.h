#pragma once
// Polled mouse and keyboard state, built from the translated event stream.
#include <cstdint>
#include <vector>

union SDL_Event;

namespace KR {
namespace Platform {

// Virtual-key codes the engine names.
enum : uint8_t {
  kVkLButton = 0x01,
  kVkRButton = 0x02,
  kVkMButton = 0x04,
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkMenu = 0x12,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkF1 = 0x70,
  kVkLShift = 0xA0,
  kVkRShift = 0xA1,
  kVkLControl = 0xA2,
  kVkRControl = 0xA3,
  kVkLMenu = 0xA4,
  kVkRMenu = 0xA5,
};

// The high bit of a key-table entry says "down".
constexpr uint8_t kKeyDown = 0x80;

struct MouseState {
  int32_t x = 0;  // client pixels
  int32_t y = 0;
  uint8_t buttons[3] = {0, 0, 0};  // left, right, middle: 1 while down
  int32_t wheel = 0;               // notches accumulated since the last takeMouseWheel
};

// What one poll of the mouse sees. SDL's buttons are already logical (a
// swapped mouse reports its primary button as left), so nothing swaps here.
struct MousePoll {
  int32_t x = 0;  // client pixels; beyond the edges while a button holds the capture
  int32_t y = 0;
  uint8_t buttons[2] = {0, 0};          // left, right: kKeyDown or 0
  uint8_t previousButtons[2] = {0, 0};  // the same of the previous poll
  int32_t wheel = 0;                    // notches since the previous poll, forward above 0
};

// One key going down or up as the window received it. A press carries what it
// typed under the current layout (0 when nothing, as a dead key's own press,
// or more than one character). A key held down repeats no press.
struct KeyStroke {
  uint8_t key = 0;
  bool down = false;
  wchar_t typed = 0;
};

// The live state, as the events left it (no taps, no poll bookkeeping).
MouseState mouseState();
// Returns and clears the accumulated wheel notches.
int32_t takeMouseWheel();
// Copies the live 256-entry key table (GetKeyboardState's layout).
void keyboardState(uint8_t table[256]);

// The once-a-frame polls of the input devices. A button or key that went down
// and up again between two polls is still seen: down in the poll after its
// press, up in the one after that. The keyboard poll also hands out every
// stroke since the previous poll, in order, however many a slow frame holds
// (the table alone shows a key pressed twice between two polls once).
MousePoll pollMouse();
void pollKeyboard(uint8_t table[256], std::vector<KeyStroke>* strokes = nullptr);
// The character the press of the key typed under the current layout, taken
// from the text events since the keyboard poll before the last one (so it is
// read in the same frame as the key table); 0 when the press typed nothing,
// as a dead key's own press does, or when it typed more than one character.
wchar_t typedCharacter(uint8_t virtualKey);
// Text events are delivered only while text input is started.
void startTextInput();
void stopTextInput();

// The virtual-key code of an SDL scancode, 0 when it has none.
uint8_t virtualKeyFromScancode(int scancode);

// Applies one SDL event to the polled state (called by the event pump).
void applyInputEvent(const SDL_Event& event);
// Releases every key and button (focus loss, tests).
void clearInputState();

}  // namespace Platform
}  // namespace KR
