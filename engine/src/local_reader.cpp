#include "local_reader.h"

#include <sys/stat.h>

#include <climits>

namespace KR {

LocalFile::~LocalFile() { close(); }

int LocalFile::open(const std::string& path) {
  close();
  std::FILE* opened = std::fopen(path.c_str(), "rb");
  if (!opened) return 0;
  // fopen succeeds on folders; only regular files are content.
  struct stat info;
  if (fstat(fileno(opened), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > INT_MAX) {
    std::fclose(opened);
    return 0;
  }
  stream = opened;
  size = static_cast<int>(info.st_size);
  return 1;
}

int LocalFile::read(void* buffer, int count) {
  if (!stream) return -1;
  if (count <= 0) return 0;
  size_t got = std::fread(buffer, 1, static_cast<size_t>(count), stream);
  if (got == 0 && std::ferror(stream)) {
    close();
    return -1;
  }
  return static_cast<int>(got);
}

int LocalFile::close() {
  if (stream) {
    std::fclose(stream);
    stream = nullptr;
  }
  return 0;
}

int LocalFile::getSize() { return size; }

int LocalFile::tell() {
  if (!stream) return -1;
  long position = std::ftell(stream);
  return position < 0 ? -1 : static_cast<int>(position);
}

int LocalFile::seek(int position) {
  if (!stream) return 0;
  if (position < 0) position = 0;
  if (position > size) position = size;
  std::fseek(stream, position, SEEK_SET);
  return 0;
}

File* LocalReader::open(const std::string& path) {
  LocalFile* file = new LocalFile();
  if (file->open(FileSystem::getContentFolder() + path) || file->open(path)) return file;
  delete file;
  return nullptr;
}

}  // namespace KR
