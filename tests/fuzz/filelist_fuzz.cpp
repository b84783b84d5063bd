// The package index on arbitrary "filelist.lua" and package list files: the
// file system reads them from a content folder and either builds its index or
// stops with its fatal error; nothing else may happen.
//
// Input: the text of "filelist.lua", then any number of package lists, each
// after a line "--@@ <file name>"; a list is written as "/packages/<file name>"
// (letters, digits, '_', '-' and '.' of the name are kept). "config.lua" is
// fixed: platform "pc" with the directory "common".
//
// Built with KR_SEED_WRITER the same file joins the media build's files into
// one seed: `filelist_seeds <folder> <filelist.lua> <package list>...`.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kListMarker[] = "\n--@@ ";

}  // namespace

#ifdef KR_SEED_WRITER

namespace {

std::string readText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <seed folder> <filelist.lua> <package list>...\n", argv[0]);
    return 1;
  }
  std::string seed = readText(argv[2]);
  for (int i = 3; i < argc; ++i) {
    std::string name = argv[i];
    seed += kListMarker + name.substr(name.find_last_of('/') + 1) + "\n" + readText(argv[i]);
  }
  std::ofstream(std::string(argv[1]) + "/media.txt", std::ios::binary) << seed;
  std::ofstream(std::string(argv[1]) + "/filelist_only.txt", std::ios::binary) << readText(argv[2]);
  return 0;
}

#else

#include "config_manager.h"
#include "file_system.h"
#include "fuzz_content.h"

namespace {

std::string safeName(const std::string& name) {
  std::string kept;
  for (char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
        (c == '.' && !kept.empty()))
      kept += c;
  }
  return kept.substr(0, 64);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const KR::Fuzz::ScratchContent& content = KR::Fuzz::startupContent("filelist");
  static std::set<std::string> written;
  for (const std::string& name : written) content.remove("packages/" + name);
  written.clear();

  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t at = input.find(kListMarker);
  content.write("filelist.lua", input.substr(0, at));
  while (at != std::string::npos && written.size() < 16) {
    const size_t nameStart = at + sizeof(kListMarker) - 1;
    const size_t lineEnd = input.find('\n', nameStart);
    const size_t next = lineEnd == std::string::npos ? std::string::npos : input.find(kListMarker, lineEnd);
    const std::string name = safeName(input.substr(nameStart, lineEnd - nameStart));
    if (!name.empty() && lineEnd != std::string::npos) {
      content.write("packages/" + name,
                    input.substr(lineEnd + 1, next == std::string::npos ? next : next - lineEnd - 1));
      written.insert(name);
    }
    at = next;
  }

  KR::FileSystem::setContentFolder(content.folder());
  try {
    KR::FileSystem fileSystem;
    KR::ConfigManager config;
    fileSystem.loadFilesLocationInfo();
    // The entries that work before any list are still there afterwards.
    if (!fileSystem.fileExists("default", "config") || !fileSystem.fileExists("default", "filelist.lua"))
      __builtin_trap();
    size_t entries = 0;
    for (const auto& package : fileSystem.getPackageIndex()) entries += package.second.size();
    (void)entries;
  } catch (const KR::Fuzz::FatalError&) {
  }
  return 0;
}

#endif
