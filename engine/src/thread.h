#pragma once
// A POSIX thread started through the engine's common thread entry. A thread
// that cannot be created is a fatal error; a Thread still joinable when it is
// destroyed is joined, so no thread outlives its owner unnoticed.
#include <pthread.h>

#include <cstdint>

namespace KR {

// What the common entry runs: entry(argument).
struct ThreadStartRecord {
  void (*entry)(void*) = nullptr;
  void* argument = nullptr;
};

// The common POSIX thread function: runs the record's entry, ends with null.
// The new thread keeps the processors it inherited from its creator.
void* threadEntry(void* record);

class Thread {
 public:
  Thread() = default;
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Runs entry(argument) on a new thread with default attributes. Fatal when
  // the thread cannot be created or this object already holds one.
  void start(void (*entry)(void*), void* argument);
  // 0 when joined or when there is no thread to join; 1 when the join failed.
  int join();
  // Lets the thread end on its own; nothing to join afterwards.
  void detach();
  bool isJoinable() const { return joinable; }

  static void sleep(uint32_t milliseconds);
  static uint32_t processorCount();

 private:
  ThreadStartRecord record;
  pthread_t handle{};
  bool joinable = false;
};

}  // namespace KR
