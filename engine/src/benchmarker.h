#pragma once
// Two small managers the application creates and destroys with the engine:
// the benchmarker's timing slots, and the resource group manager, which holds
// nothing yet.
#include <deque>
#include <vector>

#include "singleton.h"
#include "timer_manager.h"

namespace KR {

class Benchmarker : public Singleton<Benchmarker> {
 public:
  static constexpr int kSlotCount = 100;

  struct Slot {
    WTimer timer;
    float lastSeconds = 0.0f;
    float totalSeconds = 0.0f;
    unsigned int samples = 0;
  };

  Benchmarker();
  ~Benchmarker() override;

  // Null for an index outside the slots.
  Slot* getSlot(int index);

 private:
  Slot slots[kSlotCount];
};

class ResourceGroupManager : public Singleton<ResourceGroupManager> {
 public:
  ResourceGroupManager();
  ~ResourceGroupManager() override;

 private:
  std::vector<void*> groups;
  std::deque<void*> pending;
};

}  // namespace KR
