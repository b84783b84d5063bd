#include "text_layout.h"

#include <cmath>

#include "config_manager.h"

namespace KR {

namespace {

constexpr uint32_t kSpace = 0x20;
constexpr uint32_t kLineFeed = 0x0A;

// Writes line `index` when the table has room; false when it is full.
bool openLine(LineTable* table, uint32_t index, size_t start, size_t end, float width) {
  if (index >= kMaxTextLines) {
    table->truncated = true;
    return false;
  }
  TextLine& line = table->lines[index];
  line.start = uint16_t(start);
  line.end = uint16_t(end);
  line.width = width;
  return true;
}

// Width of text[start..p] for a growing p. The advances are added in the same
// order as a fresh sum from start would add them, so the result is the same
// to the last bit; only a text with many break opportunities on one long
// line no longer costs time quadratic in its length.
class LineWidth {
 public:
  LineWidth(const TextView& text_, const GlyphAdvances& advances_) : text(text_), advances(advances_) {}
  float through(size_t start, size_t p) {
    if (start != runStart || p + 1 < next) {
      runStart = start;
      next = start;
      sum = 0.0f;
    }
    for (; next <= p && next < text.size(); ++next) sum += advances.advance(text.at(next));
    return sum;
  }

 private:
  const TextView& text;
  const GlyphAdvances& advances;
  size_t runStart = size_t(-1);
  size_t next = 0;
  float sum = 0.0f;
};

void layoutSingleLine(const TextView& text, const GlyphAdvances& advances, LineTable* table) {
  table->lines[0].start = 0;
  table->lines[0].end = uint16_t(text.size() - 1);
  table->lines[0].width = textRangeWidth(text, advances, 0, text.size() - 1);
  table->count = 1;
}

}  // namespace

bool isIdeographicLanguage(const std::string& language) {
  return language == "ja" || language == "JA" || language == "ko" || language == "KO" || language == "ch" ||
         language == "CH";
}

bool currentLanguageIsIdeographic() {
  const ConfigManager* config = ConfigManager::getInstancePtr();
  return config && isIdeographicLanguage(config->getCurrentLanguage());
}

BreakResult canBreakAfter(uint32_t c, uint32_t next, bool ideographic) {
  BreakResult result;
  result.breakChar = c;
  if (!ideographic) {
    result.canBreak = c == kSpace || c == kLineFeed;
    return result;
  }
  // Closing punctuation stays with the ideograph before it.
  if (next == 0x3001 || next == 0x3002 || next == 0xFF1F || next == 0xFF01) return result;
  result.canBreak = c == kSpace || c == kLineFeed || c > 0xFF;
  return result;
}

BreakResult canBreakAfter(uint32_t c, uint32_t next) { return canBreakAfter(c, next, currentLanguageIsIdeographic()); }

float textRangeWidth(const TextView& text, const GlyphAdvances& advances, size_t first, size_t last) {
  float width = 0.0f;
  if (last >= text.size()) last = text.size() - 1;
  for (size_t i = first; i <= last && i < text.size(); ++i) width += advances.advance(text.at(i));
  return width;
}

// Empties the table; an empty text or one without wrapping is laid out here
// at once (false), otherwise the caller goes on to wrap it (true).
static bool startLayout(const TextView& text, const GlyphAdvances& advances, bool wordWrap, LineTable* table) {
  table->count = 0;
  table->truncated = false;
  if (text.size() == 0) return false;
  if (!wordWrap) {
    layoutSingleLine(text, advances, table);
    return false;
  }
  return true;
}

uint32_t layoutTextA(const TextView& text, const GlyphAdvances& advances, bool wordWrap, float boxWidth,
                     bool ideographic, LineTable* table) {
  if (!startLayout(text, advances, wordWrap, table)) return table->count;
  const size_t length = text.size();
  LineWidth lineWidth(text, advances);
  uint32_t current = 0;
  openLine(table, 0, 0, 0, 0.0f);
  uint32_t words = 0;
  for (size_t p = 0; p < length; ++p) {
    const bool last = p + 1 == length;
    BreakResult b = canBreakAfter(text.at(p), last ? 0 : text.at(p + 1), ideographic);
    if (last && words > 0) b = BreakResult{true, kSpace};
    const bool isLF = b.breakChar == kLineFeed;
    if (!b.canBreak && !last) continue;
    ++words;
    TextLine& line = table->lines[current];
    const float w = lineWidth.through(line.start, p);
    if (w < boxWidth) {
      line.end = uint16_t(p);
      line.width = w;
      if (isLF) {
        if (!openLine(table, current + 1, p + 1, kOpenLineEnd, 0.0f)) break;
        ++current;
        words = 0;
      }
    } else if (words == 1) {
      // A single segment wider than the box keeps its own overlong line.
      line.end = uint16_t(p);
      line.width = w;
      if (!openLine(table, current + 1, p + 1, kOpenLineEnd, 0.0f)) break;
      ++current;
      words = 0;
    } else {
      const size_t start = line.end == kOpenLineEnd ? size_t(line.start) : size_t(line.end) + 1;
      if (!openLine(table, current + 1, start, p, textRangeWidth(text, advances, start, p))) break;
      ++current;
      words = 1;
      if (isLF) {
        if (!openLine(table, current + 1, p + 1, kOpenLineEnd, 0.0f)) break;
        ++current;
        words = 0;
      }
    }
  }
  table->count = current + (table->lines[current].end != kOpenLineEnd ? 1 : 0);
  return table->count;
}

uint32_t layoutTextB(const TextView& text, const GlyphAdvances& advances, bool wordWrap, float boxWidth,
                     bool ideographic, LineTable* table) {
  if (!startLayout(text, advances, wordWrap, table)) return table->count;
  const size_t length = text.size();
  LineWidth lineWidth(text, advances);
  uint32_t current = 0;
  openLine(table, 0, 0, 0, 0.0f);
  uint32_t words = 0;
  size_t segmentStart = 0;
  bool full = false;
  for (size_t p = 0; p < length && !full; ++p) {
    const bool last = p + 1 == length;
    BreakResult b = canBreakAfter(text.at(p), last ? 0 : text.at(p + 1), ideographic);
    if (last && words > 0) b = BreakResult{true, kSpace};
    const bool isLF = b.breakChar == kLineFeed;
    if (!b.canBreak) continue;
    TextLine& line = table->lines[current];
    const float w = lineWidth.through(line.start, p);
    if (w <= boxWidth || words == 0) {
      line.end = uint16_t(p);
      line.width = w;
      ++words;
    } else {
      if (!openLine(table, current + 1, segmentStart, p, textRangeWidth(text, advances, segmentStart, p))) {
        full = true;
        break;
      }
      ++current;
      if (!isLF) words = 0;
    }
    if (isLF && words != 0) {
      if (!openLine(table, current + 1, p + 1, p + 1, 0.0f)) {
        full = true;
        break;
      }
      ++current;
      words = 0;
    }
    segmentStart = p + 1;
  }
  if (!full) {
    // The last line always closes at the end of the text, even when empty.
    TextLine& line = table->lines[current];
    line.end = uint16_t(length - 1);
    line.width = line.start <= line.end ? textRangeWidth(text, advances, line.start, line.end) : 0.0f;
  }
  table->count = current + 1;
  return table->count;
}

float textBlockHeight(uint32_t lineCount, float lineHeight, float scaledLineSpacing) {
  if (lineCount <= 1) return lineHeight;
  return float(lineCount) * lineHeight - scaledLineSpacing;
}

float alignOffset(uint32_t align, float box, float extent) {
  if (align == 1) return (box - extent) * 0.5f;
  if (align == 2) return box - extent;
  return 0.0f;
}

Vector2<float> snapToPixelAtScale(const Vector2<float>& v, float scale) {
  if (!(scale > 0.0f)) return v;
  auto snap = [scale](float value) {
    const float t = value * scale;
    const float i = std::trunc(t);
    const float f = t - i;
    const float r = f > 0.5f ? i + 1.0f : i;
    return r / scale;
  };
  return Vector2<float>(snap(v.x), snap(v.y));
}

float truncateToPixelAtScale(float value, float scale) {
  if (!(scale > 0.0f)) return value;
  return std::trunc(value * scale) / scale;
}

}  // namespace KR
