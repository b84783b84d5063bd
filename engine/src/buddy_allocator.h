#pragma once
// Fixed 2 MB arena lent out in power-of-two blocks of 16 KB to 2 MB. A leaf map
// (one byte per 16 KB leaf) is the whole bookkeeping: a block is free exactly
// when all its leaves are, so freed neighbours merge without a separate step.
// The XML readers of several threads share it, so every call takes its lock.
#include <pthread.h>

#include <cstdint>

namespace KR {

class BuddyAllocator {
 public:
  static constexpr uint32_t kArenaSize = 2097152;
  static constexpr uint32_t kLeafSize = 16384;
  static constexpr uint32_t kLeafCount = kArenaSize / kLeafSize;
  static constexpr int kOrderCount = 8;  // orders 0 (whole arena) .. 7 (one leaf)

  // Owns a fresh arena from the C heap.
  BuddyAllocator();
  // Lends out a caller-provided arena of kArenaSize bytes; ownsArena says
  // whether it is freed with the allocator.
  BuddyAllocator(uint8_t* arena, bool ownsArena);
  ~BuddyAllocator();
  BuddyAllocator(const BuddyAllocator&) = delete;
  BuddyAllocator& operator=(const BuddyAllocator&) = delete;

  // Null when the request exceeds the arena or no free block of its order is left.
  uint8_t* alloc(uint32_t size);
  // pointer and size must be those of one live block from alloc. Anything
  // else (outside the arena, not a block start, another size, returned twice)
  // is fatal, so a bad release can never free a block someone else holds.
  void dealloc(void* pointer, uint32_t size);

  // Order of a request: the smallest block (2 MB >> order) that holds it.
  static int orderOf(uint32_t size);

  uint32_t getBytesInUse() const;
  uint32_t getPeakBytesInUse() const;
  bool isLeafUsed(uint32_t leaf) const;
  const uint8_t* getArena() const { return arena; }
  bool getOwnsArena() const { return ownsArena; }

 private:
  uint8_t* arena;
  bool ownsArena;
  uint8_t leafMap[kLeafCount];
  // Order of the live block starting at each leaf, kNoBlock elsewhere.
  static constexpr uint8_t kNoBlock = 0xFF;
  uint8_t blockOrder[kLeafCount];
  // Size asked for by the live block starting at each leaf: a release must give
  // it back exactly, or the usage counters would drift.
  uint32_t blockSize[kLeafCount];
  uint32_t bytesInUse = 0;
  uint32_t peakBytesInUse = 0;
  mutable pthread_mutex_t lock;
};

static_assert(BuddyAllocator::kLeafSize << (BuddyAllocator::kOrderCount - 1) == BuddyAllocator::kArenaSize,
              "the smallest order must be one leaf");

}  // namespace KR
