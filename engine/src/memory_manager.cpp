#include "memory_manager.h"

#include "scoped_lock.h"

namespace KR {

uint8_t memoryManagerAlive = 1;

MemoryManager::MemoryManager() {
  setInstance(this);
  initRecursiveMutex(&lock);
  enabled = 1;
}

MemoryManager::~MemoryManager() {
  enabled = 0;
  memoryManagerAlive = 0;
  pthread_mutex_destroy(&lock);
  records.clear();
}

void MemoryManager::recordAllocation(const void* address, const AllocationRecord& record) {
  ScopedLock guard(ScopedLock::lock(&lock));
  records[reinterpret_cast<uintptr_t>(address)] = record;
}

bool MemoryManager::forgetAllocation(const void* address) {
  ScopedLock guard(ScopedLock::lock(&lock));
  return records.erase(reinterpret_cast<uintptr_t>(address)) != 0;
}

size_t MemoryManager::getRecordCount() const {
  ScopedLock guard(ScopedLock::lock(&lock));
  return records.size();
}

}  // namespace KR
