#pragma once
// A text style read from a table of a preset file (Lua): font, colour,
// alignment, word wrap and the coefficients that scale the font's letter and
// line spacing. Read with UIFontManager::loadFontPreset; the preset then
// holds one reference of its font, which its owner gives back with
// UIFontManager::releaseFont.
//
//   title = { font = "font2_fnt", color = { 255, 220, 120, 255 },
//             halign = 1, valign = 0, wordWrap = 1, xcoeff = 0, ycoeff = 1 }
#include <cstdint>

#include "color.h"

namespace KR {

class UIFont;

// The font a preset names when it names none.
extern const char* const kDefaultPresetFont;

struct FontPreset {
  float xcoeff = 0.0f;
  float ycoeff = 0.0f;
  uint32_t halign = 0;  // 0 left, 1 centred, 2 right
  uint32_t valign = 0;  // 0 top, 1 centred, 2 bottom
  bool wordWrap = false;
  UIFont* font = nullptr;
  Color color = Color::fromARGB(0xFFFFFFFFu);
};

}  // namespace KR
