#pragma once
// The virtual file system. Content is addressed by (package, name); a package
// index read from "filelist.lua" maps each pair to a path, and the path is
// offered to a chain of readers: the packed archive "/data.krp", the zip
// archive "data.zip", then loose files under the content folder.
//
// Typical use:
//   KR::File* file = KR::FileSystem::getInstance()->openFile("default", "config");
//   if (file) { std::vector<char> bytes(file->getSize()); file->read(bytes.data(), file->getSize()); delete file; }
#include <pthread.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "singleton.h"

namespace KR {

// An open content file, owned by whoever asked for it; deleting it closes it.
class File {
 public:
  virtual ~File() = default;
  // Reads up to count bytes; returns the number read (0 at the end). A negative
  // result is an error, after which the file is closed.
  virtual int read(void* buffer, int count) = 0;
  // Always 0; closing twice is harmless.
  virtual int close() = 0;
  virtual int getSize() = 0;
  virtual int tell() = 0;
  // 1 when open, 0 when not.
  virtual int open(const std::string& path) = 0;
};

// A source of files: open gives a new file that the caller owns, or null when
// this reader cannot supply the path.
class FileReader {
 public:
  virtual ~FileReader() = default;
  virtual File* open(const std::string& path) = 0;
};

class FileSystem : public Singleton<FileSystem> {
 public:
  using PackageEntries = std::map<std::string, std::string>;   // entry name -> path
  using PackageIndex = std::map<std::string, PackageEntries>;  // package -> entries

  // Builds the reader chain (packed archive, zip archive, loose files) over the
  // current content folder, and puts the two entries of "default" that work
  // before any package list is read: "config" and "filelist.lua".
  FileSystem();
  ~FileSystem() override;

  // The folder content is read from: the executable's folder followed by
  // "/media/", set by the host before the file system is made. Readers take it
  // when they open their archives.
  static void setContentFolder(const std::string& folder);
  static std::string getContentFolder();

  // A new file for (package, name), owned by the caller, or null. Package
  // "localization" stands for the current language's package; a name the
  // package lacks is taken from "default".
  File* openFile(const std::string& package, const std::string& name);
  // True when the index holds that name in that very package (no mapping, no fall-back).
  bool fileExists(const std::string& package, const std::string& name);

  // Rebuilds the package index from "filelist.lua" for the current platform's
  // directories. Malformed lists are fatal errors.
  void loadFilesLocationInfo();
  void loadDirectoryFileLists(const std::string& directory);
  void loadPackageFileList(const std::string& path);

  // Enters name -> path into the package's index (under the lock); a name
  // already there takes the new path.
  void addEntry(const std::string& package, const std::string& name, const std::string& path);

  // A copy of the index, for diagnostics and tests.
  PackageIndex getPackageIndex();

 private:
  void putDefaultEntries();
  void setEntry(const std::string& package, const std::string& name, const std::string& path);

  pthread_mutex_t lock;
  std::vector<std::unique_ptr<FileReader>> readers;
  PackageIndex packageIndex;
};

// Reads the whole file ("default", name) into a fresh malloc'ed block with a
// terminating zero. A block already in *buffer is freed first. Returns 0 on
// success (the caller frees the block), 1 when the file is missing or empty
// (then *buffer is null).
int readFileToBuffer(const char* name, char** buffer);

}  // namespace KR
