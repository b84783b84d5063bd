// One frame's worth of the play state's bookkeeping: a pass of 256 queued
// script calls (each keeping a copy of its text argument) and 1,000 messages
// delivered to 16 listeners. The counter "allocations" is the heap
// allocations per iteration, which should be 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <tuple>

#include "bench_main.h"
#include "core/game_state/game_message.h"
#include "core/game_state/game_task_manager.h"
#include "log_system.h"

namespace {

std::atomic<uint64_t> gAllocations{0};

}  // namespace

// The replacements pair malloc with free themselves.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class Host : public HOG::GameTaskHost {
 public:
  bool isLocked() const override { return false; }
  bool isTopViewActivated() override { return true; }
};

uint64_t gChecksum = 0;
void scriptCall(const char* text) { gChecksum += uint8_t(text[0]); }

class Listener : public HOG::GameMessageListener {
 public:
  void onMessage(const HOG::GameMessage* message) override { received += message->kind; }
  uint64_t received = 0;
};

void BM_TaskPassAndMessages(benchmark::State& state) {
  KR::LogSystem log;
  Host host;
  HOG::GameTaskManager tasks(&host);
  HOG::GameMessageDispatcher bus;
  Listener listeners[16];
  for (Listener& listener : listeners) bus.addListener(&listener);
  using Task = KR::Function1<const char*, KR::Dummy>;
  const char* names[4] = {"location02", "inventory_key", "a hint that is longer than a few words", "door"};
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = gAllocations.load(std::memory_order_relaxed);
    for (int i = 0; i < 256; ++i) {
      Task* task = tasks.makeTask<Task>(&scriptCall);
      std::get<0>(task->arguments) = tasks.keepText(task, names[i & 3]);
    }
    tasks.update();
    HOG::GameMessage message;
    message.sender = &listeners[0];
    for (int i = 0; i < 1000; ++i) {
      message.kind = uint32_t(i % 32);
      message.setPointer(&listeners[i & 15]);
      bus.dispatchMessage(&message);
    }
    allocations += gAllocations.load(std::memory_order_relaxed) - before;
  }
  benchmark::DoNotOptimize(gChecksum);
  benchmark::DoNotOptimize(listeners[1].received);
  state.counters["allocations"] = benchmark::Counter(double(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TaskPassAndMessages)->Unit(benchmark::kMicrosecond);

}  // namespace

KR_BENCHMARK_MAIN()
