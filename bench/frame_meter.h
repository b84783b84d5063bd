// Whole frames as a player sees them: wall time per frame with the card
// finished at each frame's end (the software rasteriser's threads included),
// and the draw calls each frame sent. A frame meant to draw that sends no draw
// call fails the benchmark instead of timing nothing.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench_main.h"
#include "render_system_dx8.h"

namespace KR {
namespace Bench {

class FrameMeter {
 public:
  // finish: wait for the card at each frame's end. mustDraw: a frame without
  // draw calls is an error.
  FrameMeter(benchmark::State& state, RenderSystem* renderSystem, bool finish = true, bool mustDraw = true)
      : mState(state), mRenderSystem(renderSystem), mFinish(finish), mMustDraw(mustDraw) {}
  ~FrameMeter() {
    if (mFrames) mState.counters["draw_calls_per_frame"] = double(mCalls) / double(mFrames);
  }

  // Before the frame's first call.
  void begin() { mBefore = mRenderSystem->getDrawCallCount(); }
  // After the frame was presented; false once the benchmark failed.
  bool end() {
    if (mFinish) mRenderSystem->getDevice()->finish();
    const uint32_t calls = mRenderSystem->getDrawCallCount() - mBefore;
    mCalls += calls;
    ++mFrames;
    if (mMustDraw && calls == 0) {
      KR::Bench::fail(mState, "a frame meant to draw sent no draw call");
      return false;
    }
    return true;
  }
  // Draw calls of the frames measured so far.
  uint64_t calls() const { return mCalls; }

 private:
  benchmark::State& mState;
  RenderSystem* mRenderSystem;
  bool mFinish;
  bool mMustDraw;
  uint32_t mBefore = 0;
  uint64_t mCalls = 0;
  uint64_t mFrames = 0;
};

}  // namespace Bench
}  // namespace KR
