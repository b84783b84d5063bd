#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <string>

#include "platform/message_box.h"
#include "platform/single_instance.h"
#include "platform/system_info.h"

using KR::Platform::SingleInstanceGuard;

namespace {
std::string uniqueName() { return "KrTestInstance-" + std::to_string(getpid()) + "-" + std::to_string(rand()); }
}  // namespace

TEST(SingleInstance, SecondHolderIsRefusedAndRaisesTheFirst) {
  std::string name = uniqueName();
  SingleInstanceGuard first(name);
  ASSERT_TRUE(first.acquire());
  EXPECT_FALSE(first.takeRaiseRequest());
  {
    SingleInstanceGuard second(name);
    EXPECT_FALSE(second.acquire());
    EXPECT_FALSE(second.held());
  }
  EXPECT_TRUE(first.takeRaiseRequest());
  // One request is taken once.
  EXPECT_FALSE(first.takeRaiseRequest());
}

TEST(SingleInstance, ANameIsFreeAgainOnceItsHolderIsGone) {
  std::string name = uniqueName();
  {
    SingleInstanceGuard first(name);
    ASSERT_TRUE(first.acquire());
  }
  SingleInstanceGuard again(name);
  EXPECT_TRUE(again.acquire());
  EXPECT_TRUE(again.held());
}

TEST(SingleInstance, AnotherProcessIsRefused) {
  std::string name = uniqueName();
  SingleInstanceGuard first(name);
  ASSERT_TRUE(first.acquire());
  pid_t child = fork();
  if (child == 0) {
    SingleInstanceGuard other(name);
    _exit(other.acquire() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_TRUE(first.takeRaiseRequest());
}

namespace {

// Waits for the child to end: its status, or -1 (after ending it) when it
// still runs after ten seconds.
int waitBounded(pid_t child) {
  int status = 0;
  for (int i = 0; i < 200; ++i) {
    if (waitpid(child, &status, WNOHANG) == child) return status;
    usleep(50000);
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return -1;
}

}  // namespace

// A process forked from the holder (a library's message box) shares the lock's
// open file: it must not keep the name once the holder lets it go.
TEST(SingleInstance, AForkedChildDoesNotKeepTheName) {
  std::string name = uniqueName();
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child;
  {
    SingleInstanceGuard first(name);
    ASSERT_TRUE(first.acquire());
    child = fork();
    if (child == 0) {
      const char byte = 1;
      if (write(ready[1], &byte, 1) != 1) _exit(3);
      for (;;) pause();
    }
    ASSERT_GT(child, 0);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
  }
  SingleInstanceGuard again(name);
  EXPECT_TRUE(again.acquire());
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

// The box a fatal error shows from a forked child ends with the game.
TEST(MessageBoxChildren, AChildForkedWhileABoxIsUpEndsWithItsParent) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t adopter = fork();
  if (adopter == 0) {
    // Orphans come here, so that their end can be seen.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t game = fork();
    if (game == 0) {
      KR::Platform::MessageBoxChildren box;
      int ready[2];
      if (pipe(ready) != 0) _exit(5);
      const pid_t shown = fork();
      if (shown == 0) {
        // Past the fork handlers: from here only the parent's end can end it.
        const char byte = 1;
        if (write(ready[1], &byte, 1) != 1) _exit(3);
        for (;;) pause();
      }
      char byte = 0;
      if (read(ready[0], &byte, 1) != 1) _exit(6);
      if (write(pipeFds[1], &shown, sizeof shown) != sizeof shown) _exit(3);
      _exit(0);
    }
    pid_t shown = 0;
    if (read(pipeFds[0], &shown, sizeof shown) != sizeof shown) _exit(4);
    waitpid(game, nullptr, 0);
    const int status = waitBounded(shown);
    _exit(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL ? 0 : 1);
  }
  ASSERT_GT(adopter, 0);
  int status = 0;
  ASSERT_EQ(waitpid(adopter, &status, 0), adopter);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(pipeFds[0]);
  close(pipeFds[1]);

  // Once the box is gone, a forked child lives on after its parent.
  const pid_t parent = fork();
  if (parent == 0) {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    { KR::Platform::MessageBoxChildren closed; }
    const pid_t middle = fork();
    if (middle == 0) {
      if (fork() == 0) {
        usleep(300000);
        _exit(7);
      }
      _exit(0);
    }
    waitpid(middle, nullptr, 0);
    int late = 0;
    wait(&late);
    _exit(WIFEXITED(late) && WEXITSTATUS(late) == 7 ? 0 : 1);
  }
  ASSERT_EQ(waitpid(parent, &status, 0), parent);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(SystemInfo, ExecutableFolderHoldsThisTest) {
  std::string folder = KR::Platform::executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back() == '/', folder == "/");
  EXPECT_EQ(access((folder + "/test_platform").c_str(), X_OK), 0);
}

TEST(SystemInfo, AffinityCanBePinnedAndRestored) {
  uint64_t before = KR::Platform::currentThreadAffinity();
  ASSERT_NE(before, 0u);
  uint64_t first = before & (~before + 1);  // lowest allowed CPU
  uint64_t previous = 0;
  ASSERT_TRUE(KR::Platform::setCurrentThreadAffinity(first, &previous));
  EXPECT_EQ(previous, before);
  EXPECT_EQ(KR::Platform::currentThreadAffinity(), first);
  EXPECT_FALSE(KR::Platform::setCurrentThreadAffinity(0, nullptr));
  EXPECT_TRUE(KR::Platform::setCurrentThreadAffinity(before, nullptr));
}
