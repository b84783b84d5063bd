#pragma once
// What a tree load reads once and hands to many widgets: the font presets and
// the fast sprites of sprite descriptions, which would otherwise each cost a
// fresh Lua state and a file read per widget. A cache lives for one
// outermost load on one thread (nested loads of "instance" and "related"
// share it); UILoadCache::Scope opens it.
#include <map>
#include <string>
#include <utility>

#include "font_preset.h"

namespace KR {

class FastSprite;

class UILoadCache {
 public:
  // Opens a cache for the load running on this thread unless one is open.
  class Scope {
   public:
    Scope();
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    UILoadCache* owned = nullptr;
  };

  // The cache of this thread's load, or null outside a load.
  static UILoadCache* current();

  // The preset of (file, table) from the font package; false when it cannot
  // be read. The cache holds the preset's font reference: callers take their own.
  bool fontPreset(const std::string& file, const std::string& table, FontPreset* out);
  // A new fast sprite of the description, copied from the first one made.
  FastSprite* createSprite(const std::string& image, const std::string& table, const std::string& package);

 private:
  UILoadCache() = default;
  ~UILoadCache();

  std::map<std::pair<std::string, std::string>, std::pair<bool, FontPreset>> presets;
  std::map<std::string, FastSprite*> sprites;
};

}  // namespace KR
