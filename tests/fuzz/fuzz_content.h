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
// - Lua: the engine's states open the standard libraries. Here they get the
//   base, table, string and math libraries only (no os, io, package or debug:
//   a mutated script cannot touch the system) and an instruction budget.
#pragma once

#include <sys/stat.h>
#include <unistd.h>
#include <lua.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log_system.h"
#include "platform/message_box.h"

namespace KR {
namespace Fuzz {

struct FatalError {
  std::string text;
};

constexpr int kContentInstructionBudget = 50000;

inline void stopRunawayScript(lua_State* state, lua_Debug*) { luaL_error(state, "instruction budget spent"); }

// Bytes held by every Lua state of the process (a fuzz target runs on one
// thread); growth beyond 64 MiB is refused, which Lua reports as an error.
inline void* fencedScriptAlloc(void*, void* block, size_t oldSize, size_t newSize) {
  constexpr size_t kCeiling = size_t(64) << 20;
  static int64_t inUse = 0;
  const int64_t previous = block ? static_cast<int64_t>(oldSize) : 0;
  if (newSize == 0) {
    std::free(block);
    inUse -= previous;
    return nullptr;
  }
  // Sizes are compared unsigned first: a damaged precompiled chunk asks for
  // sizes near 2^64.
  if (newSize > kCeiling || inUse + static_cast<int64_t>(newSize) - previous > static_cast<int64_t>(kCeiling))
    return nullptr;
  void* grown = std::realloc(block, newSize);
  if (!grown) return nullptr;
  inUse += static_cast<int64_t>(newSize) - previous;
  return grown;
}

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

extern "C" void luaL_openlibs(lua_State* state) {
  static const luaL_Reg kLibraries[] = {{"", luaopen_base},
                                        {LUA_TABLIBNAME, luaopen_table},
                                        {LUA_STRLIBNAME, luaopen_string},
                                        {LUA_MATHLIBNAME, luaopen_math}};
  for (const luaL_Reg& library : kLibraries) {
    lua_pushcfunction(state, library.func);
    lua_pushstring(state, library.name);
    lua_call(state, 1, 0);
  }
  // Loading functions of the base library would reach files by path.
  for (const char* name : {"dofile", "loadfile", "require", "module"}) {
    lua_pushnil(state);
    lua_setglobal(state, name);
  }
  lua_sethook(state, KR::Fuzz::stopRunawayScript, LUA_MASKCOUNT, KR::Fuzz::kContentInstructionBudget);
  lua_setallocf(state, KR::Fuzz::fencedScriptAlloc, nullptr);
}
