#include "ui/ui_label.h"

#include "font_preset.h"
#include "lua_script_2.h"
#include "string_conversion.h"
#include "ui/text_manager.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_load_cache.h"
#include "ui/ui_table_keys.h"

namespace KR {

UILabel::UILabel(const std::string& name_, UIWidget* parent_, const std::string& text_) : UIWidget(name_, parent_) {
  setText(text_);
}

UILabel::~UILabel() { holdFont(nullptr); }

void UILabel::holdFont(UIFont* newFont) {
  UIFont* old = font;
  font = newFont;
  if (old && UIFontManager::exists()) UIFontManager::getInstance()->releaseFont(old);
}

void UILabel::setText(const std::string& value) {
  text.clear();
  if (value.size() >= 2 && value[0] == '#') {
    text = TextManager::getInstance()->getText(value.substr(1));
    return;
  }
  // Narrow text is UTF-8 throughout the engine.
  text = toWideString(value);
}

void UILabel::setFontPreset(const FontPreset& preset) {
  halign = preset.halign;
  valign = preset.valign;
  wordWrap = preset.wordWrap;
  xcoeff = preset.xcoeff;
  ycoeff = preset.ycoeff;
  textColor = preset.color;
  // The new reference first: a preset naming the font already held keeps it loaded.
  if (preset.font && UIFontManager::exists()) UIFontManager::getInstance()->retainFont(preset.font);
  holdFont(preset.font);
}

void UILabel::setFont(const std::string& fontName) {
  if (!UIFontManager::exists()) return;
  holdFont(UIFontManager::getInstance()->getFont(fontName));
}

void UILabel::draw() {
  if (!font || text.empty()) return;
  // A box wholly outside its client rectangle would draw nothing; skip the
  // layout (a long scrolled list holds many such lines).
  if (clientRectSet && isClippedOut()) return;
  const int32_t a = int32_t(float(textColor.alpha()) * alpha);
  font->color = Color::fromARGB((textColor.value & 0x00FFFFFFu) | (uint32_t(a & 0xFF) << 24));
  const Vector2<float> at = getAbsolutePosition();
  font->drawWString(clientRect, at, text, wordWrap, halign, valign, xcoeff, ycoeff, clientRectSet, pixelPrecision,
                    size.x, size.y);
}

void UILabel::load(LuaScript& script) {
  UIWidget::load(script);
  readLabelKeys(script);
}

bool UILabel::readFontPresetKey(LuaScript& script, FontPreset* preset) {
  std::string value;
  if (!uiReadString(script, "fontPreset", &value) || !UIFontManager::exists()) return false;
  const size_t colon = value.find(':');
  // A preset name without ':' is ignored.
  if (colon == std::string::npos) return false;
  UIFontManager* fonts = UIFontManager::getInstance();
  const std::string file = value.substr(0, colon);
  const std::string table = value.substr(colon + 1);
  if (UILoadCache* cache = UILoadCache::current()) {
    if (!cache->fontPreset(file, table, preset)) return false;
    if (preset->font) fonts->retainFont(preset->font);
    return true;
  }
  return fonts->loadFontPreset(file, table, preset) == 0;
}

void UILabel::readLabelKeys(LuaScript& script) {
  std::string value;
  FontPreset preset;
  if (readFontPresetKey(script, &preset)) {
    setFontPreset(preset);
    if (preset.font) UIFontManager::getInstance()->releaseFont(preset.font);
  }
  if (uiReadString(script, "text", &value)) setText(value);
  uiReadPair(script, "size", &size);
  uiReadUInt(script, "halign", &halign);
  uiReadUInt(script, "valign", &valign);
  if (uiReadString(script, "sizeof", &value) && parent) {
    if (UIWidget* measured = parent->findDescendant(value)) size = measured->getTotalSize();
  }
  uiReadFlag(script, "wordWrap", &wordWrap);
  if (uiReadString(script, "font", &value))
    setFont(value);
  else if (!font)
    setFont("system_font_fnt");
  uiReadFloat(script, "xcoeff", &xcoeff);
  uiReadFloat(script, "ycoeff", &ycoeff);
  uiReadFlag(script, "pixelPrecision", &pixelPrecision);
  uiReadColor(script, "color", &textColor);
}

void UILabel::makeCaption(LuaScript& script, UIWidget* widget) {
  UIWidget* found = widget->findDescendant("caption");
  UILabel* caption = nullptr;
  if (!found) {
    caption = new UILabel("caption", widget);
  } else if (found->getType() == kUILabelType) {
    caption = static_cast<UILabel*>(found);
  } else {
    return;
  }
  caption->size = widget->getTotalSize();
  caption->halign = 1;
  caption->valign = 1;
  caption->wordWrap = false;
  caption->readLabelKeys(script);
  if (found) return;
  caption->addDefaultIdleState();
  int32_t order = int32_t(widget->children.size());
  uiReadInt(script, "captionOrder", &order);
  if (widget->insertChild(order, caption) != 0) delete caption;
}

}  // namespace KR
