#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/events.h"
#include "platform/input_state.h"
#include "platform/window.h"

using namespace KR::Platform;

namespace {

std::vector<Message> gSeen;
intptr_t recordingProc(const Message& message) {
  gSeen.push_back(message);
  return defWindowProc(message);
}

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(initVideo()) << lastError();
    resetMessageQueue();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    gSeen.clear();
    setWindowProc(&recordingProc);
    ASSERT_TRUE(window.create("events", 10, 10, 320, 200)) << lastError();
    drain();
    gSeen.clear();
  }
  void TearDown() override {
    window.destroy();
    setWindowProc(nullptr);
    resetMessageQueue();
  }
  // Every message waiting, in order.
  std::vector<Message> drain() {
    std::vector<Message> out;
    Message message;
    while (peekMessage(message)) out.push_back(message);
    return out;
  }
  void pushKey(SDL_Scancode code, bool down, uint16_t mod = 0) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = window.id();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = code;
    event.key.keysym.sym = SDL_GetKeyFromScancode(code);
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
  }
  void pushWindowEvent(uint8_t kind) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window.id();
    event.window.event = kind;
    SDL_PushEvent(&event);
  }
  Window window;
};

bool hasMessage(const std::vector<Message>& list, uint32_t id, uintptr_t wParam, intptr_t lParam) {
  for (const Message& m : list)
    if (m.message == id && m.wParam == wParam && m.lParam == lParam) return true;
  return false;
}

}  // namespace

TEST_F(EventsTest, ModifierSidesAndGenericCodesAreKeptApart) {
  uint8_t keys[256];
  pushKey(SDL_SCANCODE_LSHIFT, true);
  pushKey(SDL_SCANCODE_RSHIFT, true);
  pushKey(SDL_SCANCODE_A, true);
  drain();
  keyboardState(keys);
  EXPECT_EQ(keys[kVkLShift], kKeyDown);
  EXPECT_EQ(keys[kVkRShift], kKeyDown);
  EXPECT_EQ(keys[kVkShift], kKeyDown);
  EXPECT_EQ(keys[size_t('A')], kKeyDown);

  // The generic code stays down while either side is.
  pushKey(SDL_SCANCODE_LSHIFT, false);
  drain();
  keyboardState(keys);
  EXPECT_EQ(keys[kVkLShift], 0);
  EXPECT_EQ(keys[kVkShift], kKeyDown);
  pushKey(SDL_SCANCODE_RSHIFT, false);
  pushKey(SDL_SCANCODE_A, false);
  drain();
  keyboardState(keys);
  EXPECT_EQ(keys[kVkShift], 0);
  EXPECT_EQ(keys[size_t('A')], 0);
}

TEST(VirtualKeys, ScancodesMapToWindowsCodes) {
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_Z), 'Z');
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_0), '0');
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_9), '9');
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_F12), 0x7B);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_0), 0x60);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_KP_9), 0x69);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_RCTRL), kVkRControl);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_ESCAPE), kVkEscape);
  EXPECT_EQ(virtualKeyFromScancode(SDL_SCANCODE_UNKNOWN), 0);
}

TEST_F(EventsTest, MouseButtonsAndPositionComeFromPushedEvents) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = window.id();
  event.motion.x = 123;
  event.motion.y = 45;
  SDL_PushEvent(&event);
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.windowID = window.id();
  press.button.button = SDL_BUTTON_RIGHT;
  press.button.x = 130;
  press.button.y = 50;
  SDL_PushEvent(&press);
  std::vector<Message> messages = drain();
  MouseState mouse = mouseState();
  EXPECT_EQ(mouse.x, 130);
  EXPECT_EQ(mouse.y, 50);
  EXPECT_EQ(mouse.buttons[0], 0);
  EXPECT_EQ(mouse.buttons[1], 1);
  uint8_t keys[256];
  keyboardState(keys);
  EXPECT_EQ(keys[kVkRButton], kKeyDown);
  // Moving over the client area asks for the cursor.
  EXPECT_TRUE(hasMessage(messages, kWmSetCursor, 0, makeLParam(kHtClient, 0)));

  // Losing the focus releases everything held.
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  drain();
  EXPECT_EQ(mouseState().buttons[1], 0);
}

TEST_F(EventsTest, WindowEventsBecomeWindowMessages) {
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  pushKey(SDL_SCANCODE_RETURN, true, KMOD_LALT);
  pushKey(SDL_SCANCODE_RETURN, true);  // plain Enter is no system command
  std::vector<Message> m = drain();
  std::vector<uint32_t> ids;
  for (const Message& message : m) ids.push_back(message.message);
  std::vector<uint32_t> expected = {kWmNcActivate, kWmActivate, kWmActivateApp, kWmActivateApp,
                                    kWmNcActivate, kWmActivate, kWmPaint,       kWmSysCommand};
  EXPECT_EQ(ids, expected);
  ASSERT_EQ(m.size(), expected.size());
  EXPECT_EQ(m[0].wParam, 0u);
  EXPECT_EQ(m[5].wParam, uintptr_t(kWaActive));
  EXPECT_EQ(m[7].lParam, 13);
  EXPECT_EQ(m[7].window, &window);
}

TEST_F(EventsTest, CloseDestroysTheWindowThroughTheProcedure) {
  pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  Message message;
  ASSERT_TRUE(peekMessage(message));
  EXPECT_EQ(message.message, uint32_t(kWmClose));
  dispatchMessage(message);
  EXPECT_FALSE(window.exists());
  EXPECT_EQ(mainWindow(), nullptr);
  ASSERT_FALSE(gSeen.empty());
  EXPECT_TRUE(hasMessage(gSeen, kWmDestroy, 0, 0));
}

TEST_F(EventsTest, ClientBoundsAskTheProcedureForTrackingLimits) {
  window.setClientBounds(20, 30, 400, 300);
  bool asked = false;
  for (const Message& m : gSeen) asked = asked || m.message == kWmGetMinMaxInfo;
  EXPECT_TRUE(asked);
  int32_t w = 0, h = 0;
  window.clientSize(w, h);
  EXPECT_EQ(w, 400);
  EXPECT_EQ(h, 300);
  EXPECT_NE(window.nativeHandle(), nullptr);
}

TEST(Messages, PostedRecordsComeOutInOrderAndQuitCarriesTheCode) {
  resetMessageQueue();
  postMessage(nullptr, kWmPaint, 0, 0);
  postQuitMessage(7);
  Message message;
  ASSERT_TRUE(peekMessage(message));
  EXPECT_EQ(message.message, uint32_t(kWmPaint));
  ASSERT_TRUE(peekMessage(message));
  EXPECT_EQ(message.message, uint32_t(kWmQuit));
  EXPECT_EQ(message.wParam, 7u);
  EXPECT_EQ(hiWord(uintptr_t(makeLParam(0x1234, 0xABCD))), 0xABCDu);
  EXPECT_EQ(loWord(uintptr_t(makeLParam(0x1234, 0xABCD))), 0x1234u);
}
