#include "xml_cached_files_manager.h"

#include <pugixml.hpp>

namespace KR {

XmlCachedFilesManager::XmlCachedFilesManager() { setInstance(this); }

XmlCachedFilesManager::~XmlCachedFilesManager() {
  for (pugi::xml_document* document : documents) delete document;
  documents.clear();
}

}  // namespace KR
