#include "ui/ui_check_box.h"

#include "lua_script_2.h"
#include "ui/ui_pointer.h"
#include "ui/ui_table_keys.h"

namespace KR {

int32_t UICheckBox::processMessage(uint32_t event) {
  if (event == kUIEventLeftPressed) {
    setState("onPress");
    uiCaptureIfFree(this, false);
    return 1;
  }
  if (event == kUIEventLeftReleased) {
    if (hitTest(uiPointer()->position)) {
      ticked = !ticked;
      uiPlayClickSound();
    }
    setState("onSelect");
    uiReleaseCapture(this);
    return 1;
  }
  return 0;
}

void UICheckBox::onUpdate(float) {
  if (!thumbResolved) {
    thumbResolved = true;
    thumb = thumbName.empty() ? nullptr : findDescendant(thumbName);
    if (thumb == this) thumb = nullptr;
  }
  if (thumb) thumb->setVisible(ticked);
}

void UICheckBox::load(LuaScript& script) {
  UIWidget::load(script);
  uiReadString(script, "thumb", &thumbName);
}

}  // namespace KR
