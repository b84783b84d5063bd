#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "buddy_allocator.h"
#include "engine_allocators.h"
#include "memory_manager.h"
#include "stack_allocator.h"

namespace {

using KR::BuddyAllocator;
constexpr uint32_t kLeaf = BuddyAllocator::kLeafSize;
constexpr uint32_t kArena = BuddyAllocator::kArenaSize;

uint32_t leafOf(const BuddyAllocator& b, const void* p) {
  return uint32_t((static_cast<const uint8_t*>(p) - b.getArena()) / kLeaf);
}

TEST(BuddyAllocatorTest, OrdersFollowRequestSize) {
  EXPECT_EQ(BuddyAllocator::orderOf(0), 7);
  EXPECT_EQ(BuddyAllocator::orderOf(1), 7);
  EXPECT_EQ(BuddyAllocator::orderOf(kLeaf), 7);
  EXPECT_EQ(BuddyAllocator::orderOf(kLeaf + 1), 6);
  EXPECT_EQ(BuddyAllocator::orderOf(2 * kLeaf), 6);
  EXPECT_EQ(BuddyAllocator::orderOf(kArena / 2 + 1), 0);
  EXPECT_EQ(BuddyAllocator::orderOf(kArena), 0);
}

TEST(BuddyAllocatorTest, SplitsIntoAlignedBlocks) {
  BuddyAllocator b;
  uint8_t* one = b.alloc(1);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one, b.getArena());
  uint8_t* leaf = b.alloc(kLeaf);
  EXPECT_EQ(leafOf(b, leaf), 1u);
  uint8_t* pair = b.alloc(kLeaf + 1);  // aligned pair: leaves 2 and 3
  EXPECT_EQ(leafOf(b, pair), 2u);
  EXPECT_TRUE(b.isLeafUsed(3));
  EXPECT_FALSE(b.isLeafUsed(4));
  EXPECT_EQ(b.getBytesInUse(), 1u + kLeaf + kLeaf + 1);
  std::memset(pair, 0xAB, kLeaf + 1);  // the whole block is usable

  b.dealloc(leaf, kLeaf);
  uint8_t* again = b.alloc(20000);  // leaf 1 is free but a pair must start even
  EXPECT_EQ(leafOf(b, again), 4u);
  EXPECT_EQ(b.getPeakBytesInUse(), 1u + (kLeaf + 1) + 20000);  // after the leaf was returned
}

TEST(BuddyAllocatorTest, FreedHalvesMergeAndWholeArenaNeedsEveryLeaf) {
  BuddyAllocator b;
  EXPECT_EQ(b.alloc(kArena + 1), nullptr);
  uint8_t* a = b.alloc(32768);
  uint8_t* c = b.alloc(32768);
  ASSERT_EQ(leafOf(b, c), 2u);
  EXPECT_EQ(b.alloc(kArena), nullptr);
  uint8_t* big = b.alloc(65536);
  EXPECT_EQ(leafOf(b, big), 4u);
  b.dealloc(a, 32768);
  b.dealloc(c, 32768);
  uint8_t* merged = b.alloc(65536);
  EXPECT_EQ(merged, b.getArena());
  b.dealloc(merged, 65536);
  b.dealloc(big, 65536);
  EXPECT_EQ(b.getBytesInUse(), 0u);
  uint8_t* whole = b.alloc(kArena);
  EXPECT_EQ(whole, b.getArena());
  EXPECT_EQ(b.alloc(1), nullptr);  // exhausted
  b.dealloc(whole, kArena);
  for (uint32_t i = 0; i < BuddyAllocator::kLeafCount; ++i) EXPECT_FALSE(b.isLeafUsed(i));
}

TEST(BuddyAllocatorTest, ExhaustionOfLeaves) {
  BuddyAllocator b;
  std::vector<uint8_t*> blocks;
  for (uint32_t i = 0; i < BuddyAllocator::kLeafCount; ++i) blocks.push_back(b.alloc(100));
  for (uint8_t* p : blocks) ASSERT_NE(p, nullptr);
  EXPECT_EQ(b.alloc(100), nullptr);
  b.dealloc(blocks[77], 100);
  EXPECT_EQ(b.alloc(100), blocks[77]);
}

TEST(BuddyAllocatorDeathTest, BadPointerIsFatal) {
  BuddyAllocator b;
  const char* expected = "BuddyAllocator::dealloc\\(\\), Bad pointer specified";
  EXPECT_EXIT(b.dealloc(const_cast<uint8_t*>(b.getArena()) - 1, 1), ::testing::ExitedWithCode(255), expected);
  EXPECT_EXIT(b.dealloc(const_cast<uint8_t*>(b.getArena()) + kArena, 1), ::testing::ExitedWithCode(255), expected);
  EXPECT_EXIT(b.dealloc(const_cast<uint8_t*>(b.getArena()) + kLeaf, 2 * kLeaf), ::testing::ExitedWithCode(255),
              expected);
}

// A release that does not match a live block must not clear leaves that
// another user (possibly on another thread) still holds.
TEST(BuddyAllocatorDeathTest, MismatchedReleaseIsFatal) {
  BuddyAllocator b;
  uint8_t* small = b.alloc(1);
  uint8_t* neighbour = b.alloc(1);
  ASSERT_EQ(leafOf(b, neighbour), 1u);
  const char* expected = "Bad pointer specified";
  EXPECT_EXIT(b.dealloc(small, kArena), ::testing::ExitedWithCode(255), expected);  // would free the neighbour
  EXPECT_EXIT(b.dealloc(small + 1, 1), ::testing::ExitedWithCode(255), expected);   // inside a block
  // Same order, other size: accepting it would make the usage counters wrap.
  EXPECT_EXIT(b.dealloc(small, 16000), ::testing::ExitedWithCode(255), expected);
  EXPECT_EXIT(b.dealloc(const_cast<uint8_t*>(b.getArena()) + 5 * kLeaf, 1), ::testing::ExitedWithCode(255),
              expected);  // never lent
  EXPECT_EXIT(
      {
        b.dealloc(small, 1);
        b.dealloc(small, 1);  // returned twice
      },
      ::testing::ExitedWithCode(255), expected);
  b.dealloc(small, 1);
  EXPECT_TRUE(b.isLeafUsed(1));
  b.dealloc(neighbour, 1);
}

TEST(BuddyAllocatorTest, ThreadsNeverShareABlock) {
  BuddyAllocator b;
  std::atomic<int> failures{0};
  auto worker = [&](uint8_t tag) {
    for (int round = 0; round < 2000; ++round) {
      const uint32_t size = (round % 3 == 0) ? 40000 : 1000 + round;
      uint8_t* p = b.alloc(size);
      if (!p) continue;  // the other thread holds the space for now
      std::memset(p, tag, size);
      for (uint32_t i = 0; i < size; i += 997) {
        if (p[i] != tag) failures++;
      }
      b.dealloc(p, size);
    }
  };
  std::thread t1(worker, uint8_t(1));
  std::thread t2(worker, uint8_t(2));
  t1.join();
  t2.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(b.getBytesInUse(), 0u);
}

TEST(StackAllocatorTest, MarkRestoreHandsOutTheSameMemory) {
  KR::StackAllocator s;
  EXPECT_EQ(s.getCapacity(), 524288u);
  uint8_t* first;
  {
    KR::StackAllocatorScope scope(s);
    first = scope.allocate(1000);
    ASSERT_EQ(first, s.getBuffer());
    {
      KR::StackAllocatorScope inner(s);  // nested marks on one thread
      EXPECT_EQ(inner.allocate(24), first + 1000);
      EXPECT_EQ(s.getUsed(), 1024u);
    }
    EXPECT_EQ(s.getUsed(), 1000u);
    EXPECT_EQ(scope.allocate(s.getCapacity()), nullptr);  // more than is left
    EXPECT_EQ(s.getUsed(), 1000u);
    EXPECT_NE(scope.allocate(s.getCapacity() - 1000), nullptr);  // exactly what is left
  }
  EXPECT_EQ(s.getUsed(), 0u);
  const uint32_t m = s.mark();
  EXPECT_EQ(s.allocate(10), first);
  s.restore(m);
  EXPECT_EQ(s.getUsed(), 0u);
}

TEST(StackAllocatorTest, OtherThreadWaitsForTheMark) {
  KR::StackAllocator s;
  const uint32_t m = s.mark();
  uint8_t* mine = s.allocate(4096);
  std::memset(mine, 7, 4096);
  std::atomic<bool> otherDone{false};
  uint8_t* theirs = nullptr;
  std::thread other([&] {
    KR::StackAllocatorScope scope(s);
    theirs = scope.allocate(4096);
    std::memset(theirs, 9, 4096);
    otherDone = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(otherDone.load());  // blocked until this thread restores
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(mine[i], 7);
  s.restore(m);
  other.join();
  EXPECT_TRUE(otherDone.load());
  EXPECT_EQ(theirs, s.getBuffer());
  EXPECT_EQ(s.getUsed(), 0u);
}

TEST(StackAllocatorDeathTest, AllocateWithoutMarkIsFatal) {
  KR::StackAllocator s;
  EXPECT_EXIT(s.allocate(1), ::testing::ExitedWithCode(255), "without a mark");
}

TEST(EngineAllocatorsTest, InitMakesFreshArenas) {
  KR::EngineAllocators engine;
  EXPECT_EQ(KR::EngineAllocators::getInstance(), &engine);
  EXPECT_EQ(engine.getBuddyAllocator(), nullptr);
  engine.init();
  ASSERT_NE(engine.getBuddyAllocator(), nullptr);
  ASSERT_NE(engine.getStackAllocator(), nullptr);
  EXPECT_TRUE(engine.getBuddyAllocator()->getOwnsArena());
  uint8_t* p = engine.getBuddyAllocator()->alloc(10);
  engine.getBuddyAllocator()->dealloc(p, 10);
  engine.init();
  EXPECT_EQ(engine.getBuddyAllocator()->getPeakBytesInUse(), 0u);
  EXPECT_EQ(engine.getStackAllocator()->getUsed(), 0u);
}

TEST(MemoryManagerTest, LifecycleFlags) {
  {
    KR::MemoryManager manager;
    EXPECT_TRUE(manager.isEnabled());
    EXPECT_EQ(manager.getRecordCount(), 0u);
    int x = 0;
    manager.recordAllocation(&x, KR::AllocationRecord{4, __FILE__, __LINE__});
    EXPECT_EQ(manager.getRecordCount(), 1u);
    EXPECT_TRUE(manager.forgetAllocation(&x));
    EXPECT_FALSE(manager.forgetAllocation(&x));
    EXPECT_EQ(KR::memoryManagerAlive, 1);
  }
  EXPECT_EQ(KR::memoryManagerAlive, 0);
  EXPECT_FALSE(KR::MemoryManager::exists());
  KR::memoryManagerAlive = 1;
}

}  // namespace
