// Saving and loading a whole game: the sample game of savetool at the demo's
// size, encoded and written crash-safe without the flush to disk, then read
// back and checked against its descriptions.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <string>

#include "platform/safe_file.h"
#include "savetool.h"

namespace {

std::string benchPath() { return "/tmp/save_game_bench_" + std::to_string(getpid()) + ".sav"; }

void BM_SaveGame(benchmark::State& state) {
  const HOG::SaveGame::Data data = HOG::SaveTool::makeSample();
  const std::string path = benchPath();
  for (auto _ : state) {
    if (!HOG::SaveGame::writeFile(path, data, nullptr, false)) state.SkipWithError("cannot write");
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
      state.SkipWithError("cannot load");
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

}  // namespace

BENCHMARK_MAIN();
