#pragma once
// The page-by-page scroller of a scene list: a page is the list's visible
// area. A drag on the mask snaps to a page when released (on past 0.45 of a
// page toward the end, back before it), pages turn in listTime seconds per
// page, the buttons "#btn_next", "#btn_prev", "#btn_begin" and "#btn_end"
// turn on press, the wheel turns pages, and an authored "#page_bar" with
// indicators "#page1", "#page2", ... shows the current page (its markers
// "#page%d") and turns to a page clicked. The "#list" node's markers
// "#listTime:" and "#toScrolling:" change the timing. A book shows no
// "#scroll_bar".
#include <vector>

#include "ui/scrolling_helper.h"

namespace KR {

class BookScrollingHelper : public ScrollingHelper {
 public:
  struct PageEntry {
    AE::ISceneNode* node = nullptr;
    int32_t state = 0;
    int32_t number = 0;  // from 1
  };
  struct PageBar {
    BookScrollingHelper* owner = nullptr;
    AE::ISceneNode* node = nullptr;
    int32_t currentPage = 0;
    PageEntry* hovered = nullptr;
    std::vector<PageEntry*> pages;
    ~PageBar();
  };
  struct Button {
    BookScrollingHelper* owner = nullptr;
    AE::ISceneNode* node = nullptr;
    int32_t state = 0;
  };

  BookScrollingHelper(UISceneList* list, AE::ISceneNode* scene);
  ~BookScrollingHelper() override;

  void update(float dt) override;
  void processMessage(bool forward) override;
  bool isMoving() const override { return turnTime > 0.0f; }

  // The offset over -pageSize: 0 at the start, 1 a page on.
  float pagePosition() const;
  // The page a position counts as, and the last page.
  int32_t pageOf(float position) const;
  int32_t lastPage() const;
  void goToPage(int32_t page);
  void nextPage();
  void previousPage();

  Vector2<float> pressPointer;
  Vector2<float> pressOffset;
  float pageSize = 0.0f;
  float toScrolling = 0.45f;
  float listTime = 0.18f;
  float turnTime = 0.0f;
  float fromPage = 0.0f;
  float toPage = 0.0f;
  PageBar* pageBar = nullptr;
  std::vector<Button*> buttons;

 private:
  void setUpPageBar(AE::ISceneNode* bar);
  void dragStep();
  void turnStep(float dt);
  void showCurrentPage();
  void pageBarInput();
  void setButtonState(Button* button, int32_t state);
  void setEntryState(PageEntry* entry, int32_t state);
};

}  // namespace KR
