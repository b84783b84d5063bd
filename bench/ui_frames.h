// The UI benchmarks' timed frame: before() (the benchmark's own change of the
// frame), the UI manager's update, its drawing and the batch's flush; the
// frame's presentation is not counted. Counter: the draw calls of the run.
#pragma once

#include <benchmark/benchmark.h>

#include "offscreen_render.h"
#include "ui/ui_manager.h"

namespace KR {
namespace Bench {

template <typename Before>
void runUIFrames(benchmark::State& state, OffscreenRender& render, UIManager& ui, Before before) {
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
  state.counters["drawCalls"] = double(render.renderSystem->getDrawCallCount());
}

}  // namespace Bench
}  // namespace KR
