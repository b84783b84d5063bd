// Saving and loading a whole game: the demo's game played a little (its
// views, triggers, items and node states from the built media) saved
// crash-safe without the flush to disk and loaded back with every check; and
// the file layer alone over savetool's sample game.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include "bench_main.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "config_manager.h"
#include "core/game_state/game.h"
#include "core/game_state/inventory_panel/inventory.h"
#include "core/game_state/saves/save_load_game_progress_system.h"
#include "core/game_state/triggers/area_trigger.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "core/main_menu_state/profile_system.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "log_system.h"
#include "platform/safe_file.h"
#include "savetool.h"
#include "ui/text_manager.h"

namespace {

std::string benchPath() { return "/tmp/save_game_bench_" + std::to_string(getpid()) + ".sav"; }

void BM_SaveGame(benchmark::State& state) {
  const HOG::SaveGame::Data data = HOG::SaveTool::makeSample();
  const std::string path = benchPath();
  for (auto _ : state) {
    if (!HOG::SaveGame::writeFile(path, data, nullptr, false)) KR::Bench::fail(state, "cannot write");
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& state) {
  const HOG::SaveGame::Data data = HOG::SaveTool::makeSample();
  const HOG::SaveGame::Expected expected = HOG::SaveTool::expectedFor(data);
  const std::string path = benchPath();
  HOG::SaveGame::writeFile(path, data, nullptr, false);
  for (auto _ : state) {
    std::string bytes;
    HOG::SaveGame::Data loaded;
    if (!KR::Platform::readWholeFile(path, &bytes) || !HOG::SaveGame::decode(bytes, &expected, &loaded, nullptr))
      KR::Bench::fail(state, "cannot load");
    benchmark::DoNotOptimize(loaded);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

// The menu's check, before any description is loaded.
void BM_CheckSaveGame(benchmark::State& state) {
  const std::string path = benchPath();
  HOG::SaveGame::writeFile(path, HOG::SaveTool::makeSample(), nullptr, false);
  for (auto _ : state) benchmark::DoNotOptimize(HOG::SaveGame::checkFile(path));
  std::remove(path.c_str());
}
BENCHMARK(BM_CheckSaveGame)->Unit(benchmark::kMillisecond);

// The demo's play state over the built media, a few things done in it.
struct DemoGame {
  DemoGame() {
    if (std::getenv("KR_BENCH_LOG")) log.addWriter(std::make_unique<KR::StderrLogWriter>());
    KR::FileSystem::setContentFolder(std::string(KR_BENCH_MEDIA_DIR) + "/");
    allocators.init();
    files = std::make_unique<KR::FileSystem>();
    config = std::make_unique<KR::ConfigManager>();
    files->loadFilesLocationInfo();
    texts = std::make_unique<KR::TextManager>();
    texts->loadStrings();
    char folder[] = "/tmp/save_bench_XXXXXX";
    profiles = std::make_unique<HOG::ProfileSystem>(std::string(mkdtemp(folder)) + "/");
    game = std::make_unique<HOG::Game>();
    game->resetForNewGame();
    for (HOG::IBaseAreaTrigger* t : game->getRegistry().getTriggers()) t->dead = t->triggerId % 2;
    game->getInventory().addItem("key", false);
  }
  ~DemoGame() {
    std::remove(HOG::SaveLoadGameProgressSystem::getSavePath().c_str());
    game.reset();
    profiles.reset();
  }
  KR::LogSystem log;
  KR::EngineAllocators allocators;
  std::unique_ptr<KR::FileSystem> files;
  std::unique_ptr<KR::ConfigManager> config;
  std::unique_ptr<KR::TextManager> texts;
  std::unique_ptr<HOG::ProfileSystem> profiles;
  std::unique_ptr<HOG::Game> game;
};

void BM_SaveDemoGame(benchmark::State& state) {
  DemoGame demo;
  for (auto _ : state)
    if (!HOG::SaveLoadGameProgressSystem::save(*demo.game, false)) KR::Bench::fail(state, "cannot save");
}
BENCHMARK(BM_SaveDemoGame)->Unit(benchmark::kMillisecond);

// Loading starts from fresh descriptions, as play does.
void BM_LoadDemoGame(benchmark::State& state) {
  DemoGame demo;
  HOG::SaveLoadGameProgressSystem::save(*demo.game, false);
  for (auto _ : state)
    if (!HOG::SaveLoadGameProgressSystem::load(*demo.game)) KR::Bench::fail(state, "cannot load");
}
BENCHMARK(BM_LoadDemoGame)->Unit(benchmark::kMillisecond);

}  // namespace

KR_BENCHMARK_MAIN()
