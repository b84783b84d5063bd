// The game's Lua state: a missing hook and a failing one are reported with
// the call stack and the game goes on; script files, source and precompiled,
// report their failures alike; nothing is left on the stack.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>

#include "../showcase_test_support.h"
#include "core/game_state/game_lua_state.h"

namespace {

class GameLuaTest : public KR::Test::ShowcaseTest {
 protected:
  void SetUp() override {
    folder = KR::Test::scratchDir("game-lua");
    // Scripts are read as loose files of the content folder.
    previous = KR::FileSystem::getContentFolder();
    KR::FileSystem::setContentFolder(folder + "/");
    allocators.init();
    files = std::make_unique<KR::FileSystem>();
    lua.init();
  }
  // A chunk compiled by this very Lua, as the build would precompile it.
  static std::string compile(const std::string& source) {
    lua_State* state = luaL_newstate();
    std::string bytes;
    if (luaL_loadstring(state, source.c_str()) == 0)
      lua_dump(
          state,
          [](lua_State*, const void* p, size_t size, void* out) {
            static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
            return 0;
          },
          &bytes);
    lua_close(state);
    return bytes;
  }
  std::string folder;
  HOG::GameLuaState lua;
};

}  // namespace

TEST_F(GameLuaTest, HooksThatFailOrAreMissingAreReportedWithTheirCallStack) {
  ASSERT_EQ(luaL_dostring(lua.getMainState(), "function __Generated_L1_onActivate() error('door stuck') end"), 0);
  lua.callFunction("__Generated_L1_onActivate");
  const std::vector<std::string> lines = log.lines();
  auto at =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("[***LUA ERROR***]: ") == 0; });
  ASSERT_NE(at, lines.end());
  EXPECT_NE(at->find("door stuck"), std::string::npos) << *at;
  EXPECT_EQ(*(at + 1), "[*** LUA CALLSTACK BEGIN***]");
  EXPECT_EQ(*(at + 2), "[*** LUA CALLSTACK END***]\n");

  lua.callFunction("__Generated_L7AT3_onActionDone");
  EXPECT_TRUE(log.contains("attempt to call a nil value"));
  EXPECT_EQ(lua_gettop(lua.getMainState()), 0);
}

TEST_F(GameLuaTest, ScriptFilesReportFailuresWhetherSourceOrPrecompiled) {
  KR::Test::writeFile(folder + "/fine.lua", "level = 3");
  KR::Test::writeFile(folder + "/broken.lua", "level = = 3");
  KR::Test::writeFile(folder + "/throws.lua", "error('bad level')");
  KR::Test::writeFile(folder + "/throws.luac", compile("error('bad level')"));
  KR::Test::writeFile(folder + "/empty.lua", "");
  std::string list = "name = 'default'\nfilelist = {\n";
  for (const char* name : {"fine.lua", "broken.lua", "throws.lua", "throws.luac", "empty.lua"})
    list += std::string("  { name = '") + name + "', filename = '/" + name + "' },\n";
  KR::Test::writeFile(folder + "/scripts.lua", list + "}\n");
  KR::Test::writeFile(folder + "/filelist.lua", "directories = { common = { { '/scripts.lua' } } }\n");
  files->loadDirectoryFileLists("common");
  EXPECT_EQ(lua.runScript("fine.lua"), 0);
  EXPECT_EQ(lua.runScript("empty.lua"), 0);
  EXPECT_EQ(lua.runScript("missing.lua"), 0);
  EXPECT_FALSE(log.contains("Failed to compile"));
  EXPECT_NE(lua.runScript("broken.lua"), 0);
  EXPECT_TRUE(log.contains("[*** LUA ERROR***]: Failed to compile script broken.lua"));
  EXPECT_NE(lua.runScript("throws.lua"), 0);
  EXPECT_NE(lua.runScript("throws.luac"), 0);
  EXPECT_TRUE(log.contains("[*** LUA ERROR***]: Failed to compile script throws.luac"));
  EXPECT_EQ(lua_gettop(lua.getMainState()), 0);
  lua_getglobal(lua.getMainState(), "level");
  EXPECT_EQ(lua_tointeger(lua.getMainState(), -1), 3);
}
