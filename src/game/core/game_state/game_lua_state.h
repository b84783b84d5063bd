#pragma once
// The play state's Lua state, in which the level script runs and the game's
// hooks ("__Generated_L%iAT%i_onActionDone" and their kin) are called by name
// without arguments or results. Hooks are optional: one the script does not
// define is skipped. A failing hook, one that runs over the instruction budget
// included, is reported to the log with the script, function, line and call
// stack, and otherwise ignored. Each start of a game makes
// the state anew, so no script value survives from one game to the next.
// Main thread only; no lock.
#include <cstdint>
#include <string>

struct lua_State;

namespace HOG {

class GameLuaState {
 public:
  GameLuaState() = default;
  ~GameLuaState();
  GameLuaState(const GameLuaState&) = delete;
  GameLuaState& operator=(const GameLuaState&) = delete;

  // Makes the state (counting allocator, panic handler, the content libraries).
  void init();
  // Closes the state and makes a new one the same way.
  void reset();
  void close();
  // Runs a script file of package "default"; 0 when it ran or does not
  // exist, non-zero when it failed to load or run (source and precompiled
  // alike). A file that does not compile is logged as "Failed to compile
  // script"; one that fails while running as "Script %s failed while running"
  // with the script's call stack.
  int runScript(const std::string& name);
  // Calls a global function by name; a failure is reported and ignored.
  void callFunction(const char* name);

  lua_State* getMainState() const { return mainState; }
  lua_State* getCallState() const { return callState; }

 private:
  lua_State* mainState = nullptr;
  lua_State* callState = nullptr;
};

// Logs the error value on top of the state's stack and the script call stack
// of the failed KR::luaProtectedCall, then pops the error value.
void reportLuaError(lua_State* state);

}  // namespace HOG
