#pragma once
// The crash filter: fatal signals become "KR.dmp", a "Dump" box and a report.
#include <cstdint>
#include <string>
#include <vector>

namespace KR {
namespace Platform {

// What the report sink gets to see of a crash.
struct CrashInfo {
  int signal = 0;
  const char* signalName = "";
  // The Win32 exception code the signal stands for (access violation,
  // breakpoint, ...), so that reports read alike everywhere.
  uint32_t exceptionCode = 0;
  int signalCode = 0;                      // si_code
  const void* exceptionAddress = nullptr;  // instruction pointer
  const void* faultAddress = nullptr;      // si_addr
  const void* context = nullptr;           // ucontext_t*, may be null
};

using CrashReportSink = void (*)(const CrashInfo& info);

// Installs the handlers (on an alternate stack) for SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT and SIGTRAP. May be called again to replace the sink.
void installCrashHandler(CrashReportSink sink);
void uninstallCrashHandler();

uint32_t exceptionCodeForSignal(int signal);
const char* signalName(int signal);

// "Unhandled exception at 0x%p. Exception code 0x%p", cut at 4096 bytes.
std::string formatCrashText(const void* address, uint32_t code);

// Writes the readable dump to path; false when the file cannot be created
// (errno tells why). Safe to call outside a crash, for tests.
bool writeCrashDump(const char* path, const CrashInfo& info);

// Registers of the crashed thread, x86-64 names; false without a context.
struct CrashRegisters {
  uint64_t rdi, rsi, rbx, rdx, rcx, rax, rbp, rip, rsp;
  uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
};
bool crashRegisters(const CrashInfo& info, CrashRegisters& out);

// Bounds of the calling thread's stack: [bottom, top).
bool currentThreadStack(uintptr_t& bottom, uintptr_t& top);

// Loaded modules from /proc/self/maps: one line per mapped file with its
// first and last address.
struct ModuleRange {
  std::string path;
  uintptr_t start = 0;
  uintptr_t end = 0;
};
std::vector<ModuleRange> loadedModules();
// Load address of the executable (first mapping of /proc/self/exe), 0 when unknown.
uintptr_t executableModuleBase();

}  // namespace Platform
}  // namespace KR
