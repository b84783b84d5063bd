#include "ui/ui_load_cache.h"

#include "fast_sprite.h"
#include "sprite_manager.h"
#include "ui/ui_font_manager.h"

namespace KR {

namespace {

thread_local UILoadCache* tCurrent = nullptr;

}  // namespace

UILoadCache::Scope::Scope() {
  if (tCurrent) return;
  owned = new UILoadCache();
  tCurrent = owned;
}

UILoadCache::Scope::~Scope() {
  if (!owned) return;
  tCurrent = nullptr;
  delete owned;
}

UILoadCache* UILoadCache::current() { return tCurrent; }

UILoadCache::~UILoadCache() {
  if (UIFontManager::exists()) {
    for (auto& entry : presets) UIFontManager::getInstance()->releaseFont(entry.second.second.font);
  }
  if (SpriteManager<FastSprite>::exists()) {
    for (auto& entry : sprites) SpriteManager<FastSprite>::getInstance()->destroySprite(entry.second);
  }
}

bool UILoadCache::fontPreset(const std::string& file, const std::string& table, FontPreset* out) {
  auto key = std::make_pair(file, table);
  auto found = presets.find(key);
  if (found == presets.end()) {
    FontPreset preset;
    const bool read =
        UIFontManager::exists() && UIFontManager::getInstance()->loadFontPreset(file, table, &preset) == 0;
    found = presets.emplace(key, std::make_pair(read, preset)).first;
  }
  if (found->second.first) *out = found->second.second;
  return found->second.first;
}

FastSprite* UILoadCache::createSprite(const std::string& image, const std::string& table, const std::string& package) {
  SpriteManager<FastSprite>* manager = SpriteManager<FastSprite>::getInstance();
  const std::string key = package + '\n' + image + '\n' + table;
  auto found = sprites.find(key);
  if (found == sprites.end()) found = sprites.emplace(key, manager->createSprite(image, table, package)).first;
  FastSprite* copy = manager->createSpriteCopy(found->second);
  copy->setColor(found->second->getColor());
  return copy;
}

}  // namespace KR
