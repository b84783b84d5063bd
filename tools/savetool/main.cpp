// savetool write FILE [--cut-scene] | dump FILE | verify FILE [ARENA_BYTES]
//          | corrupt IN OUT OFFSET [MASK] [--keep-checksum]
//          | seeds FOLDER
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/safe_file.h"
#include "savetool.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: savetool write FILE [--cut-scene]\n"
               "       savetool dump FILE\n"
               "       savetool verify FILE [ARENA_BYTES]\n"
               "       savetool corrupt IN OUT OFFSET [MASK] [--keep-checksum]\n"
               "       savetool seeds FOLDER\n");
  return 2;
}

bool writeFile(const std::string& path, const std::string& bytes) {
  std::string error;
  if (KR::Platform::writeFileSafely(path, bytes, &error)) return true;
  std::fprintf(stderr, "savetool: cannot write '%s': %s\n", path.c_str(), error.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace HOG;
  if (argc < 3) return usage();
  const std::string command = argv[1];
  if (command == "write") {
    SaveTool::SampleShape shape;
    shape.cutSceneRunning = argc > 3 && std::strcmp(argv[3], "--cut-scene") == 0;
    return writeFile(argv[2], SaveGame::encode(SaveTool::makeSample(shape))) ? 0 : 1;
  }
  if (command == "seeds") return SaveTool::writeSeeds(argv[2]) ? 0 : 1;
  if (command == "dump" || command == "verify") {
    // The view state arena's length is the view descriptions' to tell; without
    // it the file is sound when some length makes its sections fill it.
    const bool arenaGiven = command == "verify" && argc > 3;
    const size_t arena = arenaGiven ? size_t(std::strtoull(argv[3], nullptr, 0)) : SaveGame::kArenaUnknown;
    std::string reason;
    const int result = SaveGame::checkFile(argv[2], &reason, arena);
    if (result != 0) {
      std::printf("%s: %s (%d)\n", argv[2], reason.c_str(), result);
      return 1;
    }
    if (command == "verify") {
      if (arenaGiven) {
        std::printf("%s: sound\n", argv[2]);
      } else {
        std::string bytes;
        SaveGame::Data data;
        KR::Platform::readWholeFile(argv[2], &bytes);
        SaveGame::decode(bytes, nullptr, &data, nullptr);
        std::printf("%s: sound if its view state arena is %zu bytes long\n", argv[2], data.arena.size());
      }
      return 0;
    }
    std::string bytes;
    SaveGame::Data data;
    KR::Platform::readWholeFile(argv[2], &bytes);
    SaveGame::decode(bytes, nullptr, &data, nullptr);
    std::fputs(SaveTool::dump(data).c_str(), stdout);
    return 0;
  }
  if (command == "corrupt" && argc >= 5) {
    std::string bytes;
    if (!KR::Platform::readWholeFile(argv[2], &bytes)) {
      std::fprintf(stderr, "savetool: cannot read '%s'\n", argv[2]);
      return 1;
    }
    const unsigned long mask = argc > 5 && argv[5][0] != '-' ? std::strtoul(argv[5], nullptr, 0) : 0xff;
    const bool keep = std::strcmp(argv[argc - 1], "--keep-checksum") == 0;
    if (!SaveTool::corrupt(&bytes, std::strtoull(argv[4], nullptr, 0), uint8_t(mask), keep)) {
      std::fprintf(stderr, "savetool: offset beyond the file\n");
      return 1;
    }
    return writeFile(argv[3], bytes) ? 0 : 1;
  }
  return usage();
}
