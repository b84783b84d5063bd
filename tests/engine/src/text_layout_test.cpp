// The two line layouts over fixed advances (letters 10, space 10, line feed
// none), the break rules, block height and pixel snapping.
#include "text_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace KR {
namespace {

class FixedAdvances : public GlyphAdvances {
 public:
  float advance(uint32_t code) const override {
    if (code == 0x0A) return 0.0f;
    if (code > 0xFFFF) return 0.0f;
    return 10.0f;
  }
};

struct Line {
  int start, end;
  float width;
  bool operator==(const Line& o) const { return start == o.start && end == o.end && width == o.width; }
};

std::ostream& operator<<(std::ostream& out, const Line& l) {
  return out << "{" << l.start << ", " << l.end << ", " << l.width << "}";
}

using Layout = uint32_t (*)(const TextView&, const GlyphAdvances&, bool, float, bool, LineTable*);

std::vector<Line> lay(Layout layout, const std::wstring& text, float box, bool wrap = true, bool cjk = false) {
  LineTable table;
  const uint32_t count = layout(TextView(text), FixedAdvances(), wrap, box, cjk, &table);
  EXPECT_EQ(count, table.count);
  std::vector<Line> lines;
  for (uint32_t i = 0; i < count; ++i)
    lines.push_back(Line{table.lines[i].start, table.lines[i].end, table.lines[i].width});
  return lines;
}

TEST(TextLayout, TwoWordsSplitWithTheSpaceOnTheFirstLine) {
  // "one " is 40 wide, the whole text 70; the box lies between.
  const std::vector<Line> expected = {{0, 3, 40}, {4, 6, 30}};
  EXPECT_EQ(lay(layoutTextA, L"one two", 45), expected);
  EXPECT_EQ(lay(layoutTextB, L"one two", 45), expected);
}

TEST(TextLayout, OverlongWordKeepsItsLine) {
  EXPECT_EQ(lay(layoutTextA, L"abcdefgh", 30), (std::vector<Line>{{0, 7, 80}}));
  EXPECT_EQ(lay(layoutTextB, L"abcdefgh", 30), (std::vector<Line>{{0, 7, 80}}));
  // Centred, such a line starts left of the box.
  EXPECT_FLOAT_EQ(alignOffset(1, 30, 80), -25);
  EXPECT_FLOAT_EQ(alignOffset(2, 30, 80), -50);
  EXPECT_FLOAT_EQ(alignOffset(7, 30, 80), 0);
}

TEST(TextLayout, LineFeedBreaksWithWrapOnly) {
  EXPECT_EQ(lay(layoutTextA, L"a\nb", 100), (std::vector<Line>{{0, 1, 10}, {2, 2, 10}}));
  EXPECT_EQ(lay(layoutTextB, L"a\nb", 100), (std::vector<Line>{{0, 1, 10}, {2, 2, 10}}));
  EXPECT_EQ(lay(layoutTextA, L"a\nb", 100, false), (std::vector<Line>{{0, 2, 20}}));
  EXPECT_EQ(lay(layoutTextB, L"a\nb", 100, false), (std::vector<Line>{{0, 2, 20}}));
}

TEST(TextLayout, TrailingLineFeedCountsOnlyInLayoutB) {
  EXPECT_EQ(lay(layoutTextA, L"ab\n", 100), (std::vector<Line>{{0, 2, 20}}));
  EXPECT_EQ(lay(layoutTextB, L"ab\n", 100), (std::vector<Line>{{0, 2, 20}, {3, 2, 0}}));
}

TEST(TextLayout, LayoutAIsStrictAboutTheBoxWidth) {
  // The whole text is exactly 50 wide.
  EXPECT_EQ(lay(layoutTextA, L"aa bb", 50), (std::vector<Line>{{0, 2, 30}, {3, 4, 20}}));
  EXPECT_EQ(lay(layoutTextB, L"aa bb", 50), (std::vector<Line>{{0, 4, 50}}));
}

TEST(TextLayout, LayoutBJoinsTheSegmentAfterAMovedOneUntested) {
  EXPECT_EQ(lay(layoutTextA, L"aaa bbb ccc", 25), (std::vector<Line>{{0, 3, 40}, {4, 7, 40}, {8, 10, 30}}));
  EXPECT_EQ(lay(layoutTextB, L"aaa bbb ccc", 25), (std::vector<Line>{{0, 3, 40}, {4, 10, 70}}));
}

TEST(TextLayout, ZeroBoxPutsEverySegmentOnItsOwnLine) {
  EXPECT_EQ(lay(layoutTextA, L"a b c", 0), (std::vector<Line>{{0, 1, 20}, {2, 3, 20}, {4, 4, 10}}));
}

TEST(TextLayout, EmptyTextHasNoLines) {
  EXPECT_TRUE(lay(layoutTextA, L"", 100).empty());
  EXPECT_TRUE(lay(layoutTextB, L"", 100).empty());
  EXPECT_TRUE(lay(layoutTextA, L"", 100, false).empty());
}

TEST(TextLayout, TextBeyondTheLineTableIsCutAtItsSize) {
  std::wstring text;
  for (int i = 0; i < 300; ++i) text += L"a\n";
  for (Layout layout : {layoutTextA, layoutTextB}) {
    LineTable table;
    const uint32_t count = layout(TextView(text), FixedAdvances(), true, 100, false, &table);
    EXPECT_EQ(count, kMaxTextLines);
    EXPECT_TRUE(table.truncated);
    EXPECT_EQ(table.lines[kMaxTextLines - 1].start, 2 * (kMaxTextLines - 1));
    EXPECT_EQ(table.lines[kMaxTextLines - 1].end, 2 * (kMaxTextLines - 1) + 1);
  }
  // Overlong words fill the table the same way.
  std::wstring words;
  for (int i = 0; i < 200; ++i) words += L"abc ";
  LineTable table;
  EXPECT_EQ(layoutTextA(TextView(words), FixedAdvances(), true, 5, false, &table), kMaxTextLines);
  EXPECT_TRUE(table.truncated);
}

TEST(TextLayout, OnlyTheFirst65535CharactersAreLaidOut) {
  const std::wstring text(70000, L'a');
  LineTable table;
  layoutTextA(TextView(text), FixedAdvances(), false, 0, false, &table);
  ASSERT_EQ(table.count, 1u);
  EXPECT_EQ(table.lines[0].end, 65534);
}

TEST(TextLayout, IdeographicBreaks) {
  // 日本語。テキスト: a break after any ideograph, never before the full stop.
  const std::wstring text = L"\u65E5\u672C\u8A9E\u3002\u30C6\u30AD\u30B9\u30C8";
  const std::vector<Line> lines = lay(layoutTextA, text, 0, true, true);
  const std::vector<Line> expected = {{0, 0, 10}, {1, 1, 10}, {2, 3, 20}, {4, 4, 10},
                                      {5, 5, 10}, {6, 6, 10}, {7, 7, 10}};
  EXPECT_EQ(lines, expected);
  // Latin words inside break at spaces only.
  EXPECT_EQ(lay(layoutTextA, L"ab cd", 0, true, true), (std::vector<Line>{{0, 2, 30}, {3, 4, 20}}));
  // Without the ideographic rules the same text stays one word.
  EXPECT_EQ(lay(layoutTextA, text, 0, true, false).size(), 1u);
}

TEST(TextLayout, BreakRules) {
  EXPECT_TRUE(canBreakAfter(' ', 'a', false).canBreak);
  EXPECT_TRUE(canBreakAfter('\n', 'a', false).canBreak);
  EXPECT_FALSE(canBreakAfter(0x65E5, 0x672C, false).canBreak);
  EXPECT_TRUE(canBreakAfter(0x65E5, 0x672C, true).canBreak);
  for (uint32_t closing : {0x3001u, 0x3002u, 0xFF1Fu, 0xFF01u}) {
    EXPECT_FALSE(canBreakAfter(0x65E5, closing, true).canBreak);
    EXPECT_FALSE(canBreakAfter(' ', closing, true).canBreak);
  }
  EXPECT_FALSE(canBreakAfter('a', 'b', true).canBreak);
  EXPECT_EQ(canBreakAfter('\n', 0, true).breakChar, 0x0Au);
  // A wide code whose low 16 bits are a line feed is no line feed.
  EXPECT_NE(canBreakAfter(0x1000A, 0, true).breakChar, 0x0Au);

  EXPECT_TRUE(isIdeographicLanguage("ja"));
  EXPECT_TRUE(isIdeographicLanguage("JA"));
  EXPECT_TRUE(isIdeographicLanguage("ko"));
  EXPECT_TRUE(isIdeographicLanguage("KO"));
  EXPECT_TRUE(isIdeographicLanguage("ch"));
  EXPECT_TRUE(isIdeographicLanguage("CH"));
  EXPECT_FALSE(isIdeographicLanguage("Ja"));
  EXPECT_FALSE(isIdeographicLanguage("zh"));
  EXPECT_FALSE(isIdeographicLanguage("en"));
  EXPECT_FALSE(isIdeographicLanguage(""));
}

TEST(TextLayout, BlockHeightLeavesNoSpacingBelowTheLastLine) {
  EXPECT_FLOAT_EQ(textBlockHeight(0, 20, 5), 20);
  EXPECT_FLOAT_EQ(textBlockHeight(1, 20, 5), 20);
  EXPECT_FLOAT_EQ(textBlockHeight(2, 20, 5), 35);
  EXPECT_FLOAT_EQ(textBlockHeight(3, 20, 5), 55);
}

TEST(TextLayout, PixelSnapping) {
  EXPECT_EQ(snapToPixelAtScale(Vector2<float>(10.5f, 10.51f), 1.0f), Vector2<float>(10.0f, 11.0f));
  EXPECT_EQ(snapToPixelAtScale(Vector2<float>(-10.7f, 3.2f), 1.0f), Vector2<float>(-10.0f, 3.0f));
  // At scale 2 half design pixels are whole screen pixels.
  EXPECT_EQ(snapToPixelAtScale(Vector2<float>(10.3f, 10.2f), 2.0f), Vector2<float>(10.5f, 10.0f));
  EXPECT_EQ(snapToPixelAtScale(Vector2<float>(1.25f, 2.0f), 0.0f), Vector2<float>(1.25f, 2.0f));
  EXPECT_FLOAT_EQ(truncateToPixelAtScale(10.9f, 1.0f), 10.0f);
  EXPECT_FLOAT_EQ(truncateToPixelAtScale(-10.9f, 1.0f), -10.0f);
  EXPECT_FLOAT_EQ(truncateToPixelAtScale(10.9f, 2.0f), 10.5f);
}

TEST(TextLayout, NarrowBytesWidenWithTheirSign) {
  const std::string text = "A\x80\xFF";
  const TextView view(text);
  EXPECT_EQ(view.at(0), 0x41u);
  EXPECT_EQ(view.at(1), 0xFF80u);
  EXPECT_EQ(view.at(2), 0xFFFFu);
  const std::wstring wide = L"\U0001F600";
  EXPECT_EQ(TextView(wide).at(0), 0x1F600u);
  EXPECT_FLOAT_EQ(textRangeWidth(TextView(std::wstring(L"ab\ncd")), FixedAdvances(), 1, 3), 20.0f);
  EXPECT_FLOAT_EQ(textRangeWidth(TextView(std::wstring(L"ab")), FixedAdvances(), 1, 0), 0.0f);
}

}  // namespace
}  // namespace KR
