#include "config_manager.h"

#include <lua.hpp>

#include "format_string.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "report_assert.h"

namespace KR {

std::string& currentPlatformName() {
  static std::string name;
  return name;
}

ConfigManager::ConfigManager() {
  setInstance(this);
  load();
}

ConfigManager::ConfigManager(NoLoad) { setInstance(this); }

ConfigManager::~ConfigManager() {
  currentPlatform = nullptr;
  platforms.clear();
  currentLanguage.clear();
}

void ConfigManager::load() {
  currentPlatform = nullptr;
  platforms.clear();
  LuaScript script;
  if (!script.loadScript("config", "default"))
    KR_FATAL(formatString("Failed to load config file config.lua: %s", script.getLoadError().c_str()));
  if (!script.openTable("config")) KR_FATAL("Failed to open table \"config\" in config.lua");
  if (!script.openTable("platforms")) KR_FATAL("config.lua: the config table has no \"platforms\" table");

  lua_State* state = script.getState();
  LuaTableIteration entry = script.beginIteration();
  while (entry.hasEntry) {
    // Stack: platforms, key, value.
    if (!lua_istable(state, -1)) KR_FATAL("config.lua: an element of \"platforms\" is not a table");
    PlatformConfig platform;
    loadPlatform(script, platform);
    platforms.push_back(std::move(platform));
    lua_pop(state, 1);
    entry.hasEntry = lua_next(state, -2);
  }
  script.closeTable();

  std::string& platformName = currentPlatformName();
  if (platformName.empty() && !script.getString("currentPlatform", &platformName))
    KR_FATAL("config.lua: \"currentPlatform\" is missing");

  currentPlatform = nullptr;
  for (PlatformConfig& platform : platforms) {
    if (platform.name == platformName) {
      currentPlatform = &platform;
      break;
    }
  }
  if (!currentPlatform)
    KR_FATAL(formatString("Failed to find platform with specified name: \"%s\" in config.lua", platformName.c_str()));
  log("Current platform: %s", platformName.c_str());

  if (!script.getString("currentLanguage", &currentLanguage)) currentLanguage = "en";
  log("Current language: %s", currentLanguage.c_str());
  script.closeTable();
}

void ConfigManager::loadPlatform(LuaScript& script, PlatformConfig& platform) {
  // The element table is on top of the stack; read it through a depth of its own.
  script.openCurrentTable();
  lua_State* state = script.getState();

  if (!script.getString("name", &platform.name)) KR_FATAL("config.lua: a platform has no \"name\"");

  if (!script.openTable("directories"))
    KR_FATAL(formatString("config.lua: platform \"%s\" has no \"directories\" table", platform.name.c_str()));
  LuaTableIteration entry = script.beginIteration();
  while (entry.hasEntry) {
    int type = lua_type(state, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
      // Copy before converting: a number turned into text in place would
      // confuse the traversal's key.
      lua_pushvalue(state, -1);
      size_t length = 0;
      const char* text = lua_tolstring(state, -1, &length);
      platform.directories.emplace_back(text, length);
      lua_pop(state, 1);
    }
    lua_pop(state, 1);
    entry.hasEntry = lua_next(state, -2);
  }
  script.closeTable();

  bool resolution = false;
  if (script.openTable("resolution")) {
    lua_rawgeti(state, -1, 1);
    bool width = script.toInt(&platform.resolutionWidth);
    lua_pop(state, 1);
    lua_rawgeti(state, -1, 2);
    bool height = script.toInt(&platform.resolutionHeight);
    lua_pop(state, 1);
    resolution = width && height;
    script.closeTable();
  }
  if (!resolution)
    KR_FATAL(formatString("config.lua: platform \"%s\": \"resolution\" must be { width, height } in whole numbers",
                          platform.name.c_str()));

  script.pushField("fullscreenFitType");
  if (!script.toUInt(&platform.fullscreenFitType)) platform.fullscreenFitType = 0;
  script.pop();

  script.pushField("fullscreenMinimalAspect");
  if (!script.toFloat(&platform.fullscreenMinimalAspect)) platform.fullscreenMinimalAspect = 1.33f;
  script.pop();

  platform.workspaceZoom = 1.0f;
  if (platform.fullscreenFitType == 2) {
    script.pushField("workspaceZoom");
    if (!script.toFloat(&platform.workspaceZoom)) platform.workspaceZoom = 1.0f;
    script.pop();
  }
  script.closeTable();
}

const std::vector<std::string>* ConfigManager::getCurrentPlatformDirectories() const {
  const std::string& name = currentPlatformName();
  for (const PlatformConfig& platform : platforms) {
    if (platform.name == name) return &platform.directories;
  }
  return nullptr;
}

}  // namespace KR
