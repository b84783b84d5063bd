// Frames of the real game as a player sees them: the host's start-up and loop
// on the demo content, stepped through the headless game driver, a new game
// walked to each screen in turn. Each case reports the wall time per whole
// frame (tick, paint, the card finished) and "draw_calls_per_frame": the hall,
// the desk close-up over it, the notebook open, the shed's hidden-object scene
// and, when the content has them, the puzzle gallery and a puzzle close-up over
// it; before them the launch's time to the first frame. A screen that cannot be
// reached, or a frame that draws nothing, fails its case.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/game_state/game.h"
#include "core/game_state/in_game_ui.h"
#include "core/game_state/notebook_ui.h"
#include "core/game_state/view.h"
#include "core/game_state/view_registry.h"
#include "core/game_state/view_stack.h"
#include "design_coords.h"
#include "frame_meter.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"
#include "support/test_support.h"

namespace {

constexpr int kFrames = 60;

KR::Test::GameDriver* gGame = nullptr;

HOG::Game& play() { return *HOG::Game::getInstance(); }
HOG::InGameUI* hud() { return dynamic_cast<HOG::InGameUI*>(play().getHud()); }

void clickAt(float x, float y) {
  const KR::Viewport2D viewport = KR::calcViewport();
  gGame->click(int(viewport.offset.x + (x + 0.5f) * viewport.scale),
               int(viewport.offset.y + (y + 0.5f) * viewport.scale));
}

bool shown(const char* name) {
  if (gGame->activeView() != name) return false;
  const HOG::View* view = play().getViewStack().getActiveView();
  return view->loaded && view->activated && !play().isLocked();
}

// From launch to a new game settled in the hall, as a player gets there.
// The time from the start-up's beginning to the first presented frame is
// printed as "launch_to_first_frame_ms".
bool startNewGame() {
  // A first run: no profiles, no saved game.
  KR::Test::GameDriver::forgetProfiles();
  const auto launch = std::chrono::steady_clock::now();
  if (!gGame->start()) return false;
  if (!gGame->step()) return false;
  KR::RenderSystem::getInstance()->getDevice()->finish();
  std::printf("launch_to_first_frame_ms=%.1f\n",
              std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - launch).count());
  if (!gGame->startToMenu(false)) return false;
  if (!gGame->enterPlay()) return false;
  gGame->click(300, 200);  // skips the intro
  if (!gGame->stepUntil([] { return !gGame->videoPlaying(); }, 900)) return false;
  return gGame->stepUntil([] { return shown("location01"); }, 300);
}

// Times kFrames frames of whatever is on screen once it settled.
void measure(benchmark::State& state, bool reached) {
  if (!reached) {
    state.SkipWithError("the screen was not reached");
    return;
  }
  gGame->steps(10);
  KR::Bench::FrameMeter meter(state, KR::RenderSystem::getInstance());
  for (auto _ : state) {
    meter.begin();
    gGame->step();
    if (!meter.end()) break;
  }
}

void BM_Hall(benchmark::State& state) { measure(state, shown("location01")); }

void BM_DeskCloseUp(benchmark::State& state) {
  clickAt(428, 664);
  const bool reached = gGame->stepUntil([] { return shown("closeup01"); }, 300);
  measure(state, reached);
  KR::LexBindedFunctionManager::getInstance()->findFunction("closeActiveView")->invoke();
  gGame->stepUntil([] { return shown("location01"); }, 120);
}

void BM_NotebookOpen(benchmark::State& state) {
  HOG::NotebookUI* notebook = hud()->getNotebook();
  notebook->setOpen(true);
  const bool reached = gGame->stepUntil([&] { return notebook->coversScreen(); }, 120);
  measure(state, reached);
  notebook->close();
  gGame->stepUntil([&] { return !notebook->isOpen(); }, 120);
  gGame->steps(20);
}

void BM_ShedHiddenObjects(benchmark::State& state) {
  play().getViewStack().openView("hos01");
  measure(state, gGame->stepUntil([] { return shown("hos01"); }, 600));
}

// The puzzle gallery, the location the puzzle close-ups lie over, when the
// content has it.
void BM_Gallery(benchmark::State& state) {
  if (!play().getRegistry().findViewByName("gallery")) {
    state.SkipWithError("the content has no \"gallery\"");
    return;
  }
  play().getViewStack().openView("gallery");
  measure(state, gGame->stepUntil([] { return shown("gallery"); }, 600));
}

// The puzzle gallery's ordered buttons over the gallery, where a player opens
// them, when the content has them.
void BM_PuzzleCloseUp(benchmark::State& state) {
  if (!shown("gallery") || !play().getRegistry().findViewByName("puzzle_bqueue")) {
    state.SkipWithError("not in the gallery, or the content has no puzzle close-up \"puzzle_bqueue\"");
    return;
  }
  play().getViewStack().openView("puzzle_bqueue");
  measure(state, gGame->stepUntil([] { return shown("puzzle_bqueue"); }, 600));
}

// One game for all cases, in this order (each walks on from the last).
BENCHMARK(BM_Hall)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeskCloseUp)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NotebookOpen)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShedHiddenObjects)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gallery)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PuzzleCloseUp)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The headless environment of the tests, so the game runs without a screen.
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("KR_HEADLESS", "1", 1);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("GALLIUM_DRIVER", "llvmpipe", 0);
  const std::string data = KR::Test::scratchDir("xdg-data");
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  KR::Test::GameDriver game;
  gGame = &game;
  if (!startNewGame()) {
    std::fprintf(stderr, "the game did not reach the hall\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  game.closeWindow();
  const int code = game.finish();
  gGame = nullptr;
  return code;
}
