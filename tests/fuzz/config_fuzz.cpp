// The configuration "config.lua" on arbitrary text: the configuration manager
// either reads a current platform with its directories and resolution, or
// stops with its fatal error; nothing else may happen. The package index is
// then rebuilt from a "filelist.lua" without directories (fatal when the
// platform names any). Seeds: the media build's "config.lua".
#include <cstdint>
#include <string>

#include "config_manager.h"
#include "file_system.h"
#include "fuzz_content.h"
#include "log_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  static KR::Fuzz::ScratchContent content("config");
  (void)logSystem;
  content.write("config.lua", data, size);
  content.write("filelist.lua", "directories = {}\n");

  KR::FileSystem::setContentFolder(content.folder());
  KR::currentPlatformName().clear();
  try {
    KR::FileSystem fileSystem;
    KR::ConfigManager config;
    const KR::PlatformConfig* platform = config.getCurrentPlatform();
    if (!platform || platform->name != KR::currentPlatformName()) __builtin_trap();
    if (!config.getCurrentPlatformDirectories()) __builtin_trap();
    fileSystem.loadFilesLocationInfo();
  } catch (const KR::Fuzz::FatalError&) {
  }
  return 0;
}
