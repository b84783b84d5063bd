#pragma once
// The engine's one way to fail on a broken invariant: a report box, then the
// process ends (Cancel) or traps into the crash handler (OK).
#include <cstdint>
#include <string>

namespace KR {

// "Name:\n  ...\n\nDescription:\n  ...\n\nFile:\n  ...\n\nLine:\n  ..."
std::string buildAssertText(const std::string& name, const std::string& description, const std::string& file,
                            int32_t line);

// Shows the report box titled "An error was occured". Cancel ends the process
// with exit code -1 at once; OK returns so that the caller can trap.
void reportAssert(const std::string& name, const std::string& description, const std::string& file, int32_t line);

// The trap that follows an answered report: a breakpoint signal that the crash
// handler turns into "KR.dmp". Never returns.
[[noreturn]] void fatalTrap();

}  // namespace KR

// Fatal error at the call site with the given description.
#define KR_FATAL(description)                                    \
  do {                                                           \
    ::KR::reportAssert("KR", (description), __FILE__, __LINE__); \
    ::KR::fatalTrap();                                           \
  } while (0)

// Fatal error when the condition does not hold.
#define KR_ASSERT(condition, description)    \
  do {                                       \
    if (!(condition)) KR_FATAL(description); \
  } while (0)
