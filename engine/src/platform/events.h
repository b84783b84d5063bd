#pragma once
// Window messages: the SDL event stream as Win32-style message records that
// the host's window procedure handles. See platform.h for the contract.
#include <cstdint>

namespace KR {
namespace Platform {

class Window;

// Message identifiers keep their Win32 values so that the window procedure
// reads like its table.
enum : uint32_t {
  kWmDestroy = 2,
  kWmSize = 5,
  kWmActivate = 6,
  kWmPaint = 15,
  kWmClose = 16,
  kWmQuit = 18,
  kWmActivateApp = 28,
  kWmSetCursor = 32,
  kWmGetMinMaxInfo = 36,
  kWmNcActivate = 134,
  kWmSysCommand = 274,
  kWmPowerBroadcast = 536,
};

// wParam values.
enum : uint32_t {
  kSizeRestored = 0,
  kSizeMinimized = 1,
  kSizeMaximized = 2,
  kWaInactive = 0,
  kWaActive = 1,
  kScMinimize = 0xF020,
  kScClose = 0xF060,
  kScKeyMenu = 0xF100,
  kScRestore = 0xF120,
  kScScreenSave = 0xF140,
  kPbtApmQuerySuspend = 0,
};

// Hit-test code of the client area (LOWORD of WM_SETCURSOR's lParam).
constexpr int32_t kHtClient = 1;
constexpr intptr_t kBroadcastQueryDeny = 0x424D5144;

struct Message {
  Window* window = nullptr;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// The record WM_GETMINMAXINFO's lParam points at.
struct MinMaxInfo {
  int32_t minTrackWidth = 0;
  int32_t minTrackHeight = 0;
  int32_t maxTrackWidth = 0;
  int32_t maxTrackHeight = 0;
};

inline uint32_t loWord(uintptr_t value) { return static_cast<uint32_t>(value & 0xFFFF); }
inline uint32_t hiWord(uintptr_t value) { return static_cast<uint32_t>((value >> 16) & 0xFFFF); }
inline intptr_t makeLParam(uint32_t low, uint32_t high) {
  return static_cast<intptr_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}

using WindowProc = intptr_t (*)(const Message& message);

// The procedure every message of the main window goes to (the window class).
void setWindowProc(WindowProc proc);

// Takes the next message: queued records first, then translated SDL events.
// False when nothing is waiting. Never blocks.
bool peekMessage(Message& out);
// Calls the window procedure with the record (or the default one when none is set).
intptr_t dispatchMessage(const Message& message);
// Calls the window procedure at once, like a sent message.
intptr_t sendMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues a record behind the ones waiting.
void postMessage(Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Queues WM_QUIT with the exit code.
void postQuitMessage(int exitCode);
// Default handling: WM_CLOSE and SC_CLOSE destroy the window; SC_MINIMIZE and
// SC_RESTORE minimise and restore it; WM_POWERBROADCAST answers TRUE; 0 otherwise.
intptr_t defWindowProc(const Message& message);
// Drops queued records and the translation state (tests and start-up).
void resetMessageQueue();

}  // namespace Platform
}  // namespace KR
