#pragma once
// A 512 KB scratch buffer handed out from its start: a user saves a mark,
// allocates, and restores the mark when done, so blocks are released in
// reverse order. Image decoders on several threads share it; a mark also
// takes the allocator's lock until it is restored, so one thread's restore can
// never release a block another thread still uses. Marks nest on one thread.
#include <pthread.h>

#include <cstdint>

namespace KR {

class StackAllocator {
 public:
  static constexpr uint32_t kCapacity = 524288;

  // Owns a fresh buffer of kCapacity bytes from the C heap.
  StackAllocator();
  ~StackAllocator();
  StackAllocator(const StackAllocator&) = delete;
  StackAllocator& operator=(const StackAllocator&) = delete;

  // Locks the allocator for the calling thread and returns the current fill.
  uint32_t mark();
  // Null when fewer than size bytes are left. Only between mark and restore
  // on the calling thread (fatal otherwise).
  uint8_t* allocate(uint32_t size);
  // Sets the fill back to a mark of this thread and drops one lock level.
  void restore(uint32_t mark);

  uint32_t getUsed() const { return used; }
  uint32_t getCapacity() const { return capacity; }
  const uint8_t* getBuffer() const { return buffer; }

 private:
  uint8_t* buffer;
  uint32_t capacity;
  uint32_t used = 0;
  pthread_mutex_t lock;
  pthread_t owner{};
  int depth = 0;  // marks held by owner
};

// Mark on construction, restore on destruction.
class StackAllocatorScope {
 public:
  explicit StackAllocatorScope(StackAllocator& allocator) : stack(allocator), savedMark(allocator.mark()) {}
  ~StackAllocatorScope() { stack.restore(savedMark); }
  StackAllocatorScope(const StackAllocatorScope&) = delete;
  StackAllocatorScope& operator=(const StackAllocatorScope&) = delete;
  uint8_t* allocate(uint32_t size) { return stack.allocate(size); }

 private:
  StackAllocator& stack;
  uint32_t savedMark;
};

}  // namespace KR
