#include "core/game_state/hud/notebook_records.h"

#include <algorithm>

#include "animationeditor/scene_loader.h"
#include "animationeditor/scene_node.h"
#include "file_system.h"
#include "log_system.h"
#include "scoped_lock.h"
#include "ui/ui_manager.h"
#include "ui/ui_widget.h"

namespace HOG {

NotebookRecord::NotebookRecord() { KR::initRecursiveMutex(&lock); }

NotebookRecord::~NotebookRecord() {
  releaseScene();
  pthread_mutex_destroy(&lock);
}

bool NotebookRecord::loadScene() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  if (loadState == 1) loadState = 2;
  if (loadState == 2) return true;
  if (!sceneFile.empty() && KR::FileSystem::exists()) scene = AE::loadScene(sceneFile);
  if (!scene) {
    KR::log("ERROR: Can't load xml file (%s) for notebook record! (%s)", sceneFile.c_str(), id.c_str());
    return false;
  }
  scene->setEnabled(false);
  offset = KR::Vector2<float>(scene->mPosX, scene->mPosY);
  height = scene->getBoundsSize().y;
  loadState = 2;
  return true;
}

void NotebookRecord::releaseScene() {
  KR::ScopedLock guard(KR::ScopedLock::lock(&lock));
  delete scene;
  scene = nullptr;
  loadState = 0;
}

NotebookPage::~NotebookPage() {
  if (!ownsWidget || !widget) return;
  if (widget->parent) widget->parent->removeChild(widget);
  // The UI manager forgets it as it forgets a destroyed tree.
  if (KR::UIManager::exists()) {
    KR::UIManager* ui = KR::UIManager::getInstance();
    KR::UIWidget* captured = ui->getCapturedWidget();
    if (captured && (captured == widget || widget->hasDescendant(captured))) ui->setCapturedWidget(nullptr, false);
    ui->notifyDestroyed(widget);
  }
  delete widget;
}

bool NotebookPage::tryPlaceRecord(NotebookRecord* record) {
  if (full) return false;
  const float h = record->height;
  NotebookPage* target = this;
  const bool left = index % 2 == 1;
  if (record->doublePage && !(!left && records.empty())) {
    // The spread's left page takes it; both pages end full.
    if (!left) target = section->neighbour(this, -1);
    if (!target) target = this;
    // The displaced records leave the spread before they are placed again, so none is listed twice;
    // the right page's go too, not to lie under the double page.
    std::vector<NotebookRecord*> displaced;
    displaced.swap(target->records);
    target->usedHeight = 0.0f;
    target->full = true;
    if (NotebookPage* right = target->index % 2 == 1 ? section->neighbour(target, 1) : nullptr) {
      displaced.insert(displaced.end(), right->records.begin(), right->records.end());
      right->records.clear();
      right->usedHeight = 0.0f;
      right->full = true;
    }
    for (NotebookRecord* moved : displaced) {
      moved->placed = false;
      moved->page = nullptr;
    }
    for (NotebookRecord* moved : displaced) section->placeRecord(moved);
  } else if (usedHeight + h > pageHeight && usedHeight > 10.0f) {
    full = true;
    return false;
  }
  target->putRecord(record);
  if (record->doublePage) {
    target->full = true;
    if (target->index % 2 == 1)
      if (NotebookPage* right = section->neighbour(target, 1)) right->full = true;
  } else if (target->usedHeight + h > target->pageHeight) {
    target->full = true;
  }
  return true;
}

void NotebookPage::putRecord(NotebookRecord* record) {
  records.push_back(record);
  record->page = this;
  record->placed = true;
  section->lastPlacedRecord = record;
  const KR::Vector2<float> origin = widget ? widget->getAbsolutePosition() : KR::Vector2<float>();
  record->position = origin + KR::Vector2<float>(record->offset.x, usedHeight);
  if (record->scene) {
    record->scene->mPosX = record->position.x;
    record->scene->mPosY = record->position.y;
  }
  usedHeight += record->height + section->recordsDistance;
}

bool NotebookSection::addRecord(const std::string& id, const std::string& sceneFile, bool doublePage) {
  if (id.size() > NotebookRecord::kMaxIdLength) {
    KR::log("ERROR: Notebook record id is longer than 127 characters: %s", id.c_str());
    return false;
  }
  auto record = std::make_unique<NotebookRecord>();
  record->id = id;
  record->sceneFile = sceneFile;
  record->doublePage = doublePage;
  record->section = this;
  records.push_back(std::move(record));
  return true;
}

NotebookRecord* NotebookSection::findRecord(const std::string& id) const {
  for (const auto& record : records)
    if (record->id == id) return record.get();
  return nullptr;
}

NotebookPage* NotebookSection::neighbour(const NotebookPage* page, int step) const {
  for (size_t i = 0; i < pages.size(); ++i) {
    if (pages[i].get() != page) continue;
    const long other = long(i) + step;
    return other >= 0 && other < long(pages.size()) ? pages[size_t(other)].get() : nullptr;
  }
  return nullptr;
}

void NotebookSection::placeRecord(NotebookRecord* record) {
  if (!record || record->placed || !record->loadScene()) return;
  while (!record->placed) {
    for (const auto& page : pages)
      if (page->tryPlaceRecord(record)) return;
    addPagePair();
  }
}

void NotebookSection::addPagePair() {
  for (int i = 0; i < 2; ++i) {
    auto page = std::make_unique<NotebookPage>();
    page->section = this;
    page->pageWidth = pageSize.x;
    page->pageHeight = pageSize.y;
    page->index = uint32_t(pages.size() + 1);
    KR::UIWidget* side = i == 0 ? leftPagesWidget : rightPagesWidget;
    const std::string& table = i == 0 ? pageLeftId : pageRightId;
    page->widget = side;
    if (side && !table.empty() && !widgetFile.empty() && KR::UIManager::exists()) {
      page->widget = KR::UIManager::getInstance()->loadUI(widgetFile, table, side, "default");
      page->ownsWidget = page->widget != nullptr;
      if (page->widget)
        page->widget->setVisible(false);
      else
        page->widget = side;
    }
    pages.push_back(std::move(page));
  }
}

void NotebookSection::showPage(NotebookPage* page) {
  if (!page) {
    KR::log("ERROR: Cant show NULL page!");
    return;
  }
  for (NotebookPage* old : {shownLeft, shownRight})
    if (old) {
      old->shown = false;
      if (old->widget) old->widget->setVisible(false);
    }
  const bool left = page->index % 2 == 1;
  shownLeft = left ? page : neighbour(page, -1);
  shownRight = left ? neighbour(page, 1) : page;
  leftLabel = rightLabel = "";
  for (NotebookPage* now : {shownLeft, shownRight}) {
    if (!now) continue;
    now->shown = true;
    if (now->widget) now->widget->setVisible(true);
    for (NotebookRecord* record : now->records)
      if (record->scene) record->scene->setEnabled(true);
    (now->index % 2 == 1 ? leftLabel : rightLabel) = std::to_string(now->index);
  }
}

void NotebookSection::show() {
  if (pages.empty()) addPagePair();
  // A book not turned yet opens on its newest record: the records are listed in the story's order, and a double
  // page moves the older ones to later pages, so the last spread may hold only old ones.
  NotebookPage* newest = pages.back().get();
  for (const auto& record : records)
    if (record->placed && record->page) newest = record->page;
  showPage(shownLeft ? shownLeft : newest);
  if (cover) cover->setVisible(false);
  for (KR::UIWidget* side : {leftPagesWidget, rightPagesWidget})
    if (side) side->setVisible(true);
}

void NotebookSection::select() {
  if (onSelect) onSelect(this);
}

void NotebookSection::clear() {
  pages.clear();
  for (const auto& record : records) {
    record->releaseScene();
    record->placed = false;
    record->page = nullptr;
  }
  shownLeft = shownRight = nullptr;
  lastPlacedRecord = nullptr;
}

}  // namespace HOG
