// The notebook screen over a configuration given as text: pushes by section
// and record name, the push effects waiting for the next view change, turning
// spreads, and the saved game's pages placed back where they were.
#include "core/game_state/hud/notebook_ui.h"

#include <gtest/gtest.h>

#include <string>

#include "core/game_state/game_message.h"
#include "engine_allocators.h"
#include "support/test_support.h"
#include "xml_data_reader.h"

namespace {

const char kConfig[] =
    "<root><NotebookConfig><pageSize v0=\"400\" v1=\"300\"/><Sections><section1><name v=\"diary\"/>"
    "<recordsDistance v=\"10\"/><records>"
    "<v0><id v=\"a\"/><SceneFile v=\"\"/><doublePage v=\"0\"/></v0>"
    "<v1><id v=\"b\"/><SceneFile v=\"\"/><doublePage v=\"0\"/></v1>"
    "<v2><id v=\"c\"/><SceneFile v=\"\"/><doublePage v=\"0\"/></v2>"
    "<v3><id v=\"d\"/><SceneFile v=\"\"/><doublePage v=\"0\"/></v3>"
    "<v4><id v=\"map\"/><SceneFile v=\"\"/><doublePage v=\"1\"/></v4>"
    "</records></section1></Sections></NotebookConfig></root>";

class NotebookScreenTest : public ::testing::Test {
 protected:
  NotebookScreenTest() {
    allocators.init();
    KR::XmlDataReader reader;
    EXPECT_EQ(reader.parse(kConfig, sizeof kConfig - 1), pugi::status_ok);
    book.readConfig(reader);
    EXPECT_NE(book.getSection(), nullptr);
    markLoaded();
  }
  // The records' scenes stand in as loaded, each 200 high: one per page.
  void markLoaded() {
    for (const auto& record : book.getSection()->records) {
      record->loadState = 2;
      record->height = 200;
      record->offset.x = 7;
    }
  }
  HOG::NotebookRecord* record(const char* id) { return book.getSection()->findRecord(id); }
  void deactivateView() {
    HOG::GameMessage message;
    message.kind = HOG::kMsgViewDeactivated;
    book.onMessage(&message);
  }

  KR::EngineAllocators allocators;
  KR::Test::LogCapture log;
  HOG::NotebookUI book;
};

TEST_F(NotebookScreenTest, PushesByNameAndTheirEffectsWaitForTheNextViewChange) {
  EXPECT_FALSE(book.pushRecord("journal", "a"));
  EXPECT_TRUE(log.contains("ERROR: Bad section name specified! journal"));
  EXPECT_FALSE(book.pushRecord("diary", "z"));
  EXPECT_TRUE(log.contains("ERROR: Bad record name specified! z"));
  EXPECT_TRUE(book.getSection()->pages.empty());

  EXPECT_TRUE(book.pushRecord("diary", "a"));
  EXPECT_TRUE(record("a")->placed);  // placed at once, closed or not
  EXPECT_EQ(book.pushEffects, 0);
  deactivateView();
  EXPECT_EQ(book.pushEffects, 1);
  deactivateView();
  EXPECT_EQ(book.pushEffects, 1);
  EXPECT_TRUE(book.pushRecordImmediately("diary", "b"));
  EXPECT_EQ(book.pushEffects, 2);

  EXPECT_FALSE(book.showRecord("diary", "c"));  // not pushed: opens, shows nothing new
  EXPECT_TRUE(log.contains("ERROR: Cant show NULL page!"));
  EXPECT_TRUE(book.isOpen());
  EXPECT_FALSE(book.showRecord("diary", "zz"));
  EXPECT_TRUE(log.contains("ERROR: Bad record name specified! zz"));
  EXPECT_TRUE(book.showRecord("diary", "b"));
  EXPECT_EQ(book.getSection()->shownRight, record("b")->page);
}

TEST_F(NotebookScreenTest, OpensOnTheLastPushAndTurnsSpreadsWithinTheBook) {
  for (const char* id : {"a", "b", "c", "d", "map"}) book.pushRecord("diary", id);
  HOG::NotebookSection& section = *book.getSection();
  ASSERT_EQ(section.pages.size(), 6u);  // four single pages and the double page's spread
  book.setOpen(true);
  EXPECT_EQ(section.shownLeft, record("map")->page);
  EXPECT_EQ(section.leftLabel, "5");
  book.listRight();  // already the last spread
  EXPECT_EQ(section.shownLeft->index, 5u);
  book.listLeft();
  EXPECT_EQ(section.shownLeft->index, 3u);
  EXPECT_EQ(section.rightLabel, "4");
  book.listLeft();
  book.listLeft();  // already the first spread
  EXPECT_EQ(section.shownLeft->index, 1u);
  EXPECT_FALSE(section.pages[2]->shown);
  book.listRight();
  EXPECT_EQ(section.shownLeft->index, 3u);

  // Closing forgets the last push: opening again stays on the spread turned to.
  book.setOpen(false);
  book.setOpen(false);
  EXPECT_FALSE(book.isOpen());
  book.setOpen(true);
  EXPECT_EQ(section.shownLeft->index, 3u);
}

TEST_F(NotebookScreenTest, ADoublePageOfferedToAHalfFilledRightPageMovesTheWholeSpreadOn) {
  record("b")->height = 50;  // the right page keeps room
  for (const char* id : {"a", "b", "map"}) book.pushRecord("diary", id);
  HOG::NotebookSection& section = *book.getSection();
  ASSERT_EQ(section.pages.size(), 4u);
  EXPECT_EQ(record("map")->page, section.pages[0].get());
  EXPECT_TRUE(section.pages[0]->full);
  EXPECT_TRUE(section.pages[1]->full);
  // Nothing lies under the double page: both pages' records moved on, each listed once.
  EXPECT_EQ(section.pages[0]->records, std::vector<HOG::NotebookRecord*>{record("map")});
  EXPECT_TRUE(section.pages[1]->records.empty());
  size_t listed = 0;
  for (const auto& page : section.pages) listed += page->records.size();
  EXPECT_EQ(listed, 3u);
  EXPECT_EQ(record("a")->page->index, 3u);
  EXPECT_EQ(record("b")->page->index, 4u);
}

TEST_F(NotebookScreenTest, SavedPagesComeBackWithTheirRecordsHeightsAndFlags) {
  for (const char* id : {"a", "b", "map"}) book.pushRecord("diary", id);
  std::vector<HOG::SaveGame::NotebookPage> saved = book.capture();
  ASSERT_EQ(saved.size(), 4u);
  EXPECT_EQ(saved[0].recordKeys, std::vector<std::string>{"a"});
  const KR::Vector2<float> mapAt = record("map")->position;

  book.reset();
  EXPECT_FALSE(record("a")->placed);
  markLoaded();
  saved[1].recordKeys.push_back("gone");
  book.restore(saved);
  EXPECT_TRUE(log.contains("ERROR: Can't find notebook record 'gone' for loading!"));
  const std::vector<HOG::SaveGame::NotebookPage> again = book.capture();
  ASSERT_EQ(again.size(), 4u);
  for (size_t i = 0; i < again.size(); ++i) {
    EXPECT_EQ(again[i].flag, saved[i].flag) << i;
    EXPECT_EQ(again[i].word, saved[i].word) << i;
  }
  EXPECT_EQ(again[1].recordKeys, std::vector<std::string>{"b"});
  EXPECT_EQ(record("map")->page, book.getSection()->pages[2].get());
  EXPECT_FLOAT_EQ(record("map")->position.y, mapAt.y);
  // A full page stays full: the next push goes past the restored pages.
  book.pushRecord("diary", "c");
  EXPECT_EQ(record("c")->page->index, 5u);
}

}  // namespace
