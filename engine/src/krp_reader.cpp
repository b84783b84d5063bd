#include "krp_reader.h"

#include <chrono>
#include <cstring>

#include "format_string.h"
#include "log_system.h"
#include "report_assert.h"
#include "scoped_lock.h"

namespace KR {

namespace {

uint32_t readWord(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool readExactly(LocalFile& file, void* buffer, int count) {
  char* out = static_cast<char*>(buffer);
  int done = 0;
  while (done < count) {
    int got = file.read(out + done, count - done);
    if (got <= 0) return false;
    done += got;
  }
  return true;
}

}  // namespace

uint32_t krpHash(const char* name) {
  uint32_t hash = 0;
  for (const char* c = name; *c; ++c)
    hash = hash * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*c)));
  return hash;
}

// ---- KRPFile ----

KRPFile::KRPFile(LocalFile* archive, pthread_mutex_t* archiveLock, uint32_t offset, int32_t size)
    : archive(archive), archiveLock(archiveLock), offset(offset), size(size) {}

KRPFile::~KRPFile() { opened = false; }

int KRPFile::read(void* buffer, int count) {
  int remaining = size - position;
  if (count > remaining) count = remaining;
  if (count <= 0) return 0;
  ScopedLock guard(ScopedLock::lock(archiveLock));
  archive->seek(static_cast<int>(offset) + position);
  int got = archive->read(buffer, count);
  if (got < 0) {
    close();
    return got;
  }
  position += got;
  return got;
}

int KRPFile::close() {
  opened = false;
  return 0;
}

int KRPFile::getSize() { return size; }

int KRPFile::tell() { return position; }

int KRPFile::open(const std::string&) {
  opened = true;
  return 1;
}

int KRPFile::seek(int newPosition) {
  if (newPosition < 0) newPosition = 0;
  if (newPosition > size) newPosition = size;
  position = newPosition;
  return 0;
}

// ---- KRPReader ----

KRPReader::KRPReader() { openArchive(FileSystem::getContentFolder() + "/data.krp"); }

KRPReader::KRPReader(const std::string& archivePath) { openArchive(archivePath); }

void KRPReader::openArchive(const std::string& path) {
  log("sizeof(TableEntry) = %i", static_cast<int>(sizeof(TableEntry)));
  initRecursiveMutex(&archiveLock);
  archivePath = path;

  archive = std::make_unique<LocalFile>();
  if (!archive->open(path)) {
    archive.reset();
    log("ERROR: Failed to open KRP archive. %s", path.c_str());
    return;
  }
  initHashTable();
}

KRPReader::~KRPReader() {
  if (archive) archive->close();
  pthread_mutex_destroy(&archiveLock);
}

bool KRPReader::loadDirectory(LocalFile& archive, uint32_t header[3], std::vector<TableEntry>& entries,
                              std::string& error) {
  entries.clear();
  const uint64_t archiveSize = static_cast<uint64_t>(archive.getSize());
  unsigned char headerBytes[kKRPHeaderSize];
  archive.seek(0);
  if (archiveSize < kKRPHeaderSize || !readExactly(archive, headerBytes, sizeof(headerBytes))) {
    error = "KRP header is truncated";
    return false;
  }
  for (int i = 0; i < 3; ++i) header[i] = readWord(headerBytes + 4 * i);
  const uint32_t count = header[2];
  if (count == 0) {
    error = "KRP must contain at least one file";
    return false;
  }
  if (kKRPHeaderSize + static_cast<uint64_t>(count) * sizeof(TableEntry) > archiveSize) {
    error = formatString("KRP directory of %u entries does not fit in the archive of %llu bytes", count,
                         static_cast<unsigned long long>(archiveSize));
    return false;
  }
  entries.resize(count);
  archive.seek(static_cast<int>(kKRPHeaderSize));
  if (!readExactly(archive, entries.data(), static_cast<int>(count * sizeof(TableEntry)))) {
    entries.clear();
    error = "KRP directory could not be read";
    return false;
  }
  for (uint32_t slot = 0; slot < count; ++slot) {
    TableEntry& entry = entries[slot];
    if (!std::memchr(entry.name, 0, sizeof(entry.name))) {
      error = formatString("KRP entry name in slot %u is not terminated", slot);
      entries.clear();
      return false;
    }
    // The fields are little-endian on disk.
    entry.offset = readWord(reinterpret_cast<const unsigned char*>(&entry.offset));
    entry.size = readWord(reinterpret_cast<const unsigned char*>(&entry.size));
    if (static_cast<uint64_t>(entry.offset) + entry.size > archiveSize) {
      error = formatString("KRP entry '%s' lies outside the archive (offset %u, size %u, archive %llu bytes)",
                           entry.name, entry.offset, entry.size, static_cast<unsigned long long>(archiveSize));
      entries.clear();
      return false;
    }
  }
  return true;
}

void KRPReader::initHashTable() {
  auto start = std::chrono::steady_clock::now();
  directory.clear();
  std::string error;
  bool loaded = loadDirectory(*archive, header, directory, error);
  log("KRP Archive total files: %i", static_cast<int>(header[2]));
  log("KRP Hash table size: %i", static_cast<int>(header[2] * 140u));
  if (!loaded) KR_FATAL(formatString("%s: %s", error.c_str(), archivePath.c_str()));
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  log("hash table loaded in %.2f", elapsed);
  log("initHashTable done");
}

const TableEntry* KRPReader::findEntry(const char* name) const {
  const uint32_t n = static_cast<uint32_t>(directory.size());
  if (n == 0) return nullptr;
  uint64_t slot = krpHash(name) % n;
  // A full table has no empty slot to stop at: a missing name costs n + 1 comparisons.
  for (uint32_t attempt = 0; attempt <= n; ++attempt, ++slot) {
    const TableEntry& entry = directory[slot % n];
    comparisons.fetch_add(1, std::memory_order_relaxed);
    if (std::strcmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

File* KRPReader::open(const std::string& path) {
  const TableEntry* entry = findEntry(path.c_str());
  if (!entry) return nullptr;
  KRPFile* file = new KRPFile(archive.get(), &archiveLock, entry->offset, static_cast<int32_t>(entry->size));
  file->open(path);
  return file;
}

}  // namespace KR
