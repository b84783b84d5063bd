#include "crash_report.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "log_system.h"

namespace KR {

namespace {

// The address as if the executable were loaded where a classic Windows
// executable prefers to be, so reports of different runs compare.
constexpr uintptr_t kPreferredBase = 0x00400000;

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof(buffer), pattern, args);
  va_end(args);
  return buffer;
}

void addExceptionRecord(std::vector<std::string>& lines, const Platform::CrashInfo& info) {
  uintptr_t base = Platform::executableModuleBase();
  uintptr_t address = reinterpret_cast<uintptr_t>(info.exceptionAddress);
  lines.push_back("ExceptionAddress:              0x" + pointerText(address));
  lines.push_back("ExceptionCode:                 " + pointerText(info.exceptionCode));
  lines.push_back("ExceptionFlags:                " + pointerText(0));
  uintptr_t relocated = base && address >= base ? address - base + kPreferredBase : address;
  lines.push_back("ExceptionAddress (0x00400000): 0x" + pointerText(relocated));
}

void addStackDump(std::vector<std::string>& lines, const Platform::CrashRegisters* registers) {
  uintptr_t bottom = 0, top = 0;
  lines.push_back("");
  if (!Platform::currentThreadStack(bottom, top)) {
    lines.push_back("ERROR: Failed to dump stack");
    return;
  }
  lines.push_back("Stack (top: 0x" + pointerText(top) + " bottom: 0x" + pointerText(bottom) +
                  format(" size: 0x%08X):", static_cast<unsigned>(top - bottom)));
  // A stack pointer outside the thread's stack (an overflow, or no context)
  // cannot be read safely.
  if (!registers || registers->rsp >= top || registers->rsp < bottom) {
    lines.push_back("ERROR: Failed to dump stack");
    return;
  }
  uintptr_t start = registers->rsp & ~uintptr_t(3);
  size_t count = (top - start) / 4;
  std::vector<std::string> words = formatStackWords(reinterpret_cast<const uint32_t*>(start), count, start);
  lines.insert(lines.end(), words.begin(), words.end());
}

void addModuleList(std::vector<std::string>& lines) {
  lines.push_back("");
  lines.push_back("Modules: ");
  for (const Platform::ModuleRange& module : Platform::loadedModules()) {
    lines.push_back(module.path + " Handle (0x" + pointerText(module.start) + ") Address (0x" +
                    pointerText(module.start) + "-0x" + pointerText(module.end) + ")");
  }
}

}  // namespace

std::string pointerText(uintptr_t value) { return format("%016" PRIXPTR, value); }

std::vector<std::string> formatStackWords(const uint32_t* words, size_t count, uintptr_t firstAddress) {
  std::vector<std::string> lines;
  size_t index = 0;
  for (; index + 7 <= count; index += 7) {
    const uint32_t* w = words + index;
    lines.push_back(
        "0x" + pointerText(firstAddress + index * 4) +
        format(": 0x%08x 0x%08x 0x%08x 0x%08x 0x%08x 0x%08x 0x%08x", w[0], w[1], w[2], w[3], w[4], w[5], w[6]));
  }
  if (index < count) {
    std::string line = "0x" + pointerText(firstAddress + index * 4) + ": ";
    for (; index < count; ++index) line += format("0x%x ", words[index]);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> buildCrashReport(const Platform::CrashInfo& info) {
  std::vector<std::string> lines;
  lines.push_back("");
  lines.push_back("***************************************");
  lines.push_back("* ERROR: Unhandled exception occured! *");
  lines.push_back("***************************************");
  lines.push_back("");
  addExceptionRecord(lines, info);
  lines.push_back("");
  lines.push_back("Registers:");
  Platform::CrashRegisters r;
  bool haveRegisters = Platform::crashRegisters(info, r);
  lines.push_back(format("RDI: %016" PRIX64 " RSI: %016" PRIX64 " RBX: %016" PRIX64, r.rdi, r.rsi, r.rbx));
  lines.push_back(format("RDX: %016" PRIX64 " RCX: %016" PRIX64 " RAX: %016" PRIX64, r.rdx, r.rcx, r.rax));
  lines.push_back(format("RBP: %016" PRIX64 " RIP: %016" PRIX64 " RSP: %016" PRIX64, r.rbp, r.rip, r.rsp));
  lines.push_back(format("R8:  %016" PRIX64 " R9:  %016" PRIX64 " R10: %016" PRIX64, r.r8, r.r9, r.r10));
  lines.push_back(format("R11: %016" PRIX64 " R12: %016" PRIX64 " R13: %016" PRIX64, r.r11, r.r12, r.r13));
  lines.push_back(format("R14: %016" PRIX64 " R15: %016" PRIX64, r.r14, r.r15));
  addStackDump(lines, haveRegisters ? &r : nullptr);
  addModuleList(lines);
  return lines;
}

void crashReportToLog(const Platform::CrashInfo& info) {
  if (!LogSystem::exists()) return;
  for (const std::string& line : buildCrashReport(info)) log("%s", line.c_str());
}

}  // namespace KR
