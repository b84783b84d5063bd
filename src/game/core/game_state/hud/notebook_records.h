#pragma once
// The notebook's book of page spreads: records (small authored scenes) are
// laid out on the next page with room for them, stacked top down with a gap;
// a double-page record takes a whole spread, and the records it displaces are
// placed again further on. One section owns the pages (left, right, left,
// ...) and the records. Pages and sections are main-thread only; a record's
// scene and load state are guarded by its own recursive lock (the view
// streamer's thread may load it).
//
//   section.addRecord("letter", "record_letter_xml", false);
//   section.placeRecord(section.findRecord("letter"));
//   section.showPage(record->page);
#include <pthread.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vector2.h"

namespace AE {
class ISceneNode;
}
namespace KR {
class UIWidget;
}

namespace HOG {

class NotebookPage;
class NotebookSection;

class NotebookRecord {
 public:
  // Saved games keep record ids in 128-byte keys.
  static constexpr size_t kMaxIdLength = 127;

  NotebookRecord();
  ~NotebookRecord();
  NotebookRecord(const NotebookRecord&) = delete;
  NotebookRecord& operator=(const NotebookRecord&) = delete;

  // Loads the scene once (main thread or the streamer's); false when it cannot be loaded.
  bool loadScene();
  void releaseScene();

  AE::ISceneNode* scene = nullptr;
  std::string sceneFile, id;
  NotebookPage* page = nullptr;
  NotebookSection* section = nullptr;
  bool placed = false;
  bool doublePage = false;
  KR::Vector2<float> offset, position;
  // The scene's height at time 0 (from its bounds once loaded).
  float height = 0.0f;
  int32_t loadState = 0;  // 0 not loaded, 1 queued on the streamer, 2 loaded
  pthread_mutex_t lock;
};

class NotebookPage {
 public:
  NotebookPage() = default;
  // Frees the page's own widget, when it has one.
  ~NotebookPage();
  NotebookPage(const NotebookPage&) = delete;
  NotebookPage& operator=(const NotebookPage&) = delete;

  bool tryPlaceRecord(NotebookRecord* record);
  // Appends a loaded record below the ones already here, whatever room is left.
  void putRecord(NotebookRecord* record);

  NotebookSection* section = nullptr;
  // The page's widget: its own (from the section's page table, freed with the
  // page) or, without a page table, the parent of its side's pages.
  KR::UIWidget* widget = nullptr;
  bool ownsWidget = false;
  std::vector<NotebookRecord*> records;
  float pageWidth = 0.0f, pageHeight = 0.0f;
  float usedHeight = 0.0f;
  bool full = false;
  uint32_t index = 0;  // 1-based: left pages odd, right pages even
  bool shown = false;
};

class NotebookSection {
 public:
  // False (with an error line) for an id longer than a saved game keeps.
  bool addRecord(const std::string& id, const std::string& sceneFile, bool doublePage);
  NotebookRecord* findRecord(const std::string& id) const;
  void placeRecord(NotebookRecord* record);
  void addPagePair();
  void showPage(NotebookPage* page);
  // Shows the section in the book: a first page pair when it has none, the
  // spread shown last (else the one of its newest record), the cover hidden,
  // the pages visible.
  void show();
  // The section's tab: makes it the book's current section and shows it.
  void select();
  void clear();
  // The page before or after in the list, or null.
  NotebookPage* neighbour(const NotebookPage* page, int step) const;

  std::string name;
  float recordsDistance = 0.0f;
  KR::Vector2<float> pageSize;
  KR::UIWidget* element = nullptr;
  // Parents of the page widgets.
  KR::UIWidget* leftPagesWidget = nullptr;
  KR::UIWidget* rightPagesWidget = nullptr;
  KR::UIWidget* cover = nullptr;
  KR::UIWidget* button = nullptr;
  // Each page's widget is loaded from the book's widget file with the table of its side.
  std::string widgetFile, pageLeftId, pageRightId;
  bool configured = false;
  // Called by select with this section (the book makes it its current one).
  std::function<void(NotebookSection*)> onSelect;
  std::vector<std::unique_ptr<NotebookRecord>> records;
  std::vector<std::unique_ptr<NotebookPage>> pages;
  NotebookPage* shownLeft = nullptr;
  NotebookPage* shownRight = nullptr;
  NotebookRecord* lastPlacedRecord = nullptr;
  // The page numbers of the shown spread, as the labels read them.
  std::string leftLabel, rightLabel;
};

}  // namespace HOG
