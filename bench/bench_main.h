// The benchmarks' main. A benchmark that stops with an error (a frame meant
// to draw that sent no draw call, a missing file) makes the whole run end
// with exit status 1, so that a script or a person running the benchmarks
// can't quote a figure that timed nothing.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>

namespace KR {
namespace Bench {

inline std::atomic<bool>& anyBenchmarkFailed() {
  static std::atomic<bool> failed{false};
  return failed;
}

// Stops the benchmark with `message` and marks the run failed.
inline void fail(benchmark::State& state, const char* message) {
  anyBenchmarkFailed() = true;
  state.SkipWithError(message);
}

inline int runBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return anyBenchmarkFailed() ? 1 : 0;
}

}  // namespace Bench
}  // namespace KR

#define KR_BENCHMARK_MAIN() \
  int main(int argc, char** argv) { return KR::Bench::runBenchmarks(argc, argv); }
