#pragma once
// The pointer as the UI controller recorded it this frame, for the widgets
// that follow it in their update (scroll areas, bars, scene lists), and the
// capture calls they share.
#include "ui/ui_controller.h"
#include "ui/ui_manager.h"

namespace KR {

inline UIPCController* uiPointer() { return static_cast<UIPCController*>(UIManager::getInstance()->getController()); }

// Becomes the captured widget unless another one is.
inline void uiCaptureIfFree(UIWidget* widget, bool excludesChildren) {
  UIManager* manager = UIManager::getInstance();
  if (!manager->getCapturedWidget()) manager->setCapturedWidget(widget, excludesChildren);
}

// Gives the capture back when the widget holds it.
inline void uiReleaseCapture(UIWidget* widget) {
  UIManager* manager = UIManager::getInstance();
  if (manager->getCapturedWidget() == widget)
    manager->setCapturedWidget(nullptr, manager->getCaptureExcludesChildren());
}

// The click sound of the UI manager.
void uiPlayClickSound();

}  // namespace KR
