// Content scripts against the player's machine: hostile calls are refused and
// logged with their place, work in C and memory count against the budgets,
// and what content uses still works. The hostile scripts aim at a scratch
// folder only, so that a sandbox that let them through harms nothing.
#include "lua_sandbox.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <lua.hpp>

#include <string>
#include <vector>

#include "lua_script_2.h"
#include "support/test_support.h"

namespace {

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

class LuaSandbox : public ::testing::Test {
 protected:
  void TearDown() override {
    KR::setLuaInstructionBudget(KR::kLuaInstructionBudget);
    KR::setLuaMemoryLimit(KR::kLuaMemoryLimit);
  }
  // Runs `source` as the file `name` in `script`; the error text, or "" when it ran.
  static std::string run(KR::LuaScript& script, const std::string& source, const std::string& name = "content.lua") {
    if (script.runBuffer(source.data(), source.size(), name)) return "";
    return script.getLoadError();
  }
  static std::string global(KR::LuaScript& script, const char* name) {
    std::string value;
    script.getString(name, &value);
    return value;
  }
  KR::Test::LogCapture log;
};

}  // namespace

TEST_F(LuaSandbox, HostileCallsAreRefusedWithTheirPlaceAndContentLibrariesRemain) {
  const std::string folder = KR::Test::scratchDir("lua-sandbox");
  KR::Test::writeFile(folder + "/savegame0.sav", "the player's progress");
  KR::LuaScript script;
  const std::string hostile =
      "local ran = os.execute('touch " + folder +
      "/ran')\n"
      "function wreck()\n"
      "  local gone = os.remove('" +
      folder +
      "/savegame0.sav')\n"
      "  local pipe = io.popen('touch " +
      folder +
      "/piped')\n"
      "  local file = io.open('" +
      folder +
      "/written', 'w')\n"
      "  local lib = package.loadlib('libc.so.6', 'system')\n"
      "  os.exit(7)\n"
      "  return tostring(gone) .. tostring(pipe) .. tostring(file) .. tostring(lib)\n"
      "end\n"
      "results = tostring(ran) .. wreck()\n"
      "debug.sethook(); os.rename('a', 'b'); os.getenv('HOME'); require('x'); dofile('/x'); loadstring('x = 1')\n"
      "newproxy(true); string.dump(wreck); io.write('x')\n";
  EXPECT_EQ(run(script, hostile, "hostile.lua"), "");
  EXPECT_EQ(global(script, "results"), "nilnilnilnilnil");
  EXPECT_TRUE(exists(folder + "/savegame0.sav"));
  EXPECT_FALSE(exists(folder + "/ran"));
  EXPECT_FALSE(exists(folder + "/piped"));
  EXPECT_FALSE(exists(folder + "/written"));
  EXPECT_TRUE(log.contains(
      "ERROR: Lua: os.execute is refused to content scripts (script 'hostile.lua', function 'execute', line 1)"));
  EXPECT_TRUE(log.contains(
      "ERROR: Lua: os.remove is refused to content scripts (script 'hostile.lua', function 'remove', line 3)"));
  for (const char* name : {"io.popen", "io.open", "package.loadlib", "os.exit", "debug.sethook", "os.rename",
                           "os.getenv", "require", "dofile", "loadstring", "newproxy", "string.dump", "io.write"})
    EXPECT_TRUE(log.contains(std::string("ERROR: Lua: ") + name + " is refused")) << name;

  // What content scripts use is all there.
  EXPECT_EQ(run(script,
                "local t = {} for k, v in pairs({a = 1}) do t[#t + 1] = k .. v end table.insert(t, 'x')\n"
                "local co = coroutine.wrap(function() coroutine.yield(3) end)\n"
                "ok = table.concat(t, ',') .. string.format('%03d', math.floor(co() + 0.5)) ..\n"
                "  ('%d'):rep(2) .. type(os.time()) .. type(os.clock()) .. select('#', pcall(error, 'x'))\n"),
            "");
  EXPECT_EQ(global(script, "ok"), "a1,x003%d%dnumbernumber2");
}

TEST_F(LuaSandbox, PrintGoesToTheVerboseLogOnly) {
  KR::LuaScript script;
  EXPECT_EQ(run(script, "print('hook: hall shown', 3, nil)"), "");
  EXPECT_FALSE(log.contains("hook: hall shown"));
  KR::Test::LogCapture verbose(/*verbose=*/true);
  EXPECT_EQ(run(script, "print('hook: hall shown', 3, nil) print()"), "");
  EXPECT_TRUE(verbose.contains("Lua: hook: hall shown\t3\tnil"));
}

TEST_F(LuaSandbox, WorkInCCountsAgainstTheBudget) {
  KR::setLuaInstructionBudget(2000000);
  KR::LuaScript script;
  // A hook of the script's own would have replaced the budget's.
  EXPECT_NE(run(script, "debug.sethook()\nwhile true do end\n", "loop.lua")
                .find("loop.lua:2: function 'main chunk' ran over its budget of 2000000 instructions"),
            std::string::npos);
  // The matcher backtracks in C, where no hook runs: the search is refused before it starts.
  EXPECT_NE(run(script, "local s = string.rep('a', 200000)\nx = string.find(s, '.-.-.-.-.-.-b')\n", "spin.lua")
                .find("spin.lua:2: function 'main chunk' ran over its budget of 2000000 instructions in "
                      "string.find (script 'spin.lua', function 'main chunk', line 2)"),
            std::string::npos);
  EXPECT_NE(run(script, "s = string.rep(' ', 100000) s:gsub('%s+x', '')").find("in string.gsub"), std::string::npos);
  EXPECT_NE(run(script, "for i = 1, 1000 do ('x'):rep(100000) end").find("ran over its budget"), std::string::npos);
  EXPECT_NE(run(script, "string.match('a', string.rep('a?', 600))").find("longer than the 1024 bytes allowed"),
            std::string::npos);
  // A plain find does not backtrack: its magic characters are letters, and it is not refused.
  EXPECT_EQ(run(script, "x = string.find(string.rep('a', 200000), '.-.-.-.-.-.-b', 1, true)"), "");
  // Ordinary searches on ordinary text keep Lua's answers, many in one call.
  KR::setLuaInstructionBudget(KR::kLuaInstructionBudget);
  const std::string text =
      "local line = '  the well gives ' .. string.rep('gem ', 2000) .. ' '\n"
      "for i = 1, 100 do trimmed = line:match('^%s*(.-)%s*$') end\n"
      "words = select(2, line:gsub('%s+', ' '))\n"
      "n = 0 for w in line:gmatch('%a+') do n = n + 1 end\n"
      "first = line:find('gem', 1, true) .. ',' .. line:find('g[e]m') .. ',' .. tostring(line:find('^gem'))\n"
      "empty = #string.rep('', 2^31) .. #string.rep('ab', 3) .. #string.rep('x', -1)\n";
  EXPECT_EQ(run(script, text), "");
  std::string trimmed;
  script.getString("trimmed", &trimmed);
  EXPECT_EQ(trimmed.substr(0, 18), "the well gives gem");
  EXPECT_EQ(trimmed.size(), 15 + 4 * 2000 - 1);
  EXPECT_EQ(global(script, "words"), "2004");
  EXPECT_EQ(global(script, "n"), "2003");
  EXPECT_EQ(global(script, "first"), "18,18,nil");
  EXPECT_EQ(global(script, "empty"), "060");
}

TEST_F(LuaSandbox, MemoryBeyondTheLimitFailsTheCallAsAnOverrun) {
  KR::setLuaMemoryLimit(size_t(4) << 20);
  KR::LuaScript script;
  const std::string error =
      run(script, "t = {}\nfor i = 1, 1e7 do\n  t[i] = string.rep('x', 100) .. i\nend\n", "bomb.lua");
  EXPECT_EQ(error,
            "bomb.lua:3: function 'main chunk' ran over its memory budget of 4194304 bytes (script 'bomb.lua', "
            "function 'main chunk', line 3)");
  // The stack of the moment it ran over is kept for the game's log.
  const std::vector<std::string> stack = KR::luaTakeErrorStack();
  ASSERT_FALSE(stack.empty());
  EXPECT_NE(stack.front().find("bomb.lua:3"), std::string::npos) << stack.front();
  // One large piece is refused as well; a script that catches the failure
  // goes on, and a later overrun is reported where it happens.
  KR::LuaScript fresh;
  EXPECT_EQ(run(fresh, "ok, why = pcall(string.rep, 'x', 5e6)\nafter = tostring(ok) .. #'still here'", "piece.lua"),
            "");
  EXPECT_EQ(global(fresh, "after"), "false10");
  EXPECT_NE(run(fresh, "local t = {}\n\nfor i = 1, 1e7 do t[i] = i end", "grow.lua")
                .find("grow.lua:3: function 'main chunk' ran over its memory budget"),
            std::string::npos);
  // Outside a call nothing is refused: the engine's own reads go on.
  lua_State* state = script.getState();
  for (int i = 0; i < 20; ++i) lua_pushlstring(state, std::string(500000, char('a' + i)).data(), 500000);
  lua_settop(state, 0);

  // Each state keeps its own books: one holding memory leaves another its whole limit.
  EXPECT_EQ(run(fresh, "keep = string.rep('k', 1200000)"), "");
  KR::LuaScript other;
  EXPECT_EQ(run(other, "s = string.rep('y', 1000000)"), "");
}

TEST_F(LuaSandbox, PatternBoundsCoverTheMatchersWorstCase) {
  // Anchored, the search starts once; a run of the class bounds each repetition.
  const std::string subject = "ab ab ab";
  const double anchored = KR::luaPatternWorkBound(subject.data(), subject.size(), "^%a*", 4, true);
  const double free = KR::luaPatternWorkBound(subject.data(), subject.size(), "^%a*", 4, false);
  EXPECT_LT(anchored * 4, free);
  // Nested repetitions multiply; the bound grows with the subject.
  const std::string longer(400, 'a');
  EXPECT_GT(KR::luaPatternWorkBound(longer.data(), longer.size(), ".-.-b", 5, true), 400.0 * 400.0 * 400.0 / 2);
  // Runs are counted with the matcher's own classes: an escaped literal, a
  // range, a balance scanning to the end.
  // (Subjects long enough that the runs are counted, not taken as the whole subject.)
  const std::string dots(10000, '.'), letters(10000, 'a'), open(1000, '(');
  EXPECT_GT(KR::luaPatternWorkBound(dots.data(), dots.size(), "%.+x", 4, true), 1e4 * 1e4 / 2);
  EXPECT_GT(KR::luaPatternWorkBound(letters.data(), letters.size(), "[a-c]+x", 7, true), 1e4 * 1e4 / 2);
  EXPECT_LT(KR::luaPatternWorkBound(letters.data(), letters.size(), "[b-c]+x", 7, true), 1e4 * 10);
  // A range holds its inner and its last character too.
  for (char inRange : {'b', 'c'}) {
    const std::string run(10000, inRange);
    EXPECT_GT(KR::luaPatternWorkBound(run.data(), run.size(), "[a-c]+x", 7, true), 1e4 * 1e4 / 2) << inRange;
  }
  EXPECT_GE(KR::luaPatternWorkBound(open.data(), open.size(), "^%b()", 5, true), 1000.0);
  // A malformed class stops the count where Lua stops with its error.
  EXPECT_LT(KR::luaPatternWorkBound(longer.data(), longer.size(), "[a.-.-.-", 8, true), 1000.0);
}
