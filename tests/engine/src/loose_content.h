#pragma once
// A content folder of loose files for the tests: each file is registered
// under (package, name) through a package list, and a file system is built
// over the folder. The content folder in use before is put back at the end.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "support/test_support.h"

namespace KR {
namespace Test {

class LooseContent {
 public:
  explicit LooseContent(const std::string& hint = "images")
      : previousFolder(FileSystem::getContentFolder()), folder(scratchDir(hint) + "/") {}
  ~LooseContent() {
    fileSystem.reset();
    FileSystem::setContentFolder(previousFolder);
  }

  void add(const std::string& package, const std::string& name, const std::vector<uint8_t>& bytes) {
    add(package, name, std::string(bytes.begin(), bytes.end()));
  }
  void add(const std::string& package, const std::string& name, const std::string& bytes) {
    const std::string path = "/" + package + "_" + name + ".bin";
    writeFile(folder + path.substr(1), bytes);
    entries[package] += "  { name = '" + name + "', filename = '" + path + "' },\n";
  }

  // Writes the lists and builds the file system over the folder.
  FileSystem& mount() {
    std::string lists;
    for (const auto& package : entries) {
      const std::string list = "/list_" + package.first + ".lua";
      writeFile(folder + list.substr(1), "name = '" + package.first + "'\nfilelist = {\n" + package.second + "}\n");
      lists += "{ '" + list + "' }, ";
    }
    writeFile(folder + "filelist.lua", "directories = { test = { " + lists + "} }\n");
    FileSystem::setContentFolder(folder);
    fileSystem = std::make_unique<FileSystem>();
    fileSystem->loadDirectoryFileLists("test");
    return *fileSystem;
  }

  std::unique_ptr<FileSystem> fileSystem;

 private:
  std::string previousFolder;
  std::string folder;
  std::map<std::string, std::string> entries;
};

}  // namespace Test
}  // namespace KR
