// The zip archive "data.zip" on arbitrary bytes, read the two ways the game
// reads it: every entry (up to 64) straight through the zip reader, and the
// two entries the file system knows before any package list ("config" and
// "filelist.lua") through the file system's reader chain. An entry read to
// its end gives exactly its size; a damaged one ends in a read error; nothing
// reads outside the archive.
//
// Built with KR_SEED_WRITER the same file writes seed archives of the given
// files, deflated and stored: `zip_reader_seeds <folder> <file>...`.
#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifdef KR_SEED_WRITER

#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <seed folder> <file>...\n", argv[0]);
    return 1;
  }
  const std::string folder = argv[1];
  for (int method : {Z_DEFLATED, 0}) {
    const std::string path = folder + (method ? "/deflated.zip" : "/stored.zip");
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) return 1;
    for (int i = 2; i < argc; ++i) {
      std::ifstream in(argv[i], std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      const std::string text = bytes.str();
      std::string name = argv[i];
      name = name.substr(name.find_last_of('/') + 1);
      zip_fileinfo info = {};
      if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                method ? Z_DEFAULT_COMPRESSION : 0, 0) != ZIP_OK ||
          zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size())) != ZIP_OK ||
          zipCloseFileInZip(zip) != ZIP_OK)
        return 1;
    }
    if (zipClose(zip, nullptr) != ZIP_OK) return 1;
  }
  return 0;
}

#else

#include "file_system.h"
#include "fuzz_content.h"
#include "log_system.h"
#include "zip_reader.h"

namespace {

// Reads to the end in odd-sized parts; a clean end must come at the entry's size.
void readThrough(KR::File* file) {
  std::vector<char> buffer(1021);
  int total = 0;
  int got;
  while ((got = file->read(buffer.data(), static_cast<int>(buffer.size()))) > 0) total += got;
  if (got == 0 && total != file->getSize()) __builtin_trap();
  if (got < 0 && file->read(buffer.data(), 1) >= 0) __builtin_trap();  // closed after the error
}

std::vector<std::string> entryNames(const std::string& path) {
  std::vector<std::string> names;
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return names;
  char name[256];
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK && names.size() < 64; status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK) break;
    // minizip ends the name with a zero only when it fits with one.
    if (info.size_filename < sizeof(name)) names.push_back(name);
  }
  unzClose(zip);
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  static KR::Fuzz::ScratchContent content("zip_reader");
  (void)logSystem;
  content.write("data.zip", data, size);
  const std::string archive = content.folder() + "data.zip";

  {
    KR::ZipReader reader(archive);
    reader.openAtStart();
    for (const std::string& name : entryNames(archive)) {
      std::unique_ptr<KR::File> file(reader.open(name));
      if (file) readThrough(file.get());
    }
    // Two files open at once take two handles from the pool.
    std::unique_ptr<KR::File> first(reader.open("config.lua"));
    std::unique_ptr<KR::File> second(reader.open("config.lua"));
    if (first && second) {
      readThrough(second.get());
      readThrough(first.get());
    }
  }

  KR::FileSystem::setContentFolder(content.folder());
  try {
    KR::FileSystem fileSystem;
    for (const char* name : {"config", "filelist.lua"}) {
      std::unique_ptr<KR::File> file(fileSystem.openFile("default", name));
      if (file) readThrough(file.get());
    }
    char* buffer = nullptr;
    if (KR::readFileToBuffer("config", &buffer) == 0) std::free(buffer);
  } catch (const KR::Fuzz::FatalError&) {
  }
  return 0;
}

#endif
