#include "animationeditor/sprite_sheet_cache.h"

#include "file_system.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "xml_data_reader.h"

namespace AE {

namespace {

const char* const kPackage = "default";

// Reads and parses the sheet; a sheet that cannot be read leaves the document empty.
void loadSheet(pugi::xml_document& sheet, const std::string& scriptName) {
  const std::string fileName = SpriteSheetCache::sheetFileName(scriptName);
  KR::FileSystem* files = KR::FileSystem::getInstancePtr();
  if (!files || !files->fileExists(kPackage, fileName)) return;
  std::unique_ptr<KR::File> file(files->openFile(kPackage, fileName));
  if (!file) return;
  const int size = file->getSize();
  std::vector<char> bytes(size > 0 ? size_t(size) : 0);
  if (size > 0 && file->read(bytes.data(), size) != size) {
    KR::log("ERROR: Failed to read sprite sheet %s", fileName.c_str());
    return;
  }
  parseSpriteSheet(sheet, bytes.data(), bytes.size(), fileName);
}

}  // namespace

bool parseSpriteSheet(pugi::xml_document& sheet, const void* data, size_t size, const std::string& fileName) {
  const pugi::xml_parse_status status = sheet.load_buffer(data, size).status;
  if (status == pugi::status_ok || status == pugi::status_no_document_element) return true;
  KR::log("ERROR: Failed to parse sprite sheet %s: %s", fileName.c_str(), KR::XmlDataReader::describeStatus(status));
  sheet.reset();
  return false;
}

SpriteSheetCache& SpriteSheetCache::instance() {
  static SpriteSheetCache cache;
  return cache;
}

SpriteSheetCache::SpriteSheetCache() { pthread_mutex_init(&listLock, nullptr); }

SpriteSheetCache::~SpriteSheetCache() {
  clear();
  pthread_mutex_destroy(&listLock);
}

std::string SpriteSheetCache::sheetFileName(const std::string& scriptName) {
  const size_t at = scriptName.rfind("_sprites");
  return (at == std::string::npos ? scriptName : scriptName.substr(0, at)) + "_sxml";
}

KR::XmlDataReader* SpriteSheetCache::acquire(const std::string& scriptName) {
  {
    KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
    for (const std::unique_ptr<Record>& record : records) {
      if (record->name != scriptName || record->package != kPackage) continue;
      if (pthread_mutex_trylock(&record->mutex) != 0) continue;
      record->inUse = true;
      ++record->useCount;
      record->document->setCursor(record->sheet.child("root"));
      return record->document.get();
    }
  }
  // A new copy, parsed outside the list lock so other users are not held up.
  auto record = std::make_unique<Record>();
  record->name = scriptName;
  record->package = kPackage;
  record->document = std::make_unique<KR::XmlDataReader>();
  pthread_mutex_init(&record->mutex, nullptr);
  loadSheet(record->sheet, scriptName);
  record->useCount = 1;
  record->inUse = pthread_mutex_trylock(&record->mutex) == 0;
  KR::XmlDataReader* document = record->document.get();
  document->setCursor(record->sheet.child("root"));
  KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
  records.push_back(std::move(record));
  KR::log(">>> XML Cache %s: %s (%i)", kPackage, scriptName.c_str(), int(records.size()));
  return document;
}

void SpriteSheetCache::release(KR::XmlDataReader* document) {
  if (!document) return;
  KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
  for (const std::unique_ptr<Record>& record : records) {
    if (record->document.get() != document || !record->inUse) continue;
    record->inUse = false;
    pthread_mutex_unlock(&record->mutex);
  }
}

size_t SpriteSheetCache::getRecordCount() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
  return records.size();
}

uint32_t SpriteSheetCache::getUseCount(const std::string& scriptName) {
  KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
  uint32_t count = 0;
  for (const std::unique_ptr<Record>& record : records) {
    if (record->name == scriptName) count += record->useCount;
  }
  return count;
}

void SpriteSheetCache::clear() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&listLock));
  for (std::unique_ptr<Record>& record : records) {
    if (record->inUse) pthread_mutex_unlock(&record->mutex);
    pthread_mutex_destroy(&record->mutex);
  }
  records.clear();
}

}  // namespace AE
