// The engine's fixed arenas against the C heap, for the buffer sizes the XML
// reader and the image decoders ask for.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench_main.h"
#include "buddy_allocator.h"
#include "stack_allocator.h"

namespace {

void BM_BuddyAllocRelease(benchmark::State& state) {
  KR::BuddyAllocator buddy;
  const uint32_t size = uint32_t(state.range(0));
  for (auto _ : state) {
    uint8_t* p = buddy.alloc(size);
    benchmark::DoNotOptimize(p);
    buddy.dealloc(p, size);
  }
}
BENCHMARK(BM_BuddyAllocRelease)->Arg(1000)->Arg(16384)->Arg(100000)->Arg(1 << 20);

// A fragmented arena: most leaves taken, so the scan walks the whole map.
void BM_BuddyAllocReleaseNearlyFull(benchmark::State& state) {
  KR::BuddyAllocator buddy;
  for (uint32_t i = 0; i < KR::BuddyAllocator::kLeafCount - 1; ++i) buddy.alloc(1);
  for (auto _ : state) {
    uint8_t* p = buddy.alloc(1000);
    benchmark::DoNotOptimize(p);
    buddy.dealloc(p, 1000);
  }
}
BENCHMARK(BM_BuddyAllocReleaseNearlyFull);

void BM_StackMarkAllocRestore(benchmark::State& state) {
  KR::StackAllocator stack;
  const uint32_t size = uint32_t(state.range(0));
  for (auto _ : state) {
    const uint32_t mark = stack.mark();
    uint8_t* p = stack.allocate(size);
    benchmark::DoNotOptimize(p);
    stack.restore(mark);
  }
}
BENCHMARK(BM_StackMarkAllocRestore)->Arg(1000)->Arg(16384)->Arg(100000);

void BM_MallocFree(benchmark::State& state) {
  const size_t size = size_t(state.range(0));
  for (auto _ : state) {
    void* p = std::malloc(size);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}
BENCHMARK(BM_MallocFree)->Arg(1000)->Arg(16384)->Arg(100000)->Arg(1 << 20);

// Two threads sharing one arena, as the main and streaming threads do.
KR::BuddyAllocator* gShared = nullptr;
void BM_BuddySharedByThreads(benchmark::State& state) {
  if (state.thread_index() == 0) gShared = new KR::BuddyAllocator();
  for (auto _ : state) {
    uint8_t* p = gShared->alloc(1000);
    benchmark::DoNotOptimize(p);
    if (p) gShared->dealloc(p, 1000);
  }
  if (state.thread_index() == 0) {
    delete gShared;
    gShared = nullptr;
  }
}
BENCHMARK(BM_BuddySharedByThreads)->Threads(2);

void BM_MallocSharedByThreads(benchmark::State& state) {
  for (auto _ : state) {
    void* p = std::malloc(1000);
    benchmark::DoNotOptimize(p);
    std::free(p);
  }
}
BENCHMARK(BM_MallocSharedByThreads)->Threads(2);

}  // namespace

KR_BENCHMARK_MAIN()
