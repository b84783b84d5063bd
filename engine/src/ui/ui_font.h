#pragma once
// The font of all user-interface, scene and subtitle text: a bitmap font with
// up to four resolution levels (the same glyphs rendered into textures of
// different sizes) and 16-bit character codes. Only the level nearest to the
// current screen scale has its texture loaded; it is swapped at the next draw
// when the window scale changes.
//
// Description (a Lua file; the levels present are packed from the first):
//
//   Image = "font2_image"     MIP1 = "font2_image_mip1"  ...   -- textures
//   MIP0Scale = 1.0           MIP1Scale = 0.5            ...   -- screen scale of each
//   CharList  = { { 32, 0, 0, 8, 16 }, ... }   -- code, x, y, width, height (level 0)
//   CharList1 = { { 32, 0, 0, 4, 8 }, ... }    -- the same codes, same order, next level
//
// Sizes in design units come from level 0's glyphs; the chosen level gives the
// texture rectangle. Fonts are shared through UIFontManager (ui_font_manager.h).
//
//   KR::UIFont* font = KR::UIFontManager::getInstance()->getFont("font2_fnt");
//   font->color = KR::Color::fromARGB(0xFFFFFFFF);   // transparent until set
//   font->drawWString(clip, pos, L"Hello", true, 1, 0, 1.f, 1.f, false, true, 300.f, 100.f);
//   KR::UIFontManager::getInstance()->releaseFont(font);
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "color.h"
#include "matrix3.h"
#include "rect.h"
#include "text_layout.h"
#include "vector2.h"

namespace KR {

class FastSprite;
class LuaScript;
class RenderData;

constexpr uint32_t kMaxFontLevels = 4;
// One entry per 16-bit code; 0xFFFF is never a glyph, so its entry stays empty
// and narrow byte 0xFF (widened to 0xFFFF) is looked up like any other.
constexpr uint32_t kFontCodeTableSize = 65536;
constexpr uint16_t kNoGlyph = 0xFFFF;

struct UIFontGlyph {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
};

struct UIFontMipLevel {
  FastSprite* sprite = nullptr;  // loaded on demand, null otherwise
  float scale = 1.0f;            // screen scale at which this level maps 1:1
  std::vector<UIFontGlyph> glyphs;
  // Per glyph, the part of its cell that is drawn: the texels with ink and
  // one texel around them (so filtering at the edge is kept), relative to the
  // cell's corner; width 0 for a glyph without ink (a space). Read from the
  // picture when the level is first drawn; empty when it could not be read
  // (whole cells are drawn then).
  std::vector<UIFontGlyph> ink;
  bool inkRead = false;
  std::string image;
  std::string package;
};

// A font description as read, before any texture is loaded.
struct UIFontDescription {
  struct Level {
    std::string image;
    float scale = 1.0f;
    std::vector<UIFontGlyph> glyphs;
  };
  uint32_t glyphCount = 0;
  std::vector<uint16_t> codeTable;  // kFontCodeTableSize entries
  Level levels[kMaxFontLevels];
  uint32_t levelCount = 0;
};

enum class UIFontDescriptionError {
  kNone = 0,
  kNoCharList,     // no "CharList" table
  kNoLevelList,    // a further level's "CharList%i" missing
  kBadGlyphEntry,  // an entry of a glyph list is not a table
  kReservedCode,   // a code that is 0xFFFF once kept in 16 bits
  kTooManyGlyphs,  // more than 65535 glyphs, or a later list longer than "CharList"
};

// Reads the description whose chunk already ran in the script's state (its
// globals; the script must be at depth 0).
UIFontDescriptionError readUIFontDescription(LuaScript& script, UIFontDescription* out);
// The fatal-error description of a failure (empty for most).
const char* uiFontDescriptionErrorText(UIFontDescriptionError error);

// Index of the level whose scale is nearest to screenScale (a tie goes to the
// later level); -1 without levels.
int32_t chooseFontLevel(const float* scales, uint32_t count, float screenScale);

class UIFont {
 public:
  // An empty font (no levels, no glyphs).
  UIFont();
  // An empty font, then load (name, package).
  UIFont(const std::string& name, const std::string& package);
  ~UIFont();
  UIFont(const UIFont&) = delete;
  UIFont& operator=(const UIFont&) = delete;

  // Reads the description (fatal when it cannot be read) and loads the
  // texture of the level the current screen scale chooses.
  void load(const std::string& name, const std::string& package);
  // Takes a description already read; no texture is loaded.
  void setDescription(UIFontDescription&& description, const std::string& package);
  // The level to draw with, its texture loaded (the other levels' sprites go
  // back to the fast-sprite manager); null without levels.
  UIFontMipLevel* selectMipLevel();

  // ---- drawing (the colour field must be set first; see text_layout.h) ----
  // halign/valign: 0 left/top, 1 centred, 2 right/bottom.
  void drawWString(const Rect& clip, const Vector2<float>& position, const std::wstring& text, bool wordWrap,
                   uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, bool pixelSnap,
                   float boxWidth, float boxHeight);
  // Narrow text: bytes widened with their sign; only alignment 1 (centred)
  // moves text; every glyph is snapped to whole pixels.
  void drawString(const Rect& clip, const Vector2<float>& position, const std::string& text, bool wordWrap,
                  uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, float boxWidth,
                  float boxHeight);
  // Under a node's transform; maxGlyphs > 0 limits the glyphs drawn.
  void drawWStringTransformed(const Matrix3& matrix, const Vector2<float>& boxSize, const std::wstring& text,
                              bool wordWrap, uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn,
                              const Rect& clip, bool pixelSnap, int32_t maxGlyphs);
  // The rectangle covering the glyph quads and the origin; draws nothing.
  Rect measureWStringRect(const Vector2<float>& origin, const std::wstring& text, bool wordWrap, uint32_t halign,
                          uint32_t valign, float xcoeff, float ycoeff, float boxWidth, float boxHeight);
  float getWStringWidth(const wchar_t* first, const wchar_t* last, float xcoeff) const;
  float getStringWidth(const char* first, const char* last, float xcoeff) const;

  // The point moved to the nearest whole screen pixel.
  static Vector2<float> snapToPixel(const Vector2<float>& point);
  // Window pixels per design pixel now (1 when it cannot be known).
  static float getScreenScale();

  // ---- glyph lookup ----
  // Glyph index of a code, or kNoGlyph (codes above 0xFFFF have none).
  uint32_t glyphIndex(uint32_t code) const {
    if (code >= kFontCodeTableSize || codeTable.empty()) return kNoGlyph;
    const uint32_t index = codeTable[code];
    return index < glyphCount && index < levels[0].glyphs.size() ? index : kNoGlyph;
  }
  float advance(uint32_t code, float xcoeff) const {
    const uint32_t index = glyphIndex(code);
    return index == kNoGlyph ? 0.0f : levels[0].glyphs[index].width + letterSpacing * xcoeff;
  }
  // Height of glyph 0 of level 0 plus the scaled line spacing.
  float lineHeight(float ycoeff) const;

  // Fields (the UI reads color, maxGlyphHeight and widestCode directly).
  uint32_t glyphCount = 0;
  std::vector<uint16_t> codeTable;
  Color color;  // transparent after construction: nothing draws until it is set
  float letterSpacing = 5.0f;
  float lineSpacing = 5.0f;
  uint32_t refCount = 0;
  float maxGlyphWidth = 0.0f;
  float maxGlyphHeight = 0.0f;
  uint16_t tallestCode = 0;
  uint16_t widestCode = 0;
  UIFontMipLevel levels[kMaxFontLevels];
  uint32_t levelCount = 0;

 private:
  void releaseMipLevels();
  void computeMaxGlyphSize();
  // The glyph quads of one drawing call are gathered into one render item, so
  // the render system takes a text at once instead of a quad at a time.
  // beginRun makes room for `glyphs` quads with the sprite's texture and
  // states; addToRun copies the sprite's placed quad; endRun submits them.
  void beginRun(const FastSprite& sprite, size_t glyphs);
  void addToRun(const FastSprite& sprite);
  void endRun();
  // Fills level.ink from the level's picture.
  static void readInkBoxes(UIFontMipLevel& level);
  // The drawn part of a glyph's cell on a level (the whole cell without ink boxes).
  static UIFontGlyph inkBox(const UIFontMipLevel& level, uint32_t glyph);
  // The level and its sprite ready for drawing, or null when nothing draws.
  UIFontMipLevel* beginDrawing(const TextView& text);
  void drawLaidOut(const TextView& text, const Rect& clip, const Vector2<float>& position, bool wordWrap,
                   uint32_t halign, uint32_t valign, float xcoeff, float ycoeff, bool clipOn, bool pixelSnap,
                   float boxWidth, float boxHeight);
  // Calls visit(glyphIndex, x, y) with each glyph's offset in the box, in
  // drawing order; stops when visit returns false.
  template <typename Visit>
  void walkGlyphs(const TextView& text, const LineTable& lines, uint32_t halign, uint32_t valign, float boxWidth,
                  float boxHeight, float xcoeff, float ycoeff, Visit visit) const;

  std::unique_ptr<RenderData> run;
  uint32_t runCapacity = 0;  // vertices allocated in run
  uint32_t runCount = 0;     // vertices written since beginRun
};

// Height of level 0's glyph for "A", or 0 without one.
float fontLineHeight(const UIFont* font);

}  // namespace KR
