#pragma once
// A bar that shows a value in [0, 1]: its bar sprite child is cut to that
// fraction of its picture and its thumb child slides along it. It doubles as
// a scroll bar: held down it follows the pointer, and a kinetic bar eases
// towards the value it is given instead of jumping.
//
//   bar = { id = "volume", class = "UIProgressBar", bar = "volume_fill", thumb = "volume_knob",
//           kinetic = 1, lrOffsets = { 8, 8 }, childs = { ...sprites... } }
//   static_cast<KR::UIProgressBar*>(screen->findDescendant("volume"))->setProgress(0.5f);
#include <string>

#include "rect.h"
#include "ui/ui_widget.h"

namespace KR {

class UISprite;

class UIProgressBar : public UIWidget {
 public:
  UIProgressBar(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}

  // A held press drags the bar (unless locked); never takes the event.
  int32_t processMessage(uint32_t event) override;
  int32_t getType() const override { return kUIProgressBarType; }
  // Easing, dragging, then the bar and thumb layout.
  void onUpdate(float dt) override;
  // The common keys, then "bar", "lrOffsets", "thumb", "orientation",
  // "kinetic", "kineticSpeed", "step" and "locked".
  void load(LuaScript& script) override;

  // Clamped to [0, 1]; a kinetic bar moves towards it, another jumps.
  void setProgress(float progress);
  // Clamped to [0, 1]; jumps, also when kinetic.
  void setProgressImmediately(float progress);
  bool isVertical() const { return orientation != 0; }

  std::string barName;
  UISprite* bar = nullptr;
  bool barResolved = false;
  float value = 0.0f;
  float target = 0.0f;
  bool kinetic = false;
  float kineticSpeed = 10.0f;
  Rect barRect;
  Vector2<float> barSize;
  Vector2<float> lrOffsets;
  UISprite* thumb = nullptr;
  bool thumbResolved = false;
  std::string thumbName = "thumb";
  bool dragging = false;
  Vector2<float> dragPosition;
  float length = -1.0f;
  int32_t orientation = 0;
  float step = 0.15f;
  // "locked": the bar cannot be dragged (the base's locked freezes states).
  bool dragLocked = false;

 private:
  void resolveChildren();
  void layoutBar();
  void layoutThumb();
};

}  // namespace KR
