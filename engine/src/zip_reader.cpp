#include "zip_reader.h"

#include <sys/stat.h>
#include <zlib.h>

#include <chrono>

#include "log_system.h"
#include "scoped_lock.h"

namespace KR {

namespace {

// Entry names in the central directory are at most this long.
constexpr size_t kMaxZipName = 255;

}  // namespace

// ---- ZippedFile ----

ZippedFile::ZippedFile(ZipReader* reader) : handle(reader->takeHandle()), reader(reader) {}

ZippedFile::~ZippedFile() {
  close();
  giveBackHandle();
}

void ZippedFile::giveBackHandle() {
  if (handle) {
    reader->giveBackHandle(handle);
    handle = nullptr;
  }
}

int ZippedFile::open(const std::string& path) {
  name = path;
  if (!name.empty() && name[0] == '/') name.erase(0, 1);
  // Names are UTF-8 both in the index and in archives made by our tools, so the
  // name is looked up as it stands.
  if (!handle || name.size() > kMaxZipName) return 0;
  unz64_file_pos position;
  if (!reader->findEntry(name, &position)) return 0;
  if (unzGoToFilePos64(handle, &position) != UNZ_OK) return 0;
  unz_file_info64 info;
  if (unzGetCurrentFileInfo64(handle, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return 0;
  size = static_cast<int>(static_cast<uint32_t>(info.uncompressed_size));
  expectedCrc = static_cast<uint32_t>(info.crc);
  if (unzOpenCurrentFile(handle) != UNZ_OK) return 0;
  opened = true;
  this->position = 0;
  crc = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
  return 1;
}

int ZippedFile::read(void* buffer, int count) {
  // After close the handle may already serve another file.
  if (!opened) return -1;
  if (count <= 0) return 0;
  int got = unzReadCurrentFile(handle, buffer, static_cast<unsigned>(count));
  if (got < 0) return fail(got, "unreadable data");
  // minizip checks the CRC only when the entry is closed, and a deflate
  // stream that ends early just reads nothing more; both are caught here.
  if (got == 0 && position < size) return fail(UNZ_ERRNO, "data ends before the entry's size");
  crc = static_cast<uint32_t>(crc32(crc, static_cast<const Bytef*>(buffer), static_cast<uInt>(got)));
  if (got > 0 && position + got >= size && crc != expectedCrc) return fail(UNZ_CRCERROR, "CRC mismatch");
  position += got;
  return got;
}

int ZippedFile::fail(int error, const char* reason) {
  log("ZipReader: damaged entry %s in %s: %s (%d)", name.c_str(), reader->getArchiveName().c_str(), reason, error);
  close();
  return error;
}

int ZippedFile::close() {
  if (opened) {
    unzCloseCurrentFile(handle);
    opened = false;
    giveBackHandle();
  }
  return 0;
}

int ZippedFile::getSize() { return size; }

int ZippedFile::tell() { return position; }

// ---- ZipReader ----

ZipReader::ZipReader() { initRecursiveMutex(&poolLock); }

ZipReader::ZipReader(const std::string& archivePath) : archivePath(archivePath) { initRecursiveMutex(&poolLock); }

ZipReader::~ZipReader() {
  {
    ScopedLock guard(ScopedLock::lock(&poolLock));
    for (unzFile pooled : handlePool) {
      unzCloseCurrentFile(pooled);
      unzClose(pooled);
    }
    handlePool.clear();
  }
  pthread_mutex_destroy(&poolLock);
}

bool ZipReader::openArchive() {
  archiveName = archivePath.empty() ? FileSystem::getContentFolder() + "data.zip" : archivePath;
  unzFile first = unzOpen64(archiveName.c_str());
  if (first) {
    opened = true;
    cacheFileLocationInfo(first);
    giveBackHandle(first);
  }
  return opened;
}

void ZipReader::openAtStart() {
  if (opened || openArchive()) return;
  struct stat info;
  const char* reason = "damaged: no zip directory found";
  if (::stat(archiveName.c_str(), &info) != 0)
    reason = "missing";
  else if (info.st_size == 0)
    reason = "empty";
  log("ZipReader: the archive %s is %s; its content is taken from elsewhere", archiveName.c_str(), reason);
}

File* ZipReader::open(const std::string& path) {
  if (!opened && !openArchive()) return nullptr;
  ZippedFile* file = new ZippedFile(this);
  if (file->open(path) == 1) return file;
  delete file;
  return nullptr;
}

void ZipReader::cacheFileLocationInfo(unzFile handle) {
  auto start = std::chrono::steady_clock::now();
  char entryName[kMaxZipName + 1];
  for (int status = unzGoToFirstFile(handle); status == UNZ_OK; status = unzGoToNextFile(handle)) {
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(handle, &info, entryName, sizeof(entryName), nullptr, 0, nullptr, 0) != UNZ_OK) break;
    unz64_file_pos position;
    if (unzGetFilePos64(handle, &position) != UNZ_OK) break;
    // A name cut short by the buffer would be found under the wrong key.
    if (info.size_filename > kMaxZipName) continue;
    locationMap[entryName] = position;
  }
  double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  log("ZipReader::cacheFileLocationInfo: done in %.2f msec", elapsed);
}

bool ZipReader::findEntry(const std::string& name, unz64_file_pos* position) const {
  auto found = locationMap.find(name);
  if (found == locationMap.end()) return false;
  *position = found->second;
  return true;
}

unzFile ZipReader::takeHandle() {
  ScopedLock guard(ScopedLock::lock(&poolLock));
  if (!opened) return nullptr;
  if (handlePool.empty()) return unzOpen64(archiveName.c_str());
  unzFile handle = handlePool.back();
  handlePool.pop_back();
  return handle;
}

void ZipReader::giveBackHandle(unzFile handle) {
  ScopedLock guard(ScopedLock::lock(&poolLock));
  handlePool.push_back(handle);
}

size_t ZipReader::pooledHandleCount() {
  ScopedLock guard(ScopedLock::lock(&poolLock));
  return handlePool.size();
}

}  // namespace KR
