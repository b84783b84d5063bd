// The level script's own load path: the input is the file "views_lua" as the
// play state's Lua state runs it (source text, or a precompiled chunk when it
// begins with the escape byte), with the game's tables registered; then the
// hooks the game calls by name run, the ones the script defined and some it
// did not. Loading, running and calling may fail with a Lua error (logged and
// ignored) but never crash, hang or leave values on the state's stack.
//
// Lua runs without os, io and loading functions, under an instruction budget
// and a memory ceiling (fuzz_content.h); no play state runs, so the tables
// refuse.
//
// Built with KR_SEED_WRITER the same file writes the seeds:
// `level_script_load_seeds <views.lua> <seed folder>` writes the demo's level
// script as text and precompiled, and a few scripts of its own.
#include <lua.hpp>

#include <cstdint>
#include <cstdio>
#include <string>

#ifdef KR_SEED_WRITER

namespace {

const char* const kOwnSeeds[] = {
    // A hook that fails, one that is no function, one that runs away.
    "function __Generated_L1_onActivate() error('hook failed') end\n"
    "__Generated_L1_onDeactivate = 5\n"
    "function __Generated_L2_onActivate() while true do end end\n",
    // A script that fails at its top level after defining a hook.
    "function __Generated_L2AT1_onActionDone() return 1, 2, 3 end\nlocal x = nil + 1\n",
    // Results left by the chunk itself; a syntax error.
    "return 1, 2, 3, {}, 'x'\n",
    "function (\n",
};

int appendChunk(lua_State*, const void* block, size_t size, void* out) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(block), size);
  return 0;
}

bool writeFile(const std::string& path, const std::string& body) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(body.data(), 1, body.size(), out);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <views.lua> <seed folder>\n", argv[0]);
    return 1;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (!in) return 1;
  std::string script;
  char block[4096];
  for (size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) script.append(block, got);
  std::fclose(in);
  const std::string folder = std::string(argv[2]) + "/";
  int index = 0;
  if (!writeFile(folder + "seed" + std::to_string(index++) + ".lua", script)) return 1;
  // The same script precompiled.
  lua_State* state = luaL_newstate();
  std::string compiled;
  if (!state || luaL_loadbuffer(state, script.data(), script.size(), "views_lua") != 0 ||
      lua_dump(state, appendChunk, &compiled) != 0)
    return 1;
  lua_close(state);
  if (!writeFile(folder + "seed" + std::to_string(index++) + ".luac", compiled)) return 1;
  for (const char* seed : kOwnSeeds)
    if (!writeFile(folder + "seed" + std::to_string(index++) + ".lua", seed)) return 1;
  return 0;
}

#else

#include <vector>

#include "config_manager.h"
#include "core/game_state/game_lua_state.h"
#include "core/game_state/script/lua_integration.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "fuzz_listing.h"

namespace {

struct Services {
  Services() : content(KR::Fuzz::startupContent("level_script_load")) {
    KR::Fuzz::writeListing(content, {{"default", {{"views_lua", "/views.lua"}}}});
    KR::FileSystem::setContentFolder(content.folder());
    fileSystem = new KR::FileSystem();
    config = new KR::ConfigManager();
    fileSystem->loadFilesLocationInfo();
  }
  const KR::Fuzz::ScratchContent& content;
  KR::FileSystem* fileSystem = nullptr;
  KR::ConfigManager* config = nullptr;
};

// The script's global functions whose names the game builds (a few at most).
std::vector<std::string> hookNames(lua_State* state) {
  std::vector<std::string> names;
  lua_pushnil(state);
  while (lua_next(state, LUA_GLOBALSINDEX) != 0) {
    if (lua_type(state, -2) == LUA_TSTRING && lua_isfunction(state, -1) && names.size() < 8) {
      const std::string name = lua_tostring(state, -2);
      if (name.rfind("__Generated_", 0) == 0) names.push_back(name);
    }
    lua_pop(state, 1);
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  services.content.write("views.lua", data, size);
  HOG::GameLuaState lua;
  lua.init();
  lua_State* state = lua.getMainState();
  if (!state) return 0;
  HOG::LuaIntegration::registerTables(state);
  lua.runScript("views_lua");
  if (lua_gettop(state) != 0) __builtin_trap();
  std::vector<std::string> hooks = hookNames(state);
  hooks.push_back("__Generated_L1_onActivate");
  hooks.push_back("onHintFirstClick");
  for (const std::string& hook : hooks) {
    lua.callFunction(hook.c_str());
    if (lua_gettop(lua.getCallState()) != 0) __builtin_trap();
  }
  lua.close();
  return 0;
}

#endif
