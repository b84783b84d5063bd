#pragma once
// Frame time from the performance counter, and the small stopwatch embedded in
// many engine objects. The timer manager pins the thread that makes it (the
// main thread) to the first processor, so successive counter readings come
// from one processor, and restores its previous affinity when destroyed.
#include <cstdint>

#include "singleton.h"

namespace KR {

class TimerManager : public Singleton<TimerManager> {
 public:
  // No step of the simulation advances by more than this.
  static constexpr float kMaxFrameTime = 0.1f;

  TimerManager();
  ~TimerManager() override;

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
  // The processors the pinned thread might use before it was pinned; 0 when
  // it was not pinned. Threads it starts run on these, not on its pin.
  uint64_t getUnpinnedAffinity() const { return affinitySet ? previousAffinityMask : 0; }

  float frameTime = 0.0f;
  // Above 0, every update takes this frame time instead of the counter's
  // (headless drivers and replays step at a fixed rate).
  float fixedFrameTime = 0.0f;

 private:
  uint64_t previousAffinityMask = 0;
  bool affinitySet = false;
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
