#include "file_system.h"

#include <chrono>
#include <cstdlib>
#include <cstring>

#include <lua.hpp>

#include "config_manager.h"
#include "format_string.h"
#include "krp_reader.h"
#include "local_reader.h"
#include "log_system.h"
#include "lua_script_2.h"
#include "report_assert.h"
#include "scoped_lock.h"
#include "zip_reader.h"

namespace KR {

namespace {

std::string& contentFolder() {
  static std::string folder;
  return folder;
}

// ---- What the file system needs from the configuration manager. ----

std::string currentLanguage() { return ConfigManager::getInstance()->getCurrentLanguage(); }

std::vector<std::string> currentPlatformDirectories() {
  const std::vector<std::string>* directories = ConfigManager::getInstance()->getCurrentPlatformDirectories();
  return directories ? *directories : std::vector<std::string>();
}

// Calls visit once for each element of the current table of script, in Lua's
// traversal order, with the element made the current table. An element that
// is not a table is a fatal error.
template <typename Visit>
void forEachTableElement(LuaScript& script, const std::string& where, Visit visit) {
  lua_State* state = script.getState();
  for (LuaTableIteration it = script.beginIteration(); it.hasEntry; it.hasEntry = lua_next(state, -2)) {
    if (!script.openCurrentTable()) KR_FATAL(formatString("%s: a list element is not a table", where.c_str()));
    visit();
    script.closeTable();
    lua_pop(state, 1);  // the value; the key stays for the next step
  }
}

}  // namespace

void FileSystem::setContentFolder(const std::string& folder) { contentFolder() = folder; }

std::string FileSystem::getContentFolder() { return contentFolder(); }

FileSystem::FileSystem() {
  initRecursiveMutex(&lock);
  setInstance(this);
  readers.push_back(std::make_unique<KRPReader>());
  auto zip = std::make_unique<ZipReader>();
  zip->openAtStart();
  readers.push_back(std::move(zip));
  readers.push_back(std::make_unique<LocalReader>());
  putDefaultEntries();
}

FileSystem::~FileSystem() {
  {
    ScopedLock guard(ScopedLock::lock(&lock));
    for (auto& reader : readers) reader.reset();
    readers.clear();
    packageIndex.clear();
  }
  pthread_mutex_destroy(&lock);
}

void FileSystem::putDefaultEntries() {
  setEntry("default", "config", "/config.lua");
  setEntry("default", "filelist.lua", "/filelist.lua");
}

void FileSystem::setEntry(const std::string& package, const std::string& name, const std::string& path) {
  packageIndex[package][name] = path;
}

void FileSystem::addEntry(const std::string& package, const std::string& name, const std::string& path) {
  ScopedLock guard(ScopedLock::lock(&lock));
  setEntry(package, name, path);
}

File* FileSystem::openFile(const std::string& package, const std::string& name) {
  ScopedLock guard(ScopedLock::lock(&lock));
  std::string searched = package == "localization" ? currentLanguage() : package;
  auto entries = packageIndex.find(searched);
  if (entries == packageIndex.end() || entries->second.find(name) == entries->second.end()) {
    searched = "default";
    entries = packageIndex.find(searched);
    if (entries == packageIndex.end() || entries->second.find(name) == entries->second.end()) return nullptr;
  }
  const std::string& path = entries->second.find(name)->second;
  for (auto& reader : readers) {
    if (File* file = reader->open(path)) return file;
  }
  log("WARNING: Failed to find '%s' in package '%s'. Content directory: %s", name.c_str(), searched.c_str(),
      getContentFolder().c_str());
  return nullptr;
}

bool FileSystem::fileExists(const std::string& package, const std::string& name) {
  ScopedLock guard(ScopedLock::lock(&lock));
  auto entries = packageIndex.find(package);
  return entries != packageIndex.end() && entries->second.count(name) != 0;
}

FileSystem::PackageIndex FileSystem::getPackageIndex() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return packageIndex;
}

void FileSystem::loadFilesLocationInfo() {
  ScopedLock guard(ScopedLock::lock(&lock));
  auto start = std::chrono::steady_clock::now();
  packageIndex.clear();
  putDefaultEntries();
  for (const std::string& directory : currentPlatformDirectories()) loadDirectoryFileLists(directory);
  double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  log("Filesystem:: load files location info in %.2f msec", elapsed);
}

void FileSystem::loadDirectoryFileLists(const std::string& directory) {
  ScopedLock guard(ScopedLock::lock(&lock));
  LuaScript script;
  if (!script.loadScript("filelist.lua", "default"))
    KR_FATAL(formatString("Failed to load filelist.lua: %s", script.getLoadError().c_str()));
  if (!script.openTable("directories")) KR_FATAL("filelist.lua: no \"directories\" table");
  if (!script.openTable(directory))
    KR_FATAL(formatString("filelist.lua: \"directories\" has no table \"%s\"", directory.c_str()));
  const std::string where = formatString("filelist.lua, directory \"%s\"", directory.c_str());
  forEachTableElement(script, where, [&] {
    std::string path;
    if (!script.getStringAt(1, &path)) KR_FATAL(formatString("%s: an element without a path", where.c_str()));
    // The list file is opened by its own path as its name.
    setEntry("default", path, path);
    loadPackageFileList(path);
  });
  script.closeTable();
  script.closeTable();
}

void FileSystem::loadPackageFileList(const std::string& path) {
  ScopedLock guard(ScopedLock::lock(&lock));
  LuaScript script;
  if (!script.loadScript(path, "default")) return;
  std::string package;
  if (!script.getString("name", &package)) KR_FATAL(formatString("%s: no package \"name\"", path.c_str()));
  if (!script.openTable("filelist")) KR_FATAL(formatString("%s: no \"filelist\" table", path.c_str()));
  forEachTableElement(script, path, [&] {
    std::string name;
    std::string filename;
    if (!script.getString("name", &name) || !script.getString("filename", &filename))
      KR_FATAL(formatString("%s: a \"filelist\" entry without \"name\" or \"filename\"", path.c_str()));
    setEntry(package, name, filename);
  });
  script.closeTable();
}

int readFileToBuffer(const char* name, char** buffer) {
  if (*buffer) {
    std::free(*buffer);
    *buffer = nullptr;
  }
  File* file = FileSystem::getInstance()->openFile("default", name);
  if (!file) return 1;
  int size = file->getSize();
  if (size < 1) {
    delete file;
    return 1;
  }
  char* block = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
  int done = 0;
  int got = 0;
  while (done < size && (got = file->read(block + done, size - done)) > 0) done += got;
  delete file;
  // A read error (a damaged zipped entry) is a failure, never a short text.
  if (got < 0) {
    std::free(block);
    return 1;
  }
  // A file that ends early keeps what was read; the rest is zero.
  std::memset(block + done, 0, static_cast<size_t>(size - done) + 1);
  *buffer = block;
  return 0;
}

}  // namespace KR
