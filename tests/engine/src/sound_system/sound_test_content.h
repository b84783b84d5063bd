#pragma once
// Content for the sound tests: Ogg Vorbis files made by the vorbis writer in a
// scratch content folder, indexed in package "default" of a fresh file system.
#include <sys/stat.h>

#include <map>
#include <memory>
#include <string>

#include "file_system.h"
#include "support/test_support.h"
#include "vorbis_writer.h"

namespace KR {
namespace Test {

inline std::string makeToneFile(int channels, int rate, int frames, double frequency = 440.0) {
  return Tools::encodeVorbis(Tools::makeTone(channels, rate, frames, frequency, 0.5));
}

class SoundContent {
 public:
  // files: entry name -> file bytes; each lands at "/sounds/<name>.ogg".
  explicit SoundContent(const std::map<std::string, std::string>& files) {
    folder = scratchDir("sound-content") + "/";
    previousFolder = FileSystem::getContentFolder();
    FileSystem::setContentFolder(folder);
    std::string list = "name = 'default'\nfilelist = {\n";
    mkdir((folder + "sounds").c_str(), 0755);
    for (const auto& file : files) {
      writeFile(folder + "sounds/" + file.first + ".ogg", file.second);
      list += "  { name = '" + file.first + "', filename = '/sounds/" + file.first + ".ogg' },\n";
    }
    list += "}\n";
    writeFile(folder + "sounds.lua", list);
    writeFile(folder + "filelist.lua", "directories = { test = { { '/sounds.lua' } } }\n");
    fileSystem.reset(new FileSystem);
    fileSystem->loadDirectoryFileLists("test");
  }
  ~SoundContent() {
    fileSystem.reset();
    FileSystem::setContentFolder(previousFolder);
  }

  std::string folder;

 private:
  std::string previousFolder;
  std::unique_ptr<FileSystem> fileSystem;
};

}  // namespace Test
}  // namespace KR
