#include "benchmarker.h"

namespace KR {

Benchmarker::Benchmarker() { setInstance(this); }

Benchmarker::~Benchmarker() = default;

Benchmarker::Slot* Benchmarker::getSlot(int index) {
  return (index >= 0 && index < kSlotCount) ? &slots[index] : nullptr;
}

ResourceGroupManager::ResourceGroupManager() { setInstance(this); }

ResourceGroupManager::~ResourceGroupManager() = default;

}  // namespace KR
