#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "platform/crash_handler.h"
#include "support/test_support.h"

using namespace KR::Platform;

namespace {

// The death test's child runs the test body again in a fresh process, so the
// folder must not depend on the process: one fixed folder per test.
std::string crashFolder(const std::string& name) {
  std::string base = std::string(KR_TEST_BINARY_DIR) + "/tests/scratch";
  mkdir(base.c_str(), 0755);
  std::string folder = base + "/" + name;
  mkdir(folder.c_str(), 0755);
  return folder;
}

std::string freshCrashFolder(const std::string& name) {
  std::string folder = crashFolder(name);
  unlink((folder + "/KR.dmp").c_str());
  return folder;
}

void crashIn(const std::string& folder, int signal) {
  if (chdir(folder.c_str()) != 0) _exit(3);
  installCrashHandler(nullptr);
  if (signal == SIGSEGV) {
    // A real fault on a page that allows no access (a null store would be
    // caught earlier by the undefined-behaviour checker).
    void* page = mmap(reinterpret_cast<void*>(0x7e0000000000), 4096, PROT_NONE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (page == MAP_FAILED) _exit(4);
    *static_cast<volatile int*>(page) = 1;
  }
  raise(signal);
}

}  // namespace

TEST(CrashHandlerDeathTest, FaultLeavesADumpNamingTheSignal) {
  std::string folder = freshCrashFolder("crash-segv");
  EXPECT_EXIT(crashIn(folder, SIGSEGV), ::testing::KilledBySignal(SIGSEGV),
              "==== Dump ====\nUnhandled exception at 0x[0-9A-F]{16}\\. Exception code 0x00000000C0000005");
  std::string dump = KR::Test::readFile(folder + "/KR.dmp");
  EXPECT_NE(dump.find("Signal: SIGSEGV (11)"), std::string::npos) << dump.substr(0, 400);
  EXPECT_NE(dump.find("Fault address: 0x00007E0000000000"), std::string::npos);
  EXPECT_NE(dump.find("Registers:"), std::string::npos);
  EXPECT_NE(dump.find("Backtrace:"), std::string::npos);
  EXPECT_NE(dump.find("test_platform"), std::string::npos);  // the module list names the executable
}

TEST(CrashHandlerDeathTest, TrapAfterAFatalErrorIsABreakpoint) {
  std::string folder = freshCrashFolder("crash-trap");
  EXPECT_EXIT(crashIn(folder, SIGTRAP), ::testing::KilledBySignal(SIGTRAP), "Exception code 0x0000000080000003");
  EXPECT_NE(KR::Test::readFile(folder + "/KR.dmp").find("Signal: SIGTRAP"), std::string::npos);
}

TEST(CrashHandlerDeathTest, UnwritableFolderStillShowsTheBox) {
  EXPECT_EXIT(crashIn("/proc", SIGABRT), ::testing::KilledBySignal(SIGABRT),
              "Unhandled exception at 0x[0-9A-F]{16}\\. Exception code 0x0000000040000015");
}

TEST(CrashHandler, SignalsMapToExceptionCodes) {
  EXPECT_EQ(exceptionCodeForSignal(SIGSEGV), 0xC0000005u);
  EXPECT_EQ(exceptionCodeForSignal(SIGTRAP), 0x80000003u);
  EXPECT_EQ(exceptionCodeForSignal(SIGFPE), 0xC0000094u);
  EXPECT_EQ(exceptionCodeForSignal(SIGILL), 0xC000001Du);
  EXPECT_STREQ(signalName(SIGBUS), "SIGBUS");
  EXPECT_EQ(formatCrashText(reinterpret_cast<void*>(0x1234), 0x80000003u),
            "Unhandled exception at 0x0000000000001234. Exception code 0x0000000080000003");
}

TEST(CrashHandler, ModulesAndStackOfTheRunningProcess) {
  bool sawExecutable = false;
  for (const ModuleRange& module : loadedModules()) {
    EXPECT_LT(module.start, module.end);
    sawExecutable = sawExecutable || module.path.find("test_platform") != std::string::npos;
  }
  EXPECT_TRUE(sawExecutable);
  EXPECT_NE(executableModuleBase(), 0u);
  uintptr_t bottom = 0, top = 0;
  ASSERT_TRUE(currentThreadStack(bottom, top));
  uintptr_t here = reinterpret_cast<uintptr_t>(&bottom);
  EXPECT_GE(here, bottom);
  EXPECT_LT(here, top);
}
