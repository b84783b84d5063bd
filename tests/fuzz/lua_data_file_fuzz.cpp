// Runs arbitrary bytes as a Lua data file and reads every global with the
// record reader and the LuaScript value readers. The state is fenced in for
// fuzzing: no os or io library, an instruction budget and a memory ceiling.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "fuzz_lua.h"
#include "log_system.h"
#include "lua_data_file.h"
#include "lua_script_2.h"

namespace {

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
  KR::Fuzz::MemoryFence fence;
  lua_State* state = KR::Fuzz::newFencedState(&fence);
  if (!state) return 0;
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
