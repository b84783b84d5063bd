#include "platform/crash_handler.h"

#include <execinfo.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/message_box.h"

namespace KR {
namespace Platform {

namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

CrashReportSink gSink = nullptr;
std::atomic<int> gReporting{0};
bool gInstalled = false;
struct sigaction gPrevious[sizeof(kSignals) / sizeof(kSignals[0])];

// Big enough for the report code and the box, which run on it.
constexpr size_t kAltStackSize = 256 * 1024;
alignas(16) char gAltStack[kAltStackSize];

// Formatted output straight to a descriptor, without stdio buffers.
void writeFormat(int fd, const char* format, ...) __attribute__((format(printf, 2, 3)));
void writeFormat(int fd, const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  if (length <= 0) return;
  size_t size = std::min(static_cast<size_t>(length), sizeof(buffer) - 1);
  size_t done = 0;
  while (done < size) {
    ssize_t written = write(fd, buffer + done, size - done);
    if (written <= 0) {
      if (written < 0 && errno == EINTR) continue;
      return;
    }
    done += static_cast<size_t>(written);
  }
}

void copyFile(const char* path, int out) {
  int in = open(path, O_RDONLY | O_CLOEXEC);
  if (in < 0) return;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(in, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    ssize_t offset = 0;
    while (offset < got) {
      ssize_t written = write(out, buffer + offset, static_cast<size_t>(got - offset));
      if (written <= 0) break;
      offset += written;
    }
  }
  close(in);
}

const void* instructionPointer(const void* context) {
#if defined(__x86_64__)
  if (!context) return nullptr;
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
  return reinterpret_cast<const void*>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  if (!context) return nullptr;
  const ucontext_t* uc = static_cast<const ucontext_t*>(context);
  return reinterpret_cast<const void*>(uc->uc_mcontext.pc);
#else
  (void)context;
  return nullptr;
#endif
}

void endProcess(int signal) {
  // Die by the same signal, so that the parent sees what happened.
  struct sigaction action;
  std::memset(&action, 0, sizeof(action));
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
  raise(signal);
  _exit(128 + signal);
}

void crashHandler(int signal, siginfo_t* info, void* context) {
  if (gReporting.exchange(1) != 0) {
    // A fault while reporting, or a second thread crashing meanwhile.
    _exit(128 + signal);
  }
  // The report may block (a lock held by the crashed code): give each step a
  // bound, a generous one while the box waits for the user.
  alarm(20);

  CrashInfo crash;
  crash.signal = signal;
  crash.signalName = signalName(signal);
  crash.exceptionCode = exceptionCodeForSignal(signal);
  crash.signalCode = info ? info->si_code : 0;
  crash.faultAddress = info ? info->si_addr : nullptr;
  crash.context = context;
  crash.exceptionAddress = instructionPointer(context);

  if (writeCrashDump("KR.dmp", crash)) {
    writeFormat(STDOUT_FILENO, "KR dump created.\n");
  } else {
    writeFormat(STDOUT_FILENO, "CreateFile failed. Error: %u \n", static_cast<unsigned>(errno));
  }

  std::string text = formatCrashText(crash.exceptionAddress, crash.exceptionCode);
  alarm(600);
  showMessageBox(text, "Dump", MessageBoxButtons::OkCancel);

  alarm(20);
  if (gSink) gSink(crash);
  endProcess(signal);
}

}  // namespace

const char* signalName(int signal) {
  switch (signal) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    case SIGTRAP: return "SIGTRAP";
    default: return "SIGNAL";
  }
}

uint32_t exceptionCodeForSignal(int signal) {
  switch (signal) {
    case SIGSEGV: return 0xC0000005u;  // access violation
    case SIGBUS: return 0x80000002u;   // datatype misalignment
    case SIGFPE: return 0xC0000094u;   // integer divide by zero
    case SIGILL: return 0xC000001Du;   // illegal instruction
    case SIGABRT: return 0x40000015u;  // fatal application exit
    case SIGTRAP: return 0x80000003u;  // breakpoint
    default: return 0xE0000000u | static_cast<uint32_t>(signal);
  }
}

std::string formatCrashText(const void* address, uint32_t code) {
  char buffer[4096];
  std::snprintf(buffer, sizeof(buffer), "Unhandled exception at 0x%016" PRIXPTR ". Exception code 0x%016" PRIXPTR,
                reinterpret_cast<uintptr_t>(address), static_cast<uintptr_t>(code));
  return buffer;
}

bool crashRegisters(const CrashInfo& info, CrashRegisters& out) {
  std::memset(&out, 0, sizeof(out));
#if defined(__x86_64__)
  if (!info.context) return false;
  const greg_t* g = static_cast<const ucontext_t*>(info.context)->uc_mcontext.gregs;
  out.rdi = uint64_t(g[REG_RDI]);
  out.rsi = uint64_t(g[REG_RSI]);
  out.rbx = uint64_t(g[REG_RBX]);
  out.rdx = uint64_t(g[REG_RDX]);
  out.rcx = uint64_t(g[REG_RCX]);
  out.rax = uint64_t(g[REG_RAX]);
  out.rbp = uint64_t(g[REG_RBP]);
  out.rip = uint64_t(g[REG_RIP]);
  out.rsp = uint64_t(g[REG_RSP]);
  out.r8 = uint64_t(g[REG_R8]);
  out.r9 = uint64_t(g[REG_R9]);
  out.r10 = uint64_t(g[REG_R10]);
  out.r11 = uint64_t(g[REG_R11]);
  out.r12 = uint64_t(g[REG_R12]);
  out.r13 = uint64_t(g[REG_R13]);
  out.r14 = uint64_t(g[REG_R14]);
  out.r15 = uint64_t(g[REG_R15]);
  return true;
#else
  (void)info;
  return false;
#endif
}

bool writeCrashDump(const char* path, const CrashInfo& info) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  writeFormat(fd, "KR crash dump\n\n");
  writeFormat(fd, "Signal: %s (%d)\n", info.signalName, info.signal);
  writeFormat(fd, "Signal code: %d\n", info.signalCode);
  writeFormat(fd, "Exception code: 0x%08" PRIX32 "\n", info.exceptionCode);
  writeFormat(fd, "Exception address: 0x%016" PRIXPTR "\n", reinterpret_cast<uintptr_t>(info.exceptionAddress));
  writeFormat(fd, "Fault address: 0x%016" PRIXPTR "\n", reinterpret_cast<uintptr_t>(info.faultAddress));
  writeFormat(fd, "Executable base: 0x%016" PRIXPTR "\n", executableModuleBase());
  writeFormat(fd, "Process: %d Thread: %d\n", static_cast<int>(getpid()), static_cast<int>(gettid()));
  CrashRegisters r;
  if (crashRegisters(info, r)) {
    writeFormat(fd, "\nRegisters:\n");
    writeFormat(fd, "RAX: %016" PRIX64 " RBX: %016" PRIX64 " RCX: %016" PRIX64 " RDX: %016" PRIX64 "\n", r.rax, r.rbx,
                r.rcx, r.rdx);
    writeFormat(fd, "RSI: %016" PRIX64 " RDI: %016" PRIX64 " RBP: %016" PRIX64 " RSP: %016" PRIX64 "\n", r.rsi, r.rdi,
                r.rbp, r.rsp);
    writeFormat(fd, "R8:  %016" PRIX64 " R9:  %016" PRIX64 " R10: %016" PRIX64 " R11: %016" PRIX64 "\n", r.r8, r.r9,
                r.r10, r.r11);
    writeFormat(fd, "R12: %016" PRIX64 " R13: %016" PRIX64 " R14: %016" PRIX64 " R15: %016" PRIX64 "\n", r.r12, r.r13,
                r.r14, r.r15);
    writeFormat(fd, "RIP: %016" PRIX64 "\n", r.rip);
  }
  writeFormat(fd, "\nBacktrace:\n");
  void* frames[128];
  int count = backtrace(frames, 128);
  backtrace_symbols_fd(frames, count, fd);
  writeFormat(fd, "\nModules (/proc/self/maps):\n");
  copyFile("/proc/self/maps", fd);
  close(fd);
  return true;
}

bool currentThreadStack(uintptr_t& bottom, uintptr_t& top) {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return false;
  void* address = nullptr;
  size_t size = 0;
  bool ok = pthread_attr_getstack(&attr, &address, &size) == 0;
  pthread_attr_destroy(&attr);
  if (!ok) return false;
  bottom = reinterpret_cast<uintptr_t>(address);
  top = bottom + size;
  return true;
}

std::vector<ModuleRange> loadedModules() {
  std::vector<ModuleRange> modules;
  FILE* maps = std::fopen("/proc/self/maps", "re");
  if (!maps) return modules;
  char line[4096];
  while (std::fgets(line, sizeof(line), maps)) {
    unsigned long start = 0, end = 0;
    int pathOffset = 0;
    if (std::sscanf(line, "%lx-%lx %*s %*s %*s %*s %n", &start, &end, &pathOffset) < 2 || pathOffset <= 0) continue;
    std::string path(line + pathOffset);
    while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
    if (path.empty() || path[0] != '/') continue;
    // Mappings of one file follow each other: widen the last range.
    if (!modules.empty() && modules.back().path == path) {
      if (end > modules.back().end) modules.back().end = end;
      continue;
    }
    modules.push_back(ModuleRange{path, start, end});
  }
  std::fclose(maps);
  return modules;
}

uintptr_t executableModuleBase() {
  char exe[4096];
  ssize_t length = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  if (length <= 0) return 0;
  exe[length] = 0;
  int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  // Scanned by hand: this runs inside the crash handler too.
  char buffer[8192];
  std::string pending;
  uintptr_t base = 0;
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof(buffer));
    if (got <= 0) break;
    pending.append(buffer, static_cast<size_t>(got));
    size_t newline;
    while ((newline = pending.find('\n')) != std::string::npos) {
      std::string line = pending.substr(0, newline);
      pending.erase(0, newline + 1);
      size_t slash = line.find('/');
      if (slash != std::string::npos && line.compare(slash, std::string::npos, exe) == 0) {
        base = static_cast<uintptr_t>(std::strtoull(line.c_str(), nullptr, 16));
        close(fd);
        return base;
      }
    }
  }
  close(fd);
  return base;
}

void installCrashHandler(CrashReportSink sink) {
  gSink = sink;
  if (gInstalled) return;
  // The first backtrace loads the unwinder; do that now, not mid-crash.
  void* warm[4];
  backtrace(warm, 4);

  stack_t stack;
  std::memset(&stack, 0, sizeof(stack));
  stack.ss_sp = gAltStack;
  stack.ss_size = kAltStackSize;
  sigaltstack(&stack, nullptr);

  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i) {
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_sigaction = crashHandler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(kSignals[i], &action, &gPrevious[i]);
  }
  gInstalled = true;
}

void uninstallCrashHandler() {
  if (!gInstalled) return;
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
  gSink = nullptr;
  gInstalled = false;
}

}  // namespace Platform
}  // namespace KR
