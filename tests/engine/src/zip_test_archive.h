#pragma once
// Builds zip archives for tests with minizip's writer.
#include <minizip/zip.h>

#include <string>
#include <utility>
#include <vector>

namespace KR {
namespace Test {

// Entries are deflated, or stored as they are with method 0.
inline bool writeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                     int method = Z_DEFLATED) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return false;
  bool ok = true;
  for (const auto& entry : entries) {
    zip_fileinfo info = {};
    ok = ok && zipOpenNewFileInZip64(zip, entry.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, method,
                                     method ? Z_DEFAULT_COMPRESSION : 0, 0) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(zip, entry.second.data(), static_cast<unsigned>(entry.second.size())) == ZIP_OK;
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

}  // namespace Test
}  // namespace KR
