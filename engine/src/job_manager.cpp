#include "job_manager.h"

namespace KR {

Job::Job(IFunction* function_) : function(function_) {}

Job::~Job() {
  wait();
  delete function;
}

void Job::start() {
  if (started) return;
  started = true;
  finished.store(0, std::memory_order_relaxed);
  running.store(1, std::memory_order_release);
  thread.start(&Job::run, this);
}

void Job::run(void* argument) {
  Job* job = static_cast<Job*>(argument);
  job->function->invokeStored();
  job->finished.store(1, std::memory_order_release);
  // The last touch of the job: once the main thread sees running clear it may
  // delete the job at once.
  job->running.store(0, std::memory_order_release);
}

int Job::wait() { return thread.join(); }

JobManager::JobManager() { setInstance(this); }

JobManager::~JobManager() { clear(); }

Job* JobManager::addJob(IFunction* function) {
  Job* job = new Job(function);
  jobs.push_back(job);
  return job;
}

int JobManager::update() {
  int count = 0;
  for (auto it = jobs.begin(); it != jobs.end();) {
    Job* job = *it;
    if (job->isRunning()) {
      ++count;
      ++it;
    } else if (job->isStarted()) {
      job->releaseThread();
      delete job;
      it = jobs.erase(it);
    } else {
      ++it;
    }
  }
  return count;
}

void JobManager::clear() {
  for (Job* job : jobs) {
    job->wait();
    delete job;
  }
  jobs.clear();
}

}  // namespace KR
