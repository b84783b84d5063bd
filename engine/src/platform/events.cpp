#include "platform/events.h"

#include <SDL.h>

#include <deque>

#include "platform/input_state.h"
#include "platform/single_instance.h"
#include "platform/termination.h"
#include "platform/window.h"

namespace KR {
namespace Platform {

namespace {

WindowProc gWindowProc = nullptr;
std::deque<Message> gQueue;

void queue(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  gQueue.push_back(Message{window, message, wParam, lParam});
}

// Whether the window system last left the window active, as the messages
// queued so far tell the procedure. The host starts active.
bool gWindowActive = true;

// The order Windows uses when an application comes to the front.
void queueActivation(Window* window) {
  queue(window, kWmActivateApp, 1, 0);
  queue(window, kWmNcActivate, 1, 0);
  queue(window, kWmActivate, kWaActive, 0);
  gWindowActive = true;
}

bool isAltEnter(const SDL_KeyboardEvent& key) {
  return (key.keysym.sym == SDLK_RETURN || key.keysym.sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) &&
         !key.repeat;
}

// One SDL event becomes the messages Windows would have sent for it.
void translate(const SDL_Event& event) {
  applyInputEvent(event);
  Window* window = mainWindow();
  switch (event.type) {
    case SDL_QUIT:
      if (window)
        queue(window, kWmClose, 0, 0);
      else
        postQuitMessage(0);
      break;
    case SDL_WINDOWEVENT: {
      if (!window) break;
      const SDL_WindowEvent& w = event.window;
      if (w.windowID != window->id()) break;
      switch (w.event) {
        case SDL_WINDOWEVENT_CLOSE: queue(window, kWmClose, 0, 0); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          queue(window, kWmSize, kSizeRestored, makeLParam(uint32_t(w.data1), uint32_t(w.data2)));
          break;
        case SDL_WINDOWEVENT_MINIMIZED: queue(window, kWmSize, kSizeMinimized, 0); break;
        case SDL_WINDOWEVENT_MAXIMIZED: {
          int32_t width = 0, height = 0;
          window->clientSize(width, height);
          queue(window, kWmSize, kSizeMaximized, makeLParam(uint32_t(width), uint32_t(height)));
          break;
        }
        case SDL_WINDOWEVENT_FOCUS_GAINED: queueActivation(window); break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESTORED:
          // A window brought back on screen is the player's again, as on
          // Windows, where showing or restoring activates it. X11 window
          // managers need not hand it the keyboard focus: waiting for that
          // left it black and idle.
          if (!gWindowActive) queueActivation(window);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          clearInputState();
          queue(window, kWmNcActivate, 0, 0);
          queue(window, kWmActivate, kWaInactive, 0);
          queue(window, kWmActivateApp, 0, 0);
          gWindowActive = false;
          break;
        case SDL_WINDOWEVENT_EXPOSED: queue(window, kWmPaint, 0, 0); break;
        case SDL_WINDOWEVENT_ENTER: queue(window, kWmSetCursor, 0, makeLParam(kHtClient, 0)); break;
        case SDL_WINDOWEVENT_LEAVE: queue(window, kWmSetCursor, 0, 0); break;
        default: break;
      }
      break;
    }
    case SDL_MOUSEMOTION:
      if (window) queue(window, kWmSetCursor, 0, makeLParam(kHtClient, 0));
      break;
    case SDL_MOUSEBUTTONDOWN:
      // A click into the window activates it, as on Windows; X11 may report
      // the focus that comes with it late or not at all (a focus change
      // during the click's grab), and the click must not wait for it.
      if (window && !gWindowActive && event.button.windowID == window->id()) queueActivation(window);
      break;
    case SDL_KEYDOWN:
      // Alt+Enter reaches the window as the system menu key with Enter.
      if (window && isAltEnter(event.key)) queue(window, kWmSysCommand, kScKeyMenu, 13);
      break;
    default: break;
  }
}

void pollRaiseRequests() {
  SingleInstanceGuard* guard = activeInstanceGuard();
  if (!guard || !guard->takeRaiseRequest()) return;
  if (Window* window = mainWindow()) {
    if (window->isMinimized()) window->restore();
    window->raise();
  }
}

}  // namespace

void setWindowProc(WindowProc proc) { gWindowProc = proc; }

bool peekMessage(Message& out) {
  if (takeTerminationRequest() != 0) {
    // Ended as by the window's close button, so that play saves on the way out.
    if (Window* window = mainWindow())
      queue(window, kWmClose, 0, 0);
    else
      postQuitMessage(0);
  }
  if (gQueue.empty()) {
    pollRaiseRequests();
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
      SDL_Event event;
      // Translate everything waiting so that one pass sees a whole burst.
      while (gQueue.empty() && SDL_PollEvent(&event)) translate(event);
    }
  }
  if (gQueue.empty()) return false;
  out = gQueue.front();
  gQueue.pop_front();
  return true;
}

intptr_t dispatchMessage(const Message& message) {
  if (gWindowProc) return gWindowProc(message);
  return defWindowProc(message);
}

intptr_t sendMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return dispatchMessage(Message{window, message, wParam, lParam});
}

void postMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  queue(window, message, wParam, lParam);
}

void postQuitMessage(int exitCode) { queue(nullptr, kWmQuit, static_cast<uintptr_t>(exitCode), 0); }

intptr_t defWindowProc(const Message& message) {
  Window* window = message.window;
  switch (message.message) {
    case kWmClose:
      if (window) window->destroy();
      return 0;
    case kWmSysCommand:
      if (!window) return 0;
      switch (message.wParam & 0xFFF0) {
        case kScMinimize: window->minimize(); break;
        case kScRestore: window->restore(); break;
        case kScClose: queue(window, kWmClose, 0, 0); break;
        default: break;
      }
      return 0;
    case kWmPowerBroadcast: return 1;
    default: return 0;
  }
}

void resetMessageQueue() {
  gQueue.clear();
  gWindowActive = true;
  clearInputState();
}

}  // namespace Platform
}  // namespace KR
