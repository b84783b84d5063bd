// Runs arbitrary bytes as a Lua data file and reads every global with the
// record reader and the LuaScript value readers. The state is fenced in for
// fuzzing: no os or io library, an instruction budget and a memory ceiling.
#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "log_system.h"
#include "lua_data_file.h"
#include "lua_script_2.h"

namespace {

constexpr size_t kMemoryCeiling = 64 << 20;
size_t gInUse = 0;

void* fencedAlloc(void* userData, void* block, size_t oldSize, size_t newSize) {
  size_t previous = block ? oldSize : 0;
  if (newSize > previous && gInUse - previous + newSize > kMemoryCeiling) return nullptr;
  void* result = KR::luaCountingAlloc(userData, block, oldSize, newSize);
  if (newSize == 0 || result) gInUse = gInUse - previous + newSize;
  return result;
}

void stopLongRuns(lua_State* state, lua_Debug*) { luaL_error(state, "instruction budget spent"); }

struct Services {
  Services() {
    // Rectangle references open files: give them an empty content folder.
    KR::FileSystem::setContentFolder("/nonexistent-fuzz-content/");
    fileSystem = new KR::FileSystem();
    config = new KR::ConfigManager(KR::ConfigManager::NoLoad{});
    config->currentLanguage = "en";
  }
  KR::LogSystem log;
  KR::FileSystem* fileSystem;
  KR::ConfigManager* config;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  gInUse = 0;
  lua_State* state = lua_newstate(fencedAlloc, nullptr);
  if (!state) return 0;
  luaL_openlibs(state);
  lua_pushnil(state);
  lua_setglobal(state, "os");
  lua_pushnil(state);
  lua_setglobal(state, "io");
  lua_sethook(state, stopLongRuns, LUA_MASKCOUNT, 200000);
  KR::LuaStateHolder holder(state, true);

  KR::runLuaDataText(holder, reinterpret_cast<const char*>(data), size);
  lua_settop(state, 0);
  lua_sethook(state, nullptr, 0, 0);

  KR::LuaScript script(state, false);
  std::string text;
  bool flag;
  KR::Color color;
  KR::Rect rect;
  KR::Vector2<float> vector;
  float values[5];
  int visited = 0;
  lua_pushnil(state);
  while (lua_next(state, LUA_GLOBALSINDEX) && ++visited < 256) {
    if (lua_type(state, -2) == LUA_TSTRING) {
      std::string name = lua_tostring(state, -2);
      if (lua_istable(state, -1)) {
        KR::readLuaFloat5(KR::LuaStackRef{state, -1}, &values[0], &values[1], &values[2], &values[3], &values[4]);
      }
      // Named reads at depth 0 look up the same global again.
      lua_pushvalue(state, -2);
      lua_insert(state, 1);
      int top = lua_gettop(state);
      script.getString(name, &text);
      script.getBool(name, &flag);
      script.getColor(name, &color);
      script.getRect(name, &rect);
      KR::luaReadVector2(script, name, &vector);
      if (lua_gettop(state) != top) __builtin_trap();  // the readers must leave the stack as they found it
      lua_remove(state, 1);
    }
    lua_pop(state, 1);
  }
  lua_settop(state, 0);
  return 0;
}
