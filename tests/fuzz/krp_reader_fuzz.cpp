// Packed-archive loading on arbitrary bytes: the directory check must refuse
// every damaged archive without reading outside it, and an accepted one must
// serve each entry's bytes within its bounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "krp_reader.h"
#include "log_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static KR::LogSystem* logSystem = new KR::LogSystem();
  (void)logSystem;
  static const std::string path = "/tmp/krp_reader_fuzz_" + std::to_string(getpid()) + ".krp";

  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);

  KR::LocalFile archive;
  if (!archive.open(path)) return 0;
  uint32_t header[3];
  std::vector<KR::TableEntry> entries;
  std::string error;
  bool valid = KR::KRPReader::loadDirectory(archive, header, entries, error);
  archive.close();
  if (!valid) return 0;

  KR::KRPReader reader(path);
  std::vector<char> buffer(4096);
  for (uint32_t slot = 0; slot < reader.entryCount() && slot < 64; ++slot) {
    const KR::TableEntry& entry = reader.entryAt(slot);
    std::unique_ptr<KR::File> file(reader.open(entry.name));
    if (!file) continue;
    auto* krp = static_cast<KR::KRPFile*>(file.get());
    int total = 0;
    int got;
    while ((got = file->read(buffer.data(), 1000)) > 0) total += got;
    if (total != file->getSize()) __builtin_trap();
    krp->seek(file->getSize() / 2);
    file->read(buffer.data(), static_cast<int>(buffer.size()));
    krp->seek(-1);
    file->read(buffer.data(), 7);
  }
  reader.findEntry("/not/in/the/archive");
  std::remove(path.c_str());
  return 0;
}
