#include "core/game_state/game_lua_state.h"

#include <lua.hpp>

#include <cstring>
#include <memory>
#include <vector>

#include "file_system.h"
#include "log_system.h"
#include "lua_script_2.h"

namespace HOG {

GameLuaState::~GameLuaState() { close(); }

void GameLuaState::init() {
  callState = nullptr;
  mainState = KR::newLuaState();
  callState = mainState;
  KR::log("GameLuaState initialized");
}

void GameLuaState::close() {
  if (mainState) lua_close(mainState);
  mainState = nullptr;
  callState = nullptr;
}

void GameLuaState::reset() {
  close();
  mainState = KR::newLuaState();
  callState = mainState;
}

int GameLuaState::runScript(const std::string& name) {
  if (!mainState || !KR::FileSystem::exists()) return 0;
  std::unique_ptr<KR::File> file(KR::FileSystem::getInstance()->openFile("default", name));
  if (!file) return 0;
  const int size = file->getSize();
  std::vector<char> buffer(size_t(size > 0 ? size : 0) + 1, '\0');
  const int got = size > 0 ? file->read(buffer.data(), size) : 0;
  const int top = lua_gettop(mainState);
  int result = 0;
  bool ran = false;
  std::string why;
  std::vector<std::string> stack;
  if (got != size) {
    result = 1;
    why = "read error";
  } else {
    // Precompiled chunks load over their bytes and the terminating zero; source
    // text runs up to its first zero byte. Either is named after its file, so
    // that errors say where they come from.
    const bool precompiled = size > 0 && static_cast<unsigned char>(buffer[0]) == 0x1B;
    const size_t length = precompiled ? size_t(size) + 1 : std::strlen(buffer.data());
    const std::string chunk = (precompiled ? "" : "@") + name;
    result = luaL_loadbuffer(mainState, buffer.data(), length, chunk.c_str());
    if (result == 0) {
      ran = true;
      result = KR::luaProtectedCall(mainState, 0, LUA_MULTRET, "main chunk");
    }
    if (result != 0) {
      const char* text = lua_tostring(mainState, -1);
      why = text ? text : "error without a message";
      stack = KR::luaTakeErrorStack();
    }
    result = result ? 1 : 0;
  }
  // Neither the error value nor a script's results are used.
  lua_settop(mainState, top);
  if (result != 0 && ran) {
    // It compiled: the failure is the script's own, reported like a failing hook.
    KR::log("[*** LUA ERROR***]: Script %s failed while running: %s", name.c_str(), why.c_str());
    KR::log("[*** LUA CALLSTACK BEGIN***]");
    for (const std::string& line : stack) KR::log("%s", line.c_str());
    KR::log("[*** LUA CALLSTACK END***]\n");
  } else if (result != 0) {
    KR::log("[*** LUA ERROR***]: Failed to compile script %s: %s", name.c_str(), why.c_str());
  }
  return result;
}

void GameLuaState::callFunction(const char* name) {
  if (!callState) return;
  lua_getglobal(callState, name);
  // Hooks are optional: the level script defines those it needs.
  if (lua_isnil(callState, -1)) {
    lua_pop(callState, 1);
    return;
  }
  if (KR::luaProtectedCall(callState, 0, 0, name) != 0) reportLuaError(callState);
}

void reportLuaError(lua_State* state) {
  const char* text = lua_tostring(state, -1);
  KR::log("[***LUA ERROR***]: %s", text ? text : "");
  KR::log("[*** LUA CALLSTACK BEGIN***]");
  // The stack as it stood when the error arose; the live one is unwound by now.
  for (const std::string& line : KR::luaTakeErrorStack()) KR::log("%s", line.c_str());
  KR::log("[*** LUA CALLSTACK END***]\n");
  lua_pop(state, 1);
}

}  // namespace HOG
