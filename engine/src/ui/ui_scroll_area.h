#pragma once
// A widget that scrolls its children along one axis: by its progress bar
// (which may be anywhere in the parent's or grandparent's tree), by the wheel
// over it (the bar steps), and, with dragScrolling, by dragging the content
// with the pointer: a quick release flings it, friction slows it and it
// springs back past either end; with a page size above 1 it settles on whole
// pages. Its client rectangle clips its children's input and sprites; with
// clipping and a mask sprite the stencil buffer clips whatever they draw.
// A press on a child button that turns into a drag of more than 10 design
// units is taken over by the area, so the button does not click.
//
//   area = { id = "options", class = "UIScrollArea", size = { 400, 300 }, progressBar = "options_bar",
//            dragScrolling = 1, clipping = 1, maskImagename = "ui_sprites", maskTablename = "AreaMask",
//            childs = { ... } }
#include <string>

#include "ui/ui_widget.h"

namespace KR {

class FastSprite;
class UIProgressBar;

class UIScrollArea : public UIWidget {
 public:
  UIScrollArea(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}
  ~UIScrollArea() override;

  // The wheel steps the bar; never takes the event.
  int32_t processMessage(uint32_t event) override;
  // Clears the stencil, draws the mask into it and clips to it.
  void draw() override;
  void drawAfterChildren() override;
  void onUpdate(float dt) override;
  // The common keys, then the scroll-area keys.
  void load(LuaScript& script) override;
  // "progressBar", "size", "orientation", "kinetic", "kineticSpeed", and the
  // behaviour switches "dragScrolling", "pageSize", "fastApproach",
  // "keepContent", "clipping", "maskImagename" / "maskTablename".
  void readAreaKeys(LuaScript& script);

  // Through the bar (as a fraction of the range) or straight to the offset.
  void setScrollPosition(float position);
  // Scroll back to 0, measure the content again and clip to the visible area.
  void resetContent();
  bool isScrolling() const;
  // How far the content scrolls: its extent along the axis minus the visible
  // size, never below 0.
  float getRange() const;
  Vector2<float> getAreaSize() const { return Vector2<float>(areaWidth, areaHeight); }

  std::string progressBarName;
  UIProgressBar* progressBar = nullptr;
  bool initialised = false;
  bool keepContent = false;
  float lastBarValue = 0.0f;
  float previousOffset = 0.0f;
  float offset = 0.0f;
  float targetOffset = 0.0f;
  bool kinetic = false;
  float kineticSpeed = 0.0f;
  bool fastApproach = false;
  bool horizontal = true;
  bool dragScrolling = false;
  float velocity = 0.0f;
  float releaseVelocity = 0.0f;
  float pageSize = 1.0f;
  bool dragging = false;
  Vector2<float> lastPointer;
  float stillTime = 0.0f;
  bool barWasDragged = false;
  bool clipping = false;
  FastSprite* mask = nullptr;
  float contentHeight = -1.0f;
  float contentWidth = -1.0f;
  float areaWidth = 0.0f;
  float areaHeight = 0.0f;
  bool wheelScrolling = true;

 private:
  void findProgressBar();
  void trackDrag();
  void snapToPage();
  float along(const Vector2<float>& v) const { return horizontal ? v.x : v.y; }
};

}  // namespace KR
