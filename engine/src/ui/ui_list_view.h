#pragma once
// A column of text lines (labels named label_01, label_02, ...) inside a
// scroll area child, one of them marked as selected by a sprite drawn over
// it; a click on a line selects it. The lines take the list's font, colour
// and alignment.
//
//   list = { id = "saves", class = "UIListView", fontPreset = "presets_lua:list", lineHeight = 30,
//            selectionImagename = "ui_sprites", selectionTablename = "Selection", size = { 300, 200 } }
//   auto* saves = static_cast<KR::UIListView*>(screen->findDescendant("saves"));
//   saves->addLine()->setText("Slot 1");
#include <string>

#include "ui/ui_widget.h"

namespace KR {

class Sprite;
class UIFont;
class UILabel;
class UIScrollArea;

class UIListView : public UIWidget {
 public:
  UIListView(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}
  // Releases the font and the selection sprite.
  ~UIListView() override;

  // Takes every event; a release on a line selects it.
  int32_t processMessage(uint32_t event) override;
  int32_t getType() const override { return kUIListViewType; }
  // The selection sprite.
  void draw() override;
  // Size from the scroll area; the selection follows its line.
  void onUpdate(float dt) override;
  // The common keys, then "fontPreset", "selectionImagename" /
  // "selectionTablename" and "lineHeight".
  void load(LuaScript& script) override;

  void setScrollArea(UIScrollArea* area);
  // A new last line (selected); null without a scroll area.
  UILabel* addLine();
  // Line i at y = i x lineHeight.
  void layoutLines();
  // The child scroll area of a list view table: its "childScrollArea" or a
  // new one, given the table's scroll-area keys.
  static void makeScrollArea(LuaScript& script, UIListView* list);

  UIScrollArea* scrollArea = nullptr;
  float xcoeff = 0.0f;
  float ycoeff = 0.0f;
  uint32_t halign = 0;
  uint32_t valign = 0;
  bool wordWrap = false;
  UIFont* font = nullptr;
  Color textColor;
  int32_t lineCounter = 0;
  int32_t selected = -1;
  Sprite* selection = nullptr;
  float lineHeight = 32.0f;

 private:
  void holdFont(UIFont* newFont);
};

}  // namespace KR
