#include "platform/termination.h"

#include <pthread.h>
#include <semaphore.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace KR {
namespace Platform {

namespace {

std::atomic<int> gSignal{0};
std::atomic<bool> gTaken{false};
std::atomic<uint32_t> gGraceMilliseconds{kTerminationGraceMilliseconds};
sem_t gWake;
bool gInstalled = false;

// Async-signal-safe only: atomics, sem_post, write and _exit.
void onTerminationSignal(int signal) {
  int expected = 0;
  if (!gSignal.compare_exchange_strong(expected, signal)) {
    static const char kAgain[] = "Second termination signal: ending at once.\n";
    ssize_t ignored = ::write(STDERR_FILENO, kAgain, sizeof kAgain - 1);
    (void)ignored;
    ::_exit(128 + signal);
  }
  sem_post(&gWake);
}

// Sleeps in short slices so that a cleared request stands it down.
void* watchdog(void*) {
  for (;;) {
    while (sem_wait(&gWake) != 0) {
    }
    uint64_t waited = 0;
    bool cleared = false;
    for (;;) {
      const uint64_t grace = gGraceMilliseconds.load();
      const uint64_t limit = gTaken.load() ? 6 * grace : grace;
      if (gSignal.load() == 0) {
        cleared = true;
        break;
      }
      if (waited >= limit) break;
      timespec slice{0, 50 * 1000000L};
      nanosleep(&slice, nullptr);
      waited += 50;
    }
    if (cleared) continue;
    const int signal = gSignal.load();
    std::fprintf(stderr, "Signal %d: the game did not stop in time; ending at once.\n", signal);
    std::fflush(stderr);
    ::_exit(128 + signal);
  }
  return nullptr;
}

// A forked child has no loop and no watchdog: the handlers would only flag a
// request nobody takes, so that the child could never be ended by the
// signals. It gets the default actions back (the message box that a library
// shows from a forked child is such a child). Async-signal-safe only.
void restoreDefaultActionsInChild() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

}  // namespace

void installTerminationHandlers(uint32_t graceMilliseconds) {
  gGraceMilliseconds.store(graceMilliseconds);
  if (gInstalled) return;
  gInstalled = true;
  pthread_atfork(nullptr, nullptr, restoreDefaultActionsInChild);
  sem_init(&gWake, 0, 0);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  // The watchdog must not take the signals itself: the main loop's thread may
  // be anywhere, and the handler only flags and wakes.
  pthread_t thread;
  pthread_create(&thread, &attributes, watchdog, nullptr);
  pthread_attr_destroy(&attributes);
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

int takeTerminationRequest() {
  const int signal = gSignal.load();
  if (signal == 0 || gTaken.exchange(true)) return 0;
  return signal;
}

bool terminationRequested() { return gSignal.load() != 0; }

void clearTerminationRequest() {
  gTaken.store(false);
  gSignal.store(0);
}

}  // namespace Platform
}  // namespace KR
