#pragma once
// Sprite sheets: XML documents that hold the sprite descriptions (and their
// frame lists) of one sprite script, each description an element below
// "root" named like the script's table. The sheet of a script "x_sprites" is
// the file "x_sxml" (any other name: the name followed by "_sxml"). Sheets
// are parsed once and kept for the whole run.
//
// Loading threads and the main thread share the cache: one lock guards the
// list while it is searched and appended to, and each sheet serves one user
// at a time (a sheet busy elsewhere is not waited for: another copy of it is
// made). A user gives the sheet back when done. A sheet's lock is only tried,
// and is held while its user makes sprites (sprite and texture managers, file
// system); the list lock is taken inside it and holds only log lines. Both
// come before the sprite managers in the lock order (CONVENTIONS.md):
//
//   KR::XmlDataReader* sheet = AE::SpriteSheetCache::instance().acquire("demo_sprites");
//   if (sheet->enterChild("DemoClock")) { ... }
//   AE::SpriteSheetCache::instance().release(sheet);
#include <pthread.h>

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace KR {
class XmlDataReader;
}

namespace AE {

class SpriteSheetCache {
 public:
  struct Record {
    std::string name;
    std::string package;
    // The parsed sheet (owning its memory, so it may outlive the engine's
    // allocators) and the reader users walk it with.
    pugi::xml_document sheet;
    std::unique_ptr<KR::XmlDataReader> document;
    pthread_mutex_t mutex;
    bool inUse = false;
    uint32_t useCount = 0;
  };

  static SpriteSheetCache& instance();
  SpriteSheetCache();
  ~SpriteSheetCache();
  SpriteSheetCache(const SpriteSheetCache&) = delete;
  SpriteSheetCache& operator=(const SpriteSheetCache&) = delete;

  // The sheet of the script, its cursor on "root" (null when the sheet has
  // no root: missing or unparsable, which logs one "ERROR: " line). Never null.
  KR::XmlDataReader* acquire(const std::string& scriptName);
  void release(KR::XmlDataReader* document);

  // The sheet file's name for a script name.
  static std::string sheetFileName(const std::string& scriptName);

  size_t getRecordCount();
  // Sum of the records' use counts for one name.
  uint32_t getUseCount(const std::string& scriptName);
  // Drops every record (tests; nothing may hold a sheet).
  void clear();

 private:
  std::vector<std::unique_ptr<Record>> records;
  pthread_mutex_t listLock;
};

// Parses a sheet's bytes; a sheet that does not parse logs one "ERROR: "
// line naming fileName and leaves the document empty.
bool parseSpriteSheet(pugi::xml_document& sheet, const void* data, size_t size, const std::string& fileName);

}  // namespace AE
