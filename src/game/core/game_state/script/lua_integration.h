#pragma once
// The level script's way into the game: the global tables gGame, gInventory,
// gUIMessageManager, gView, gScene, gProfile, gSound and gDialog of plain C
// functions. A function either acts during the call (reads and writes of view
// and trigger state, inventory queries, locks, flags) or queues a deferred
// game task that runs on a later task pass (view changes, scene nodes,
// inventory additions, messages, sounds, movies, cut scenes).
//
// Arguments are taken from the top of the stack down, the last first; a value
// of the wrong kind logs "[***LUA ERROR***]: Failed to pop ... value from
// stack." and gives its kind's default while staying for the next argument. A
// call with fewer arguments than the function declares is refused with a
// "[***LUA ERROR***]: " line (a getter then answers its default); no function
// raises a Lua error. Main thread only.
#include <cstddef>

struct lua_State;

namespace HOG {
namespace LuaIntegration {

struct FunctionInfo {
  const char* table;
  const char* name;
  // Declared argument kinds in order: s text, b bool, f number, u unsigned, i int.
  const char* arguments;
  // Result kind: 0 none, 'b' bool, 'u' unsigned, 'i' int.
  char result;
  bool deferred;
  int (*function)(lua_State*);
};

// Every function of every table.
const FunctionInfo* functions(size_t* count);
// Registers all tables in the state (an existing table gains the fields).
void registerTables(lua_State* state);

}  // namespace LuaIntegration
}  // namespace HOG
