#include "platform/user_paths.h"

#include <errno.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdlib>

namespace KR {
namespace Platform {

std::string userDataHome() {
  const char* data = std::getenv("XDG_DATA_HOME");
  // Relative values are invalid and ignored.
  if (data && data[0] == '/') {
    std::string folder = data;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') {
    std::string folder = home;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return (folder == "/" ? "" : folder) + "/.local/share";
  }
  return std::string();
}

static bool isFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool createFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) return false;
  return isFolder(path);
}

}  // namespace Platform
}  // namespace KR
