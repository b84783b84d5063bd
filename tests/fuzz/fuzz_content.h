// Content-folder fuzz targets: the loaders of the file system, the
// configuration and the string tables read real files from a scratch content
// folder, as the game does.
//
// Include this header from exactly one source of a fuzz target: it defines
// the functions below that stand in for the engine's own.
// - Fatal errors: a malformed list or configuration is fatal by design. Here
//   the message box throws instead of asking, so a specified rejection ends
//   the input (with every object on the way out destroyed) rather than the
//   process, and only real faults count as crashes.
// - Lua: the engine's states run content under its own sandbox; here their
//   instruction budget and memory limit are small, so that a runaway input
//   ends quickly.
#pragma once

#include <sys/stat.h>
#include <unistd.h>
#include <lua.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log_system.h"
#include "lua_script_2.h"
#include "platform/message_box.h"

namespace KR {
namespace Fuzz {

struct FatalError {
  std::string text;
};

constexpr int kContentInstructionBudget = 50000;

// Set before any state is made (constant-initialised atomics are there before it).
inline const bool kSmallLuaBudgets = [] {
  setLuaInstructionBudget(kContentInstructionBudget);
  setLuaMemoryLimit(size_t(64) << 20);
  return true;
}();

// A folder of its own under /tmp for this process, ending with "/".
class ScratchContent {
 public:
  explicit ScratchContent(const std::string& hint)
      : root("/tmp/kr_fuzz_" + hint + "_" + std::to_string(getpid()) + "/") {
    ::mkdir(root.c_str(), 0700);
  }
  const std::string& folder() const { return root; }
  // Writes bytes to folder + relative; the folders between must exist (see makeFolder).
  bool write(const std::string& relative, const void* data, size_t size) const {
    std::FILE* out = std::fopen((root + relative).c_str(), "wb");
    if (!out) return false;
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
    return true;
  }
  bool write(const std::string& relative, const std::string& text) const {
    return write(relative, text.data(), text.size());
  }
  void makeFolder(const std::string& relative) const { ::mkdir((root + relative).c_str(), 0700); }
  void remove(const std::string& relative) const { std::remove((root + relative).c_str()); }

 private:
  std::string root;
};

// The scratch folder of a target whose loaders need the start-up files: a
// fixed "config.lua" (platform "pc" with the directory "common", language
// "en") and an empty "packages" folder, made once per process together with
// the log system.
inline const ScratchContent& startupContent(const std::string& hint) {
  static LogSystem* logSystem = new LogSystem();
  static const ScratchContent content = [&] {
    ScratchContent made(hint);
    made.makeFolder("packages");
    made.write("config.lua",
               "config = { platforms = { { name = 'pc', directories = { 'common' }, resolution = { 1024, 768 } } },"
               " currentPlatform = 'pc', currentLanguage = 'en' }\n");
    return made;
  }();
  (void)logSystem;
  return content;
}

}  // namespace Fuzz

namespace Platform {

MessageBoxResult showMessageBox(const std::string& text, const std::string&, MessageBoxButtons, MessageBoxIcon) {
  throw Fuzz::FatalError{text};
}

bool isHeadless() { return true; }

}  // namespace Platform
}  // namespace KR
