// The game's Lua state: a failing hook, an endless one included, is reported
// with its script, function, line and call stack and the game goes on; a
// missing hook is skipped; script files, source and precompiled, report their
// failures alike; nothing is left on the stack.
#include <gtest/gtest.h>

#include <lua.hpp>

#include <string>

#include "../showcase_test_support.h"
#include "core/game_state/game_lua_state.h"
#include "lua_script_2.h"

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

TEST_F(GameLuaTest, FailingHooksNameScriptFunctionAndLineAndMissingOnesAreSkipped) {
  KR::Test::writeFile(
      folder + "/level.lua",
      "local function jam() error('door stuck') end\n"
      "function __Generated_L1_onActivate() jam() end\n"
      "function __Generated_L2_onActivate() while true do end end\n"
      "function __Generated_L3_onActivate() while true do pcall(function() while true do end end) end end\n"
      "function __Generated_L4_onActivate() reached = (reached or 0) + 1 end\n");
  KR::Test::writeFile(folder + "/loop.lua", "x = 1\nwhile true do end\n");
  KR::Test::writeFile(folder + "/scripts.lua",
                      "name = 'default'\nfilelist = { { name = 'level.lua', filename = '/level.lua' },"
                      " { name = 'loop.lua', filename = '/loop.lua' } }\n");
  KR::Test::writeFile(folder + "/filelist.lua", "directories = { common = { { '/scripts.lua' } } }\n");
  files->loadDirectoryFileLists("common");
  ASSERT_EQ(lua.runScript("level.lua"), 0);

  lua.callFunction("__Generated_L1_onActivate");
  const std::vector<std::string> lines = log.lines();
  auto at =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("[***LUA ERROR***]: ") == 0; });
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*at, "[***LUA ERROR***]: level.lua:1: door stuck (script 'level.lua', function 'jam', line 1)");
  // The call stack as it stood when the error arose, innermost first.
  ASSERT_GE(lines.end() - at, 6);
  EXPECT_EQ(*(at + 1), "[*** LUA CALLSTACK BEGIN***]");
  EXPECT_EQ(*(at + 2), "0: global | error | [C]:-1");
  EXPECT_EQ(*(at + 3), "1: upvalue | jam | level.lua:1");
  EXPECT_EQ(*(at + 4), "2: <unknown> | <unknown> | level.lua:2");
  EXPECT_EQ(*(at + 5), "[*** LUA CALLSTACK END***]\n");

  // Hooks are optional: one the script does not define is no error.
  const size_t before = log.lines().size();
  lua.callFunction("__Generated_L7AT3_onActionDone");
  EXPECT_EQ(log.lines().size(), before);

  // An endless loop runs out of its budget, caught or not, and the game goes on.
  KR::setLuaInstructionBudget(200000);
  lua.callFunction("__Generated_L2_onActivate");
  EXPECT_TRUE(
      log.contains("[***LUA ERROR***]: level.lua:3: function '__Generated_L2_onActivate' ran over its budget "
                   "of 200000 instructions"));
  lua.callFunction("__Generated_L3_onActivate");
  EXPECT_TRUE(
      log.contains("ran over its budget of 200000 instructions (script 'level.lua', function "
                   "'__Generated_L3_onActivate', line 4)"));
  lua.callFunction("__Generated_L4_onActivate");
  lua.callFunction("__Generated_L4_onActivate");
  lua_getglobal(lua.getMainState(), "reached");
  EXPECT_EQ(lua_tointeger(lua.getMainState(), -1), 2) << "each call has a budget of its own";
  lua_pop(lua.getMainState(), 1);
  // So does a loop at a script's top level.
  EXPECT_NE(lua.runScript("loop.lua"), 0);
  EXPECT_TRUE(
      log.contains("[*** LUA ERROR***]: Script loop.lua failed while running: loop.lua:2: function 'main chunk' "
                   "ran over its budget of 200000 instructions"));
  KR::setLuaInstructionBudget(KR::kLuaInstructionBudget);
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
  // Lua's own words, under the file's name.
  EXPECT_TRUE(log.contains("[*** LUA ERROR***]: Failed to compile script broken.lua: broken.lua:1: unexpected symbol"));
  EXPECT_NE(lua.runScript("throws.lua"), 0);
  EXPECT_NE(lua.runScript("throws.luac"), 0);
  // Both compiled: they failed while running, with the place and the stack.
  EXPECT_TRUE(
      log.contains("[*** LUA ERROR***]: Script throws.lua failed while running: throws.lua:1: bad level "
                   "(script 'throws.lua', function 'main chunk', line 1)"));
  EXPECT_TRUE(log.contains("[*** LUA ERROR***]: Script throws.luac failed while running: "));
  EXPECT_TRUE(log.contains("1: <unknown> | main chunk | throws.lua:1"));
  EXPECT_FALSE(log.contains("Failed to compile script throws"));
  EXPECT_EQ(lua_gettop(lua.getMainState()), 0);
  lua_getglobal(lua.getMainState(), "level");
  EXPECT_EQ(lua_tointeger(lua.getMainState(), -1), 3);
}
