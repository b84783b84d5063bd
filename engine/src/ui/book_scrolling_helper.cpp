#include "ui/book_scrolling_helper.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "animationeditor/marker.h"
#include "animationeditor/scene_node.h"
#include "format_string.h"
#include "ui/ui_controller.h"
#include "ui/ui_scene_list.h"

namespace KR {

namespace {

const char* const kButtonNames[] = {"#btn_next", "#btn_prev", "#btn_begin", "#btn_end"};

void enableWithChildren(AE::ISceneNode* node) {
  node->mEnabled = true;
  for (AE::ISceneNode* child : node->mChildren) child->setEnabled(true);
}

}  // namespace

BookScrollingHelper::PageBar::~PageBar() {
  for (PageEntry* entry : pages) delete entry;
}

BookScrollingHelper::BookScrollingHelper(UISceneList* list_, AE::ISceneNode* scene) : ScrollingHelper(list_) {
  pageSize = list->along(list->areaSize);
  if (AE::ISceneNode* bar = AE::ISceneNode::findChildFrom(scene, "#page_bar")) setUpPageBar(bar);
  if (AE::ISceneNode* strip = AE::ISceneNode::findChildFrom(scene, "#scroll_bar")) strip->setEnabled(false);
  for (const char* name : kButtonNames) {
    AE::ISceneNode* node = AE::ISceneNode::findChildFrom(scene, name);
    if (!node) continue;
    buttons.push_back(new Button{this, node, 0});
    enableWithChildren(node);
  }
  for (AE::Marker* marker : list->list->mMarkers) {
    const std::string& n = marker->mName;
    if (n.compare(0, 10, "#listTime:") == 0)
      listTime = std::strtof(n.c_str() + 10, nullptr);
    else if (n.compare(0, 13, "#toScrolling:") == 0)
      toScrolling = std::strtof(n.c_str() + 13, nullptr);
  }
}

BookScrollingHelper::~BookScrollingHelper() {
  for (Button* button : buttons) delete button;
  delete pageBar;
}

void BookScrollingHelper::setUpPageBar(AE::ISceneNode* node) {
  pageBar = new PageBar();
  pageBar->owner = this;
  pageBar->node = node;
  for (int n = 1;; ++n) {
    AE::ISceneNode* page = AE::ISceneNode::findChildFrom(node, formatString("#page%d", n).c_str());
    if (!page || page == node) break;
    pageBar->pages.push_back(new PageEntry{page, 0, n});
  }
  enableWithChildren(node);
  playMarker(node, "#page1");
}

float BookScrollingHelper::pagePosition() const {
  // A mask without size has no pages: everything is page 0.
  return pageSize > 0.0f ? getOffset() / -pageSize : 0.0f;
}

int32_t BookScrollingHelper::pageOf(float position) const { return int32_t(std::trunc(position + 1.0f - toScrolling)); }

int32_t BookScrollingHelper::lastPage() const {
  return pageSize > 0.0f ? int32_t(std::trunc(0.5f - list->range / pageSize)) : 0;
}

void BookScrollingHelper::goToPage(int32_t page) {
  fromPage = pagePosition();
  toPage = float(std::min(page, lastPage()));
  turnTime = std::fabs(fromPage - toPage) * listTime;
}

void BookScrollingHelper::nextPage() { goToPage(std::min(pageOf(pagePosition()) + 1, lastPage())); }

void BookScrollingHelper::previousPage() {
  fromPage = pagePosition();
  toPage = float(std::max(pageOf(fromPage) - 1, 0));
  turnTime = std::fabs(fromPage - toPage) * listTime;
}

void BookScrollingHelper::update(float dt) {
  const UIPCController& p = pointer();
  for (Button* button : buttons) {
    if (hits(button->node, p.position)) {
      setButtonState(button, p.leftDown ? 2 : 1);
      break;
    }
    if (!p.leftDown) setButtonState(button, 0);
  }
  if (!list->needsCorrection()) return;
  if (list->scrollingFlags & 2) dragStep();
  if (!busy) turnStep(dt);
  if (pageBar) showCurrentPage();
  if (!busy && pageBar) pageBarInput();
}

void BookScrollingHelper::dragStep() {
  const UIPCController& p = pointer();
  if (!busy) {
    if (p.leftDown && list->scrolling) {
      pressPointer = p.pressPosition;
      pressOffset = listPosition();
      if (hits(list->mask, pressPointer)) busy = true;
    }
    return;
  }
  if (p.leftDown) {
    const Vector2<float> to = pressOffset + (p.position - pressPointer);
    const float offset = std::max(list->range - list->outside, std::min(list->outside, list->along(to)));
    stopSnapBack();
    moveList(list->vertical ? Vector2<float>(0.0f, offset) : Vector2<float>(offset, 0.0f));
    return;
  }
  fromPage = pagePosition();
  toPage = float(pageOf(fromPage));
  busy = false;
  turnTime = listTime;
}

void BookScrollingHelper::turnStep(float dt) {
  if (turnTime <= 0.0f) return;
  turnTime = std::max(0.0f, turnTime - dt);
  const float distance = std::fabs(fromPage - toPage);
  const float m = distance > 1.0f ? distance : 1.0f;
  const float position = toPage - (turnTime / (listTime * m)) * (toPage - fromPage);
  setOffset(-pageSize * position);
}

void BookScrollingHelper::showCurrentPage() {
  const int32_t c = pageOf(pagePosition());
  // Played when the page changes, so that an animated indicator runs to its
  // end instead of restarting every frame (and a missing one is logged once).
  if (c == pageBar->currentPage) return;
  playMarker(pageBar->node, formatString("#page%d", c + 1));
  pageBar->currentPage = c;
}

void BookScrollingHelper::pageBarInput() {
  const UIPCController& p = pointer();
  PageBar& bar = *pageBar;
  if (!bar.hovered) {
    for (PageEntry* entry : bar.pages) {
      if (!hits(entry->node, p.position)) continue;
      setEntryState(entry, 1);
      bar.hovered = entry;
      break;
    }
    return;
  }
  PageEntry* entry = bar.hovered;
  if (!hits(entry->node, p.position)) {
    if (!p.leftDown) {
      setEntryState(entry, 0);
      bar.hovered = nullptr;
    }
    return;
  }
  if (p.leftDown) {
    setEntryState(entry, 2);
  } else if (entry->state == 2) {
    setEntryState(entry, 1);
    goToPage(entry->number - 1);
  }
}

void BookScrollingHelper::setButtonState(Button* button, int32_t state) {
  if (button->state == state) return;
  playTransition(button->node, button->state, state, true);
  button->state = state;
  if (state != 2) return;
  const std::string& name = button->node->mName;
  if (name == "#btn_next")
    nextPage();
  else if (name == "#btn_prev")
    previousPage();
  else if (name == "#btn_begin")
    goToPage(0);
  else if (name == "#btn_end")
    goToPage(lastPage());
}

void BookScrollingHelper::setEntryState(PageEntry* entry, int32_t state) {
  if (entry->state == state) return;
  playTransition(entry->node, entry->state, state, true);
  entry->state = state;
}

void BookScrollingHelper::processMessage(bool forward) {
  if (busy || !(list->scrollingFlags & 1) || !hits(list->mask, pointer().position)) return;
  if (forward)
    nextPage();
  else
    previousPage();
}

}  // namespace KR
