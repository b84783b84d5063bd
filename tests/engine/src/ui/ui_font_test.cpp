// UI font descriptions (levels, glyph lists, code table), level choice, glyph
// lookup and the measuring operations, on fonts built without textures.
#include "ui/ui_font.h"

#include <gtest/gtest.h>

#include <string>

#include "config_manager.h"
#include "lua_script_2.h"

namespace KR {
namespace {

struct Read {
  UIFontDescriptionError error = UIFontDescriptionError::kNone;
  UIFontDescription description;
};

Read read(const std::string& text) {
  LuaScript script;
  EXPECT_TRUE(script.runBuffer(text.data(), text.size(), "font")) << text;
  Read result;
  result.error = readUIFontDescription(script, &result.description);
  EXPECT_EQ(script.getDepth(), 0);
  return result;
}

// A font of the description, no texture loaded.
void makeFont(UIFont* font, const std::string& text) {
  Read r = read(text);
  ASSERT_EQ(r.error, UIFontDescriptionError::kNone);
  font->setDescription(std::move(r.description), "default");
}

// Letters A..E 10 wide and 20 high, space 5 wide; glyph 0 is the space.
const char* const kLatin =
    "Image = 'img'\n"
    "CharList = { { 32, 0, 0, 5, 20 }, { 65, 10, 0, 10, 20 }, { 66, 20, 0, 10, 20 }, { 67, 30, 0, 10, 20 },\n"
    "             { 68, 40, 0, 10, 20 }, { 69, 50, 0, 10, 20 } }\n";

TEST(UIFontDescription, ImageOnlyGivesOneLevelAtScaleOne) {
  Read r = read("Image = 'img'\nCharList = { { 65, 1, 2, 3, 4 } }\n");
  ASSERT_EQ(r.error, UIFontDescriptionError::kNone);
  EXPECT_EQ(r.description.levelCount, 1u);
  EXPECT_EQ(r.description.levels[0].image, "img");
  EXPECT_FLOAT_EQ(r.description.levels[0].scale, 1.0f);
  EXPECT_EQ(r.description.glyphCount, 1u);
  EXPECT_EQ(r.description.codeTable[65], 0);
  EXPECT_EQ(r.description.codeTable[66], kNoGlyph);
  EXPECT_EQ(r.description.codeTable.size(), kFontCodeTableSize);
}

TEST(UIFontDescription, LevelsArePackedFromTheFirst) {
  // Only slot 2: one level with that texture and scale, glyphs from "CharList".
  Read only2 = read("MIP2 = 'two'\nMIP2Scale = 1.5\nCharList = { { 65, 1, 2, 3, 4 } }\n");
  ASSERT_EQ(only2.error, UIFontDescriptionError::kNone);
  ASSERT_EQ(only2.description.levelCount, 1u);
  EXPECT_EQ(only2.description.levels[0].image, "two");
  EXPECT_FLOAT_EQ(only2.description.levels[0].scale, 1.5f);
  EXPECT_FLOAT_EQ(only2.description.levels[0].glyphs[0].width, 3.0f);

  // Slot 1 missing: level 1 takes slot 2's texture and reads "CharList1".
  Read gap = read(
      "Image = 'zero'\nMIP0Scale = 'x'\nMIP2 = 'two'\nMIP2Scale = 2\n"
      "CharList = { { 65, 1, 2, 3, 4 } }\nCharList1 = { { 65, 2, 4, 6, 8 } }\n");
  ASSERT_EQ(gap.error, UIFontDescriptionError::kNone);
  ASSERT_EQ(gap.description.levelCount, 2u);
  EXPECT_FLOAT_EQ(gap.description.levels[0].scale, 1.0f);  // not a number
  EXPECT_EQ(gap.description.levels[1].image, "two");
  EXPECT_FLOAT_EQ(gap.description.levels[1].scale, 2.0f);
  EXPECT_FLOAT_EQ(gap.description.levels[1].glyphs[0].height, 8.0f);
}

TEST(UIFontDescription, GlyphEntries) {
  // Four numbers: the height stays 0; non-numbers read as 0; a code beyond
  // 16 bits keeps its low 16 bits.
  Read r = read(
      "Image = 'img'\n"
      "CharList = { { 65, 1, 2, 3 }, { 'x', 1, 2, 3, 4 }, { 66, 'y', 2, 3, 4, 99 }, { 65536 + 67, 1, 1, 1, 1 } }\n");
  ASSERT_EQ(r.error, UIFontDescriptionError::kNone);
  const UIFontDescription& d = r.description;
  EXPECT_EQ(d.codeTable[65], 0);
  EXPECT_FLOAT_EQ(d.levels[0].glyphs[0].width, 3.0f);
  EXPECT_FLOAT_EQ(d.levels[0].glyphs[0].height, 0.0f);
  EXPECT_EQ(d.codeTable[0], 1);
  EXPECT_FLOAT_EQ(d.levels[0].glyphs[2].x, 0.0f);
  EXPECT_FLOAT_EQ(d.levels[0].glyphs[2].height, 4.0f);
  EXPECT_EQ(d.codeTable[67], 3);
}

TEST(UIFontDescription, LaterListRemapsTheCodeTable) {
  Read r = read(
      "Image = 'a'\nMIP1 = 'b'\n"
      "CharList = { { 65, 0, 0, 1, 1 }, { 66, 0, 0, 2, 2 } }\n"
      "CharList1 = { { 66, 0, 0, 4, 4 }, { 65, 0, 0, 3, 3 } }\n");
  ASSERT_EQ(r.error, UIFontDescriptionError::kNone);
  EXPECT_EQ(r.description.codeTable[65], 1);
  EXPECT_EQ(r.description.codeTable[66], 0);
}

TEST(UIFontDescription, DamagedDescriptionsAreRefused) {
  EXPECT_EQ(read("Image = 'a'\n").error, UIFontDescriptionError::kNoCharList);
  EXPECT_EQ(read("Image = 'a'\nCharList = 5\n").error, UIFontDescriptionError::kNoCharList);
  const Read missing = read("Image = 'a'\nMIP1 = 'b'\nCharList = { { 65, 0, 0, 1, 1 } }\n");
  EXPECT_EQ(missing.error, UIFontDescriptionError::kNoLevelList);
  EXPECT_STREQ(uiFontDescriptionErrorText(missing.error), "Failed to open font CharList table!");
  EXPECT_EQ(read("Image = 'a'\nCharList = { { 65, 0, 0, 1, 1 }, 7 }\n").error, UIFontDescriptionError::kBadGlyphEntry);
  EXPECT_EQ(read("Image = 'a'\nCharList = { { 65535, 0, 0, 1, 1 } }\n").error, UIFontDescriptionError::kReservedCode);
  EXPECT_EQ(read("Image = 'a'\nCharList = { { -1, 0, 0, 1, 1 } }\n").error, UIFontDescriptionError::kReservedCode);
  // A later list longer than "CharList" would write past the glyph arrays.
  EXPECT_EQ(read("Image = 'a'\nMIP1 = 'b'\nCharList = { { 65, 0, 0, 1, 1 } }\n"
                 "CharList1 = { { 65, 0, 0, 1, 1 }, { 66, 0, 0, 1, 1 } }\n")
                .error,
            UIFontDescriptionError::kTooManyGlyphs);
  EXPECT_EQ(read("Image = 'a'\nCharList = {}\nfor i = 1, 70000 do CharList[i] = { 65, 0, 0, 1, 1 } end\n").error,
            UIFontDescriptionError::kTooManyGlyphs);
  // Without levels the lists are counted but not read.
  const Read noLevels = read("CharList = { 1, 2 }\n");
  EXPECT_EQ(noLevels.error, UIFontDescriptionError::kNone);
  EXPECT_EQ(noLevels.description.levelCount, 0u);
  EXPECT_EQ(noLevels.description.glyphCount, 2u);
}

TEST(UIFontLevels, NearestScaleWinsAndTiesGoToTheLater) {
  const float scales[] = {1.0f, 2.0f, 0.5f};
  EXPECT_EQ(chooseFontLevel(scales, 2, 1.5f), 1);
  EXPECT_EQ(chooseFontLevel(scales, 2, 1.2f), 0);
  EXPECT_EQ(chooseFontLevel(scales, 3, 0.6f), 2);
  EXPECT_EQ(chooseFontLevel(scales, 1, 9.0f), 0);
  EXPECT_EQ(chooseFontLevel(scales, 0, 1.0f), -1);
}

TEST(UIFontGlyphs, LookupIsRangeChecked) {
  UIFont font;
  EXPECT_EQ(font.glyphIndex('A'), kNoGlyph);  // empty font
  makeFont(&font, kLatin);
  EXPECT_EQ(font.glyphIndex('A'), 1u);
  EXPECT_EQ(font.glyphIndex('Z'), kNoGlyph);
  EXPECT_EQ(font.glyphIndex(0xFFFF), kNoGlyph);
  EXPECT_EQ(font.glyphIndex(0x10041), kNoGlyph);  // not folded onto 'A'
  EXPECT_EQ(font.glyphIndex(0xFFFFFFFFu), kNoGlyph);
  EXPECT_FLOAT_EQ(font.advance('A', 1.0f), 15.0f);  // 10 + letter spacing 5
  EXPECT_FLOAT_EQ(font.advance('A', 0.0f), 10.0f);
  EXPECT_FLOAT_EQ(font.advance('Z', 1.0f), 0.0f);
  // Narrow bytes 0x80..0xFF become codes 0xFF80..0xFFFF: no glyphs, no room.
  const std::string narrow =
      "A\xFF\x80"
      "B";
  EXPECT_FLOAT_EQ(font.getStringWidth(narrow.data(), narrow.data() + narrow.size(), 0.0f), 20.0f);
}

TEST(UIFontGlyphs, LargestGlyphAndItsLowestCode) {
  UIFont font;
  makeFont(&font, "Image = 'a'\nCharList = { { 66, 0, 0, 4, 30 }, { 70, 0, 0, 12, 10 }, { 68, 0, 0, 12, 30 } }\n");
  EXPECT_FLOAT_EQ(font.maxGlyphWidth, 12.0f);
  EXPECT_FLOAT_EQ(font.maxGlyphHeight, 30.0f);
  EXPECT_EQ(font.widestCode, 70);  // the first widest glyph (index order)
  EXPECT_EQ(font.tallestCode, 66);
  // Two codes on one glyph: the lower one names it.
  UIFont shared;
  makeFont(&shared, "Image = 'a'\nCharList = { { 90, 0, 0, 4, 4 } }\n");
  EXPECT_EQ(shared.widestCode, 90);
}

TEST(UIFontMeasure, WidthsLineHeightAndRect) {
  ConfigManager config{ConfigManager::NoLoad{}};
  UIFont font;
  makeFont(&font, kLatin);
  const std::wstring text = L"AB C";
  EXPECT_FLOAT_EQ(font.getWStringWidth(text.data(), text.data() + text.size(), 1.0f), 15 + 15 + 10 + 15);
  EXPECT_FLOAT_EQ(font.getWStringWidth(text.data(), text.data() + 2, 0.0f), 20);
  EXPECT_FLOAT_EQ(font.getWStringWidth(text.data(), text.data(), 0.0f), 0);
  EXPECT_FLOAT_EQ(fontLineHeight(&font), 20.0f);
  EXPECT_FLOAT_EQ(font.lineHeight(1.0f), 25.0f);
  UIFont noA;
  makeFont(&noA, "Image = 'a'\nCharList = { { 66, 0, 0, 4, 30 } }\n");
  EXPECT_FLOAT_EQ(fontLineHeight(&noA), 0.0f);
  UIFont empty;
  EXPECT_FLOAT_EQ(fontLineHeight(&empty), 0.0f);

  // "AB C" in a 30-wide box: "AB " (25) fits, "C" wraps (layout B).
  const Rect r = font.measureWStringRect(Vector2<float>(100, 50), text, true, 0, 0, 0, 0, 30, 200);
  EXPECT_FLOAT_EQ(r.left, 100);
  EXPECT_FLOAT_EQ(r.top, 50);
  EXPECT_FLOAT_EQ(r.right, 125);  // the space's quad ends line 0
  EXPECT_FLOAT_EQ(r.bottom, 90);  // two lines of 20
  // Right and bottom alignment in a 100 x 100 box, one line.
  const Rect aligned = font.measureWStringRect(Vector2<float>(0, 0), L"AB", false, 2, 2, 0, 0, 100, 100);
  EXPECT_FLOAT_EQ(aligned.left, 0);  // the origin stays inside
  EXPECT_FLOAT_EQ(aligned.right, 100);
  EXPECT_FLOAT_EQ(aligned.bottom, 100);
  // Snapping: a centred odd remainder rounds to whole pixels.
  const Rect centred = font.measureWStringRect(Vector2<float>(0, 0), L"A", false, 1, 0, 0, 0, 15, 20);
  EXPECT_FLOAT_EQ(centred.right, 12.0f);  // 2.5 snaps down to 2, + 10
  // An empty text is the origin.
  EXPECT_EQ(font.measureWStringRect(Vector2<float>(3, 4), L"", true, 0, 0, 0, 0, 10, 10), Rect(3, 4, 3, 4));
}

TEST(UIFontDrawing, NothingDrawsWithoutTextColourOrLevels) {
  // None of these reach a sprite (there is no fast-sprite manager here).
  UIFont font;
  font.color = Color::fromARGB(0xFFFFFFFFu);
  font.drawWString(Rect(), Vector2<float>(), L"AB", false, 0, 0, 0, 0, false, false, 100, 100);
  makeFont(&font, kLatin);
  font.color = Color::fromARGB(0x00FFFFFFu);
  font.drawWString(Rect(), Vector2<float>(), L"AB", false, 0, 0, 0, 0, false, false, 100, 100);
  font.drawString(Rect(), Vector2<float>(), "AB", false, 0, 0, 0, 0, false, 100, 100);
  font.drawWStringTransformed(Matrix3(), Vector2<float>(100, 100), L"AB", false, 0, 0, 0, 0, false, Rect(), true, 0);
  font.color = Color::fromARGB(0xFFFFFFFFu);
  font.drawWString(Rect(), Vector2<float>(), L"", false, 0, 0, 0, 0, false, false, 100, 100);
  EXPECT_EQ(font.levels[0].sprite, nullptr);
}

}  // namespace
}  // namespace KR
