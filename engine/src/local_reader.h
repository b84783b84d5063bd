#pragma once
// Loose files: first under the content folder, then as the path stands.
#include <cstdio>
#include <string>

#include "file_system.h"

namespace KR {

class LocalFile : public File {
 public:
  LocalFile() = default;
  ~LocalFile() override;
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;

  int read(void* buffer, int count) override;
  int close() override;
  int getSize() override;
  int tell() override;
  // Opens a regular file for binary reading and measures its size. Folders and
  // files too large for a 32-bit size are refused.
  int open(const std::string& path) override;
  // Sets the read position from the start, clamped to 0..size.
  int seek(int position);

 private:
  std::FILE* stream = nullptr;
  int size = 0;
};

class LocalReader : public FileReader {
 public:
  File* open(const std::string& path) override;
};

}  // namespace KR
