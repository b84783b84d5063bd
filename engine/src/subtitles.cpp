#include "subtitles.h"

#include <cmath>

#include "config_manager.h"
#include "log_system.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "xml_data_reader.h"

namespace KR {

Subtitles::~Subtitles() { destroy(); }

void Subtitles::destroy() {
  if (font) {
    if (UIFontManager* fonts = UIFontManager::getInstancePtr()) fonts->releaseFont(font);
  }
  font = nullptr;
  // The preset's font is the same reference: it is gone now.
  preset.font = nullptr;
  presetLoaded = false;
  entries.clear();
}

int Subtitles::load(XmlDataReader& reader) {
  destroy();

  const PlatformConfig* platform = ConfigManager::getInstance()->getCurrentPlatform();
  const float screenWidth = platform ? float(platform->resolutionWidth) : 0.0f;
  const float screenHeight = platform ? float(platform->resolutionHeight) : 0.0f;
  areaHeight = heightPercent * 0.01f * screenHeight;
  areaWidth = screenWidth / 1.5f;
  areaLeft = (screenWidth - areaWidth) * 0.5f;
  areaTop = screenHeight - areaHeight;

  UIFontManager* fonts = UIFontManager::getInstance();
  bool styled = false;
  if (reader.enterChild("FontProperties")) {
    std::string file, table;
    reader.readString("FontPresetFile", &file);
    reader.readString("FontPresetTable", &table);
    reader.leaveChild();
    FontPreset loaded;
    if (fonts->loadFontPreset(file, table, &loaded) == 0) {
      preset = loaded;
      font = preset.font;
      // Subtitles always wrap, whatever the preset says.
      preset.wordWrap = true;
      styled = true;
    } else {
      // A preset that cannot be read leaves the plain style on the fallback
      // font rather than a font some earlier load already gave back.
      log("Subtitles: font preset %s in %s not loaded, using %s", table.c_str(), file.c_str(), kFallbackFont);
    }
  }
  if (!styled) font = fonts->getFont(kFallbackFont);
  presetLoaded = styled;

  if (reader.enterChild("Subtitles")) {
    size_t count = 0;
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) ++count;
    entries.assign(count, SubtitleEntry());
    size_t index = 0;
    TextManager* texts = TextManager::getInstance();
    for (auto it = reader.arrayBegin(); it != reader.arrayEnd() && index < count; it.next(), ++index) {
      SubtitleEntry& entry = entries[index];
      reader.readFloat("beg", &entry.begin);
      reader.readFloat("end", &entry.end);
      std::string key;
      reader.readString("text", &key);
      entry.text = &texts->getText(key);
    }
    reader.leaveChild();
  }
  return 0;
}

SubtitleEntry* Subtitles::find(float t) {
  for (SubtitleEntry& entry : entries)
    if (entry.begin <= t && t < entry.end) return &entry;
  return nullptr;
}

void Subtitles::layoutEntry(SubtitleEntry& entry) {
  if (!font || !entry.text) return;
  entry.bounds = font->measureWStringRect(Vector2<float>(areaLeft, areaTop), *entry.text, wordWrap(), halign(),
                                          valign(), xcoeff(), ycoeff(), areaWidth, areaHeight);
  const float w = std::fabs(entry.bounds.right - entry.bounds.left);
  const float h = std::fabs(entry.bounds.bottom - entry.bounds.top);
  entry.boxSize = Vector2<float>(w > areaWidth ? w : areaWidth, h > areaHeight ? h : areaHeight);
  entry.boxPosition =
      Vector2<float>(areaLeft - (entry.boxSize.x - areaWidth), areaTop - (entry.boxSize.y - areaHeight));
}

void Subtitles::draw() {
  SubtitleEntry* entry = find(time);
  if (!entry || !entry->text || !font) return;
  if (!entry->laidOut) {
    layoutEntry(*entry);
    entry->laidOut = true;
  }
  font->color = presetLoaded ? preset.color : Color::fromARGB(0xFFFFFFFFu);
  font->drawWString(Rect(0.0f, 0.0f, 0.0f, 0.0f), entry->boxPosition, *entry->text, wordWrap(), halign(), valign(),
                    xcoeff(), ycoeff(), false, true, entry->boxSize.x, entry->boxSize.y);
}

}  // namespace KR
