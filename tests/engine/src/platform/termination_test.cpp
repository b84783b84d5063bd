// SIGTERM and SIGINT: the loop's next pass gets a quit; a loop that never
// comes back is ended by the watchdog; a second signal ends the process at once.
#include "platform/termination.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

#include "platform/events.h"

using namespace KR::Platform;

TEST(Termination, ASignalBecomesOneQuitOfTheLoop) {
  installTerminationHandlers(60000);
  resetMessageQueue();
  Message message;
  std::raise(SIGTERM);
  EXPECT_TRUE(terminationRequested());
  ASSERT_TRUE(peekMessage(message));
  EXPECT_EQ(message.message, uint32_t(kWmQuit));
  // Taken once: the next pass finds nothing new.
  EXPECT_FALSE(peekMessage(message));
  clearTerminationRequest();
  EXPECT_FALSE(terminationRequested());
  // Cleared, a later signal is a first one again.
  std::raise(SIGINT);
  ASSERT_TRUE(peekMessage(message));
  EXPECT_EQ(message.message, uint32_t(kWmQuit));
  clearTerminationRequest();
  resetMessageQueue();
}

// A forked child (the box a library shows for a fatal error from a forked
// process) has no loop to take a request: it ends on the signal itself.
TEST(Termination, AForkedChildEndsOnTheSignals) {
  installTerminationHandlers(60000);
  for (int signal : {SIGTERM, SIGINT}) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
      const char byte = 1;
      if (write(ready[1], &byte, 1) != 1) _exit(3);
      for (;;) pause();
    }
    ASSERT_GT(child, 0);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);
    kill(child, signal);
    // A child that ignores the signal is ended after a while, and the test fails.
    int status = 0;
    for (int i = 0; i < 400 && waitpid(child, &status, WNOHANG) == 0; ++i) {
      timespec slice{0, 50 * 1000000L};
      nanosleep(&slice, nullptr);
    }
    if (kill(child, SIGKILL) == 0) waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "signal " << signal;
  }
  EXPECT_FALSE(terminationRequested()) << "the child's signal is not the parent's";
}

TEST(TerminationDeathTest, AHungLoopIsEndedAndASecondSignalEndsAtOnce) {
  // A fresh process each: the watchdog thread does not survive a fork.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        installTerminationHandlers(200);
        std::raise(SIGTERM);
        for (;;) pause();
      },
      ::testing::ExitedWithCode(128 + SIGTERM), "did not stop in time");
  EXPECT_EXIT(
      {
        installTerminationHandlers(600000);
        std::raise(SIGTERM);
        std::raise(SIGINT);
        for (;;) pause();
      },
      ::testing::ExitedWithCode(128 + SIGINT), "Second termination signal");
}
