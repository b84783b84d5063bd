#pragma once
// Frame time from the performance counter, and the small stopwatch embedded in
// many engine objects. The counter is monotonic across processors, so the
// thread that reads it (the main thread) keeps the processors it started with:
// pinning it would gain nothing and would starve the software rasteriser,
// which sizes its thread pool from the main thread's processors.
#include <cstdint>

#include "singleton.h"

namespace KR {

class TimerManager : public Singleton<TimerManager> {
 public:
  // No step of the simulation advances by more than this.
  static constexpr float kMaxFrameTime = 0.1f;

  TimerManager();
  ~TimerManager() override = default;

  // Reads the counter: frameTime := seconds since the previous update (or
  // since construction).
  void updateFrameTime();
  void updateFrameTime(int64_t nowCount);

  // The frame time clamped to at most 0.1 s: what every consumer reads.
  float getFrameTime() const { return frameTime < kMaxFrameTime ? frameTime : kMaxFrameTime; }
  // The stored, unclamped value.
  float getRawFrameTime() const { return frameTime; }
  int64_t getFrequency() const { return frequency; }
  int64_t getLastCount() const { return lastCount; }
  float frameTime = 0.0f;
  // Above 0, every update takes this frame time instead of the counter's
  // (headless drivers and replays step at a fixed rate).
  float fixedFrameTime = 0.0f;

 private:
  int64_t startCount;
  int64_t frequency;
  int64_t lastCount;
};

// Stopwatch over the performance counter.
class WTimer {
 public:
  WTimer();
  virtual ~WTimer() = default;

  void reset();
  // Seconds since construction or the last reset.
  float getElapsed() const;

 private:
  int64_t startCount;
  int64_t frequency;
  int64_t currentCount;
};

}  // namespace KR
