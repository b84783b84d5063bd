#include "ui/ui_font_manager.h"

#include <pugixml.hpp>

#include <vector>

#include "file_system.h"
#include "format_string.h"
#include "lua_script_2.h"
#include "report_assert.h"
#include "scoped_lock.h"
#include "ui/ui_font.h"

namespace KR {

UIFontManager::UIFontManager() {
  setInstance(this);
  initRecursiveMutex(&lock);
}

UIFontManager::~UIFontManager() {
  for (auto& entry : fonts) delete entry.second;
  fonts.clear();
  pthread_mutex_destroy(&lock);
}

const std::string& UIFontManager::getFontPackage() {
  ScopedLock guard(ScopedLock::lock(&lock));
  if (fontPackageRead) return fontPackage;
  File* file = FileSystem::getInstance()->openFile("localization", "font_settings_xml");
  if (file) {
    const int size = file->getSize();
    std::vector<char> buffer(size > 0 ? size_t(size) : 0);
    const int read = buffer.empty() ? 0 : file->read(buffer.data(), size);
    delete file;
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(buffer.data(), read > 0 ? size_t(read) : 0);
    if (!parsed || read < 0)
      KR_FATAL(
          formatString("Failed to parse XML font_settings_xml: %s", read < 0 ? "read error" : parsed.description()));
    fontPackage = document.child("root").child("package").attribute("value").as_string("");
  } else {
    fontPackage = "default";
  }
  fontPackageRead = true;
  return fontPackage;
}

UIFont* UIFontManager::getFont(const std::string& name) {
  if (name.empty()) return nullptr;
  ScopedLock guard(ScopedLock::lock(&lock));
  auto found = fonts.find(name);
  UIFont* font = nullptr;
  if (found != fonts.end()) {
    font = found->second;
  } else {
    font = new UIFont(name, getFontPackage());
    fonts.emplace(name, font);
  }
  ++font->refCount;
  return font;
}

void UIFontManager::releaseFont(UIFont* font) {
  if (!font) return;
  ScopedLock guard(ScopedLock::lock(&lock));
  for (auto it = fonts.begin(); it != fonts.end(); ++it) {
    if (it->second != font) continue;
    --font->refCount;
    if (font->refCount < 1) {
      delete font;
      fonts.erase(it);
      return;
    }
  }
}

void UIFontManager::retainFont(UIFont* font) {
  if (!font) return;
  ScopedLock guard(ScopedLock::lock(&lock));
  for (auto& entry : fonts) {
    if (entry.second == font) {
      ++font->refCount;
      return;
    }
  }
}

size_t UIFontManager::getFontCount() {
  ScopedLock guard(ScopedLock::lock(&lock));
  return fonts.size();
}

int UIFontManager::loadFontPreset(const std::string& file, const std::string& table, FontPreset* preset) {
  if (!preset) return 1;
  LuaScript script;
  if (!script.getState() || !script.loadScript(file, getFontPackage())) return 1;
  if (!script.openTable(table)) return 1;

  FontPreset read;
  uint32_t number = 0;
  float value = 0.0f;
  script.pushField("halign");
  if (script.toUInt(&number)) read.halign = number;
  script.pop();
  script.pushField("valign");
  if (script.toUInt(&number)) read.valign = number;
  script.pop();
  script.pushField("xcoeff");
  if (script.toFloat(&value)) read.xcoeff = value;
  script.pop();
  script.pushField("ycoeff");
  if (script.toFloat(&value)) read.ycoeff = value;
  script.pop();
  bool wrap = false;
  if (script.getBool("wordWrap", &wrap)) read.wordWrap = wrap;
  Color color;
  if (script.getColor("color", &color)) read.color = color;
  std::string fontName;
  if (!script.getString("font", &fontName)) fontName = kDefaultPresetFont;
  script.closeTable();

  read.font = getFont(fontName);
  *preset = read;
  return 0;
}

}  // namespace KR
