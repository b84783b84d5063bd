#include "platform/system_time.h"

#include <sched.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace KR {
namespace Platform {

int64_t performanceCounter() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t performanceFrequency() { return 1000000000; }

void sleepMilliseconds(uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec request;
  request.tv_sec = milliseconds / 1000;
  request.tv_nsec = long(milliseconds % 1000) * 1000000L;
  timespec remaining;
  while (nanosleep(&request, &remaining) != 0 && errno == EINTR) request = remaining;
}

uint32_t processorCount() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n > 0 ? uint32_t(n) : 1u;
}

}  // namespace Platform
}  // namespace KR
