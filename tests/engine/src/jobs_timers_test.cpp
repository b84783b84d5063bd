#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "benchmarker.h"
#include "job_manager.h"
#include "platform/system_info.h"
#include "platform/system_time.h"
#include "thread.h"
#include "timer_manager.h"

namespace {

// Work whose end the test controls: blocks until released.
struct Gate {
  std::atomic<bool> open{false};
  std::atomic<bool> entered{false};
  std::atomic<int> runs{0};
  std::atomic<int> destroyed{0};
  void work() {
    entered = true;
    while (!open.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    runs++;
  }
};

// A function that records its own destruction.
struct GateFunction : KR::Function<Gate> {
  explicit GateFunction(Gate* g) : KR::Function<Gate>(g, &Gate::work) {}
  ~GateFunction() override { object->destroyed++; }
};

void waitUntil(const std::atomic<bool>& flag) {
  while (!flag.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(JobManagerTest, JobRunsOnItsThreadAndIsReapedOnTheMainThread) {
  KR::JobManager manager;
  Gate gate;
  KR::Job* job = manager.addJob(new GateFunction(&gate));
  EXPECT_FALSE(job->isStarted());
  EXPECT_EQ(manager.update(), 0);  // never started: not counted, not deleted
  EXPECT_EQ(manager.getJobCount(), 1u);

  job->start();
  EXPECT_TRUE(job->isRunning());
  EXPECT_TRUE(job->isJoinable());
  waitUntil(gate.entered);
  job->start();                    // starting a running job does nothing
  EXPECT_EQ(manager.update(), 1);  // a loading frame
  EXPECT_EQ(manager.getJobCount(), 1u);

  gate.open = true;
  while (manager.update() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // The frame that sees the job done deletes it with its function.
  EXPECT_EQ(manager.getJobCount(), 0u);
  EXPECT_EQ(gate.runs.load(), 1);
  EXPECT_EQ(gate.destroyed.load(), 1);
  EXPECT_EQ(manager.update(), 0);
}

TEST(JobManagerTest, ClearWaitsForRunningJobsAndDeletesUnstartedOnes) {
  Gate running, idle;
  {
    KR::JobManager manager;
    KR::Job* job = manager.addJob(new GateFunction(&running));
    manager.addJob(new GateFunction(&idle));
    job->start();
    waitUntil(running.entered);
    std::thread opener([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      running.open = true;
    });
    manager.clear();  // blocks until the running job's function returns
    EXPECT_EQ(running.runs.load(), 1);
    EXPECT_EQ(manager.getJobCount(), 0u);
    opener.join();
  }
  EXPECT_EQ(running.destroyed.load(), 1);
  EXPECT_EQ(idle.destroyed.load(), 1);
  EXPECT_EQ(idle.runs.load(), 0);
  EXPECT_FALSE(KR::JobManager::exists());
}

TEST(JobManagerTest, FinishedJobIsNotStartedAgain) {
  KR::JobManager manager;
  Gate gate;
  gate.open = true;
  KR::Job* job = manager.addJob(new GateFunction(&gate));
  job->start();
  while (job->isRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(job->isFinished());
  job->start();  // would otherwise count as running forever
  EXPECT_FALSE(job->isRunning());
  EXPECT_EQ(manager.update(), 0);
  EXPECT_EQ(gate.runs.load(), 1);
}

TEST(JobManagerTest, ManyShortJobsAreAllReaped) {
  KR::JobManager manager;
  Gate gate;
  gate.open = true;
  for (int i = 0; i < 50; ++i) manager.addJob(new GateFunction(&gate))->start();
  while (manager.update() != 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(manager.getJobCount(), 0u);
  EXPECT_EQ(gate.runs.load(), 50);
  EXPECT_EQ(gate.destroyed.load(), 50);
}

TEST(ThreadTest, JoinAndDetach) {
  std::atomic<int> value{0};
  KR::Thread t;
  EXPECT_EQ(t.join(), 0);  // nothing to join
  t.start([](void* p) { static_cast<std::atomic<int>*>(p)->store(42); }, &value);
  EXPECT_EQ(t.join(), 0);
  EXPECT_EQ(value.load(), 42);
  EXPECT_FALSE(t.isJoinable());
  EXPECT_GE(KR::Thread::processorCount(), 1u);
}

// A job whose thread cannot be made must not leave a loading screen waiting
// for it forever.
TEST(JobManagerDeathTest, ThreadThatCannotBeCreatedIsFatal) {
  EXPECT_EXIT(
      {
        pthread_attr_t attr;
        pthread_attr_init(&attr);
        pthread_attr_setstacksize(&attr, size_t(1) << 46);  // no system maps this much
        pthread_setattr_default_np(&attr);
        KR::JobManager manager;
        Gate gate;
        manager.addJob(new GateFunction(&gate))->start();
      },
      ::testing::ExitedWithCode(255), "failed to create a thread");
}

TEST(TimerManagerTest, FrameTimeIsClampedForReaders) {
  KR::TimerManager timers;
  EXPECT_EQ(KR::TimerManager::getInstance(), &timers);
  EXPECT_EQ(timers.getRawFrameTime(), 0.0f);
  KR::Platform::sleepMilliseconds(5);
  timers.updateFrameTime();
  EXPECT_GE(timers.getRawFrameTime(), 0.004f);

  timers.updateFrameTime(timers.getLastCount() + 2 * timers.getFrequency());  // a 2 s frame
  EXPECT_FLOAT_EQ(timers.frameTime, 2.0f);
  EXPECT_FLOAT_EQ(timers.getFrameTime(), 0.1f);
  timers.updateFrameTime(timers.getLastCount() + timers.getFrequency() / 50);
  EXPECT_FLOAT_EQ(timers.getFrameTime(), 0.02f);
}

namespace {
struct AffinityProbe {
  uint64_t seen = 0;
  void work() { seen = KR::Platform::currentThreadAffinity(); }
};
}  // namespace

// A main thread pinned to one processor would leave the software rasteriser
// without threads and crowd every copy of the game onto that processor.
TEST(TimerManagerTest, MainThreadAndItsThreadsKeepTheirProcessors) {
  const uint64_t before = KR::Platform::currentThreadAffinity();
  if ((before & (before - 1)) == 0) GTEST_SKIP() << "a single processor is available";
  KR::TimerManager timers;
  EXPECT_EQ(KR::Platform::currentThreadAffinity(), before);
  KR::JobManager manager;
  AffinityProbe probe;
  KR::Job* job = manager.addJob(new KR::Function<AffinityProbe>(&probe, &AffinityProbe::work));
  job->start();
  job->wait();
  EXPECT_EQ(probe.seen, before);
}

TEST(TimerManagerTest, StopwatchMeasuresElapsedTime) {
  KR::WTimer outer;
  KR::WTimer timer;
  KR::Platform::sleepMilliseconds(20);
  const float elapsed = timer.getElapsed();
  EXPECT_GE(elapsed, 0.019f);
  timer.reset();
  // However long the machine keeps this thread waiting, the reset stopwatch
  // has run for less than one started before it.
  const float sinceReset = timer.getElapsed();
  EXPECT_LT(sinceReset, outer.getElapsed() - elapsed + 0.001f);
}

TEST(BenchmarkerTest, SlotsAndLifetime) {
  {
    KR::Benchmarker benchmarker;
    KR::ResourceGroupManager groups;
    EXPECT_TRUE(KR::Benchmarker::exists());
    EXPECT_TRUE(KR::ResourceGroupManager::exists());
    EXPECT_NE(benchmarker.getSlot(0), nullptr);
    EXPECT_NE(benchmarker.getSlot(99), nullptr);
    EXPECT_EQ(benchmarker.getSlot(100), nullptr);
    EXPECT_EQ(benchmarker.getSlot(-1), nullptr);
  }
  EXPECT_FALSE(KR::Benchmarker::exists());
  EXPECT_FALSE(KR::ResourceGroupManager::exists());
}

}  // namespace
