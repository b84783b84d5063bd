#pragma once
// SIGTERM and SIGINT end the game the way closing its window does: the next
// pass of the message loop (peekMessage) finds a close request for the main
// window (a quit without one), so play stops and saves as on any quit. When
// the main thread does not come back to its loop within the grace period (a
// hang; once the loop has taken the request, the shutdown gets five periods
// more), or a second signal arrives, the process ends at once: the files the
// game writes crash-safe keep their last good version, and the kernel frees
// the single-instance lock with the process.
//
// A process forked from the game (a library's helper, the box a fatal error
// shows) gets the default actions of both signals back, so that it ends on
// them instead of waiting for a loop it does not have.
//
// installTerminationHandlers is called once the event system is up (it
// replaces the handlers that would only queue an event nobody reads during a
// hang); the rest may be called from any thread.
#include <cstdint>

namespace KR {
namespace Platform {

constexpr uint32_t kTerminationGraceMilliseconds = 10000;

// Installs the handlers and starts the watchdog thread (once per process; a
// later call only changes the grace period).
void installTerminationHandlers(uint32_t graceMilliseconds = kTerminationGraceMilliseconds);
// The signal that asked the game to end and was not taken yet, else 0; taking
// it marks it taken (the watchdog still runs).
int takeTerminationRequest();
// A signal has asked the game to end.
bool terminationRequested();
// Forgets the request and stands the watchdog down (a test that signalled
// itself and has seen the game end).
void clearTerminationRequest();

}  // namespace Platform
}  // namespace KR
