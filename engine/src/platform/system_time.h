#pragma once
// The monotonic performance counter, sleeping and the processor count.
// Any thread may call these.
#include <cstdint>

namespace KR {
namespace Platform {

// Monotonic counter; performanceFrequency() counts per second.
int64_t performanceCounter();
int64_t performanceFrequency();

// Sleeps the calling thread; 0 gives up the rest of its time slice.
void sleepMilliseconds(uint32_t milliseconds);

// Processors available to the process (at least 1).
uint32_t processorCount();

}  // namespace Platform
}  // namespace KR
