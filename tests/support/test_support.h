#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "log_system.h"

namespace KR {
namespace Test {

// A fresh, empty folder under the test build folder, unique per call.
std::string scratchDir(const std::string& hint);

// Writes a whole file (binary).
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// The package index an application start-up reads besides config.lua: its
// "data" directory lists the system font "system_font_fnt" (no glyphs) and
// that font's texture "font2_image" (one transparent texel).
void writeStartupContent(const std::string& folder);

// Keeps a log system alive for the test (creating one when none exists) and
// records every log line written while it lives; `verbose` makes the system
// write its verbose lines too while the capture lives.
class LogCapture {
 public:
  explicit LogCapture(bool verbose = false);
  ~LogCapture();
  std::vector<std::string> lines() const;
  bool contains(const std::string& fragment) const;

 private:
  class Writer;
  std::unique_ptr<LogSystem> ownedSystem;
  Writer* writer = nullptr;
  bool wasVerbose = false;
  struct Shared;
  std::shared_ptr<Shared> shared;
};

}  // namespace Test
}  // namespace KR
