#include "thread.h"

#include <cstdio>

#include "platform/system_info.h"
#include "platform/system_time.h"
#include "report_assert.h"

namespace KR {

void* threadEntry(void* record) {
  // Copy first: the owner may release the record once the entry has run.
  const ThreadStartRecord start = *static_cast<ThreadStartRecord*>(record);
  start.entry(start.argument);
  return nullptr;
}

Thread::~Thread() {
  if (joinable) join();
}

void Thread::start(void (*entry)(void*), void* argument) {
  KR_ASSERT(!joinable, "Thread::start(), the thread is already started");
  record.entry = entry;
  record.argument = argument;
  const int error = pthread_create(&handle, nullptr, &threadEntry, &record);
  if (error != 0) {
    char text[128];
    std::snprintf(text, sizeof(text), "Thread::start(), failed to create a thread (error %d)", error);
    KR_FATAL(text);
  }
  joinable = true;
}

int Thread::join() {
  if (!joinable) return 0;
  joinable = false;
  return pthread_join(handle, nullptr) == 0 ? 0 : 1;
}

void Thread::detach() {
  if (!joinable) return;
  joinable = false;
  pthread_detach(handle);
}

void Thread::sleep(uint32_t milliseconds) { Platform::sleepMilliseconds(milliseconds); }

uint32_t Thread::processorCount() { return Platform::processorCount(); }

}  // namespace KR
