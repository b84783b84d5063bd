// The UI benchmarks' timed frame: before() (the benchmark's own change of the
// frame), the UI manager's update, its drawing and the batch's flush; the
// frame's presentation is not counted. Counter: the draw calls of a frame; a run that draws nothing fails.
#pragma once

#include <benchmark/benchmark.h>

#include "bench_main.h"
#include "offscreen_render.h"
#include "ui/ui_manager.h"

namespace KR {
namespace Bench {

template <typename Before>
void runUIFrames(benchmark::State& state, OffscreenRender& render, UIManager& ui, Before before) {
  const uint32_t callsBefore = render.renderSystem->getDrawCallCount();
  for (auto _ : state) {
    before();
    render.renderSystem->checkDeviceLost();
    ui.update(1.0f / 60.0f);
    ui.render();
    render.renderSystem->flushBatch();
    state.PauseTiming();
    render.renderSystem->renderFrame();
    state.ResumeTiming();
  }
  const double drawCalls = double(render.renderSystem->getDrawCallCount() - callsBefore);
  state.counters["drawCalls"] = benchmark::Counter(drawCalls, benchmark::Counter::kAvgIterations);
  // A frame that draws nothing measures nothing worth quoting.
  if (drawCalls == 0) KR::Bench::fail(state, "the UI frames made no draw call");
}

}  // namespace Bench
}  // namespace KR
