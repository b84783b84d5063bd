#pragma once
// Showcase page "Controls": an options-like screen of media/ui/ built from its
// Lua tables. The column of options scrolls inside a stencil-clipped area by
// drag (a quick release flings, past the ends it springs back) and by the
// wheel, which steps the bar beside it; a press on an option that turns into
// a drag clicks nothing. The volume slider eases to where it is dragged, the
// check box ticks on a release on it, a click selects a line of the list, and
// a name typed into the edit appears in the greeting on Enter. The scene-made
// button plays its "onSelect" marker under the pointer; sparkles run beside.
#include <string>
#include <vector>

#include "core/showcase/showcase.h"

namespace KR {
class UIWidget;
}

namespace HOG {

class ControlsShowcasePage : public ShowcasePage {
 public:
  ~ControlsShowcasePage() override;
  std::string title() const override;
  void render(GameApplication& application) override;
  void leave() override;

  // Builds and shows the screen (once); false while a manager it needs is missing.
  bool load();
  void draw();
  KR::UIWidget* getScreen() const { return screen; }
  // The "textEntered" command of the name edit: the greeting shows the name.
  void nameEntered(std::string unused);

 private:
  void release();

  KR::UIWidget* screen = nullptr;
  bool commandRegistered = false;
};

}  // namespace HOG
