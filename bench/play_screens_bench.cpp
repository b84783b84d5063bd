// The hint search over 32 generated locations of 64 triggers each: a chain of
// transitions (each location also links back), 60 item triggers per location
// that are not for hints, and the one usable trigger in the last location, so
// every location is walked. Target: under 2 ms per search.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_main.h"
#include "core/game_state/hud/hint_search.h"
#include "core/game_state/views/view.h"
#include "core/game_state/views/view_registry.h"
#include "engine_allocators.h"
#include "xml_data_reader.h"

namespace {

constexpr int kViews = 32, kTriggers = 64;

std::string trigger(int id, const std::string& body) {
  const std::string tag = "v" + std::to_string(id);
  return "<" + tag + "><triggerID v=\"" + std::to_string(id) + "\"/><enabled v=\"1\"/>" + body + "</" + tag + ">";
}

std::string locations() {
  std::string text = "<root><views>";
  for (int v = 0; v < kViews; ++v) {
    text += "<v" + std::to_string(v) + "><name v=\"loc" + std::to_string(v) + "\"/><id v=\"" + std::to_string(v) +
            "\"/><areaTriggers>";
    int id = 0;
    if (v + 1 < kViews)
      text += trigger(id++, "<type v=\"2\"/><targetLocation v=\"loc" + std::to_string(v + 1) + "\"/>");
    if (v > 0) text += trigger(id++, "<type v=\"2\"/><targetLocation v=\"loc" + std::to_string(v - 1) + "\"/>");
    if (v == kViews - 1) text += trigger(id++, "<type v=\"3\"/>");
    while (id < kTriggers) text += trigger(id++, "<type v=\"3\"/><useByHints v=\"0\"/>");
    text += "</areaTriggers></v" + std::to_string(v) + ">";
  }
  return text + "</views></root>";
}

void BM_HintSearch32Views(benchmark::State& state) {
  KR::EngineAllocators allocators;
  allocators.init();
  HOG::ViewRegistry registry;
  {
    KR::XmlDataReader reader;
    const std::string text = locations();
    reader.parse(text.data(), text.size());
    reader.enterChild("views");
    registry.parseViews(reader, 1.0f);
  }
  HOG::View* start = registry.findViewByName("loc0");
  const std::vector<HOG::View*> stack = {start};
  HOG::HintSearch search(registry);
  HOG::HintResult result;
  for (auto _ : state) {
    search.run(start, stack, &result);
    benchmark::DoNotOptimize(result.trigger);
  }
  state.counters["depth"] = double(result.depth);
  registry.clear();
}
BENCHMARK(BM_HintSearch32Views)->Unit(benchmark::kMicrosecond);

}  // namespace

KR_BENCHMARK_MAIN()
