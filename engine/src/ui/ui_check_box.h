#pragma once
// A box that flips its ticked flag on a click (a press on it and a release
// on it) and shows its thumb child only while ticked. Its caption is a label
// like a button's.
#include <string>

#include "ui/ui_widget.h"

namespace KR {

class UICheckBox : public UIWidget {
 public:
  UICheckBox(const std::string& name, UIWidget* parent) : UIWidget(name, parent) {}

  // Press: "onPress" and the capture; release on the box: the flip and the
  // click sound. Both taken.
  int32_t processMessage(uint32_t event) override;
  int32_t getType() const override { return kUICheckBoxType; }
  // The thumb shows while ticked.
  void onUpdate(float dt) override;
  // The common keys, then "thumb".
  void load(LuaScript& script) override;

  bool ticked = false;
  UIWidget* thumb = nullptr;
  bool thumbResolved = false;
  std::string thumbName = "thumb";
};

}  // namespace KR
