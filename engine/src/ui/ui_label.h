#pragma once
// A widget that draws a wide text in a box at its absolute position with a
// font, alignment, wrapping and colour, usually taken from a font preset.
// Buttons (and later check boxes and text edits) carry one as their caption.
#include <cstdint>
#include <string>

#include "ui/ui_widget.h"

namespace KR {

struct FontPreset;
class UIFont;

class UILabel : public UIWidget {
 public:
  UILabel(const std::string& name, UIWidget* parent, const std::string& text = std::string());
  ~UILabel() override;

  int32_t processMessage(uint32_t) override { return 0; }
  int32_t getType() const override { return kUILabelType; }
  void draw() override;
  // The common keys, then the label keys.
  void load(LuaScript& script) override;

  // "#key" shows the localised text of key; anything else is shown as it is
  // (a lone "#" too), read as UTF-8.
  void setText(const std::string& value);
  // Copies the preset's style and holds its font (one reference of its own),
  // then gives back the font held before.
  void setFontPreset(const FontPreset& preset);
  // Holds the named font, giving back the one held before.
  void setFont(const std::string& fontName);

  // The label keys of the current table ("fontPreset", "text", "size",
  // "halign", "valign", "sizeof", "wordWrap", "font", "xcoeff", "ycoeff",
  // "pixelPrecision", "color").
  void readLabelKeys(LuaScript& script);
  // The preset named by the "fontPreset" key ("file:table") of the current
  // table, its font with one reference for the caller; false when the key is
  // absent, has no ':' or names no preset.
  static bool readFontPresetKey(LuaScript& script, FontPreset* preset);
  // The caption of a button, check box or text edit: the descendant named
  // "caption", or a label made for it, sized to the widget and given the
  // label keys of the widget's table.
  static void makeCaption(LuaScript& script, UIWidget* widget);

  UIFont* font = nullptr;
  std::wstring text;
  uint32_t halign = 0;
  uint32_t valign = 0;
  bool wordWrap = false;
  float xcoeff = 0.0f;
  float ycoeff = 0.0f;
  bool pixelPrecision = true;
  Color textColor;  // transparent until a colour or a preset is given

 private:
  void holdFont(UIFont* newFont);
};

}  // namespace KR
