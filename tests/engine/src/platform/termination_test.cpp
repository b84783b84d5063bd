// SIGTERM and SIGINT: the loop's next pass gets a quit; a loop that never
// comes back is ended by the watchdog; a second signal ends the process at once.
#include "platform/termination.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

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
