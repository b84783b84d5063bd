#pragma once
// Deferred game tasks: calls that the level script and some game operations
// make (opening a view, an event sound, a script's gInventory call) are packed
// as function objects into a fixed pool of slots and queued; the play state's
// update runs them later, in order, while the top view has finished its
// activation. Calls queued while the play state is locked wait in the
// after-lock list until it is unlocked. A task never runs inside the call that
// queued it.
//
// Slots are taken from and returned to one block through an index chain kept
// in the free slots; queueing and running use two fixed arrays, so neither
// allocates. A task keeps copies of its text arguments in its slot (longer
// ones beside it) until it has run, so a script string that Lua collects in
// the meantime does not matter. Main thread only.
//
//   auto* task = tasks.makeTask<KR::Function1<const char*, KR::Dummy>>(&showHint);
//   if (task) std::get<0>(task->arguments) = tasks.keepText(task, name);
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>

#include "function.h"

namespace HOG {

// What the task manager asks of its owner.
class GameTaskHost {
 public:
  virtual ~GameTaskHost() = default;
  // The play state's lock (locked flag or running lock timer).
  virtual bool isLocked() const = 0;
  // True when there is no top view or the top view has finished its
  // activation; read under the view-stack lock.
  virtual bool isTopViewActivated() = 0;
};

class GameTaskManager {
 public:
  static constexpr int32_t kPoolSize = 512;
  static constexpr uint32_t kListSize = 256;
  // The largest task object the game builds: the kinds of its makers (a
  // member of the play state has the size of any member function).
  static constexpr size_t kObjectSize = std::max(
      {sizeof(KR::Function<KR::Dummy>), sizeof(KR::Function1<const char*, KR::Dummy>),
       sizeof(KR::Function1<int32_t, KR::Dummy>), sizeof(KR::Function1<bool, KR::Dummy>),
       sizeof(KR::Function2<const char*, float, KR::Dummy>), sizeof(KR::Function2<unsigned, unsigned, KR::Dummy>),
       sizeof(KR::Function2<unsigned, const char*, KR::Dummy>),
       sizeof(KR::Function2<const char*, const char*, KR::Dummy>), sizeof(KR::Function2<const char*, bool, KR::Dummy>),
       sizeof(KR::Function3<const char*, float, float, KR::Dummy>),
       sizeof(KR::Function3<unsigned, const char*, bool, KR::Dummy>),
       sizeof(KR::Function3<float, float, float, KR::Dummy>),
       sizeof(KR::Function4<int, float, float, float, KR::Dummy>)});
  // Text copies kept inside a slot; longer ones go to a block beside it.
  static constexpr size_t kTextSpace = 128;
  static constexpr int kMaxLongTexts = 4;

  explicit GameTaskManager(GameTaskHost* host);
  ~GameTaskManager();
  GameTaskManager(const GameTaskManager&) = delete;
  GameTaskManager& operator=(const GameTaskManager&) = delete;

  // A free slot, or null after the allocation warning.
  void* allocTask();
  // Queues into the after-lock or the run-now list. A full list logs the
  // warning, drops the task and returns its slot; false then.
  bool addTaskAfterLock(KR::IFunction* task);
  bool addTaskRunNow(KR::IFunction* task);
  // The after-lock list while the host is locked, else the run-now list.
  bool addTask(KR::IFunction* task);

  // Builds a task of type F in a fresh slot and queues it; the caller fills
  // its arguments (the task runs on a later pass). Null when dropped.
  template <typename F, typename... Args>
  F* makeTask(Args&&... args) {
    static_assert(sizeof(F) <= kObjectSize, "a task object must fit its slot");
    static_assert(alignof(F) <= alignof(std::max_align_t), "a task object must fit its slot's alignment");
    void* slot = allocTask();
    if (!slot) return nullptr;
    F* task = new (slot) F(static_cast<Args&&>(args)...);
    return addTask(task) ? task : nullptr;
  }
  // A copy of text that lives as long as the task's slot is taken.
  const char* keepText(KR::IFunction* task, const char* text);

  // The play state's per-frame pass: the run-now list (ignoring the lock),
  // then the after-lock list when the host is not locked; both wait for the
  // top view's activation.
  void update();
  // Runs everything now, lock and view regardless (before a game is saved).
  void runAll();
  // Returns every queued task to the pool without running it.
  void clear();

  int32_t getFreeCount() const { return freeCount; }
  uint32_t getRunNowCount() const { return runNow.count; }
  uint32_t getAfterLockCount() const { return afterLock.count; }

 private:
  struct alignas(std::max_align_t) Slot {
    union {
      int32_t nextFree;
      alignas(std::max_align_t) unsigned char object[kObjectSize];
    };
    uint32_t textUsed;
    char* longTexts[kMaxLongTexts];
    char text[kTextSpace];
  };
  struct List {
    KR::IFunction* tasks[kListSize];
    uint32_t count = 0;
    int32_t cursor = -1;
  };

  bool queue(List& list, KR::IFunction* task);
  void run(List& list, bool topViewActivated, bool ignoreLock, bool force);
  void releaseSlot(KR::IFunction* task);
  void clearList(List& list);
  Slot* slotOf(KR::IFunction* task) { return reinterpret_cast<Slot*>(task); }

  GameTaskHost* host;
  int32_t freeHead = 0;
  Slot* slots = nullptr;
  int32_t freeCount = kPoolSize;
  List afterLock;
  List runNow;
};

}  // namespace HOG
