#pragma once
// A countdown of seconds with an optional callback invoked once when it runs
// out; a held countdown stands still. The play state's lock timer.
#include "function.h"

namespace HOG {

struct CountdownTimer {
  static constexpr float kEpsilon = 1.1920929e-7f;

  float remaining = 0.0f;
  KR::IFunction* callback = nullptr;  // not owned
  bool held = false;

  void update(float dt) {
    const bool wasRunning = !held && remaining >= kEpsilon;
    if (held) dt = 0.0f;
    remaining = remaining - dt > 0.0f ? remaining - dt : 0.0f;
    if (wasRunning && !held && remaining < kEpsilon && callback) callback->invoke();
  }
  bool isRunning() const { return remaining > kEpsilon; }
};

}  // namespace HOG
