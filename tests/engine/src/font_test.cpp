// The simple font's description: slots over the code range, skipped entries,
// refused ranges (drawing: font_draw_test.cpp).
#include "font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lua_data_file.h"
#include "lua_script_2.h"

namespace KR {
namespace {

struct Parsed {
  FontDescriptionError error = FontDescriptionError::kNone;
  std::vector<FontGlyph> glyphs;
  uint32_t first = 7, last = 7;
};

Parsed parse(const std::string& text) {
  LuaStateHolder holder(newLuaState(), true);
  EXPECT_TRUE(runLuaDataText(holder, text.data(), text.size())) << text;
  Parsed parsed;
  parsed.error = readSimpleFontDescription(holder.state, &parsed.glyphs, &parsed.first, &parsed.last);
  return parsed;
}

std::string asciiList() {
  std::string text = "Image = 'font2_image'\nCharList = {\n";
  for (int code = 32; code <= 126; ++code)
    text += "{ " + std::to_string(code) + ", " + std::to_string((code - 32) * 8) + ", 0, 8, 16 },\n";
  return text + "}\n";
}

TEST(SimpleFontDescription, ContiguousAsciiGivesOneSlotPerCode) {
  const Parsed parsed = parse(asciiList());
  ASSERT_EQ(parsed.error, FontDescriptionError::kNone);
  EXPECT_EQ(parsed.first, 32u);
  EXPECT_EQ(parsed.last, 126u);
  ASSERT_EQ(parsed.glyphs.size(), 95u);
  EXPECT_EQ(parsed.glyphs[33].present, 33);  // 'A'
  EXPECT_FLOAT_EQ(parsed.glyphs[33].x, 33 * 8);
  EXPECT_FLOAT_EQ(parsed.glyphs[33].height, 16);
}

TEST(SimpleFontDescription, GapsDuplicatesAndMalformedEntries) {
  const Parsed parsed = parse(
      "Image = 3\nCharList = {\n"
      "  { 65, 1, 2, 3, 4 },\n"
      "  { 66, 9, 9, 9, 9 },\n"
      "  { 66, 5, 5, 5, 5 },\n"             // duplicate: the earlier one wins
      "  { 67, 1, 1, 1 },\n"                // four numbers: skipped
      "  { 68, 'x', 1, 1, 1 },\n"           // not a number: skipped
      "  { '69', '7', '8', '9', '10' },\n"  // numeric strings count
      "  'junk',\n"
      "  { 70, 1, 1, 1, 1 },\n"
      "}\n");
  ASSERT_EQ(parsed.error, FontDescriptionError::kNone);
  EXPECT_EQ(parsed.first, 65u);
  EXPECT_EQ(parsed.last, 70u);
  ASSERT_EQ(parsed.glyphs.size(), 6u);
  EXPECT_FLOAT_EQ(parsed.glyphs[1].x, 9);
  EXPECT_EQ(parsed.glyphs[2].present, -1);
  EXPECT_EQ(parsed.glyphs[3].present, -1);
  EXPECT_EQ(parsed.glyphs[4].present, 4);
  EXPECT_FLOAT_EQ(parsed.glyphs[4].height, 10);
  // Codes are truncated.
  EXPECT_EQ(parse("Image = 'a'\nCharList = { { 65.9, 0, 0, 1, 1 } }\n").first, 65u);
}

TEST(SimpleFontDescription, RefusedDescriptions) {
  EXPECT_EQ(parse("CharList = { { 65, 0, 0, 1, 1 } }\n").error, FontDescriptionError::kNoImage);
  EXPECT_EQ(parse("Image = {}\nCharList = { { 65, 0, 0, 1, 1 } }\n").error, FontDescriptionError::kNoImage);
  EXPECT_EQ(parse("Image = 'a'\n").error, FontDescriptionError::kNoCharList);
  EXPECT_EQ(parse("Image = 'a'\nCharList = 'x'\n").error, FontDescriptionError::kNoCharList);
  // Ten entries over five codes.
  std::string tooMany = "Image = 'a'\nCharList = {\n";
  for (int i = 0; i < 10; ++i) tooMany += "{ " + std::to_string(10 + i % 4 + (i == 9 ? 4 : 0)) + ", 0, 0, 1, 1 },\n";
  EXPECT_EQ(parse(tooMany + "}\n").error, FontDescriptionError::kTooFewSlots);
  // Last code below the first: refused instead of a wrapped slot count.
  const Parsed reversed = parse("Image = 'a'\nCharList = { { 90, 0, 0, 1, 1 }, { 65, 0, 0, 1, 1 } }\n");
  EXPECT_EQ(reversed.error, FontDescriptionError::kReversedRange);
  EXPECT_EQ(reversed.first, 7u);  // nothing written
  EXPECT_EQ(parse("Image = 'a'\nCharList = { { -1, 0, 0, 1, 1 }, { 65, 0, 0, 1, 1 } }\n").error,
            FontDescriptionError::kReversedRange);
  EXPECT_EQ(parse("Image = 'a'\nCharList = { { 0, 0, 0, 1, 1 }, { 70000, 0, 0, 1, 1 } }\n").error,
            FontDescriptionError::kRangeTooWide);
}

TEST(SimpleFontDescription, WidestAcceptedRangeFillsEverySlot) {
  const Parsed parsed =
      parse("Image = 'a'\nCharList = {}\nfor c = 0, 65535 do CharList[c + 1] = { c, c, 0, 1, 1 } end\n");
  ASSERT_EQ(parsed.error, FontDescriptionError::kNone);
  ASSERT_EQ(parsed.glyphs.size(), size_t(kMaxSimpleFontSlots));
  EXPECT_EQ(parsed.glyphs[65535].present, 65535);
  EXPECT_FLOAT_EQ(parsed.glyphs[40000].x, 40000);
}

TEST(SimpleFontDescription, EmptyListLoadsNoSlots) {
  const Parsed parsed = parse("Image = 'a'\nCharList = { 'x' }\n");
  EXPECT_EQ(parsed.error, FontDescriptionError::kNone);
  EXPECT_TRUE(parsed.glyphs.empty());
  EXPECT_EQ(parsed.first, 0u);
}

}  // namespace
}  // namespace KR
