#pragma once
// The libraries a content script gets. Every Lua state the engine makes runs
// content (level scripts, UI descriptions, configuration, package lists,
// fonts, sprites, data files), and content never reaches the player's
// machine:
// - base (without loading code by path or from text, and without userdata
//   whose finalisers would run outside the budget), coroutine, table, string
//   (without dump), math, and of os only clock, date, difftime and time;
// - programs, files, native libraries, exit, the environment and debug are
//   refused: os.execute, os.exit, os.remove, os.rename, os.tmpname,
//   os.getenv, os.setlocale, every io and debug function, package.loadlib,
//   require, module, dofile, loadfile, load, loadstring, newproxy and
//   string.dump stay callable but do nothing except log
//   "ERROR: Lua: os.execute is refused to content scripts (script 'a.lua',
//   function 'execute', line 3)" and answer nil, "refused";
// - print writes its line to the log's verbose lines ("Lua: ..."), not to stdout;
// - the pattern functions (string.find, match, gmatch, gsub) count the work
//   Lua's backtracking matcher may do on their subject against the
//   instruction budget (lua_script_2.h) before they start, since the matcher
//   runs in C where the budget's hook never does: a search that could run
//   over the budget fails with the budget's error instead of hanging. Their
//   patterns are at most kLuaMaxPatternLength bytes, as the matcher recurses
//   once per pattern item. string.rep of an empty string is the empty string
//   whatever the count.
//
// Main thread or the thread that owns the state; no lock.
#include <cstddef>

struct lua_State;

namespace KR {

constexpr size_t kLuaMaxPatternLength = 1024;

// Opens the libraries above in a fresh state.
void openContentLibraries(lua_State* state);

// What newLuaState opens in every later state: openContentLibraries unless a
// harness that must run one generated program alike in its own states and in
// the engine's narrows it (null restores the default). Set before states are made.
using LuaLibraryOpener = void (*)(lua_State*);
void setLuaLibraryOpener(LuaLibraryOpener opener);
LuaLibraryOpener luaLibraryOpener();

// An upper bound of the steps Lua's matcher takes to run `pattern` over
// `subject` in every start position (only the first when `anchorable` and the
// pattern begins with '^'), from the longest runs of subject characters each
// repeated item can take. A malformed pattern counts up to its fault, where
// Lua stops with an error.
double luaPatternWorkBound(const char* subject, size_t subjectLength, const char* pattern, size_t patternLength,
                           bool anchorable);

}  // namespace KR
