#pragma once
// LuaScript: the engine's thin reader over a Lua 5.1 state. It runs a content
// file, walks nested tables on the Lua stack and reads typed values; absence
// and wrong kinds are reported by results, never by Lua errors.
//
// The current table is always the value on top of the Lua stack; depth counts
// the tables this wrapper opened and has not closed yet. At depth 0 named
// reads go to the globals.
//
//   KR::LuaScript script;                       // fresh state, owned
//   if (script.loadScript("config", "default") && script.openTable("config")) {
//     std::string language;
//     script.getString("currentLanguage", &language);
//     script.closeTable();
//   }
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "rect.h"
#include "vector2.h"

struct lua_State;

namespace KR {

// Diagnostic counters of luaCountingAlloc, process-wide.
struct LuaAllocCounters {
  std::atomic<uint64_t> allocations{0};    // fresh blocks
  std::atomic<uint64_t> reallocations{0};  // resizes of existing blocks
  std::atomic<int64_t> bytesInUse{0};      // old sizes subtracted, new sizes added
  std::atomic<int64_t> peakBytesInUse{0};
  std::atomic<int64_t> requestedBalance{0};  // sum of (new - old) over non-free requests
};
LuaAllocCounters& luaAllocCounters();

// The allocator of every Lua state the engine makes (lua_Alloc signature).
// newLuaState gives each state books of its own as `userData` (they go with
// the state's last block); a null `userData` only keeps the counters.
void* luaCountingAlloc(void* userData, void* block, size_t oldSize, size_t newSize);

// A new state on luaCountingAlloc with the libraries content scripts get
// (lua_sandbox.h), the default panic handler, and math.random /
// math.randomseed on the shared 0..32767 generator. Null only when out of memory.
lua_State* newLuaState();

// The process-wide pseudo-random generator (the C library's classic linear
// congruential one): values 0..32767. Lua's math.randomseed seeds it.
int32_t sharedRandom();
void seedSharedRandom(uint32_t seed);
constexpr int32_t kSharedRandomMax = 32767;

// Every protected call the engine and the game make into Lua runs under an
// instruction budget, so that a script in an endless loop fails with a Lua
// error instead of hanging the game. The budget counts VM instructions from
// the outermost protected call of a thread; calls made from inside it share it.
constexpr uint64_t kLuaInstructionBudget = 50000000;
// The budget of every later call, process-wide (tests lower it).
void setLuaInstructionBudget(uint64_t instructions);
uint64_t getLuaInstructionBudget();

// The memory a state made by newLuaState may hold while a protected call runs
// in it. An allocation past it fails the call as an overrun of the
// instruction budget does: "a.lua:3: function 'f' ran over its memory budget
// of 268435456 bytes (script 'a.lua', function 'f', line 3)". Outside
// protected calls (the engine reading tables) nothing is refused, as a failed
// allocation there would end in the panic handler.
constexpr size_t kLuaMemoryLimit = size_t(256) << 20;
// The limit of every later allocation, process-wide (tests lower it).
void setLuaMemoryLimit(size_t bytes);
size_t getLuaMemoryLimit();

// Work a C function does for a script outside the VM (a pattern search, a
// sort), in instructions, added to the running call's budget. When it would
// run over the budget, raises the budget's error, naming `what` (for example
// "string.find"); outside any protected call it does nothing. Bytes a call
// allocates are counted the same way, one instruction per
// kLuaBytesPerInstruction.
void luaChargeWork(lua_State* state, double instructions, const char* what);
constexpr size_t kLuaBytesPerInstruction = 16;
// What is left of the running call's budget (the whole budget outside one).
double luaRemainingBudget();

// lua_pcall of the function below `arguments` on the stack, under the budget.
// A failure leaves an error text that names the script, the function and the
// line where it arose: "<Lua's message> (script 'a.lua', function 'f', line
// 3)", and keeps the call stack of that moment for luaTakeErrorStack. `name`
// names the called function where Lua cannot (a global called from C): a
// failure before any script line ran (calling nil) ends in "(function
// 'name')".
int luaProtectedCall(lua_State* state, int arguments, int results, const char* name);
// Where a Lua error line points: " (script 'a.lua', function 'f', line 3)".
// luaDescribeCaller: the Lua code that called the running C function `name`
// (the C function's own name when Lua knows it); luaDescribeFunction: the
// function value at `index`, by the line it is defined on.
std::string luaDescribeCaller(lua_State* state, const char* name = nullptr);
std::string luaDescribeFunction(lua_State* state, int index, const char* name);
// The Lua call stack at this thread's last failed luaProtectedCall, innermost
// first ("0: global | f | a.lua:3"), and forgets it.
std::vector<std::string> luaTakeErrorStack();

class LuaScript;

// Result of LuaScript::beginIteration. With an entry, key and value are on the
// stack; the following lua_next steps are the caller's.
struct LuaTableIteration {
  LuaScript* script;
  int32_t hasEntry;
};

// Puts the stack top back where it was when the guard was made.
class LuaStackGuard {
 public:
  explicit LuaStackGuard(lua_State* state);
  ~LuaStackGuard();
  LuaStackGuard(const LuaStackGuard&) = delete;
  LuaStackGuard& operator=(const LuaStackGuard&) = delete;

 private:
  lua_State* state;
  int savedTop;
};

class LuaScript {
 public:
  // Makes and owns a fresh state (newLuaState).
  LuaScript();
  // Wraps an existing state; when ownsState is set the state is closed with the wrapper.
  explicit LuaScript(lua_State* state, bool ownsState = false);
  ~LuaScript();
  LuaScript(const LuaScript&) = delete;
  LuaScript& operator=(const LuaScript&) = delete;

  lua_State* getState() const { return state; }
  int32_t getDepth() const { return depth; }

  // Reads (package, name) through the file system and runs it. A chunk whose
  // first byte is 27 is precompiled: it runs only when it was made for this
  // very platform, otherwise it is refused like a broken file. False when the
  // file is missing, does not load or fails at run time; Lua's message, when
  // there is one, stays on the stack.
  bool loadScript(const std::string& name, const std::string& package);
  // Loads and runs bytes that loadScript would have read from a file.
  bool runBuffer(const char* data, size_t size, const std::string& chunkName);
  // Why the last loadScript or runBuffer failed, for a content author: "file
  // not found", "read error" or Lua's own message.
  const std::string& getLoadError() const { return loadError; }

  // A fresh state reads the rectangle at global `key` of (package, file).
  static bool getRectFromScript(Rect* out, const std::string& file, const std::string& key, const std::string& package);

  // Tables.
  void pushField(const std::string& name);
  bool openTable(const std::string& name);
  bool openCurrentTable();
  void closeTable();
  LuaTableIteration beginIteration();
  void pop(int count = 1);

  // Named reads of the current table; the stack is left as it was.
  bool getString(const std::string& name, std::string* out);
  bool getBool(const std::string& name, bool* out);
  bool getColor(const std::string& name, Color* out);
  bool getRect(const std::string& name, Rect* out);

  // Array reads of the current table (raw integer keys).
  bool getStringAt(int index, std::string* out);
  bool getByteAt(int index, uint8_t* out);

  // Reads of the value on top of the stack, which stays there (a number read
  // by toString becomes a string in its slot, as Lua converts it).
  bool toFloat(float* out);
  bool toInt(int32_t* out);
  bool toUInt(uint32_t* out);
  bool toString(std::string* out);

 private:
  bool readRect(Rect* out, int referenceDepth);
  static bool getRectFromScriptAt(Rect* out, const std::string& file, const std::string& key,
                                  const std::string& package, int referenceDepth);

  bool failLoad(const char* reason);

  lua_State* state = nullptr;
  int32_t depth = 0;
  bool ownsState = false;
  std::string loadError;
};

// Named read of a vector {x, y} from the current table; (0, 0) and false when absent.
bool luaReadVector2(LuaScript& script, const std::string& name, Vector2<float>* out);
// Element `index` of the current table as a number; the output stays untouched on failure.
bool luaReadIndexedNumber(LuaScript& script, int index, float* out);

}  // namespace KR
