#include "ui/text_manager.h"

#include <gtest/gtest.h>

#include "../data_test_content.h"

namespace {

std::string stringFile(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root>" + items + "</root>";
}

std::string item(const std::string& key, const std::string& translation) {
  return "<s><text>" + key + "</text><translate>" + translation + "</translate></s>";
}

}  // namespace

class TextManagerTest : public ::testing::Test {
 protected:
  TextManagerTest() : content("text") {}
  void start() {
    content.start();
    text = std::make_unique<KR::TextManager>();
    text->loadStrings();
  }
  KR::Test::ScratchContent content;
  std::unique_ptr<KR::TextManager> text;
};

TEST_F(TextManagerTest, EarlierFilesAndFirstDefinitionsWin) {
  content.addEntry(
      "en", "strings_xml",
      stringFile(item("TITLE", "Quest") + item("TITLE", "second in the same file") +
                 "<!-- a comment --><s><text>CDATA</text><translate><![CDATA[<b>bold</b>]]></translate></s>"));
  content.addEntry("en", "strings0_xml", stringFile(item("TITLE", "from file 0") + item("ZERO", "zero")));
  content.addEntry("en", "strings1_xml", stringFile(item("ONE", "Caf\xC3\xA9 \xF0\x9F\x8E\xB2")));
  content.addEntry("en", "strings3_xml", stringFile(item("THREE", "never read")));
  start();

  EXPECT_EQ(text->getText("TITLE"), L"Quest");
  EXPECT_EQ(text->getText("ZERO"), L"zero");
  EXPECT_EQ(text->getText("ONE"), L"Caf\u00E9 \U0001F3B2");
  EXPECT_EQ(text->getText("CDATA"), L"<b>bold</b>");
  // The numbered files stop at the first gap, which is their end, not a failure: no line at every start.
  EXPECT_EQ(text->getText("THREE"), L"!ERROR!");
  EXPECT_FALSE(content.log.contains("Failed to load locale"));
}

TEST_F(TextManagerTest, MissingKeysAndElements) {
  content.addEntry("en", "strings_xml",
                   stringFile("<s><text>NO_TRANSLATION</text></s><s><translate>keyless</translate></s>"
                              "<s><text>case</text><translate>lower</translate></s>"));
  start();
  EXPECT_EQ(text->getText("NO_TRANSLATION"), L"");
  EXPECT_EQ(text->getText(""), L"keyless");
  EXPECT_EQ(text->getText("CASE"), L"!ERROR!");  // keys are case-sensitive
  const std::wstring& first = text->getText("missing");
  const std::wstring& second = text->getText("other missing");
  EXPECT_EQ(first, L"!ERROR!");
  EXPECT_EQ(&first, &second);  // one shared object
}

TEST_F(TextManagerTest, LanguageFilesFallBackToDefaultAndReloadStartsAfresh) {
  content.addEntry("default", "strings_xml", stringFile(item("HELLO", "hello from default")));
  start();
  EXPECT_EQ(text->getText("HELLO"), L"hello from default");
  EXPECT_FALSE(content.log.contains("Failed to load locale"));

  EXPECT_EQ(text->loadStringsFile("absent_xml", "localization"), 1);
  EXPECT_TRUE(content.log.contains("Failed to load locale: absent_xml"));
  EXPECT_EQ(text->getStringCount(), 1u);
  text->loadStrings();
  EXPECT_EQ(text->getStringCount(), 1u);
}

TEST_F(TextManagerTest, EmptyAndCommentOnlyFilesAddNothing) {
  content.addEntry("en", "strings_xml", "");
  content.addEntry("en", "strings0_xml", "<!-- nothing yet -->");
  content.addEntry("en", "strings1_xml", "<other><s><text>K</text><translate>v</translate></s></other>");
  start();
  EXPECT_EQ(text->getStringCount(), 0u);
}

TEST_F(TextManagerTest, MalformedFilesAreFatal) {
  content.addEntry("en", "strings_xml", stringFile(item("A", "a")).substr(0, 60));
  content.addEntry("en", "bad_utf8_xml", stringFile(item("A", "ok \xC3")));
  content.addEntry("en", "truncated_utf8_xml", stringFile(item("A", "\xE2\x82")));
  content.start();
  text = std::make_unique<KR::TextManager>();
  EXPECT_EXIT(text->loadStrings(), ::testing::ExitedWithCode(255),
              "Failed to parse XML strings_xml in package localization: .+ at byte");
  EXPECT_EXIT(text->loadStringsFile("bad_utf8_xml", "localization"), ::testing::ExitedWithCode(255),
              "bad_utf8_xml: the translation of \"A\" is not valid UTF-8");
  EXPECT_EXIT(text->loadStringsFile("truncated_utf8_xml", "localization"), ::testing::ExitedWithCode(255),
              "truncated_utf8_xml: the translation of \"A\" is not valid UTF-8");
}
