#pragma once
// Owner of parsed XML documents kept for the whole run; it destroys them at
// shutdown. Nothing adds to it yet, so it stays empty.
#include <vector>

#include "singleton.h"

namespace pugi {
class xml_document;
}

namespace KR {

class XmlCachedFilesManager : public Singleton<XmlCachedFilesManager> {
 public:
  XmlCachedFilesManager();
  ~XmlCachedFilesManager() override;

 private:
  std::vector<pugi::xml_document*> documents;
};

}  // namespace KR
