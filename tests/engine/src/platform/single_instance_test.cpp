#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

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
