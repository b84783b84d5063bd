// Lua states for fuzz targets that run generated programs: an instruction
// budget and a memory ceiling keep a program from running away, and the
// states that open the standard libraries leave out os and io so that it
// cannot touch the system.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lua_script_2.h"

namespace KR {
namespace Fuzz {

// A string concatenation is one instruction whatever its length, so a loop
// that grows a string costs time quadratic in its count: the budget keeps
// such a program well under a second under the sanitizers.
constexpr int kInstructionBudget = 50000;

inline void stopRunaway(lua_State* state, lua_Debug*) { luaL_error(state, "instruction budget spent"); }

// Bytes a state without libraries may hold while its chunk runs.
struct MemoryBudget {
  size_t used = 0;
  size_t limit = 0;  // 0: none
};

inline void* budgetAlloc(void* userData, void* block, size_t oldSize, size_t newSize) {
  auto* budget = static_cast<MemoryBudget*>(userData);
  if (newSize == 0) {
    std::free(block);
    budget->used -= oldSize;
    return nullptr;
  }
  // Only growth is refused: Lua counts on shrinking to succeed.
  if (budget->limit && newSize > oldSize && budget->used + (newSize - oldSize) > budget->limit) return nullptr;
  void* grown = std::realloc(block, newSize);
  if (!grown) return nullptr;
  budget->used = budget->used - oldSize + newSize;
  return grown;
}

// Runs the input as a Lua chunk in a new state without libraries, under a
// 8 MiB budget and the instruction budget. Returns the state with an empty
// stack and both budgets lifted, or nullptr when no state could be made;
// ran tells whether the chunk loaded and ran to its end.
inline lua_State* runBudgetedChunk(const uint8_t* data, size_t size, MemoryBudget* budget, bool* ran) {
  lua_State* state = lua_newstate(budgetAlloc, budget);
  if (!state) return nullptr;
  // Kept small: the sanitizer's allocator holds on to the memory of every
  // size class a program reached, so a larger budget adds up to gigabytes of
  // resident memory over a long run, though nothing leaks.
  budget->limit = 8u << 20;
  lua_sethook(state, stopRunaway, LUA_MASKCOUNT, kInstructionBudget);
  *ran = luaL_loadbuffer(state, reinterpret_cast<const char*>(data), size, "description") == 0 &&
         lua_pcall(state, 0, 0, 0) == 0;
  lua_sethook(state, nullptr, 0, 0);
  budget->limit = 0;
  lua_settop(state, 0);
  return state;
}

// Bytes a state on the engine's counting allocator holds, and whether its
// 64 MiB ceiling applies.
struct MemoryFence {
  size_t inUse = 0;
  bool on = true;
};

inline void* fencedAlloc(void* userData, void* block, size_t oldSize, size_t newSize) {
  auto* fence = static_cast<MemoryFence*>(userData);
  const size_t ceiling = size_t(64) << 20;
  const size_t previous = block ? oldSize : 0;
  if (fence->on && newSize > previous && fence->inUse - previous + newSize > ceiling) return nullptr;
  void* result = luaCountingAlloc(nullptr, block, oldSize, newSize);
  if (newSize == 0 || result) fence->inUse = fence->inUse - previous + newSize;
  return result;
}

// A state on the fenced allocator with the standard libraries but os and io,
// the instruction budget on; nullptr when none could be made.
inline lua_State* newFencedState(MemoryFence* fence) {
  lua_State* state = lua_newstate(fencedAlloc, fence);
  if (!state) return nullptr;
  luaL_openlibs(state);
  lua_pushnil(state);
  lua_setglobal(state, "os");
  lua_pushnil(state);
  lua_setglobal(state, "io");
  lua_sethook(state, stopRunaway, LUA_MASKCOUNT, kInstructionBudget);
  return state;
}

}  // namespace Fuzz
}  // namespace KR
