#include "buddy_allocator.h"

#include <cstdlib>
#include <cstring>

#include "report_assert.h"
#include "scoped_lock.h"

namespace KR {

namespace {
[[noreturn]] void reportBadPointer() {
  reportAssert("KR", "BuddyAllocator::dealloc(), Bad pointer specified", "buddy_allocator", 175);
  fatalTrap();
}
}  // namespace

BuddyAllocator::BuddyAllocator() : BuddyAllocator(static_cast<uint8_t*>(std::malloc(kArenaSize)), true) {}

BuddyAllocator::BuddyAllocator(uint8_t* arena_, bool ownsArena_) : arena(arena_), ownsArena(ownsArena_) {
  static_assert(sizeof(leafMap) == kLeafCount, "one map byte per leaf");
  KR_ASSERT(arena != nullptr, "BuddyAllocator: no arena");
  static_assert(sizeof(blockOrder) == kLeafCount, "one order byte per leaf");
  std::memset(leafMap, 0, sizeof(leafMap));
  std::memset(blockOrder, kNoBlock, sizeof(blockOrder));
  std::memset(blockSize, 0, sizeof(blockSize));
  initRecursiveMutex(&lock);
}

BuddyAllocator::~BuddyAllocator() {
  if (ownsArena) std::free(arena);
  pthread_mutex_destroy(&lock);
}

int BuddyAllocator::orderOf(uint32_t size) {
  int k = 0;
  uint32_t block = kArenaSize;
  while (block > kLeafSize && size <= block / 2) {
    block /= 2;
    ++k;
  }
  return k;
}

uint8_t* BuddyAllocator::alloc(uint32_t size) {
  if (size > kArenaSize) return nullptr;
  const int order = orderOf(size);
  const uint32_t n = kLeafCount >> order;
  ScopedLock guard(ScopedLock::lock(&lock));
  for (uint32_t i = 0; i < kLeafCount; i += n) {
    bool free = true;
    for (uint32_t j = i; j < i + n; ++j) {
      if (leafMap[j]) {
        free = false;
        break;
      }
    }
    if (!free) continue;
    std::memset(leafMap + i, 0xFF, n);
    blockOrder[i] = uint8_t(order);
    blockSize[i] = size;
    bytesInUse += size;
    if (bytesInUse > peakBytesInUse) peakBytesInUse = bytesInUse;
    return arena + size_t(i) * kLeafSize;
  }
  return nullptr;
}

void BuddyAllocator::dealloc(void* pointer, uint32_t size) {
  const auto* p = static_cast<const uint8_t*>(pointer);
  // Anything outside the arena would index past the leaf map.
  if (p < arena || p >= arena + kArenaSize || size > kArenaSize) reportBadPointer();
  const size_t offset = size_t(p - arena);
  const uint32_t i = uint32_t(offset / kLeafSize);
  const int order = orderOf(size);
  const uint32_t n = kLeafCount >> order;
  bool valid;
  {
    ScopedLock guard(ScopedLock::lock(&lock));
    valid = offset % kLeafSize == 0 && blockOrder[i] == uint8_t(order) && blockSize[i] == size;
    if (valid) {
      blockOrder[i] = kNoBlock;
      std::memset(leafMap + i, 0, n);
      bytesInUse -= size;
    }
  }
  if (!valid) reportBadPointer();
}

uint32_t BuddyAllocator::getBytesInUse() const {
  ScopedLock guard(ScopedLock::lock(&lock));
  return bytesInUse;
}

uint32_t BuddyAllocator::getPeakBytesInUse() const {
  ScopedLock guard(ScopedLock::lock(&lock));
  return peakBytesInUse;
}

bool BuddyAllocator::isLeafUsed(uint32_t leaf) const {
  ScopedLock guard(ScopedLock::lock(&lock));
  return leaf < kLeafCount && leafMap[leaf] != 0;
}

}  // namespace KR
