#include "lua_data_file.h"

#include <lua.hpp>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "file_system.h"
#include "lua_script_2.h"

namespace KR {

LuaStateHolder::~LuaStateHolder() {
  if (owns && state) lua_close(state);
}

bool LuaStackRef::isNumber() const { return lua_isnumber(state, index) != 0; }

float LuaStackRef::toFloat() const { return static_cast<float>(lua_tonumber(state, index)); }

void ScopedHeapBuffer::release() {
  std::free(data);
  data = nullptr;
}

bool loadLuaDataFile(LuaStateHolder& holder, const std::string& name) {
  if (!holder.state) return false;
  std::unique_ptr<File> file(FileSystem::getInstance()->openFile("default", name));
  if (!file) return false;
  int size = file->getSize();
  if (size < 0) size = 0;
  ScopedHeapBuffer buffer(static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1)));
  if (!buffer.get()) return false;
  int total = 0;
  int read = 0;
  while (total < size && (read = file->read(buffer.get() + total, size - total)) > 0) total += read;
  // A damaged archive entry is not run as a shorter file.
  if (read < 0) return false;
  buffer.get()[total] = '\0';
  return runLuaDataText(holder, buffer.get(), static_cast<size_t>(total), name);
}

bool runLuaDataText(LuaStateHolder& holder, const char* data, size_t size, const std::string& chunkName) {
  if (!holder.state) return false;
  size_t length = data ? strnlen(data, size) : 0;
  // Data files are source text only: Lua would take a leading escape byte as a
  // precompiled chunk, which is never trusted from a data file.
  if (length > 0 && static_cast<unsigned char>(data[0]) == 27) {
    lua_pushstring(holder.state, "precompiled chunks are not data files");
    return false;
  }
  const std::string name = "@" + chunkName;
  if (luaL_loadbuffer(holder.state, data ? data : "", length, name.c_str()) != 0) return false;
  return luaProtectedCall(holder.state, 0, LUA_MULTRET, "main chunk") == 0;
}

bool readLuaFloat5(const LuaStackRef& table, float* a, float* b, float* c, float* d, float* e) {
  lua_State* state = table.state;
  LuaStackGuard guard(state);
  int index = table.index;
  if (index < 0 && index > LUA_REGISTRYINDEX) index = lua_gettop(state) + index + 1;
  if (!lua_istable(state, index)) return false;
  LuaStackRef items[5];
  for (int i = 0; i < 5; ++i) {
    lua_rawgeti(state, index, i + 1);
    items[i] = LuaStackRef{state, lua_gettop(state)};
  }
  for (const LuaStackRef& item : items) {
    if (!item.isNumber()) return false;
  }
  float* outputs[5] = {a, b, c, d, e};
  for (int i = 0; i < 5; ++i) {
    if (outputs[i]) *outputs[i] = items[i].toFloat();
  }
  return true;
}

}  // namespace KR
