#pragma once
// Readers of the value kinds of UI tables: named fields of the current table
// of a LuaScript. A field that is absent or not of its kind leaves the output
// untouched and gives false. Flags are numbers (0 false); a Lua boolean is
// not a number and counts as absent.
#include <cstdint>
#include <string>

#include "lua_script_2.h"

namespace KR {

inline bool uiReadFloat(LuaScript& script, const std::string& name, float* out) {
  float value = 0.0f;
  script.pushField(name);
  const bool ok = script.toFloat(&value);
  script.pop();
  if (ok) *out = value;
  return ok;
}

inline bool uiReadInt(LuaScript& script, const std::string& name, int32_t* out) {
  int32_t value = 0;
  script.pushField(name);
  const bool ok = script.toInt(&value);
  script.pop();
  if (ok) *out = value;
  return ok;
}

inline bool uiReadUInt(LuaScript& script, const std::string& name, uint32_t* out) {
  uint32_t value = 0;
  script.pushField(name);
  const bool ok = script.toUInt(&value);
  script.pop();
  if (ok) *out = value;
  return ok;
}

inline bool uiReadFlag(LuaScript& script, const std::string& name, bool* out) {
  bool value = false;
  if (!script.getBool(name, &value)) return false;
  *out = value;
  return true;
}

inline bool uiReadString(LuaScript& script, const std::string& name, std::string* out) {
  std::string value;
  if (!script.getString(name, &value)) return false;
  *out = value;
  return true;
}

inline bool uiReadPair(LuaScript& script, const std::string& name, Vector2<float>* out) {
  Vector2<float> value;
  if (!luaReadVector2(script, name, &value)) return false;
  *out = value;
  return true;
}

inline bool uiReadColor(LuaScript& script, const std::string& name, Color* out) {
  Color value;
  if (!script.getColor(name, &value)) return false;
  *out = value;
  return true;
}

}  // namespace KR
