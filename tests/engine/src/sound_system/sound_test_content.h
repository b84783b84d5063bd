#pragma once
// Content for the sound tests: Ogg Vorbis files made by the vorbis writer in a
// scratch content folder, indexed in package "default" of a fresh file system.
#include <AL/alc.h>
#include <AL/alext.h>
#include <sys/stat.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "sound_system/sound_device_oal.h"
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

// While it lives, sound managers open OpenAL Soft's loopback device, which
// plays only as far as mix asks: what a test hears is counted in the mixer's
// own samples, however busy the machine is.
class LoopbackMixer {
 public:
  explicit LoopbackMixer(int rate = 44100) : rate(rate) { SoundDevice::useLoopback(rate); }
  ~LoopbackMixer() { SoundDevice::useLoopback(0); }
  LoopbackMixer(const LoopbackMixer&) = delete;
  LoopbackMixer& operator=(const LoopbackMixer&) = delete;

  // Mixes the next frames of the current context's device and appends their
  // left and right samples to left and right.
  void mix(int frames) {
    ALCcontext* context = alcGetCurrentContext();
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!context || !render || frames <= 0) return;
    std::vector<int16_t> buffer(size_t(frames) * 2);
    render(alcGetContextsDevice(context), buffer.data(), frames);
    for (int f = 0; f < frames; ++f) {
      left.push_back(buffer[size_t(f) * 2]);
      right.push_back(buffer[size_t(f) * 2 + 1]);
    }
  }

  const int rate;
  std::vector<int16_t> left, right;
};

}  // namespace Test
}  // namespace KR
