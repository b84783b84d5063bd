#pragma once
// Long work (loading an application state) runs as a job on a thread of its
// own while the main thread keeps ticking. The main thread alone adds, starts,
// reaps and deletes jobs; the job's thread hands completion back through the
// running/finished flags (release on the thread, acquire on the main thread).
#include <atomic>
#include <list>

#include "function.h"
#include "singleton.h"
#include "thread.h"

namespace KR {

class Job {
 public:
  // Takes over the function.
  explicit Job(IFunction* function);
  // Joins a thread that was neither waited for nor released.
  ~Job();
  Job(const Job&) = delete;
  Job& operator=(const Job&) = delete;

  // Runs the function on a new thread. A job starts once: later calls do
  // nothing. A thread that cannot be created is fatal.
  void start();
  // 0 when joined or when the job has no thread; 1 when the join failed.
  int wait();

  bool isRunning() const { return running.load(std::memory_order_acquire) != 0; }
  bool isFinished() const { return finished.load(std::memory_order_acquire) != 0; }
  bool isStarted() const { return started; }
  bool isJoinable() const { return thread.isJoinable(); }
  IFunction* getFunction() const { return function; }

 private:
  friend class JobManager;
  static void run(void* job);
  // Lets an ended thread go without waiting for it.
  void releaseThread() { thread.detach(); }

  Thread thread;
  std::atomic<uint8_t> finished{0};
  std::atomic<uint8_t> running{0};
  bool started = false;
  IFunction* function;
};

class JobManager : public Singleton<JobManager> {
 public:
  JobManager();
  ~JobManager() override;

  // A new job owning the function, not yet started; the manager owns the job.
  Job* addJob(IFunction* function);
  // Deletes jobs whose function has returned and gives the number still
  // running. Jobs never started are left alone and not counted.
  int update();
  // Waits for every running job, then deletes all jobs.
  void clear();

  size_t getJobCount() const { return jobs.size(); }

 private:
  std::list<Job*> jobs;
};

}  // namespace KR
