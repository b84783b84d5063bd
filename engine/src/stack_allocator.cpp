#include "stack_allocator.h"

#include <cstdlib>

#include "report_assert.h"
#include "scoped_lock.h"

namespace KR {

StackAllocator::StackAllocator() : buffer(static_cast<uint8_t*>(std::malloc(kCapacity))), capacity(kCapacity) {
  KR_ASSERT(buffer != nullptr, "StackAllocator: no buffer");
  initRecursiveMutex(&lock);
}

StackAllocator::~StackAllocator() {
  std::free(buffer);
  pthread_mutex_destroy(&lock);
}

uint32_t StackAllocator::mark() {
  pthread_mutex_lock(&lock);
  owner = pthread_self();
  ++depth;
  return used;
}

uint8_t* StackAllocator::allocate(uint32_t size) {
  // The lock is recursive: a thread holding a mark gets it at once, any other
  // thread is misusing the allocator.
  KR_ASSERT(pthread_mutex_trylock(&lock) == 0, "StackAllocator::allocate() without a mark");
  const bool ownsMark = depth > 0 && pthread_equal(owner, pthread_self());
  if (!ownsMark) {
    pthread_mutex_unlock(&lock);
    KR_FATAL("StackAllocator::allocate() without a mark");
  }
  uint8_t* result = nullptr;
  if (capacity - used >= size) {
    result = buffer + used;
    used += size;
  }
  pthread_mutex_unlock(&lock);
  return result;
}

void StackAllocator::restore(uint32_t savedMark) {
  const bool ownsMark = depth > 0 && pthread_equal(owner, pthread_self());
  KR_ASSERT(ownsMark && savedMark <= used, "StackAllocator::restore() without a matching mark");
  used = savedMark;
  --depth;
  pthread_mutex_unlock(&lock);
}

}  // namespace KR
