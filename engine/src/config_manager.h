#pragma once
// Start-up settings read once from "config.lua" (resource "config" of package
// "default"): the platform records, the current platform and the current
// language. Read-only after construction, so readers on any thread take no lock.
#include <cstdint>
#include <string>
#include <vector>

#include "singleton.h"

namespace KR {

class LuaScript;

struct PlatformConfig {
  std::string name;
  std::vector<std::string> directories;
  int32_t resolutionWidth = 0;
  int32_t resolutionHeight = 0;
  uint32_t fullscreenFitType = 0;
  float fullscreenMinimalAspect = 1.33f;
  float workspaceZoom = 1.0f;
};

// The process-wide name of the current platform: empty at start; load() fills
// it from "currentPlatform" only while it is still empty, so the host may
// choose a platform before the configuration is read.
std::string& currentPlatformName();

class ConfigManager : public Singleton<ConfigManager> {
 public:
  // Vertex-format flags: position (1), normal (2), diffuse colour (4), one
  // texture-coordinate set (16).
  static constexpr uint32_t kEngineVertexFormat = 21;

  // Sets the instance and reads "config.lua"; a missing required key is fatal.
  ConfigManager();
  ~ConfigManager() override;

  void load();

  // Directories of the platform named by currentPlatformName(), or null.
  const std::vector<std::string>* getCurrentPlatformDirectories() const;

  // For tests that need the manager without a configuration file: instance
  // set, nothing read; fill the fields by hand.
  struct NoLoad {};
  explicit ConfigManager(NoLoad);

  const PlatformConfig* getCurrentPlatform() const { return currentPlatform; }
  const std::string& getCurrentLanguage() const { return currentLanguage; }

  uint32_t vertexFormatFlags = kEngineVertexFormat;
  std::vector<PlatformConfig> platforms;
  // Never null after load().
  PlatformConfig* currentPlatform = nullptr;
  // Package of the current language, for example "en".
  std::string currentLanguage;

 private:
  void loadPlatform(LuaScript& script, PlatformConfig& platform);
};

}  // namespace KR
