#pragma once
// Precompiled Lua chunks for the tests of the loaders that must refuse them
// (or, where the platform's own chunks are allowed, run them).
#include <lua.hpp>

#include <string>

namespace KR {
namespace Test {

// The bytes of `source` precompiled by this platform's Lua; empty when the
// source does not compile.
inline std::string precompiledChunk(const char* source) {
  std::string chunk;
  lua_State* compiler = luaL_newstate();
  if (luaL_loadstring(compiler, source) == 0) {
    lua_dump(
        compiler,
        [](lua_State*, const void* p, size_t size, void* out) {
          static_cast<std::string*>(out)->append(static_cast<const char*>(p), size);
          return 0;
        },
        &chunk);
  }
  lua_close(compiler);
  return chunk;
}

}  // namespace Test
}  // namespace KR
