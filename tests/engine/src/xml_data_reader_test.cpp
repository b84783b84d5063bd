#include "xml_data_reader.h"

#include <gtest/gtest.h>

#include "data_test_content.h"
#include "zip_test_archive.h"

class XmlDataReaderTest : public ::testing::Test {
 protected:
  XmlDataReaderTest() : content("xml-data") {
    content.addEntry("default", "values",
                     "<?xml version=\"1.0\"?>\n"
                     "<root>\n"
                     "  <maxLoadedViewCount v=\"12abc\"/>\n"
                     "  <noValue/>\n"
                     "  <speed v=\"2.5e1\" other=\"ignored\"/>\n"
                     "  <name v=\"Caf&#xE9;\"/>\n"
                     "  <name v=\"second\"/>\n"
                     "  <yes v=\"yes\"/><True v=\"True\"/><one v=\"1\"/>\n"
                     "  <no v=\"no\"/><false v=\"false\"/><zero v=\"0\"/><empty v=\"\"/>\n"
                     "  <pos v0=\"3.5\" v1=\"-2\"/><half v0=\"7\"/>\n"
                     "  <area v0=\"10\" v1=\"20\" v2=\"30\" v3=\"40\"/>\n"
                     "  <orange r=\"255\" g=\"128\" b=\"0\"/><wrapped r=\"300\" g=\"0\" b=\"0\" a=\"255\"/>\n"
                     "  <section><inner v=\"7\"/></section>\n"
                     "  <list><v1 v=\"b\"/><v0 v=\"a\"/><v3 v=\"d\"/><other v=\"x\"/></list>\n"
                     "  <records><v0><x v=\"1\"/></v0><v1><x v=\"2\"/></v1></records>\n"
                     "  <noItems><v1 v=\"b\"/></noItems>\n"
                     "</root>\n");
    content.addEntry("default", "other_root", "<data><speed v=\"1\"/></data>");
    content.addEntry("default", "empty", "");
    content.addEntry("default", "comments", "<?xml version=\"1.0\"?><!-- nothing here -->");
    content.addEntry("default", "broken", "<root><a></root>");
    content.addEntry("default", "big", "<root>" + std::string(40000, ' ') + "<k v=\"1\"/></root>");
    // Three quarters of the arena, and one byte more than all of it.
    content.addEntry("default", "large", "<root>" + std::string(1572864, ' ') + "<k v=\"2\"/></root>");
    content.addEntry("default", "huge", "<root>" + std::string(KR::BuddyAllocator::kArenaSize - 12, ' ') + "</root>");
    content.start();
  }
  KR::Test::ScratchContent content;
};

TEST_F(XmlDataReaderTest, Scalars) {
  KR::XmlDataReader reader;
  ASSERT_TRUE(reader.open("default", "values"));
  int32_t count = -1;
  EXPECT_TRUE(reader.readInt("maxLoadedViewCount", &count));
  EXPECT_EQ(count, 12);
  EXPECT_TRUE(reader.readIntStr("noValue", &count));
  EXPECT_EQ(count, 0);
  count = 16;
  EXPECT_FALSE(reader.readInt("missing", &count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(reader.readInt("maxLoadedViewCount", nullptr));

  float speed = 0;
  EXPECT_TRUE(reader.readFloat("speed", &speed));
  EXPECT_FLOAT_EQ(speed, 25.0f);
  std::string name;
  EXPECT_TRUE(reader.readString("name", &name));
  EXPECT_EQ(name, "Caf\xC3\xA9");  // the first of two, as UTF-8 bytes
  EXPECT_FALSE(reader.readString("missing", &name));
  EXPECT_EQ(name, "");
}

TEST(XmlDataReader, IntegersBeyond32BitsStopAtTheLimit) {
  KR::Test::ScratchContent content("xml-data-limits");
  content.addEntry("default", "limits",
                   "<root><big v=\"4294967295\"/><small v=\"-9999999999\"/>"
                   "<huge r=\"4294967296\" g=\"300\" b=\"-1\" a=\"255\"/></root>");
  content.start();
  KR::XmlDataReader reader;
  ASSERT_TRUE(reader.open("default", "limits"));
  int32_t value = 0;
  EXPECT_TRUE(reader.readInt("big", &value));
  EXPECT_EQ(value, 2147483647);
  EXPECT_TRUE(reader.readInt("small", &value));
  EXPECT_EQ(value, -2147483647 - 1);
  KR::Color color;
  EXPECT_TRUE(reader.readColor("huge", &color));
  EXPECT_EQ(color.value, 0xFFFF2CFFu);  // red saturates to 0x7FFFFFFF, low byte 255
}

TEST_F(XmlDataReaderTest, BooleansByFirstCharacter) {
  KR::XmlDataReader reader;
  ASSERT_TRUE(reader.open("default", "values"));
  for (const char* key : {"yes", "True", "one"}) {
    bool value = false;
    EXPECT_TRUE(reader.readBool(key, &value)) << key;
    EXPECT_TRUE(value) << key;
  }
  for (const char* key : {"no", "false", "zero", "empty", "noValue"}) {
    bool value = true;
    EXPECT_TRUE(reader.readBool(key, &value)) << key;
    EXPECT_FALSE(value) << key;
  }
  bool value = true;
  EXPECT_FALSE(reader.readBool("missing", &value));
  EXPECT_FALSE(value);
}

TEST_F(XmlDataReaderTest, VectorsRectanglesAndColours) {
  KR::XmlDataReader reader;
  ASSERT_TRUE(reader.open("default", "values"));
  KR::Vector2<float> v;
  EXPECT_TRUE(reader.readVector2("pos", &v));
  EXPECT_EQ(v, KR::Vector2<float>(3.5f, -2.0f));
  EXPECT_TRUE(reader.readVector2("half", &v));
  EXPECT_EQ(v, KR::Vector2<float>(7.0f, 0.0f));
  EXPECT_FALSE(reader.readVector2("missing", &v));
  EXPECT_EQ(v, KR::Vector2<float>(0, 0));

  // Stored top, left, bottom, right.
  KR::Rect rect;
  EXPECT_TRUE(reader.readRect("area", &rect));
  EXPECT_EQ(rect.left, 20.0f);
  EXPECT_EQ(rect.top, 10.0f);
  EXPECT_EQ(rect.right, 40.0f);
  EXPECT_EQ(rect.bottom, 30.0f);
  EXPECT_FALSE(reader.readRect("missing", &rect));
  EXPECT_EQ(rect, KR::Rect());

  KR::Color color;
  EXPECT_TRUE(reader.readColor("orange", &color));
  EXPECT_EQ(color.value, 0x00FF8000u);  // no "a": transparent
  EXPECT_TRUE(reader.readColor("wrapped", &color));
  EXPECT_EQ(color.red(), 44);
  EXPECT_FALSE(reader.readColor("missing", &color));
  EXPECT_EQ(color.value, 0xFFFFFFFFu);
}

TEST_F(XmlDataReaderTest, SectionsAndArrays) {
  KR::XmlDataReader reader;
  ASSERT_TRUE(reader.open("default", "values"));
  pugi::xml_node root = reader.getCursor();
  EXPECT_FALSE(reader.enterChild("missing"));
  EXPECT_EQ(reader.getCursor(), root);
  ASSERT_TRUE(reader.enterChild("section"));
  int32_t inner = 0;
  EXPECT_TRUE(reader.readInt("inner", &inner));
  EXPECT_EQ(inner, 7);
  reader.leaveChild();
  EXPECT_EQ(reader.getCursor(), root);

  // Items by name up to the first gap: v0 and v1, not v3.
  ASSERT_TRUE(reader.enterChild("list"));
  pugi::xml_node list = reader.getCursor();
  std::vector<std::string> items;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string value;
    EXPECT_TRUE(reader.readCurrentString(&value));
    items.push_back(value);
  }
  EXPECT_EQ(items, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(reader.getCursor(), list);
  reader.leaveChild();

  // Section items, and a loop left early puts the cursor back.
  ASSERT_TRUE(reader.enterChild("records"));
  pugi::xml_node records = reader.getCursor();
  int32_t sum = 0;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.nextUnchecked()) {
    int32_t x = 0;
    EXPECT_TRUE(reader.readInt("x", &x));
    sum += x;
  }
  EXPECT_EQ(sum, 3);
  {
    auto it = reader.arrayBegin();
    EXPECT_NE(reader.getCursor(), records);
  }
  EXPECT_EQ(reader.getCursor(), records);
  reader.leaveChild();

  // No v0: no item, cursor unchanged.
  ASSERT_TRUE(reader.enterChild("noItems"));
  pugi::xml_node noItems = reader.getCursor();
  int seen = 0;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) ++seen;
  EXPECT_EQ(seen, 0);
  EXPECT_EQ(reader.getCursor(), noItems);
}

TEST_F(XmlDataReaderTest, DocumentsWithoutRootOrElements) {
  KR::XmlDataReader reader;
  EXPECT_FALSE(reader.readCurrentString(nullptr));
  std::string text = "x";
  EXPECT_FALSE(reader.readCurrentString(&text));  // a fresh reader has no cursor

  ASSERT_TRUE(reader.open("default", "other_root"));
  float speed = 9;
  EXPECT_FALSE(reader.readFloat("speed", &speed));
  EXPECT_EQ(speed, 0.0f);
  EXPECT_FALSE(reader.enterChild("speed"));

  for (const char* name : {"empty", "comments"}) {
    EXPECT_TRUE(reader.open("default", name)) << name;
    EXPECT_FALSE(reader.getCursor()) << name;
  }
  EXPECT_FALSE(reader.open("default", "absent"));
  EXPECT_FALSE(reader.getCursor());
}

TEST_F(XmlDataReaderTest, BuffersComeFromTheBuddyArenaAndGoBack) {
  KR::BuddyAllocator* buddy = content.allocators->getBuddyAllocator();
  {
    KR::XmlDataReader reader;
    ASSERT_TRUE(reader.open("default", "big"));  // about 40 KB: a block of four leaves
    EXPECT_GE(buddy->getBytesInUse(), 40000u);
    int32_t k = 0;
    EXPECT_TRUE(reader.readInt("k", &k));
    EXPECT_EQ(k, 1);
    // Reopening gives the previous block back first.
    ASSERT_TRUE(reader.open("default", "empty"));
    EXPECT_EQ(buddy->getBytesInUse(), 0u);
    EXPECT_TRUE(buddy->isLeafUsed(0));  // even an empty file holds the smallest block
    ASSERT_TRUE(reader.open("default", "values"));
  }
  EXPECT_EQ(buddy->getBytesInUse(), 0u);
  EXPECT_FALSE(buddy->isLeafUsed(0));
}

TEST_F(XmlDataReaderTest, FilesUpToTheArenaOpenWhileOtherReadersHoldBlocks) {
  KR::BuddyAllocator* buddy = content.allocators->getBuddyAllocator();
  KR::XmlDataReader outer;
  ASSERT_TRUE(outer.open("default", "values"));
  const uint32_t held = buddy->getBytesInUse();
  {
    // The whole arena is not free: the file goes to the heap.
    KR::XmlDataReader inner;
    ASSERT_TRUE(inner.open("default", "large"));
    int32_t k = 0;
    EXPECT_TRUE(inner.readInt("k", &k));
    EXPECT_EQ(k, 2);
    EXPECT_EQ(buddy->getBytesInUse(), held);
    // Reopened on a small file, the reader is back in the arena.
    ASSERT_TRUE(inner.open("default", "big"));
    EXPECT_GT(buddy->getBytesInUse(), held);
  }
  EXPECT_EQ(buddy->getBytesInUse(), held);
  // Items by name, in any order; of two with one name the first counts, and
  // "v01" is no item.
  std::string list = "<root><v1 v=\"b\"/><v01 v=\"x\"/><v0 v=\"a\"/><v1 v=\"c\"/><v2 v=\"d\"/></root>";
  KR::XmlDataReader reader;
  ASSERT_EQ(reader.parse(list.data(), list.size()), pugi::status_ok);
  std::string seen;
  for (auto it = reader.arrayBegin(); it != reader.arrayEnd(); it.next()) {
    std::string value;
    reader.readCurrentString(&value);
    seen += value;
  }
  EXPECT_EQ(seen, "abd");
}

TEST_F(XmlDataReaderTest, AFileLargerThanTheArenaIsFatalWithItsName) {
  KR::XmlDataReader reader;
  EXPECT_EXIT(reader.open("default", "huge"), ::testing::ExitedWithCode(255),
              "XML file huge is too large: 2097153 bytes, more than the 2097152 an XML data file may have");
}

TEST_F(XmlDataReaderTest, ParseFromMemoryReportsInsteadOfFailing) {
  KR::XmlDataReader reader;
  std::string good = "<root><a v=\"5\"/></root>";
  EXPECT_EQ(reader.parse(good.data(), good.size()), pugi::status_ok);
  int32_t a = 0;
  EXPECT_TRUE(reader.readInt("a", &a));
  EXPECT_EQ(a, 5);
  std::string bad = "<root><a></root>";
  EXPECT_NE(reader.parse(bad.data(), bad.size()), pugi::status_ok);
  EXPECT_FALSE(reader.getCursor());
  EXPECT_EQ(content.allocators->getBuddyAllocator()->getBytesInUse(), 0u);
  EXPECT_STREQ(KR::XmlDataReader::describeStatus(pugi::status_no_document_element), "Unknown error");
  EXPECT_STRNE(KR::XmlDataReader::describeStatus(pugi::status_bad_attribute), "Unknown error");
}

TEST_F(XmlDataReaderTest, MalformedXmlIsFatal) {
  KR::XmlDataReader reader;
  EXPECT_EXIT(
      {
        KR::LogSystem::getInstance()->addWriter(std::make_unique<KR::StderrLogWriter>());
        reader.open("default", "broken");
      },
      ::testing::ExitedWithCode(255),
      // The fatal box itself says which file and why.
      "Failed to parse XML file: broken(.|\n)*Error description: (.|\n)*Description:\n  Failed to parse XML file "
      "broken: [A-Za-z](.|\n)*xml_data_reader");
}

// A zipped document whose data ends before the entry's size: the part read is
// a complete, valid document, and must still not pass for the file.
TEST(XmlDataReaderDeathTest, AFileThatReadsShortIsRefused) {
  KR::Test::ScratchContent content("xml-short");
  content.folder += "/";  // the zip archive is the content folder followed by "data.zip"
  const std::string text = "<root><count v=\"3\"/></root>";
  content.addEntry("default", "short", text);
  ASSERT_TRUE(KR::Test::writeZip(content.folder + "data.zip", {{"default/short.dat", text}}));
  std::string bytes = KR::Test::readFile(content.folder + "data.zip");
  size_t local = bytes.find("default/short.dat");
  size_t central = bytes.find("default/short.dat", local + 1);
  for (size_t at : {local - 30 + 22, central - 46 + 24}) bytes[at] = static_cast<char>(text.size() + 40);
  KR::Test::writeFile(content.folder + "data.zip", bytes);
  content.start();
  KR::XmlDataReader reader;
  EXPECT_EXIT(
      {
        KR::LogSystem::getInstance()->addWriter(std::make_unique<KR::StderrLogWriter>());
        reader.open("default", "short");
      },
      ::testing::ExitedWithCode(255), "Failed to parse XML file: short(.|\n)*Error description: read error");
}
