#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "format_string.h"

TEST(FormatString, ExpandsLikePrintfAndCutsAtTheLimit) {
  EXPECT_EQ(KR::formatString("%s-%03d-%.2f", "a", 7, 1.5), "a-007-1.50");
  std::string longText(2000, 'x');
  std::string result = KR::formatString("%s", longText.c_str());
  EXPECT_EQ(result.size(), 1096u);
  EXPECT_EQ(result, longText.substr(0, 1096));
  // Exactly at the limit nothing is lost.
  EXPECT_EQ(KR::formatString("%s", std::string(1096, 'y').c_str()).size(), 1096u);
}

TEST(FormatString, IntegerTextHasNoGroupingOrPadding) {
  EXPECT_EQ(KR::intToString(INT32_MIN), "-2147483648");
  EXPECT_EQ(KR::intToString(0), "0");
  EXPECT_EQ(KR::intToString(1234567), "1234567");
  EXPECT_EQ(KR::uintToString(UINT32_MAX), "4294967295");
}
