#pragma once
// Registry of tracked allocations that lives for the whole run. Nothing in the
// engine records into it yet; it exists so that tracking can be switched on
// without changing its owners.
#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <map>

#include "singleton.h"

namespace KR {

// 1 from process start until the memory manager is destroyed.
extern uint8_t memoryManagerAlive;

struct AllocationRecord {
  size_t size = 0;
  const char* file = nullptr;
  int32_t line = 0;
};

class MemoryManager : public Singleton<MemoryManager> {
 public:
  MemoryManager();
  ~MemoryManager() override;

  bool isEnabled() const { return enabled != 0; }
  void recordAllocation(const void* address, const AllocationRecord& record);
  // False when the address was not recorded.
  bool forgetAllocation(const void* address);
  size_t getRecordCount() const;

 private:
  std::map<uintptr_t, AllocationRecord> records;
  mutable pthread_mutex_t lock;
  uint8_t enabled = 0;
};

}  // namespace KR
