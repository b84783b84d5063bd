#include "report_assert.h"

#include <csignal>
#include <cstdlib>

#include "format_string.h"
#include "log_system.h"
#include "platform/message_box.h"

namespace KR {

std::string buildAssertText(const std::string& name, const std::string& description, const std::string& file,
                            int32_t line) {
  return "Name:\n  " + name + "\n\nDescription:\n  " + description + "\n\nFile:\n  " + file + "\n\nLine:\n  " +
         intToString(line);
}

void reportAssert(const std::string& name, const std::string& description, const std::string& file, int32_t line) {
  std::string text = buildAssertText(name, description, file, line);
  // Without a log system the report must not go through the log call, which
  // would itself be fatal and re-enter here.
  if (LogSystem::exists()) log("ERROR: Assert occured\n %s", text.c_str());
  Platform::MessageBoxResult answer = Platform::showMessageBox(
      text, "An error was occured", Platform::MessageBoxButtons::OkCancel, Platform::MessageBoxIcon::Error);
  if (answer == Platform::MessageBoxResult::Cancel) std::_Exit(-1);
}

void fatalTrap() {
  std::raise(SIGTRAP);
  // Nothing handled the trap: end the process the way Cancel would.
  std::_Exit(-1);
}

}  // namespace KR
