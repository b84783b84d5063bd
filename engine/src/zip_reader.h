#pragma once
// The zip archive "data.zip" in the content folder. Its central directory is
// walked once; afterwards opening an entry is a map lookup and a jump. Every
// open entry reads through a minizip handle of its own, taken from a pool that
// grows to the largest number of entries open at one time.
#include <minizip/unzip.h>
#include <pthread.h>

#include <map>
#include <string>
#include <vector>

#include "file_system.h"

namespace KR {

class ZipReader;

class ZippedFile : public File {
 public:
  // Takes a handle from the reader's pool (none when the archive is not open).
  explicit ZippedFile(ZipReader* reader);
  ~ZippedFile() override;
  ZippedFile(const ZippedFile&) = delete;
  ZippedFile& operator=(const ZippedFile&) = delete;

  // A damaged entry (its CRC does not match, or its data ends before its
  // size) fails on the read that would complete it, with a log line naming
  // the archive and the entry: no reader takes damaged bytes for content.
  int read(void* buffer, int count) override;
  int close() override;
  int getSize() override;
  int tell() override;
  // Looks the path up without one leading "/" and opens the entry.
  int open(const std::string& path) override;

 private:
  void giveBackHandle();
  int fail(int error, const char* reason);

  unzFile handle = nullptr;
  ZipReader* reader = nullptr;
  std::string name;
  int size = 0;
  int position = 0;
  bool opened = false;
  uint32_t expectedCrc = 0;  // as the entry's directory record gives it
  uint32_t crc = 0;          // of the bytes read so far
};

class ZipReader : public FileReader {
 public:
  // Reads "data.zip" in the content folder.
  ZipReader();
  // Reads the given archive; for tools and tests.
  explicit ZipReader(const std::string& archivePath);
  ~ZipReader() override;
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  File* open(const std::string& path) override;
  // The first attempt at the archive, made at start: when it cannot be used,
  // one log line names it and says why (missing, empty, damaged). Later
  // opens still try again, silently.
  void openAtStart();

  // Pool of archive handles that no file is using.
  unzFile takeHandle();
  void giveBackHandle(unzFile handle);
  size_t pooledHandleCount();

  // Where an entry's directory record is, or false when the archive lacks it.
  bool findEntry(const std::string& name, unz64_file_pos* position) const;
  bool isOpened() const { return opened; }
  const std::string& getArchiveName() const { return archiveName; }

 private:
  void cacheFileLocationInfo(unzFile handle);
  bool openArchive();

  std::string archivePath;  // empty: the content folder's "data.zip"
  std::string archiveName;
  bool opened = false;
  std::map<std::string, unz64_file_pos> locationMap;
  std::vector<unzFile> handlePool;
  pthread_mutex_t poolLock;
};

}  // namespace KR
