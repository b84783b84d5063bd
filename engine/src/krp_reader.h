#pragma once
// The packed archive "/data.krp": a header of three 32-bit words (the third is
// the entry count N), a directory of N 136-byte entries laid out as a full
// open-addressing hash table, then the entries' data. The directory is loaded
// once and checked against the archive's real size; a lookup hashes the name
// once and usually compares one entry.
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"
#include "local_reader.h"

namespace KR {

#pragma pack(push, 1)
struct TableEntry {
  char name[128];   // zero-terminated path, e.g. "/config.lua"
  uint32_t offset;  // from the start of the archive
  uint32_t size;
};
#pragma pack(pop)
static_assert(sizeof(TableEntry) == 136, "directory entries are 136 bytes on disk");

constexpr uint32_t kKRPHeaderSize = 12;
constexpr uint32_t kKRPMaxNameLength = 127;

// h = h * 31 + c over the name's bytes taken as signed values, wrapping.
uint32_t krpHash(const char* name);

// A window onto one entry's bytes inside the reader's archive file.
class KRPFile : public File {
 public:
  KRPFile(LocalFile* archive, pthread_mutex_t* archiveLock, uint32_t offset, int32_t size);
  ~KRPFile() override;

  int read(void* buffer, int count) override;
  int close() override;
  int getSize() override;
  int tell() override;
  int open(const std::string& path) override;
  // The position becomes the given one clamped to 0..size.
  int seek(int position);

 private:
  LocalFile* archive;
  pthread_mutex_t* archiveLock;
  uint32_t offset;
  int32_t size;
  int32_t position = 0;
  bool opened = false;
};

class KRPReader : public FileReader {
 public:
  // Reads "/data.krp" in the content folder. A missing archive is logged and
  // leaves a reader that supplies nothing; a damaged one is a fatal error.
  KRPReader();
  // Reads the given archive; for tools and tests.
  explicit KRPReader(const std::string& archivePath);
  ~KRPReader() override;
  KRPReader(const KRPReader&) = delete;
  KRPReader& operator=(const KRPReader&) = delete;

  File* open(const std::string& path) override;
  const TableEntry* findEntry(const char* name) const;

  bool hasDirectory() const { return !directory.empty(); }
  uint32_t entryCount() const { return static_cast<uint32_t>(directory.size()); }
  const TableEntry& entryAt(uint32_t slot) const { return directory[slot]; }
  // Entry comparisons made by findEntry since construction (diagnostics).
  uint64_t comparisonCount() const { return comparisons.load(std::memory_order_relaxed); }

  // Reads the header words and the directory of an open archive and checks them
  // against the archive's size. On failure returns false with a description of
  // the damage in error; nothing is fatal here.
  static bool loadDirectory(LocalFile& archive, uint32_t header[3], std::vector<TableEntry>& entries,
                            std::string& error);

 private:
  void openArchive(const std::string& path);
  void initHashTable();

  std::vector<TableEntry> directory;
  uint32_t header[3] = {0, 0, 0};
  std::unique_ptr<LocalFile> archive;
  std::string archivePath;  // for messages
  pthread_mutex_t archiveLock;
  mutable std::atomic<uint64_t> comparisons{0};
};

}  // namespace KR
