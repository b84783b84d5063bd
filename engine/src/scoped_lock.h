#pragma once
// Holds an already locked POSIX mutex (or null) and unlocks it when destroyed,
// so a lock is released however the scope is left.
#include <pthread.h>

namespace KR {

// Makes a mutex that the thread holding it may lock again; returns
// pthread_mutex_init's result.
inline int initRecursiveMutex(pthread_mutex_t* mutex) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  const int result = pthread_mutex_init(mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
  return result;
}

class ScopedLock {
 public:
  explicit ScopedLock(pthread_mutex_t* lockedMutex) : mutex(lockedMutex) {}
  ~ScopedLock() {
    if (mutex) pthread_mutex_unlock(mutex);
  }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

  // Locks the mutex and returns the guard that will unlock it.
  static pthread_mutex_t* lock(pthread_mutex_t* m) {
    if (m) pthread_mutex_lock(m);
    return m;
  }

 private:
  pthread_mutex_t* mutex;
};

}  // namespace KR
