#include "engine_allocators.h"

namespace KR {

EngineAllocators::EngineAllocators() { setInstance(this); }

EngineAllocators::~EngineAllocators() { destroyArenas(); }

void EngineAllocators::destroyArenas() {
  delete stackAllocator;
  stackAllocator = nullptr;
  delete buddyAllocator;
  buddyAllocator = nullptr;
}

void EngineAllocators::init() {
  destroyArenas();
  stackAllocator = new StackAllocator();
  buddyAllocator = new BuddyAllocator();
}

}  // namespace KR
