#pragma once
// Shares the UI fonts by name with a reference count, and reads font presets.
// Fonts and presets come from the font package, which the current language
// names in "font_settings_xml" (<root><package value="..."/></root>, package
// "localization"); without that file it is "default". The package is settled
// once, on first use.
//
//   KR::UIFontManager* fonts = KR::UIFontManager::getInstance();
//   KR::UIFont* font = fonts->getFont("font2_fnt");   // +1 reference
//   ...
//   fonts->releaseFont(font);                          // deleted at 0
//
//   KR::FontPreset preset;
//   if (fonts->loadFontPreset("font_presets_lua", "title", &preset) == 0) {
//     preset.font->color = preset.color;
//     preset.font->drawWString(clip, pos, text, preset.wordWrap, preset.halign, preset.valign,
//                              preset.xcoeff, preset.ycoeff, false, true, boxW, boxH);
//     fonts->releaseFont(preset.font);
//   }
#include <pthread.h>

#include <cstdint>
#include <map>
#include <string>

#include "font_preset.h"
#include "singleton.h"

namespace KR {

class UIFont;

class UIFontManager : public Singleton<UIFontManager> {
 public:
  UIFontManager();
  // Deletes every font still held, whatever its count.
  ~UIFontManager() override;

  // Null for an empty name; otherwise the font, loaded from the font package
  // on first use (fatal when its description cannot be read). +1 reference.
  UIFont* getFont(const std::string& name);
  // -1 reference; below 1 the font is deleted. Fonts not held here are ignored.
  void releaseFont(UIFont* font);
  // +1 reference of a font this manager holds (others are ignored).
  void retainFont(UIFont* font);
  const std::string& getFontPackage();
  // 0 on success (every field written, one new reference of the font held);
  // 1 when the preset is null or the file or table is missing (preset untouched).
  int loadFontPreset(const std::string& file, const std::string& table, FontPreset* preset);

  size_t getFontCount();

 private:
  std::map<std::string, UIFont*> fonts;
  std::string fontPackage;
  bool fontPackageRead = false;
  // Fonts may be asked for from loading threads while the main thread draws.
  pthread_mutex_t lock;
};

}  // namespace KR
