#include "platform/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace KR {
namespace Platform {

namespace {

bool fail(std::string* error, const char* step) {
  if (error) *error = std::string(step) + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool writeFileSafely(const std::string& path, const std::string& bytes, std::string* error, bool flush) {
  // A new name each time, made exclusively: a folder or a pipe left at any
  // fixed name can neither block the write nor be opened by it.
  std::string name = path + ".XXXXXX.tmp";
  const int fd = ::mkstemps(&name[0], 4);
  if (fd < 0) return fail(error, "cannot create the temporary file");
  const std::string temporary = name;
  ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  ::fchmod(fd, 0644);
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      fail(error, "cannot write");
      ::close(fd);
      ::unlink(temporary.c_str());
      return false;
    }
    written += size_t(n);
  }
  if (flush && ::fsync(fd) != 0) {
    fail(error, "cannot flush");
    ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  }
  if (::close(fd) != 0) {
    fail(error, "cannot close");
    ::unlink(temporary.c_str());
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    fail(error, "cannot replace the file");
    ::unlink(temporary.c_str());
    return false;
  }
  // The rename itself lasts only once the folder is on disk.
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    if (flush) ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool readWholeFile(const std::string& path, std::string* bytes, size_t maxSize, std::string* reason) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return fail(reason, "it cannot be opened");
  bytes->clear();
  struct stat info;
  if (::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode) && uint64_t(info.st_size) > uint64_t(maxSize)) {
    std::fclose(file);
    if (reason) *reason = "it is larger than " + std::to_string(maxSize) + " bytes";
    return false;
  }
  char buffer[4096];
  size_t n = 0;
  // A file that grows while it is read is held to the limit as well.
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    if (n > maxSize - bytes->size()) {
      std::fclose(file);
      bytes->clear();
      if (reason) *reason = "it is larger than " + std::to_string(maxSize) + " bytes";
      return false;
    }
    bytes->append(buffer, n);
  }
  const bool ok = !std::ferror(file);
  std::fclose(file);
  if (!ok) return fail(reason, "it cannot be read");
  return true;
}

int removeStaleTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".tmp") != 0) continue;
    if (fileExists(base + name) && ::unlink((base + name).c_str()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

bool fileExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

PathKind pathKind(const std::string& path, std::string* what) {
  struct stat info;
  auto named = [what](PathKind kind, const char* text) {
    if (what) *what = text;
    return kind;
  };
  if (::stat(path.c_str(), &info) != 0) return named(PathKind::Missing, "missing");
  if (S_ISREG(info.st_mode)) return named(PathKind::File, "a file");
  if (S_ISDIR(info.st_mode)) return named(PathKind::Folder, "a folder");
  if (S_ISFIFO(info.st_mode)) return named(PathKind::Other, "a named pipe");
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return named(PathKind::Other, "a device");
  if (S_ISSOCK(info.st_mode)) return named(PathKind::Other, "a socket");
  return named(PathKind::Other, "not a regular file");
}

}  // namespace Platform
}  // namespace KR
