#include "core/game_state/game_lua_state.h"

#include <lua.hpp>

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
  if (got != size) {
    result = 1;
  } else if (size > 0 && static_cast<unsigned char>(buffer[0]) == 0x1B) {
    // A precompiled chunk; a run-time error fails it like a source script's.
    result = luaL_loadbuffer(mainState, buffer.data(), size_t(size) + 1, name.c_str());
    if (result == 0) result = lua_pcall(mainState, 0, LUA_MULTRET, 0);
  } else {
    result = luaL_loadstring(mainState, buffer.data());
    if (result == 0) result = lua_pcall(mainState, 0, LUA_MULTRET, 0);
    result = result ? 1 : 0;
  }
  // Neither the error value nor a script's results are used.
  lua_settop(mainState, top);
  if (result != 0) KR::log("[*** LUA ERROR***]: Failed to compile script %s", name.c_str());
  return result;
}

void GameLuaState::callFunction(const char* name) {
  if (!callState) return;
  lua_getglobal(callState, name);
  if (lua_pcall(callState, 0, 0, 0) != 0) reportLuaError(callState);
}

void reportLuaError(lua_State* state) {
  const char* text = lua_tostring(state, -1);
  KR::log("[***LUA ERROR***]: %s", text ? text : "");
  KR::log("[*** LUA CALLSTACK BEGIN***]");
  lua_Debug record;
  for (int level = 0; lua_getstack(state, level, &record); ++level) {
    lua_getinfo(state, "Sln", &record);
    KR::log("%i: %s | %s", level, record.namewhat && *record.namewhat ? record.namewhat : "<unknown>",
            record.name ? record.name : "<unknown>");
  }
  KR::log("[*** LUA CALLSTACK END***]\n");
  lua_pop(state, 1);
}

}  // namespace HOG
