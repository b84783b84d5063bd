#include "lua_script_2.h"

#include <lua.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "file_system.h"
#include "lua_sandbox.h"
#include "report_assert.h"

namespace KR {

namespace {

// A rectangle may name another file's rectangle, which may name another: a
// chain this long is taken as a loop.
constexpr int kMaxRectReferenceDepth = 8;

// The classic C library generator: 32-bit state, 15-bit results.
std::atomic<uint32_t> gRandomState{1};

[[noreturn]] void fatalAt(const char* description, int line) {
  reportAssert("KR", description, "lua_script_2", line);
  fatalTrap();
}

int luaPanic(lua_State* state) {
  const char* message = lua_tostring(state, -1);
  std::fprintf(stderr, "PANIC: unprotected error in call to Lua API (%s)\n", message ? message : "?");
  return 0;
}

// math.random and math.randomseed of Lua 5.1 over the shared generator, so
// that a script's seed drives every consumer of the generator.
int luaMathRandom(lua_State* state) {
  lua_Number r = lua_Number(sharedRandom() % kSharedRandomMax) / lua_Number(kSharedRandomMax);
  switch (lua_gettop(state)) {
    case 0: lua_pushnumber(state, r); break;
    case 1: {
      int upper = luaL_checkint(state, 1);
      luaL_argcheck(state, 1 <= upper, 1, "interval is empty");
      lua_pushnumber(state, std::floor(r * upper) + 1);
      break;
    }
    case 2: {
      int lower = luaL_checkint(state, 1);
      int upper = luaL_checkint(state, 2);
      luaL_argcheck(state, lower <= upper, 2, "interval is empty");
      lua_pushnumber(state, std::floor(r * (lua_Number(upper) - lower + 1)) + lower);
      break;
    }
    default: return luaL_error(state, "wrong number of arguments");
  }
  return 1;
}

int luaMathRandomSeed(lua_State* state) {
  seedSharedRandom(static_cast<uint32_t>(luaL_checkint(state, 1)));
  return 0;
}

// The 12-byte header that this platform's Lua writes in front of a precompiled
// chunk (version, format, byte order, type sizes). Chunks with another header
// were made elsewhere and are refused.
int writeToString(lua_State*, const void* data, size_t size, void* userData) {
  static_cast<std::string*>(userData)->append(static_cast<const char*>(data), size);
  return 0;
}

const std::string& nativeChunkHeader() {
  static std::string header;
  static std::once_flag once;
  std::call_once(once, [] {
    lua_State* state = luaL_newstate();
    if (!state) return;
    std::string dump;
    if (luaL_loadstring(state, "") == 0) lua_dump(state, writeToString, &dump);
    lua_close(state);
    header = dump.substr(0, 12);
  });
  return header;
}

// Saturating truncation toward zero; NaN gives 0.
int64_t truncateToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775807.0) return INT64_MAX;
  if (value <= -9223372036854775808.0) return INT64_MIN;
  return static_cast<int64_t>(value);
}

bool isConvertibleNumber(lua_State* state, int index) { return lua_isnumber(state, index) != 0; }

bool isText(lua_State* state, int index) {
  int type = lua_type(state, index);
  return type == LUA_TSTRING || type == LUA_TNUMBER;
}

int protectedGetTable(lua_State* state) {
  // Stack: table, key.
  lua_gettable(state, 1);
  return 1;
}

// Pushes table[name] of the value at `index`. Plain tables are read directly;
// a table with a metatable is read under protection, so an erroring __index
// gives nil instead of ending the process. Anything but a table gives nil.
void pushFieldOf(lua_State* state, int index, const char* name) {
  if (index < 0 && index > LUA_REGISTRYINDEX) index = lua_gettop(state) + index + 1;
  if (!lua_istable(state, index)) {
    lua_pushnil(state);
    return;
  }
  if (!lua_getmetatable(state, index)) {
    lua_getfield(state, index, name);
    return;
  }
  lua_pop(state, 1);
  lua_pushcfunction(state, protectedGetTable);
  lua_pushvalue(state, index);
  lua_pushstring(state, name);
  if (luaProtectedCall(state, 2, 1, "__index") != 0) {
    lua_pop(state, 1);
    lua_pushnil(state);
  }
}

// Pushes the raw element `i` of the table on top, or nil when the top is no table.
void pushElement(lua_State* state, int i) {
  if (lua_istable(state, -1)) {
    lua_rawgeti(state, -1, i);
  } else {
    lua_pushnil(state);
  }
}

bool readByte(lua_State* state, int index, uint8_t* out) {
  if (!isConvertibleNumber(state, index)) return false;
  *out = static_cast<uint8_t>(truncateToInt64(lua_tonumber(state, index)) & 0xFF);
  return true;
}

// The budget's bookkeeping for the protected calls running on this thread.
struct CallBudget {
  int depth = 0;                  // nested luaProtectedCall frames
  uint64_t used = 0;              // instructions since the outermost call began
  const char* entry = nullptr;    // the outermost call's function name
  const char* current = nullptr;  // the innermost call's function name
  std::vector<std::string> errorStack;
};
thread_local CallBudget gBudget;
std::atomic<uint64_t> gInstructionBudget{kLuaInstructionBudget};
std::atomic<size_t> gMemoryLimit{kLuaMemoryLimit};
// The hook runs every this many instructions.
constexpr int kBudgetStep = 1000;

// The books of one state made by newLuaState, its allocator's user data. The
// state's last block to go is its own, so the books go with it: when the bytes
// in use fall back to 0, the state is gone.
struct StateBooks {
  size_t inUse = 0;
  int protectedCalls = 0;  // luaProtectedCall frames running in the state
  bool exempt = false;     // while an overrun is being reported
  bool overrun = false;    // an allocation was refused for the limit
  lua_State* main = nullptr;
  bool* released = nullptr;  // set when the books go before newLuaState has the state
  std::string script, function;
  int line = 0;
  std::vector<std::string> stack;
};

StateBooks* booksOf(lua_State* state) {
  void* userData = nullptr;
  return lua_getallocf(state, &userData) == luaCountingAlloc ? static_cast<StateBooks*>(userData) : nullptr;
}

// Script, function and line of the innermost Lua function on the stack, at or
// above `level`; the function's name where Lua knows none is `fallback`.
bool describeLuaFrame(lua_State* state, int level, const char* fallback, std::string* script, std::string* function,
                      int* line) {
  lua_Debug record;
  for (; lua_getstack(state, level, &record); ++level) {
    if (!lua_getinfo(state, "nSl", &record) || std::strcmp(record.what, "C") == 0) continue;
    *script = record.short_src;
    if (record.name)
      *function = record.name;
    else if (std::strcmp(record.what, "main") == 0)
      *function = "main chunk";
    else
      *function = fallback ? fallback : "?";
    *line = record.currentline;
    return true;
  }
  return false;
}

// The call stack from `level` outwards, innermost first ("0: global | f | a.lua:3").
std::vector<std::string> describeStack(lua_State* state, int level) {
  std::vector<std::string> lines;
  lua_Debug record;
  for (int first = level; lua_getstack(state, level, &record); ++level) {
    lua_getinfo(state, "Sln", &record);
    std::string name = record.name ? record.name : "<unknown>";
    if (!record.name && std::strcmp(record.what, "main") == 0) name = "main chunk";
    lines.push_back(std::to_string(level - first) + ": " +
                    (record.namewhat && *record.namewhat ? record.namewhat : "<unknown>") + " | " + name + " | " +
                    record.short_src + ":" + std::to_string(record.currentline));
  }
  return lines;
}

void budgetHook(lua_State* state, lua_Debug*);

// Raises the budget's error where the script stands now. From then on every
// instruction fails: a script that catches the error with pcall meets it again
// at its very next instruction, up to the caller.
int raiseBudgetError(lua_State* state, uint64_t budget, const char* what) {
  if (lua_gethook(state) == budgetHook) lua_sethook(state, budgetHook, LUA_MASKCOUNT, 1);
  {
    // lua_error jumps out without unwinding: the strings must be gone by then.
    std::string script = "?", function = gBudget.entry ? gBudget.entry : "?";
    int line = 0;
    describeLuaFrame(state, 0, gBudget.entry, &script, &function, &line);
    std::string text = script + ":" + std::to_string(line) + ": function '" + function + "' ran over its budget of " +
                       std::to_string(budget) + " instructions";
    if (what) text += std::string(" in ") + what;
    lua_pushstring(state, text.c_str());
  }
  return lua_error(state);
}

void budgetHook(lua_State* state, lua_Debug*) {
  // A coroutine made inside a budgeted call keeps the hook; outside one it runs free.
  if (gBudget.depth == 0) return;
  const int step = lua_gethookcount(state);
  gBudget.used += uint64_t(step > 0 ? step : 1);
  const uint64_t budget = gInstructionBudget.load(std::memory_order_relaxed);
  if (gBudget.used <= budget) {
    // A coroutine that ran over the budget of an earlier call still counts one by one.
    if (step != kBudgetStep) lua_sethook(state, budgetHook, LUA_MASKCOUNT, kBudgetStep);
    return;
  }
  raiseBudgetError(state, budget, nullptr);
}

// The message handler of luaProtectedCall: runs where the error arose, so the
// stack still shows who raised it.
int errorHandler(lua_State* state) {
  const char* message = lua_tostring(state, 1);
  std::string text = message ? message : std::string("(error object is a ") + luaL_typename(state, 1) + " value)";
  std::string script, function;
  int line = 0;
  if (describeLuaFrame(state, 1, gBudget.entry, &script, &function, &line))
    text += " (script '" + script + "', function '" + function + "', line " + std::to_string(line) + ")";
  else if (gBudget.current)
    // No script line ran: the called value itself failed (a nil global).
    text += std::string(" (function '") + gBudget.current + "')";
  gBudget.errorStack = describeStack(state, 1);
  lua_pushstring(state, text.c_str());
  return 1;
}

// Replaces Lua's "not enough memory" of a call whose state ran into its limit
// by the overrun's report, and keeps the stack of that moment.
void reportMemoryOverrun(lua_State* state, StateBooks* books) {
  books->exempt = true;
  lua_pop(state, 1);
  // The call's garbage goes first: the report needs a little memory.
  lua_gc(state, LUA_GCCOLLECT, 0);
  const std::string limit = std::to_string(gMemoryLimit.load());
  const std::string text = books->script + ":" + std::to_string(books->line) + ": function '" + books->function +
                           "' ran over its memory budget of " + limit + " bytes (script '" + books->script +
                           "', function '" + books->function + "', line " + std::to_string(books->line) + ")";
  lua_pushstring(state, text.c_str());
  gBudget.errorStack.swap(books->stack);
  books->stack.clear();
  books->overrun = false;
  books->exempt = false;
}

// An allocation refused for the limit: where the script stood. Lua reports the
// failure itself without a message handler, so this is the only moment that
// still shows it. The last refusal is the one that ends the call (a script may
// catch earlier ones). Nothing here allocates from the state.
void noteOverrun(StateBooks* books) {
  books->overrun = true;
  books->script = "?";
  books->function = gBudget.entry ? gBudget.entry : "?";
  books->line = 0;
  if (!books->main) return;
  describeLuaFrame(books->main, 0, gBudget.entry, &books->script, &books->function, &books->line);
  books->stack = describeStack(books->main, 0);
}

}  // namespace

void setLuaInstructionBudget(uint64_t instructions) { gInstructionBudget.store(instructions); }

uint64_t getLuaInstructionBudget() { return gInstructionBudget.load(); }

void setLuaMemoryLimit(size_t bytes) { gMemoryLimit.store(bytes); }

size_t getLuaMemoryLimit() { return gMemoryLimit.load(); }

double luaRemainingBudget() {
  const double budget = double(gInstructionBudget.load(std::memory_order_relaxed));
  if (gBudget.depth == 0) return budget;
  return budget > double(gBudget.used) ? budget - double(gBudget.used) : 0.0;
}

void luaChargeWork(lua_State* state, double instructions, const char* what) {
  if (gBudget.depth == 0 || !(instructions > 0.0)) return;
  const uint64_t budget = gInstructionBudget.load(std::memory_order_relaxed);
  if (instructions <= luaRemainingBudget()) {
    gBudget.used += uint64_t(instructions);
    return;
  }
  gBudget.used = budget + 1;
  raiseBudgetError(state, budget, what);
}

int luaProtectedCall(lua_State* state, int arguments, int results, const char* name) {
  const int base = lua_gettop(state) - arguments;
  lua_pushcfunction(state, errorHandler);
  lua_insert(state, base);
  const bool outermost = gBudget.depth == 0;
  lua_Hook previousHook = lua_gethook(state);
  const int previousMask = lua_gethookmask(state);
  const int previousCount = lua_gethookcount(state);
  const char* previousName = gBudget.current;
  if (outermost) {
    gBudget.used = 0;
    gBudget.entry = name;
  }
  gBudget.current = name;
  // A state with a hook of its own (a debugger, a harness with a budget of its own) keeps it.
  const bool ownHook = previousHook && previousHook != budgetHook;
  if (!ownHook) lua_sethook(state, budgetHook, LUA_MASKCOUNT, kBudgetStep);
  StateBooks* books = booksOf(state);
  if (books) ++books->protectedCalls;
  ++gBudget.depth;
  const int status = lua_pcall(state, arguments, results, base);
  --gBudget.depth;
  if (books) --books->protectedCalls;
  if (status == LUA_ERRMEM && books && books->overrun) reportMemoryOverrun(state, books);
  // A refusal the script caught itself is forgotten with the call.
  if (books && books->protectedCalls == 0) {
    books->overrun = false;
    books->stack.clear();
  }
  if (!ownHook) lua_sethook(state, previousHook, previousMask, previousCount);
  gBudget.current = previousName;
  if (outermost) gBudget.entry = nullptr;
  lua_remove(state, base);
  return status;
}

std::string luaDescribeCaller(lua_State* state, const char* name) {
  lua_Debug record;
  std::string function = name ? name : "?";
  if (lua_getstack(state, 0, &record) && lua_getinfo(state, "n", &record) && record.name) function = record.name;
  std::string script = "?";
  int line = 0;
  std::string caller;
  describeLuaFrame(state, 1, nullptr, &script, &caller, &line);
  return " (script '" + script + "', function '" + function + "', line " + std::to_string(line) + ")";
}

std::string luaDescribeFunction(lua_State* state, int index, const char* name) {
  lua_Debug record;
  lua_pushvalue(state, index);
  std::string script = "?";
  int line = 0;
  if (lua_isfunction(state, -1) && lua_getinfo(state, ">S", &record)) {
    script = record.short_src;
    line = record.linedefined;
  } else {
    lua_pop(state, 1);
  }
  return " (script '" + script + "', function '" + (name ? name : "?") + "', line " + std::to_string(line) + ")";
}

std::vector<std::string> luaTakeErrorStack() {
  std::vector<std::string> stack;
  stack.swap(gBudget.errorStack);
  return stack;
}

// ---------------------------------------------------------------------------
// Shared generator

int32_t sharedRandom() {
  uint32_t current = gRandomState.load(std::memory_order_relaxed);
  uint32_t next;
  do {
    next = current * 214013u + 2531011u;
  } while (!gRandomState.compare_exchange_weak(current, next, std::memory_order_relaxed));
  return static_cast<int32_t>((next >> 16) & 0x7FFF);
}

void seedSharedRandom(uint32_t seed) { gRandomState.store(seed, std::memory_order_relaxed); }

// ---------------------------------------------------------------------------
// Allocator and states

LuaAllocCounters& luaAllocCounters() {
  static LuaAllocCounters counters;
  return counters;
}

void* luaCountingAlloc(void* userData, void* block, size_t oldSize, size_t newSize) {
  LuaAllocCounters& counters = luaAllocCounters();
  StateBooks* books = static_cast<StateBooks*>(userData);
  if (newSize == 0) {
    if (block) {
      counters.bytesInUse.fetch_sub(static_cast<int64_t>(oldSize), std::memory_order_relaxed);
      std::free(block);
      if (books) {
        books->inUse -= oldSize;
        if (books->inUse == 0) {
          if (books->released) *books->released = true;
          delete books;
        }
      }
    }
    return nullptr;
  }
  // Lua passes a meaningless old size with a null block.
  size_t previous = block ? oldSize : 0;
  // No block is larger than the limit, in or out of a call: a damaged
  // precompiled chunk asks for sizes near 2^64 while it loads.
  if (books && newSize > gMemoryLimit.load(std::memory_order_relaxed)) return nullptr;
  if (books && newSize > previous && books->protectedCalls > 0 && !books->exempt) {
    // Only growth is refused: Lua counts on shrinking to succeed.
    if (books->inUse - previous + newSize > gMemoryLimit.load(std::memory_order_relaxed)) {
      noteOverrun(books);
      return nullptr;
    }
    // Bulk work in C (joining, repeating, formatting long strings) shows as
    // memory: it counts against the instruction budget.
    if (gBudget.depth > 0) gBudget.used += (newSize - previous) / kLuaBytesPerInstruction;
  }
  void* result = std::realloc(block, newSize);
  if (!result) return nullptr;  // Lua keeps the old block and raises its memory error.
  if (books) books->inUse = books->inUse - previous + newSize;
  if (block) {
    counters.reallocations.fetch_add(1, std::memory_order_relaxed);
  } else {
    counters.allocations.fetch_add(1, std::memory_order_relaxed);
  }
  int64_t delta = static_cast<int64_t>(newSize) - static_cast<int64_t>(previous);
  counters.requestedBalance.fetch_add(delta, std::memory_order_relaxed);
  int64_t inUse = counters.bytesInUse.fetch_add(delta, std::memory_order_relaxed) + delta;
  int64_t peak = counters.peakBytesInUse.load(std::memory_order_relaxed);
  while (inUse > peak && !counters.peakBytesInUse.compare_exchange_weak(peak, inUse, std::memory_order_relaxed)) {
  }
  return result;
}

lua_State* newLuaState() {
  auto* books = new StateBooks;
  bool released = false;
  books->released = &released;
  lua_State* state = lua_newstate(luaCountingAlloc, books);
  if (!state) {
    // A state that failed half-made has given its books back with its blocks.
    if (!released) delete books;
    return nullptr;
  }
  books->released = nullptr;
  books->main = state;
  lua_atpanic(state, luaPanic);
  luaLibraryOpener()(state);

  lua_getglobal(state, "math");
  if (lua_istable(state, -1)) {
    lua_pushcfunction(state, luaMathRandom);
    lua_setfield(state, -2, "random");
    lua_pushcfunction(state, luaMathRandomSeed);
    lua_setfield(state, -2, "randomseed");
  }
  lua_pop(state, 1);
  return state;
}

// ---------------------------------------------------------------------------
// LuaStackGuard

LuaStackGuard::LuaStackGuard(lua_State* state_) : state(state_), savedTop(lua_gettop(state_)) {}

LuaStackGuard::~LuaStackGuard() { lua_settop(state, savedTop); }

// ---------------------------------------------------------------------------
// LuaScript: loading

LuaScript::LuaScript() : state(newLuaState()), depth(0), ownsState(true) {}

LuaScript::LuaScript(lua_State* state_, bool ownsState_) : state(state_), depth(0), ownsState(ownsState_) {}

LuaScript::~LuaScript() {
  if (ownsState && state) lua_close(state);
}

bool LuaScript::failLoad(const char* reason) {
  if (reason) {
    loadError = reason;
  } else {
    const char* message = state ? lua_tostring(state, -1) : nullptr;
    loadError = message ? message : "error without a message";
  }
  return false;
}

bool LuaScript::loadScript(const std::string& name, const std::string& package) {
  File* file = FileSystem::getInstance()->openFile(package, name);
  if (!file) return failLoad("file not found");
  int size = file->getSize();
  if (size < 0) size = 0;
  char* buffer = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
  if (!buffer) {
    delete file;
    return failLoad("out of memory");
  }
  int read = size > 0 ? file->read(buffer, size) : 0;
  delete file;
  // A damaged archive entry is not run as a shorter script.
  if (read < 0) {
    std::free(buffer);
    return failLoad("read error");
  }
  buffer[read] = '\0';
  bool result = runBuffer(buffer, static_cast<size_t>(read), name);
  std::free(buffer);
  return result;
}

bool LuaScript::runBuffer(const char* data, size_t size, const std::string& chunkName) {
  loadError.clear();
  if (!state) return failLoad("no Lua state");
  if (!data) size = 0;
  if (size > 0 && static_cast<unsigned char>(data[0]) == 27) {
    const std::string& header = nativeChunkHeader();
    if (header.empty() || size < header.size() || std::memcmp(data, header.data(), header.size()) != 0) {
      lua_pushfstring(state, "%s: precompiled chunk made for another platform", chunkName.c_str());
      return failLoad(nullptr);
    }
    if (luaL_loadbuffer(state, data, size, chunkName.c_str()) != 0) return failLoad(nullptr);
    return luaProtectedCall(state, 0, LUA_MULTRET, "main chunk") == 0 || failLoad(nullptr);
  }
  // Source text runs up to its first zero byte. The chunk is named after its
  // file, so that errors say which file they come from.
  const size_t length = size > 0 ? strnlen(data, size) : 0;
  const std::string name = "@" + chunkName;
  if (luaL_loadbuffer(state, data ? data : "", length, name.c_str()) != 0) return failLoad(nullptr);
  return luaProtectedCall(state, 0, LUA_MULTRET, "main chunk") == 0 || failLoad(nullptr);
}

bool LuaScript::getRectFromScript(Rect* out, const std::string& file, const std::string& key,
                                  const std::string& package) {
  return getRectFromScriptAt(out, file, key, package, 0);
}

bool LuaScript::getRectFromScriptAt(Rect* out, const std::string& file, const std::string& key,
                                    const std::string& package, int referenceDepth) {
  if (!out) return false;
  *out = Rect();
  LuaScript script;
  if (!script.state || !script.loadScript(file, package)) return false;
  script.pushField(key);
  bool result = script.readRect(out, referenceDepth);
  script.pop();
  return result;
}

// ---------------------------------------------------------------------------
// LuaScript: tables

void LuaScript::pushField(const std::string& name) {
  if (depth == 0) {
    pushFieldOf(state, LUA_GLOBALSINDEX, name.c_str());
  } else {
    pushFieldOf(state, -1, name.c_str());
  }
}

bool LuaScript::openTable(const std::string& name) {
  pushField(name);
  if (lua_istable(state, -1)) {
    ++depth;
    return true;
  }
  lua_pop(state, 1);
  return false;
}

bool LuaScript::openCurrentTable() {
  if (depth == 0) fatalAt("Невозможно читать текущую таблицу из глобального пространства.", 144);
  if (!lua_istable(state, -1)) return false;
  lua_pushvalue(state, -1);
  ++depth;
  return true;
}

void LuaScript::closeTable() {
  --depth;
  if (depth < 0) fatalAt("LuaScript::closeTable() вызван излишнее кол-во раз", 163);
  lua_pop(state, 1);
}

LuaTableIteration LuaScript::beginIteration() {
  LuaTableIteration iteration{this, 0};
  if (!lua_istable(state, -1)) return iteration;
  lua_pushnil(state);
  iteration.hasEntry = lua_next(state, -2);
  return iteration;
}

void LuaScript::pop(int count) { lua_pop(state, count); }

// ---------------------------------------------------------------------------
// LuaScript: reads

bool LuaScript::getString(const std::string& name, std::string* out) {
  if (!out) return false;
  pushField(name);
  bool result = toString(out);
  lua_pop(state, 1);
  return result;
}

bool LuaScript::getBool(const std::string& name, bool* out) {
  if (!out) return false;
  pushField(name);
  bool result = isConvertibleNumber(state, -1);
  *out = result && lua_tonumber(state, -1) != 0;
  lua_pop(state, 1);
  return result;
}

bool LuaScript::getColor(const std::string& name, Color* out) {
  if (!out) return false;
  pushField(name);
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool result = lua_istable(state, -1) && getByteAt(1, &r) && getByteAt(2, &g) && getByteAt(3, &b) && getByteAt(4, &a);
  *out = result ? Color::fromChannels(r, g, b, a) : Color();
  lua_pop(state, 1);
  return result;
}

bool LuaScript::getRect(const std::string& name, Rect* out) {
  if (!out) return false;
  pushField(name);
  bool result = readRect(out, 0);
  lua_pop(state, 1);
  return result;
}

bool LuaScript::readRect(Rect* out, int referenceDepth) {
  *out = Rect();
  if (!lua_istable(state, -1)) return false;
  LuaStackGuard guard(state);
  float sides[4];
  bool numbers = true;
  for (int i = 0; i < 4 && numbers; ++i) {
    lua_rawgeti(state, -1, i + 1);
    numbers = isConvertibleNumber(state, -1);
    if (numbers) sides[i] = static_cast<float>(lua_tonumber(state, -1));
    lua_pop(state, 1);
  }
  if (numbers) {
    *out = Rect(sides[0], sides[1], sides[2], sides[3]);
    return true;
  }
  std::string reference[3];
  for (int i = 0; i < 3; ++i) {
    lua_rawgeti(state, -1, i + 1);
    bool text = isText(state, -1);
    if (text) {
      size_t length = 0;
      const char* value = lua_tolstring(state, -1, &length);
      reference[i].assign(value, length);
    }
    lua_pop(state, 1);
    if (!text) return false;
  }
  if (referenceDepth >= kMaxRectReferenceDepth) return false;
  bool result = getRectFromScriptAt(out, reference[0], reference[1], reference[2], referenceDepth + 1);
  if (!result) *out = Rect();
  return result;
}

bool LuaScript::getStringAt(int index, std::string* out) {
  if (!out) return false;
  pushElement(state, index);
  bool result = isText(state, -1);
  if (result) {
    size_t length = 0;
    const char* value = lua_tolstring(state, -1, &length);
    out->assign(value, length);
  }
  lua_pop(state, 1);
  return result;
}

bool LuaScript::getByteAt(int index, uint8_t* out) {
  if (!out) return false;
  pushElement(state, index);
  bool result = readByte(state, -1, out);
  lua_pop(state, 1);
  return result;
}

bool LuaScript::toFloat(float* out) {
  if (!out) return false;
  bool result = isConvertibleNumber(state, -1);
  *out = result ? static_cast<float>(lua_tonumber(state, -1)) : 0.0f;
  return result;
}

bool LuaScript::toInt(int32_t* out) {
  if (!out) return false;
  bool result = isConvertibleNumber(state, -1);
  *out = result ? static_cast<int32_t>(static_cast<uint32_t>(truncateToInt64(lua_tonumber(state, -1)))) : 0;
  return result;
}

bool LuaScript::toUInt(uint32_t* out) {
  if (!out) return false;
  bool result = isConvertibleNumber(state, -1);
  *out = result ? static_cast<uint32_t>(truncateToInt64(lua_tonumber(state, -1))) : 0u;
  return result;
}

bool LuaScript::toString(std::string* out) {
  if (!out) return false;
  if (!isText(state, -1)) {
    out->clear();
    return false;
  }
  size_t length = 0;
  const char* value = lua_tolstring(state, -1, &length);
  out->assign(value, length);
  return true;
}

// ---------------------------------------------------------------------------
// Free readers

bool luaReadVector2(LuaScript& script, const std::string& name, Vector2<float>* out) {
  if (!out) return false;
  lua_State* state = script.getState();
  script.pushField(name);
  *out = Vector2<float>();
  bool result = false;
  if (lua_istable(state, -1)) {
    lua_rawgeti(state, -1, 1);
    lua_rawgeti(state, -2, 2);
    result = isConvertibleNumber(state, -2) && isConvertibleNumber(state, -1);
    if (result) *out = Vector2<float>(float(lua_tonumber(state, -2)), float(lua_tonumber(state, -1)));
    lua_pop(state, 2);
  }
  lua_pop(state, 1);
  return result;
}

bool luaReadIndexedNumber(LuaScript& script, int index, float* out) {
  if (!out) return false;
  lua_State* state = script.getState();
  pushElement(state, index);
  bool result = isConvertibleNumber(state, -1);
  if (result) *out = static_cast<float>(lua_tonumber(state, -1));
  lua_pop(state, 1);
  return result;
}

}  // namespace KR
