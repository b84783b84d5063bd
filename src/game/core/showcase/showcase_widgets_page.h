#pragma once
// Showcase page of the widget toolkit: the demo screen of media/ui/ built from
// its Lua tables and drawn through the UI manager. Hovering selects a button,
// pressing shows its "onPress" state, a press dragged off a button clicks
// nothing; "Open the dialog" shows a modal dialog that blocks the screen
// until its OK hides it; the panels are one UI file used twice. The window
// title shows each frame's input event. The screen is destroyed when the
// page is left and built again when it comes back.
#include <string>
#include <vector>

#include "core/showcase/showcase.h"

namespace KR {
class UIWidget;
}

namespace HOG {

class WidgetsShowcasePage : public ShowcasePage {
 public:
  ~WidgetsShowcasePage() override;
  std::string title() const override;
  void render(GameApplication& application) override;
  void leave() override;

  // Builds and shows the screen (once); false while the UI manager, the
  // sprite managers or the render system are missing.
  bool load();
  // Draws the shown widgets into the current frame.
  void draw();
  KR::UIWidget* getScreen() const { return screen; }
  KR::UIWidget* getDialog() const { return dialog; }

 private:
  void release();

  KR::UIWidget* screen = nullptr;
  KR::UIWidget* dialog = nullptr;
  // Every root the load added (the screen and what it pulled in).
  std::vector<KR::UIWidget*> roots;
};

// The name of an input event's kind, with its key for key events.
std::string describeInputEvent(uint32_t event);

}  // namespace HOG
