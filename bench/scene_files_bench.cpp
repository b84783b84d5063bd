// A scene file of 1,000 sprite objects with ten keyframes each, written once
// from memory, over the built demo media on an off-screen device.
// Targets: loading it (AE::loadScene: parse, nodes, keys, sprites) at most
// 30 ms; the loaded scene's update plus drawing at most 5 ms of the main
// thread's CPU a frame. Also one object of 4,000 frames written forwards and
// backwards: both load in about the same time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "bench_main.h"
#include "frame_meter.h"
#include "scene_world.h"

namespace {

constexpr int kObjects = 1000;
constexpr int kKeys = 10;
constexpr float kFrame = 1.0f / 60.0f;

std::string sceneText() {
  std::string text = "<Scene>\n";
  for (int i = 0; i < kObjects; ++i) {
    const int x = (i % 40) * 25, y = (i / 40) * 30;
    text += "<Object type='Sprite' name='s" + std::to_string(i) +
            "' filename='demo_scene_sprites' tablename='SceneDisc'>"
            "<Parameters X='" +
            std::to_string(x) + "' Y='" + std::to_string(y) +
            "' scaleX='0.5' scaleY='0.5' A='1' R='1' G='1' B='1' Enable='1'/><frames loop='1'>";
    for (int k = 0; k < kKeys; ++k) {
      text += "<frame StartFrame='" + std::to_string(k * 6) + "'><Attributes X='" + std::to_string(x + k % 3) +
              "' Y='" + std::to_string(y) + "' angle='" + std::to_string(k * 36) +
              "' scaleX='0.5' scaleY='0.5' A='1' R='" + (k % 2 ? "0.5" : "1") + "' G='1' B='1'/></frame>";
    }
    text += "</frames></Object>\n";
  }
  return text + "</Scene>\n";
}

struct World : KR::Bench::SceneWorld {
  World() {
    path = "/tmp/kr_scene_files_bench_" + std::to_string(getpid()) + ".xml";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const std::string text = sceneText();
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  ~World() { std::remove(path.c_str()); }

  std::string path;
};

World& world() {
  static World* w = new World();
  return *w;
}

void BM_LoadScene(benchmark::State& state) {
  World& w = world();
  for (auto _ : state) {
    std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(w.path));
    benchmark::DoNotOptimize(scene.get());
    state.PauseTiming();
    const bool whole = scene && scene->mChildren.size() == size_t(kObjects);
    scene.reset();
    if (!whole) {
      KR::Bench::fail(state, "the scene did not load whole");
      break;
    }
    state.ResumeTiming();
  }
  state.counters["objects"] = kObjects;
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

void BM_LoadedSceneUpdateAndDraw(benchmark::State& state) {
  World& w = world();
  std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(w.path));
  scene->play(true);
  w.drawFrame(scene.get());
  {
    // A frame that draws nothing would time nothing: it fails the benchmark.
    KR::Bench::FrameMeter meter(state, w.renderSystem.get(), false);
    for (auto _ : state) {
      meter.begin();
      scene->update(kFrame);
      w.drawFrame(scene.get());
      if (!meter.end()) break;
    }
  }
  state.counters["objects"] = kObjects;
}
BENCHMARK(BM_LoadedSceneUpdateAndDraw)->Unit(benchmark::kMillisecond);

// One plain object of 4,000 frames, in frame order (0) or backwards (1).

// Times loading `text` written to a scene file of its own.
void timeSceneLoads(benchmark::State& state, const std::string& text, const char* name) {
  const std::string path = "/tmp/" + std::string(name) + std::to_string(getpid()) + ".xml";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  for (auto _ : state) {
    std::unique_ptr<AE::ISceneNode> scene(AE::loadScene(path));
    benchmark::DoNotOptimize(scene.get());
  }
  std::remove(path.c_str());
}

void BM_LoadManyFrames(benchmark::State& state) {
  world();
  const bool backwards = state.range(0) != 0;
  std::string text = "<Scene><Object name='long'><frames>";
  for (int i = 0; i < 4000; ++i) {
    const std::string f = std::to_string(backwards ? 3999 - i : i);
    text += "<frame StartFrame='" + f + "'><Attributes X='" + f + "'/></frame>";
  }
  text += "</frames></Object></Scene>";
  timeSceneLoads(state, text, "kr_scene_frames_bench_");
  state.counters["frames"] = 4000;
}
BENCHMARK(BM_LoadManyFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A camera of 16,000 key frames, each an activation frame, in frame order.
void BM_LoadCameraActivationFrames(benchmark::State& state) {
  world();
  constexpr int kFrames = 16000;
  std::string frames, activations;
  for (int i = 0; i < kFrames; ++i) {
    const std::string f = std::to_string(i);
    frames += "<frame StartFrame='" + f + "'/>";
    activations += "<Attribute startFrame='" + f + "'/>";
  }
  const std::string text = "<Scene><Object type='MovieCamera' name='camera'><frames>" + frames +
                           "</frames><Activationframes>" + activations + "</Activationframes></Object></Scene>";
  timeSceneLoads(state, text, "kr_scene_camera_bench_");
  state.counters["frames"] = kFrames;
}
BENCHMARK(BM_LoadCameraActivationFrames)->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
