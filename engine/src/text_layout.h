#pragma once
// Breaking text into lines for the bitmap fonts. Everything here is a pure
// function of the text, the glyph advances and the box: the fonts (ui_font.h)
// supply the advances and draw what the line table describes.
//
// Two layouts exist and differ on purpose, because their callers do:
//  - layoutTextA (drawing): a line fits while its width is strictly below the
//    box width; every segment counts as a word; an empty line opened by a
//    trailing line feed is not counted.
//  - layoutTextB (measuring): a line fits while its width is at most the box
//    width; a segment pushed onto a new line does not count as a word there,
//    so the next segment joins it untested; a trailing line feed leaves a
//    counted empty line.
//
//   KR::LineTable lines;                     // fixed, on the stack
//   KR::layoutTextA(KR::TextView(text), advances, true, 200.f, false, &lines);
//   for (uint32_t i = 0; i < lines.count; ++i) ... lines.lines[i].start ...
#include <cstddef>
#include <cstdint>
#include <string>

#include "vector2.h"

namespace KR {

// The line table: never more lines than this, and text indexes are 16-bit.
constexpr uint32_t kMaxTextLines = 128;
constexpr size_t kMaxTextLength = 65535;
// End index of a line that was opened but not closed yet.
constexpr uint16_t kOpenLineEnd = 0xFFFF;

struct TextLine {
  uint16_t start = 0;
  uint16_t end = 0;  // inclusive
  float width = 0.0f;
};

struct LineTable {
  TextLine lines[kMaxTextLines];
  uint32_t count = 0;
  // Set when the text needed more lines than the table holds: the layout
  // stopped at the table's size.
  bool truncated = false;
};

// Wide or narrow text seen as a sequence of character codes. Narrow bytes are
// widened with their sign (0x80..0xFF become 0xFF80..0xFFFF); wide characters
// keep their full value, so codes above 0xFFFF simply have no glyph. Only the
// first kMaxTextLength characters are ever laid out.
class TextView {
 public:
  explicit TextView(const std::wstring& text) : wide(text.data()), length(clampLength(text.size())) {}
  explicit TextView(const std::string& text) : narrow(text.data()), length(clampLength(text.size())) {}
  TextView(const wchar_t* first, const wchar_t* last) : wide(first), length(clampLength(size_t(last - first))) {}
  TextView(const char* first, const char* last) : narrow(first), length(clampLength(size_t(last - first))) {}

  size_t size() const { return length; }
  bool empty() const { return length == 0; }
  uint32_t at(size_t i) const {
    if (wide) return uint32_t(wide[i]);
    return uint32_t(uint16_t(int16_t(int8_t(narrow[i]))));
  }

 private:
  static size_t clampLength(size_t n) { return n < kMaxTextLength ? n : kMaxTextLength; }
  const wchar_t* wide = nullptr;
  const char* narrow = nullptr;
  size_t length = 0;
};

// The advance of one character code: its glyph's width plus the scaled
// letter spacing, or 0 when the font has no glyph for it.
class GlyphAdvances {
 public:
  virtual ~GlyphAdvances() = default;
  virtual float advance(uint32_t code) const = 0;
};

struct BreakResult {
  bool canBreak = false;
  // The character after which the break falls (kept whole: a wide code
  // above 0xFFFF never passes for a line feed).
  uint32_t breakChar = 0;
};

// True for the language codes that break lines between ideographs:
// "ja", "JA", "ko", "KO", "ch", "CH" (mixed case does not count).
bool isIdeographicLanguage(const std::string& language);
// The current language of the configuration manager (false without one).
bool currentLanguageIsIdeographic();

// May a line break after c, whose successor is next (0 at the end)?
BreakResult canBreakAfter(uint32_t c, uint32_t next, bool ideographic);
// The same under the current language.
BreakResult canBreakAfter(uint32_t c, uint32_t next);

// Sum of the advances of text[first..last] (inclusive); 0 when first > last.
float textRangeWidth(const TextView& text, const GlyphAdvances& advances, size_t first, size_t last);

uint32_t layoutTextA(const TextView& text, const GlyphAdvances& advances, bool wordWrap, float boxWidth,
                     bool ideographic, LineTable* table);
uint32_t layoutTextB(const TextView& text, const GlyphAdvances& advances, bool wordWrap, float boxWidth,
                     bool ideographic, LineTable* table);

// Height of a block of lines: the line spacing is not added below the last one.
float textBlockHeight(uint32_t lineCount, float lineHeight, float scaledLineSpacing);

// Offsets of the block (alignment 1 centres, 2 moves to the far side, any
// other value keeps the near side).
float alignOffset(uint32_t align, float box, float extent);

// Rounds each coordinate to the nearest whole screen pixel at the given
// screen scale (exactly one half rounds down, negative values move toward
// zero); a scale that is not positive leaves the point as it is.
Vector2<float> snapToPixelAtScale(const Vector2<float>& v, float scale);
// Truncates value * scale toward zero and divides back.
float truncateToPixelAtScale(float value, float scale);

}  // namespace KR
