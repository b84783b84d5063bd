#pragma once
// Showcase page "Scene lists": a strip list and a book list made of authored
// scenes (media/scenes/), filled with items of one item scene whose texts
// show the items' names. The strip follows drags, glides after a quick
// release, takes the wheel and its thumb; the book snaps to pages and turns
// with its buttons and its page bar. A click on an item's button shows in
// the title bar.
#include <string>

#include "core/showcase/showcase.h"
#include "ui/ui_scene_list.h"

namespace HOG {

class SceneListsShowcasePage : public ShowcasePage, public KR::UISceneListItemListener {
 public:
  ~SceneListsShowcasePage() override;
  std::string title() const override;
  void render(GameApplication& application) override;
  void leave() override;
  void onItemButtonClicked(KR::UISceneListItem* item, const std::string& element) override;

  bool load();
  void draw();
  KR::UIWidget* getScreen() const { return screen; }
  KR::UISceneList* getStrip() const { return strip; }
  KR::UISceneList* getBook() const { return book; }
  const std::string& getLastClick() const { return lastClick; }

 private:
  void release();
  void prepare(KR::UISceneList* list);

  KR::UIWidget* screen = nullptr;
  KR::UISceneList* strip = nullptr;
  KR::UISceneList* book = nullptr;
  std::string lastClick;
};

}  // namespace HOG
