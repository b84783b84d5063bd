#pragma once
// The crash report written through the log call when the crash filter runs.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/crash_handler.h"

namespace KR {

// The report sink the application installs with the crash filter; writes
// nothing when no log system exists.
void crashReportToLog(const Platform::CrashInfo& info);

// The report's lines, in order (without the log call), for a crash on the
// calling thread.
std::vector<std::string> buildCrashReport(const Platform::CrashInfo& info);

// Stack lines: seven 32-bit words per line from firstAddress upward, the
// rest (fewer than seven) on one shorter line.
std::vector<std::string> formatStackWords(const uint32_t* words, size_t count, uintptr_t firstAddress);

// Pointer text as the reports print it: 16 upper-case hex digits.
std::string pointerText(uintptr_t value);

}  // namespace KR
