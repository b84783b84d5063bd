#pragma once
// Owns the engine's two fixed arenas: the buddy allocator that lends the XML
// reader its file buffers and the stack allocator for decode buffers.
#include "buddy_allocator.h"
#include "singleton.h"
#include "stack_allocator.h"

namespace KR {

class EngineAllocators : public Singleton<EngineAllocators> {
 public:
  EngineAllocators();
  ~EngineAllocators() override;

  // (Re)creates both arenas; blocks lent by the old ones must have been returned.
  void init();

  StackAllocator* getStackAllocator() const { return stackAllocator; }
  BuddyAllocator* getBuddyAllocator() const { return buddyAllocator; }

 private:
  void destroyArenas();

  StackAllocator* stackAllocator = nullptr;
  BuddyAllocator* buddyAllocator = nullptr;
};

}  // namespace KR
