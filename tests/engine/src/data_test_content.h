#pragma once
// A scratch content folder with loose files and a package index, and the
// engine services that reading it needs (log, allocators, file system,
// configuration). Tests describe packages, then start the services.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "config_manager.h"
#include "engine_allocators.h"
#include "file_system.h"
#include "support/test_support.h"

namespace KR {
namespace Test {

constexpr const char* kDefaultConfig =
    "config = {\n"
    "  platforms = { { name = 'pc', directories = { 'pc' }, resolution = { 1024, 768 } } },\n"
    "  currentPlatform = 'pc',\n"
    "  currentLanguage = 'en',\n"
    "}\n";

class ScratchContent {
 public:
  explicit ScratchContent(const std::string& hint) : folder(scratchDir(hint)) { config = kDefaultConfig; }

  // A loose file at content path `path` ("/x/y.xml").
  void writeLoose(const std::string& path, const std::string& bytes) {
    std::string full = folder + path;
    std::string command = "mkdir -p \"$(dirname '" + full + "')\"";
    if (std::system(command.c_str()) != 0) return;
    writeFile(full, bytes);
  }

  // Entry `name` of `package`, stored as a loose file and listed in the index.
  void addEntry(const std::string& package, const std::string& name, const std::string& bytes) {
    std::string path = "/" + package + "/" + name + ".dat";
    writeLoose(path, bytes);
    packages[package][name] = path;
  }

  // Writes config.lua, filelist.lua and one package list per package, then
  // starts the services: configuration read, index built.
  void start() {
    writeLoose("/config.lua", config);
    std::string filelist = "directories = { pc = {\n";
    for (const auto& package : packages) {
      std::string listPath = "/lists/" + package.first + ".lua";
      std::string list = "name = '" + package.first + "'\nfilelist = {\n";
      for (const auto& entry : package.second) {
        list += "  { name = '" + entry.first + "', filename = '" + entry.second + "' },\n";
      }
      list += "}\n";
      writeLoose(listPath, list);
      filelist += "  { '" + listPath + "' },\n";
    }
    filelist += "} }\n";
    for (const std::string& directory : extraDirectories) filelist += "directories['" + directory + "'] = {}\n";
    writeLoose("/filelist.lua", filelist);

    currentPlatformName().clear();
    FileSystem::setContentFolder(folder);
    allocators = std::make_unique<EngineAllocators>();
    allocators->init();
    fileSystem = std::make_unique<FileSystem>();
    configManager = std::make_unique<ConfigManager>();
    fileSystem->loadFilesLocationInfo();
  }

  std::string folder;
  std::string config;
  // Platform directories listed in filelist.lua with no package ("pc" holds them all).
  std::vector<std::string> extraDirectories;
  std::map<std::string, std::map<std::string, std::string>> packages;
  LogCapture log;
  std::unique_ptr<EngineAllocators> allocators;
  std::unique_ptr<FileSystem> fileSystem;
  std::unique_ptr<ConfigManager> configManager;
};

}  // namespace Test
}  // namespace KR
