#pragma once
// Data files in Lua syntax: a chunk that only assigns globals (a string here, a
// table of number records there), read from package "default". Failures are
// results; the Lua stack is left as it was found.
//
//   KR::LuaStateHolder holder(KR::newLuaState(), true);
//   if (!KR::loadLuaDataFile(holder, "font_main")) ... ;
//   lua_getglobal(holder.state, "chars");
//   float a, b, c, d, e;
//   KR::readLuaFloat5(KR::LuaStackRef{holder.state, -1}, &a, &b, &c, &d, &e);
#include <cstddef>
#include <cstdint>
#include <string>

struct lua_State;

namespace KR {

// Owns (when `owns` is set) a Lua state and closes it when destroyed.
struct LuaStateHolder {
  lua_State* state = nullptr;
  uint8_t owns = 0;

  LuaStateHolder() = default;
  LuaStateHolder(lua_State* state_, bool owns_) : state(state_), owns(owns_ ? 1 : 0) {}
  ~LuaStateHolder();
  LuaStateHolder(const LuaStateHolder&) = delete;
  LuaStateHolder& operator=(const LuaStateHolder&) = delete;
};

// A value on the Lua stack, by absolute or relative index.
struct LuaStackRef {
  lua_State* state;
  int32_t index;

  // A number, or a string that Lua converts to one.
  bool isNumber() const;
  // The number, the converted string, or 0 for anything else.
  float toFloat() const;
};

// One heap block (malloc) freed when released or destroyed.
class ScopedHeapBuffer {
 public:
  explicit ScopedHeapBuffer(char* data_ = nullptr) : data(data_) {}
  ~ScopedHeapBuffer() { release(); }
  ScopedHeapBuffer(const ScopedHeapBuffer&) = delete;
  ScopedHeapBuffer& operator=(const ScopedHeapBuffer&) = delete;
  void release();
  char* get() const { return data; }

 private:
  char* data;
};

// Runs ("default", name) as Lua source text in the holder's state. True when
// it was found, loaded and ran; Lua's message, when there is one, stays on the
// stack. Precompiled chunks do not load through it.
bool loadLuaDataFile(LuaStateHolder& holder, const std::string& name);
// The same over bytes already in memory (text up to its first zero byte);
// errors name the chunk (the file's name when it came from one).
bool runLuaDataText(LuaStateHolder& holder, const char* data, size_t size, const std::string& chunkName = "data");

// Elements 1..5 of the referenced table; all five must be numbers, else false
// and nothing is written.
bool readLuaFloat5(const LuaStackRef& table, float* a, float* b, float* c, float* d, float* e);

}  // namespace KR
