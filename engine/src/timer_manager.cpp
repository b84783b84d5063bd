#include "timer_manager.h"

#include "platform/system_time.h"

namespace KR {

namespace {
// The counter difference is rounded to a 32-bit float before the division.
float countsToSeconds(int64_t counts, int64_t frequency) { return float(counts) / float(frequency); }
}  // namespace

TimerManager::TimerManager()
    : startCount(Platform::performanceCounter()), frequency(Platform::performanceFrequency()), lastCount(startCount) {
  setInstance(this);
}

void TimerManager::updateFrameTime() { updateFrameTime(Platform::performanceCounter()); }

void TimerManager::updateFrameTime(int64_t nowCount) {
  frameTime = fixedFrameTime > 0.0f ? fixedFrameTime : countsToSeconds(nowCount - lastCount, frequency);
  lastCount = nowCount;
}

WTimer::WTimer() { reset(); }

void WTimer::reset() {
  frequency = Platform::performanceFrequency();
  currentCount = Platform::performanceCounter();
  startCount = currentCount;
}

float WTimer::getElapsed() const { return countsToSeconds(Platform::performanceCounter() - startCount, frequency); }

}  // namespace KR
