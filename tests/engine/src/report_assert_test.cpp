#include <gtest/gtest.h>

#include "log_system.h"
#include "report_assert.h"
#include "support/test_support.h"

TEST(ReportAssert, TextHasTheFourSections) {
  EXPECT_EQ(KR::buildAssertText("KR", "broken", "a.cpp", 12),
            "Name:\n  KR\n\nDescription:\n  broken\n\nFile:\n  a.cpp\n\nLine:\n  12");
  EXPECT_EQ(KR::buildAssertText("KR", "", "f", -1), "Name:\n  KR\n\nDescription:\n  \n\nFile:\n  f\n\nLine:\n  -1");
}

TEST(ReportAssertDeathTest, HeadlessReportPrintsSectionsAndExitsMinusOne) {
  EXPECT_EXIT(KR::reportAssert("KR", "the description", "some_file.cpp", 99), ::testing::ExitedWithCode(255),
              "An error was occured(.|\n)*Name:\n  KR\n\nDescription:\n  the description\n\nFile:\n  "
              "some_file.cpp\n\nLine:\n  99");
}

TEST(ReportAssertDeathTest, ReportIsLoggedWhenTheLogSystemExists) {
  EXPECT_EXIT(
      {
        KR::LogSystem logSystem;
        logSystem.addWriter(std::make_unique<KR::StderrLogWriter>());
        KR_FATAL("logged failure");
      },
      ::testing::ExitedWithCode(255), "ERROR: Assert occured\n Name:(.|\n)*logged failure");
}
