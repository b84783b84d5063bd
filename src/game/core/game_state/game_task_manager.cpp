#include "core/game_state/game_task_manager.h"

#include <cstdlib>
#include <cstring>

#include "log_system.h"

namespace HOG {

namespace {

// Written over a list entry whose task has run.
KR::IFunction* const kRunMarker = reinterpret_cast<KR::IFunction*>(uintptr_t(0xDEADBEEF));

}  // namespace

GameTaskManager::GameTaskManager(GameTaskHost* host_) : host(host_) {
  slots = static_cast<Slot*>(std::malloc(sizeof(Slot) * kPoolSize));
  for (int32_t i = 0; i < kPoolSize; ++i) {
    slots[i].nextFree = i + 1 < kPoolSize ? i + 1 : -1;
    slots[i].textUsed = 0;
    for (char*& block : slots[i].longTexts) block = nullptr;
  }
}

GameTaskManager::~GameTaskManager() {
  clear();
  std::free(slots);
}

void* GameTaskManager::allocTask() {
  if (freeHead < 0) {
    KR::log("WARINIG: GameTaskManager::allocTask(), failed to allocate memory for task on pool");
    return nullptr;
  }
  Slot* slot = &slots[freeHead];
  freeHead = slot->nextFree;
  --freeCount;
  slot->textUsed = 0;
  return slot->object;
}

void GameTaskManager::releaseSlot(KR::IFunction* task) {
  Slot* slot = slotOf(task);
  task->~IFunction();
  for (char*& block : slot->longTexts) {
    std::free(block);
    block = nullptr;
  }
  slot->textUsed = 0;
  slot->nextFree = freeHead;
  freeHead = int32_t(slot - slots);
  ++freeCount;
}

const char* GameTaskManager::keepText(KR::IFunction* task, const char* text) {
  if (!text) return nullptr;
  Slot* slot = slotOf(task);
  const size_t size = std::strlen(text) + 1;
  if (slot->textUsed + size <= kTextSpace) {
    char* copy = slot->text + slot->textUsed;
    std::memcpy(copy, text, size);
    slot->textUsed += uint32_t(size);
    return copy;
  }
  for (char*& block : slot->longTexts) {
    if (block) continue;
    block = static_cast<char*>(std::malloc(size));
    std::memcpy(block, text, size);
    return block;
  }
  KR::log("WARNING: GameTaskManager::keepText(%.32s) too many long texts for one task", text);
  return "";
}

bool GameTaskManager::queue(List& list, KR::IFunction* task) {
  if (list.count >= kListSize) {
    KR::log("WARNING: GameTaskManager::addTask(...) not enough space for task");
    releaseSlot(task);
    return false;
  }
  if (list.cursor == -1) {
    list.tasks[list.count++] = task;
    return true;
  }
  // Behind the running task: what one task queues runs right after it.
  const uint32_t at = uint32_t(list.cursor) + 1;
  std::memmove(&list.tasks[at + 1], &list.tasks[at], sizeof(KR::IFunction*) * (list.count - at));
  list.tasks[at] = task;
  ++list.count;
  return true;
}

bool GameTaskManager::addTaskAfterLock(KR::IFunction* task) { return queue(afterLock, task); }

bool GameTaskManager::addTaskRunNow(KR::IFunction* task) { return queue(runNow, task); }

bool GameTaskManager::addTask(KR::IFunction* task) {
  return host && host->isLocked() ? addTaskAfterLock(task) : addTaskRunNow(task);
}

void GameTaskManager::run(List& list, bool topViewActivated, bool ignoreLock, bool force) {
  uint32_t i = 0;
  for (; i < list.count; ++i) {
    if (!force) {
      if (!ignoreLock && host && host->isLocked()) break;
      if (!topViewActivated) break;
    }
    list.cursor = i + 1 == list.count ? -1 : int32_t(i);
    KR::IFunction* task = list.tasks[i];
    task->invokeStored();
    releaseSlot(task);
    list.tasks[i] = kRunMarker;
  }
  if (i >= list.count) {
    list.count = 0;
  } else {
    std::memmove(&list.tasks[0], &list.tasks[i], sizeof(KR::IFunction*) * (list.count - i));
    list.count -= i;
  }
  list.cursor = -1;
}

void GameTaskManager::update() {
  const bool activated = host ? host->isTopViewActivated() : true;
  run(runNow, activated, true, false);
  if (!host || !host->isLocked()) run(afterLock, activated, false, false);
}

void GameTaskManager::runAll() {
  while (runNow.count || afterLock.count) {
    run(runNow, true, true, true);
    run(afterLock, true, true, true);
  }
}

void GameTaskManager::clearList(List& list) {
  for (uint32_t i = 0; i < list.count; ++i) releaseSlot(list.tasks[i]);
  list.count = 0;
  list.cursor = -1;
}

void GameTaskManager::clear() {
  clearList(runNow);
  clearList(afterLock);
}

}  // namespace HOG
