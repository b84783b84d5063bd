// Frames of the real game as a player sees them: the host's start-up and loop
// on the demo content, stepped through the headless game driver, a new game
// walked to each screen in turn. Each case reports the wall time per whole
// frame (tick, paint, the card finished), "draw_calls_per_frame" and the
// window's size: the hall, the desk close-up over it, the notebook open, the
// shed's hidden-object scene and, when the content has them, the puzzle
// gallery and a puzzle close-up over it. Before them, BM_Launch times five
// launches of a new process, each from before the process is made to the end
// of its first frame that shows a picture (a pixel that is not black). A
// screen that cannot be reached, or a frame that draws nothing, fails its case.
//
// Two ways to run it:
//   game_frames_bench                  in a window on the off-screen driver's
//                                      1024 x 768 desktop (the tests' setting)
//   xvfb-run -s "-screen 0 1280x1024x24" game_frames_bench --kr_fullscreen
//                                      full screen on an X display, as a
//                                      first-run player gets the game
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench_main.h"
#include "core/game_state/game.h"
#include "core/game_state/hud/in_game_ui.h"
#include "core/game_state/hud/notebook_ui.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/game_state/views/view_stack.h"
#include "design_coords.h"
#include "frame_meter.h"
#include "lex_binded_function_manager.h"
#include "render_system_dx8.h"
#include "support/game_driver.h"
#include "support/test_support.h"

namespace {

// Frames per screen: enough that a busy machine's bursts even out. The
// first logo holds for three seconds of game time, ten frames of settling
// and its frames included.
constexpr int kFrames = 180;
constexpr int kLogoFrames = 150;
constexpr const char* kFullscreenFlag = "--kr_fullscreen";
constexpr const char* kLaunchFlag = "--kr_launch_child";

KR::Test::GameDriver* gGame = nullptr;
bool gFullscreen = false;
bool gStarted = false;
bool gReachedHall = false;

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

int64_t monotonicNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// The last frame shows something: a pixel that is not black.
bool framePictured(const KR::Test::GameDriver& game) {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  if (!game.readFrame(rgba, width, height)) return false;
  for (size_t i = 0; i + 3 < rgba.size(); i += 4)
    if (rgba[i] | rgba[i + 1] | rgba[i + 2]) return true;
  return false;
}

// The launched process: a first run's start-up and frames until one shows a
// picture; prints the moment that frame was finished on the card.
int runLaunchChild() {
  KR::Test::GameDriver::forgetProfiles();
  KR::Test::GameDriver game;
  if (!game.start(gFullscreen)) return 2;
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  for (int frame = 0; frame < 600; ++frame) {
    const uint32_t before = render->getDrawCallCount();
    if (!game.step()) return 3;
    render->getDevice()->finish();
    const int64_t done = monotonicNanoseconds();
    // Reading the frame back happens after the moment is taken.
    if (render->getDrawCallCount() != before && framePictured(game)) {
      std::printf("first_picture_ns=%lld\n", static_cast<long long>(done));
      std::fflush(stdout);
      game.closeWindow();
      return game.finish() == 0 ? 0 : 4;
    }
  }
  return 5;
}

// From before a new process is made to its first frame with a picture.
void BM_Launch(benchmark::State& state) {
  char self[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    KR::Bench::fail(state, "the benchmark's own program is not found");
    return;
  }
  for (auto _ : state) {
    int channel[2];
    if (pipe(channel) != 0) {
      KR::Bench::fail(state, "no pipe");
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, channel[0]);
    std::vector<char*> args = {self, const_cast<char*>(kLaunchFlag)};
    if (gFullscreen) args.push_back(const_cast<char*>(kFullscreenFlag));
    args.push_back(nullptr);
    pid_t child = 0;
    const int64_t before = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(channel[1]);
    std::string output;
    char buffer[256];
    ssize_t got = 0;
    while (spawned == 0 && (got = read(channel[0], buffer, sizeof buffer)) > 0) output.append(buffer, size_t(got));
    close(channel[0]);
    int status = 0;
    if (spawned == 0) waitpid(child, &status, 0);
    const size_t at = output.find("first_picture_ns=");
    if (spawned != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || at == std::string::npos) {
      KR::Bench::fail(state, "the launched game showed no picture");
      return;
    }
    const int64_t pictured = std::atoll(output.c_str() + at + std::strlen("first_picture_ns="));
    state.SetIterationTime(double(pictured - before) * 1e-9);
  }
}

// A first run's start-up: no profiles, no saved game.
bool startGame() {
  if (gStarted) return gGame->application() != nullptr;
  gStarted = true;
  KR::Test::GameDriver::forgetProfiles();
  return gGame->start(gFullscreen);
}

// From the start-up to a new game settled in the hall, as a player gets there.
bool startNewGame() {
  if (!startGame()) return false;
  if (!gGame->startToMenu(false)) return false;
  if (!gGame->enterPlay()) return false;
  gGame->click(300, 200);  // skips the intro
  if (!gGame->stepUntil([] { return !gGame->videoPlaying(); }, 900)) return false;
  return gGame->stepUntil([] { return shown("location01"); }, 300);
}

// The game for the frame cases, walked to the hall by the first case after the logos.
bool inHall() {
  static bool walked = false;
  if (!walked) {
    walked = true;
    gReachedHall = startNewGame();
  }
  return gReachedHall;
}

// Times kFrames frames of whatever is on screen once it settled.
void measure(benchmark::State& state, bool reached) {
  if (!reached) {
    KR::Bench::fail(state, "the screen was not reached");
    return;
  }
  gGame->steps(10);
  KR::RenderSystem* render = KR::RenderSystem::getInstance();
  {
    KR::Bench::FrameMeter meter(state, render);
    for (auto _ : state) {
      meter.begin();
      gGame->step();
      if (!meter.end()) break;
    }
  }
  state.counters["window_w"] = render->getWindowInfo().mWndWidth;
  state.counters["window_h"] = render->getWindowInfo().mWndHeight;
}

// The first logo, fading in and showing (its three seconds hold the frames).
void BM_Logos(benchmark::State& state) {
  const bool reached = startGame() && gGame->stepUntil([] { return gGame->currentState() == "LogoGameState"; }, 10);
  measure(state, reached);
  if (gGame->currentState() != "LogoGameState") KR::Bench::fail(state, "the logos ended while they were measured");
}

void BM_Hall(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  measure(state, shown("location01"));
}

void BM_DeskCloseUp(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  clickAt(428, 664);
  const bool reached = gGame->stepUntil([] { return shown("closeup01"); }, 300);
  measure(state, reached);
  KR::LexBindedFunctionManager::getInstance()->findFunction("closeActiveView")->invoke();
  gGame->stepUntil([] { return shown("location01"); }, 120);
}

void BM_NotebookOpen(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  HOG::NotebookUI* notebook = hud()->getNotebook();
  notebook->setOpen(true);
  const bool reached = gGame->stepUntil([&] { return notebook->coversScreen(); }, 120);
  measure(state, reached);
  notebook->close();
  gGame->stepUntil([&] { return !notebook->isOpen(); }, 120);
  gGame->steps(20);
}

void BM_ShedHiddenObjects(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  play().getViewStack().openView("hos01");
  measure(state, gGame->stepUntil([] { return shown("hos01"); }, 600));
}

// The puzzle gallery, the location the puzzle close-ups lie over, when the
// content has it.
void BM_Gallery(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  if (!play().getRegistry().findViewByName("gallery")) {
    KR::Bench::fail(state, "the content has no \"gallery\"");
    return;
  }
  play().getViewStack().openView("gallery");
  measure(state, gGame->stepUntil([] { return shown("gallery"); }, 600));
}

// The puzzle gallery's ordered buttons over the gallery, where a player opens
// them, when the content has them.
void BM_PuzzleCloseUp(benchmark::State& state) {
  if (!inHall()) {
    KR::Bench::fail(state, "the game did not reach the hall");
    return;
  }
  if (!shown("gallery") || !play().getRegistry().findViewByName("puzzle_bqueue")) {
    KR::Bench::fail(state, "not in the gallery, or the content has no puzzle close-up \"puzzle_bqueue\"");
    return;
  }
  play().getViewStack().openView("puzzle_bqueue");
  measure(state, gGame->stepUntil([] { return shown("puzzle_bqueue"); }, 600));
}

// Launches first, while no game runs in this process; then one game for all
// cases, in this order (each walks on from the last).
BENCHMARK(BM_Launch)->Iterations(1)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Logos)->Iterations(kLogoFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Hall)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeskCloseUp)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NotebookOpen)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShedHiddenObjects)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gallery)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PuzzleCloseUp)->Iterations(kFrames)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> rest;
  bool child = false;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], kFullscreenFlag) == 0)
      gFullscreen = true;
    else if (std::strcmp(argv[i], kLaunchFlag) == 0)
      child = true;
    else
      rest.push_back(argv[i]);
  }
  // The headless environment of the tests, so the game runs without a screen;
  // full screen needs a display of the player's size (Xvfb).
  if (gFullscreen && !std::getenv("DISPLAY")) {
    std::fprintf(stderr, "%s needs an X display, e.g. xvfb-run -s \"-screen 0 1280x1024x24\"\n", kFullscreenFlag);
    return 1;
  }
  setenv("SDL_VIDEODRIVER", gFullscreen ? "x11" : "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("ALSOFT_DRIVERS", "null", 0);
  setenv("KR_HEADLESS", "1", 1);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("GALLIUM_DRIVER", "llvmpipe", 0);
  if (child) {
    if (!std::getenv("XDG_DATA_HOME")) setenv("XDG_DATA_HOME", KR::Test::scratchDir("xdg-data").c_str(), 1);
    return runLaunchChild();
  }
  const std::string data = KR::Test::scratchDir("xdg-data");
  setenv("XDG_DATA_HOME", data.c_str(), 1);
  int count = int(rest.size());
  benchmark::Initialize(&count, rest.data());
  KR::Test::GameDriver game;
  gGame = &game;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  int code = 0;
  if (gStarted) {
    game.closeWindow();
    code = game.finish();
  }
  gGame = nullptr;
  return code;
}
