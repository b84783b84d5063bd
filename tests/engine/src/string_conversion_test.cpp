#include "string_conversion.h"

#include <gtest/gtest.h>

using KR::toNarrowString;
using KR::toWideString;

TEST(StringConversion, EmptyAndEmbeddedZerosKeepTheirLength) {
  EXPECT_EQ(toWideString(""), L"");
  EXPECT_EQ(toNarrowString(L""), "");
  std::string narrow("a\0b", 3);
  std::wstring wide = toWideString(narrow);
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(wide[1], L'\0');
  EXPECT_EQ(toNarrowString(wide), narrow);
}

TEST(StringConversion, Utf8RoundTripsEveryPlane) {
  std::string narrow = "Zo\xC3\xAB \xE2\x82\xAC \xF0\x9F\x98\x80";  // Zoë € and an emoji beyond U+FFFF
  std::wstring wide = toWideString(narrow);
  EXPECT_EQ(wide, L"Zo\u00EB \u20AC \U0001F600");
  EXPECT_EQ(toNarrowString(wide), narrow);
}

TEST(StringConversion, BadBytesBecomeReplacementCharacters) {
  // A lone continuation byte and a cut-off sequence; the text around them survives.
  EXPECT_EQ(toWideString("a\x80z"), L"a\uFFFDz");
  EXPECT_EQ(toWideString("ab\xE2\x82"), L"ab\uFFFD\uFFFD");
}

TEST(StringConversion, SurrogatesJoinOrBecomeTheDefaultCharacter) {
  std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
  EXPECT_EQ(toNarrowString(pair), "\xF0\x9F\x98\x80");
  std::wstring lone = {L'x', wchar_t(0xD800), L'y'};
  EXPECT_EQ(toNarrowString(lone), "x?y");
}
