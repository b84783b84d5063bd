#include "ui/ui_list_view.h"

#include <algorithm>

#include "font_preset.h"
#include "format_string.h"
#include "lua_script_2.h"
#include "sprite.h"
#include "sprite_manager.h"
#include "ui/ui_font_manager.h"
#include "ui/ui_label.h"
#include "ui/ui_pointer.h"
#include "ui/ui_scroll_area.h"
#include "ui/ui_table_keys.h"

namespace KR {

UIListView::~UIListView() {
  holdFont(nullptr);
  if (selection && SpriteManager<Sprite>::exists()) SpriteManager<Sprite>::getInstance()->destroySprite(selection);
}

void UIListView::holdFont(UIFont* newFont) {
  UIFont* old = font;
  font = newFont;
  if (old && UIFontManager::exists()) UIFontManager::getInstance()->releaseFont(old);
}

void UIListView::setScrollArea(UIScrollArea* area) {
  scrollArea = area;
  if (area && std::find(children.begin(), children.end(), area) == children.end())
    insertChild(int(children.size()), area);
}

UILabel* UIListView::addLine() {
  if (!scrollArea) return nullptr;
  scrollArea->resetContent();
  ++lineCounter;
  const size_t n = scrollArea->children.size();
  auto* line = new UILabel(formatString("label_%.2i", lineCounter), scrollArea);
  line->ensureHideState();
  line->addDefaultIdleState();
  line->halign = halign;
  line->valign = valign;
  line->wordWrap = wordWrap;
  line->xcoeff = xcoeff;
  line->ycoeff = ycoeff;
  if (font && UIFontManager::exists()) {
    UIFontManager::getInstance()->retainFont(font);
    line->font = font;
  }
  line->textColor = textColor;
  line->position = Vector2<float>(0.0f, float(n) * lineHeight);
  line->size = Vector2<float>(scrollArea->areaWidth, lineHeight);
  scrollArea->insertChild(int(n), line);
  scrollArea->resetContent();
  selected = int32_t(scrollArea->children.size()) - 1;
  return line;
}

void UIListView::layoutLines() {
  if (!scrollArea) return;
  for (size_t i = 0; i < scrollArea->children.size(); ++i) scrollArea->children[i]->position.y = float(i) * lineHeight;
}

int32_t UIListView::processMessage(uint32_t event) {
  if (event == kUIEventLeftHeld) {
    setState("onPress");
    uiCaptureIfFree(this, false);
  } else if (event == kUIEventLeftReleased) {
    uiReleaseCapture(this);
    const Vector2<float> at = uiPointer()->position;
    if (scrollArea && hitTest(at)) {
      for (size_t i = 0; i < scrollArea->children.size(); ++i) {
        if (scrollArea->children[i]->hitTest(at)) {
          selected = int32_t(i);
          uiPlayClickSound();
          break;
        }
      }
    }
  }
  return 1;
}

void UIListView::onUpdate(float) {
  if (!scrollArea) return;
  size = scrollArea->getAreaSize();
  if (selected < 0 || !selection) return;
  const int32_t last = int32_t(scrollArea->children.size()) - 1;
  selected = std::min(selected, last);
  if (selected < 0) return;
  const Vector2<float> at = scrollArea->children[size_t(selected)]->getAbsolutePosition();
  selection->setPosition(at.x + scrollArea->areaWidth * 0.5f - selection->mSize.x * 0.5f,
                         at.y + lineHeight * 0.5f - selection->mSize.y * 0.5f);
  selection->mClipEnabled = scrollArea->clientRectSet;
  selection->mClipRect = scrollArea->clientRect;
}

void UIListView::draw() {
  if (selected < 0 || !selection) return;
  selection->setMeshColor(Color::fromFloats(1.0f, 1.0f, 1.0f, std::min(1.0f, std::max(0.0f, alpha))));
  selection->updateVertices();
  selection->render();
}

void UIListView::load(LuaScript& script) {
  UIWidget::load(script);
  FontPreset preset;
  std::string value;
  // A preset name without ':' changes nothing, not even to the system font.
  if (uiReadString(script, "fontPreset", &value)) {
    if (UILabel::readFontPresetKey(script, &preset)) {
      halign = preset.halign;
      valign = preset.valign;
      wordWrap = preset.wordWrap;
      xcoeff = preset.xcoeff;
      ycoeff = preset.ycoeff;
      textColor = preset.color;
      holdFont(preset.font);
    }
  } else if (!font && UIFontManager::exists()) {
    holdFont(UIFontManager::getInstance()->getFont("system_font_fnt"));
  }
  std::string image, table;
  if (uiReadString(script, "selectionImagename", &image) && !image.empty() && SpriteManager<Sprite>::exists()) {
    uiReadString(script, "selectionTablename", &table);
    if (selection) SpriteManager<Sprite>::getInstance()->destroySprite(selection);
    selection = SpriteManager<Sprite>::getInstance()->createSprite(image, table, "default");
  }
  uiReadFloat(script, "lineHeight", &lineHeight);
}

void UIListView::makeScrollArea(LuaScript& script, UIListView* list) {
  // Only the list's own child counts: a list view nested inside has made a
  // "childScrollArea" of its own, and taking that one over would give it two
  // parents that both delete it.
  UIWidget* found = nullptr;
  for (UIWidget* child : list->children)
    if (child->name == "childScrollArea") found = child;
  if (found && found->getType() != kUIWidgetType) return;
  auto* area = found ? dynamic_cast<UIScrollArea*>(found) : new UIScrollArea("childScrollArea", list);
  if (!area) return;
  area->readAreaKeys(script);
  if (found) {
    list->setScrollArea(area);
    return;
  }
  area->addDefaultIdleState();
  list->setScrollArea(area);
}

}  // namespace KR
