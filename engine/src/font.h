#pragma once
// The simple bitmap font: one texture, 8-bit text on one line, glyphs drawn
// one by one through a sprite at their size in texture pixels. The engine's
// application keeps one for its overlay text (frame rate, "Loading...").
//
// The font description is a Lua data file:
//
//   Image = "font2_image"
//   CharList = { { 32, 0, 0, 8, 16 }, { 33, 8, 0, 5, 16 }, ... }  -- code, x, y, width, height
//
// The glyph width is also the advance. The list is expected in ascending code
// order; its first entry gives the lowest code and its last the highest.
//
//   KR::Font* font = new KR::Font();
//   font->load("system_font_fnt");           // fatal on a broken description
//   font->drawText(KR::Vector2<float>(0, 0), "FPS 60", 1.0f, KR::Color::fromARGB(0xFFFFFFFF));
//   font->release();                          // deletes the font
#include <cstdint>
#include <string>
#include <vector>

#include "color.h"
#include "vector2.h"

struct lua_State;

namespace KR {

class Sprite;

struct FontGlyph {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
  // The slot's own index when the code has a glyph, -1 when it has none.
  int32_t present = -1;
};

// The texture every simple font draws from, whatever its "Image" says.
extern const char* const kSimpleFontTexture;
// Widest code range a simple font accepts (the slots are allocated for it).
constexpr uint32_t kMaxSimpleFontSlots = 65536;

enum class FontDescriptionError {
  kNone = 0,
  kNoImage,        // "Image" missing or neither string nor number
  kNoCharList,     // "CharList" missing or not a table
  kTooFewSlots,    // the code range is narrower than the number of records
  kReversedRange,  // the last record's code is below the first's
  kRangeTooWide,   // more than kMaxSimpleFontSlots codes between first and last
};

// Reads the glyph table of a description already run in `state` (its
// globals). On success the slots hold one entry per code firstCode..lastCode.
// Malformed entries are skipped; nothing is written on failure.
// A short English reason for a content author.
const char* describeFontDescriptionError(FontDescriptionError error);
FontDescriptionError readSimpleFontDescription(lua_State* state, std::vector<FontGlyph>* glyphs, uint32_t* firstCode,
                                               uint32_t* lastCode);

class Font {
 public:
  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  // Fills the font from the description (package "default"); every failure
  // is fatal.
  void load(const std::string& name);
  // One line from position (the glyph's top-left corner at the pen); the pen
  // moves by width * factor. Bytes without a glyph draw nothing and take no room.
  void drawText(const Vector2<float>& position, const std::string& text, float factor, const Color& color);
  // Frees the glyph table and the font object. The sprite stays with the
  // sprite manager, which deletes it when it is destroyed.
  void release();

  // The slot a byte maps to, or null when it has no glyph.
  const FontGlyph* glyphForByte(uint8_t byte) const;
  // Calls visit(glyph, penOffset) for each byte with a glyph, in order.
  template <typename Visit>
  void forEachGlyph(const std::string& text, float factor, Visit visit) const {
    float pen = 0.0f;
    for (char ch : text) {
      const FontGlyph* glyph = glyphForByte(uint8_t(ch));
      if (!glyph) continue;
      visit(*glyph, pen);
      pen += factor == 1.0f ? glyph->width : glyph->width * factor;
    }
  }

  uint32_t getFirstCode() const { return firstCode; }
  uint32_t getLastCode() const { return lastCode; }
  uint32_t getCount() const { return count; }
  const std::vector<FontGlyph>& getGlyphs() const { return glyphs; }
  Sprite* getSprite() const { return sprite; }

 private:
  std::vector<FontGlyph> glyphs;
  Sprite* sprite = nullptr;
  uint32_t firstCode = 0;
  uint32_t lastCode = 0;
  uint32_t count = 0;
};

}  // namespace KR
